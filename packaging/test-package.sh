#!/usr/bin/env bash
# The ward's package, tried as IT would: built with CPack, checked by lintian,
# desktop-file-validate and appstreamcli, installed into a throw-away Debian 12 root, started
# there under Xvfb by a user of the group varolista (who must see the registration dialog)
# and by a user outside it (who must be refused and read no byte of the data); then the ward
# moves up to a PostgreSQL server in the same root, as the README's steps say, and the ward
# user's program must log in there.
#   packaging/test-package.sh BUILD_DIR
# Needs root (debootstrap, chroot, mounts) and Debian's mirror; the root file system is
# cached as BUILD_DIR/package-test/bookworm-root.tar.gz and fetched packages beside it.
set -euo pipefail

build=$(realpath "$1")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cache=$build/package-test
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
dialog_title='Az Intézet és az Osztály megadása'
message_title='Várólista Jelentő program'
login_title='Várólista - Bejelentkezés'

if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: the package test needs root (debootstrap, chroot)"
    exit 77
fi

fail() {
    echo "HIBA: $*" >&2
    # What the display showed, for the reader of a failed run.
    [ -n "$xvfb_pid" ] && in_root env DISPLAY=:57 xwininfo -root -tree 2>&1 | grep '"' >&2
    exit 1
}
step() { echo "== $*"; }

mkdir -p "$cache/apt-archives/partial"
work=$(mktemp -d "$cache/run.XXXXXX")
root=$work/root
program_pid=
xvfb_pid=
cluster_started=

cleanup() {
    set +e
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    # A server left running inside the root would keep its mounts busy.
    [ -n "$cluster_started" ] && in_root pg_ctlcluster 15 main stop -m immediate >/dev/null 2>&1
    # Every mount made below, innermost first; a busy one is detached lazily.
    for mount_point in "$root/var/cache/apt/archives" "$root/dev/shm" "$root/dev/pts" "$root/dev" \
                       "$root/proc"; do
        if mountpoint -q "$mount_point" 2>/dev/null; then
            umount "$mount_point" 2>/dev/null || umount -l "$mount_point"
        fi
    done
    # Never remove the tree while anything is still mounted inside it.
    if ! grep -q " $root/" /proc/mounts; then
        rm -rf "$work"
    else
        echo "HIBA: mounts left under $root; not removed" >&2
    fi
}
trap cleanup EXIT
trap 'exit 1' INT TERM

in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"; }

step "building the package"
rm -f "$build"/package/varolista_*.deb
(cd "$build" && cpack -G DEB >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$build"/package/varolista_*.deb)

step "lintian, desktop-file-validate, appstreamcli"
lintian --fail-on error "$deb" 2>&1 | grep -v 'running with root privileges' || true
lintian --fail-on error "$deb" >/dev/null 2>&1 || fail "lintian found errors"
mkdir "$work/contents"
dpkg-deb -x "$deb" "$work/contents"
desktop-file-validate "$work"/contents/usr/share/applications/*.desktop
appstreamcli validate --no-net "$work"/contents/usr/share/metainfo/*.metainfo.xml >/dev/null \
    || appstreamcli validate --no-net "$work"/contents/usr/share/metainfo/*.metainfo.xml \
    || fail "appstreamcli validate"

step "a fresh Debian 12 root"
tarball=$cache/bookworm-root.tar.gz
if [ ! -s "$tarball" ]; then
    # The test tools, and the big libraries the package will want, fetched once with the root.
    debootstrap --variant=minbase \
        --include=xvfb,xdotool,x11-utils,libqt6widgets6,libqt6printsupport6,qt6-qpa-plugins,libsqlcipher0 \
        bookworm "$work/new" \
        "$mirror" >"$work/debootstrap.log" 2>&1 || { tail -20 "$work/debootstrap.log"; fail "debootstrap"; }
    tar -C "$work/new" -czf "$tarball.part" . && mv "$tarball.part" "$tarball"
    rm -rf "$work/new"
fi
mkdir "$root"
tar -C "$root" -xzf "$tarball"
mount -t proc proc "$root/proc"
# A /dev of its own: the device nodes that a package's scripts and X need, nothing of the host's.
mount -t tmpfs -o mode=755,nosuid dev "$root/dev"
for node in "null c 1 3" "zero c 1 5" "full c 1 7" "random c 1 8" "urandom c 1 9" "tty c 5 0"; do
    set -- $node
    mknod -m 666 "$root/dev/$1" "$2" "$3" "$4"
done
mkdir -m 1777 "$root/dev/shm"
mount -t tmpfs -o mode=1777,nosuid,nodev shm "$root/dev/shm"
mount --bind "$cache/apt-archives" "$root/var/cache/apt/archives"
cp /etc/resolv.conf "$root/etc/resolv.conf"

step "installing the package"
cp "$deb" "$root/tmp/varolista.deb"
in_root apt-get -qq update >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt-get update"; }
in_root env DEBIAN_FRONTEND=noninteractive apt-get -y -q --no-install-recommends \
    install /tmp/varolista.deb >>"$work/apt.log" 2>&1 || { tail -30 "$work/apt.log"; fail "apt-get install"; }

step "the installed layout"
data=$root/var/opt/varolista
# Names as the installed system knows them, not the host.
mode() { in_root stat -c "$1" "$2"; }
[ "$(mode '%a %U %G' /var/opt/varolista)" = "2770 root varolista" ] \
    || fail "data folder: $(mode '%a %U %G' /var/opt/varolista)"
[ "$(mode '%a %U %G' /var/opt/varolista/Jelentesek)" = "2770 root varolista" ] || fail "Jelentesek folder"
[ "$(mode '%a %G' /var/opt/varolista/Vazuvede.adat)" = "660 varolista" ] \
    || fail "database: $(mode '%a %G' /var/opt/varolista/Vazuvede.adat)"
[ "$(readlink "$root/opt/varolista/Vazuvede.adat")" = /var/opt/varolista/Vazuvede.adat ] || fail "database link"
[ "$(readlink "$root/opt/varolista/Jelentesek")" = /var/opt/varolista/Jelentesek ] || fail "report link"

step "reinstall keeps the data; purge never deletes it"
echo marker >"$data/Jelentesek/megmarad.xml"
before=$(md5sum <"$data/Vazuvede.adat")
in_root dpkg -i /tmp/varolista.deb >>"$work/apt.log" 2>&1 || fail "reinstall"
[ "$(md5sum <"$data/Vazuvede.adat")" = "$before" ] || fail "reinstall changed the database"
ls "$data"/*.bak >/dev/null 2>&1 && fail "a backup of an up-to-date database was left"
[ "$(mode '%a %G' /var/opt/varolista/Jelentesek/megmarad.xml)" = "660 varolista" ] || fail "report mode"
in_root dpkg --purge varolista >>"$work/apt.log" 2>&1 || fail "purge"
[ "$(md5sum <"$data/Vazuvede.adat")" = "$before" ] || fail "purge touched the database"
[ -f "$data/Jelentesek/megmarad.xml" ] || fail "purge removed a report"
in_root dpkg -i /tmp/varolista.deb >>"$work/apt.log" 2>&1 || fail "install after purge"
[ "$(md5sum <"$data/Vazuvede.adat")" = "$before" ] || fail "install after purge replaced the database"

step "an older database is upgraded after a copy beside it"
sql() { printf "PRAGMA key='hJumbeli';\n%s\n" "$1" | sqlcipher "$data/Vazuvede.adat"; }
sql "DROP INDEX LISTA_TAGOK; DROP INDEX LISTA_TAJ; PRAGMA user_version = 1;" >/dev/null
older=$(md5sum <"$data/Vazuvede.adat")
in_root dpkg -i /tmp/varolista.deb >>"$work/apt.log" 2>&1 || fail "upgrade install"
backups=("$data"/Vazuvede.adat.*.bak)
[ ${#backups[@]} -eq 1 ] && [ -f "${backups[0]}" ] || fail "no backup beside the older database"
[ "$(md5sum <"${backups[0]}")" = "$older" ] || fail "the backup is not the older database"
[ "$(sql 'PRAGMA user_version;')" = 4 ] || fail "the database was not upgraded"
[ "$(mode '%a %G' "/var/opt/varolista/$(basename "${backups[0]}")")" = "660 varolista" ] \
    || fail "backup mode"

step "a ward user and a user outside the group, under Xvfb"
in_root useradd -m -G varolista apolo
in_root useradd -m kivulallo
# -noreset: the server must not reset when the first user's program closes, or the next one
# may find no display while it does.
chroot "$root" /usr/bin/Xvfb :57 -screen 0 1280x1024x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -e "$root/tmp/.X11-unix/X57" ] && break; sleep 0.2; done
[ -e "$root/tmp/.X11-unix/X57" ] || fail "Xvfb did not start"

find_window() { # title, seconds: a window with exactly this title is on the screen
    local i id
    for i in $(seq $(( $2 * 2 ))); do
        for id in $(in_root env DISPLAY=:57 xwininfo -root -tree 2>/dev/null \
                    | grep -F "\"$1\": (" | awk '{print $1}'); do
            in_root env DISPLAY=:57 xwininfo -id "$id" | grep -q 'Map State: IsViewable' && return 0
        done
        sleep 0.5
    done
    return 1
}
run_as() { # user
    chroot "$root" /usr/bin/env -i PATH=/usr/bin:/bin LANG=hu_HU.UTF-8 DISPLAY=:57 \
        /usr/sbin/runuser -u "$1" -- /opt/varolista/zazadoroz >"$work/$1.log" 2>&1 &
    program_pid=$!
}

run_as apolo
find_window "$dialog_title" 60 >/dev/null || { cat "$work/apolo.log"; fail "the ward user did not see the registration dialog"; }
echo "the ward user sees \"$dialog_title\""
[ -z "$(find "$root/opt/varolista" -newer "$root/tmp/varolista.deb" -type f)" ] \
    || fail "files appeared in the program folder"
kill "$program_pid"; wait "$program_pid" 2>/dev/null || true; program_pid=

in_root runuser -u kivulallo -- cat /var/opt/varolista/Vazuvede.adat >/dev/null 2>&1 \
    && fail "the outsider read the database"
in_root runuser -u kivulallo -- ls /var/opt/varolista/Jelentesek >/dev/null 2>&1 \
    && fail "the outsider listed the reports"
run_as kivulallo
find_window "$message_title" 60 >/dev/null || { cat "$work/kivulallo.log"; fail "the outsider got no message"; }
find_window "$dialog_title" 1 >/dev/null && fail "the outsider saw the registration dialog"
echo "the outsider gets a message box and no registration dialog"
kill "$program_pid"; wait "$program_pid" 2>/dev/null || true; program_pid=

# A service as systemd would run it (nothing runs systemd in this root): as its user, with its
# umask and environment, ExecStart and then each ExecStartPost, each ending in a status the
# unit counts as success.
run_unit() { # unit file name
    local unit=$root/lib/systemd/system/$1 line status
    local user umask environment success
    user=$(sed -n 's/^User=//p' "$unit")
    umask=$(sed -n 's/^UMask=//p' "$unit")
    mapfile -t environment < <(sed -n 's/^Environment=//p' "$unit")
    success=" 0 $(sed -n 's/^SuccessExitStatus=//p' "$unit") "
    while IFS= read -r line; do
        # The unit's words as systemd splits them: no quotes, and no shell expands a pattern.
        set -f
        local -a command=($line)
        set +f
        status=0
        in_root runuser -u "$user" -- env "${environment[@]}" \
            sh -c 'umask "$0" && exec "$@"' "$umask" "${command[@]}" >>"$work/units.log" 2>&1 \
            || status=$?
        [[ $success == *" $status "* ]] || { cat "$work/units.log"; fail "$1: $line: status $status"; }
    done < <(sed -n 's/^ExecStart=//p; s/^ExecStartPost=//p' "$unit")
}
backups_made() { # ending: the backups of that kind, one a line
    find "$data/Mentesek" -maxdepth 1 -name "Vazuvede-*.$1" | sort
}

step "the nightly jobs on a ward with the database file"
# A registered department, so that there is a report to write (and, later, for the program on
# the server to find there).
sql "INSERT INTO OSZTALY VALUES ('1234', '123456789', 'F', 'Szemészet', 'titok');" >/dev/null
run_unit varolista-mentes.service
[ "$(backups_made adat | wc -l)" = 1 ] || fail "the backup unit made no backup of the file"
first=$(backups_made adat)
[ "$(mode '%a %G' "/var/opt/varolista/Mentesek/$(basename "$first")")" = "660 varolista" ] \
    || fail "backup mode"
# Backups older than thirty days go, of either kind, after the next one is made.
for old in Vazuvede-20000101-000000.adat Vazuvede-20000101-000000.dump; do
    cp "$first" "$data/Mentesek/$old"
    touch -d '40 days ago' "$data/Mentesek/$old"
done
sleep 1
run_unit varolista-mentes.service
[ ! -e "$data/Mentesek/Vazuvede-20000101-000000.adat" ] && [ ! -e "$data/Mentesek/Vazuvede-20000101-000000.dump" ] \
    || fail "backups older than thirty days were kept"
[ "$(backups_made adat | wc -l)" = 2 ] || fail "the second backup of the file is missing"
run_unit varolista-jelentes.service
echo "the nightly units back the file up and write the report as user varolista"

step "the ward moves up to a database server"
# The server of the ward, in the same root: installed from Debian, its service not started by
# the install (nothing runs services in this root) but by hand, on a port nobody else uses,
# since the root shares the host's network.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod 755 "$root/usr/sbin/policy-rc.d"
in_root env DEBIAN_FRONTEND=noninteractive apt-get -y -q --no-install-recommends \
    install postgresql sudo >>"$work/apt.log" 2>&1 || { tail -30 "$work/apt.log"; fail "installing postgresql"; }
port=$(python3 -c 'import socket
s = socket.socket()
s.bind(("127.0.0.1", 0))
print(s.getsockname()[1])')
in_root pg_conftool 15 main set port "$port" || fail "pg_conftool"
cluster_started=yes
in_root pg_ctlcluster 15 main start || fail "the server did not start"

# The README's first step: two roles and an empty database. sudo wants to find the host's
# name, which the root does not know yet.
echo "127.0.1.1 $(hostname)" >>"$root/etc/hosts"
as_postgres() { # password (typed twice when asked), command...
    local password=$1
    shift
    printf '%s\n%s\n' "$password" "$password" | in_root sudo -u postgres "$@" -p "$port" \
        >>"$work/server.log" 2>&1 || { cat "$work/server.log"; fail "$*"; }
}
as_postgres admin-jelszo createuser -P vazuvede_admin
as_postgres munka-jelszo createuser -P vazuvede
as_postgres '' createdb -O vazuvede_admin varolista

file_before=$(md5sum <"$data/Vazuvede.adat")

# The second step, run by root as the server's administrator with the password in root's own
# libpq password file.
printf 'localhost:%s:*:vazuvede_admin:admin-jelszo\n' "$port" >"$root/root/.pgpass"
chmod 600 "$root/root/.pgpass"
in_root sudo /opt/varolista/vazuvede-admin --mappa /var/opt/varolista kiszolgalora \
    --szerep vazuvede "host=localhost port=$port dbname=varolista user=vazuvede_admin" \
    >"$work/move.log" 2>&1 || { cat "$work/move.log"; fail "moving up"; }
grep -q 'egyezik' "$work/move.log" || { cat "$work/move.log"; fail "the move did not compare the counts"; }

# The third step: the connection file in the computer's configuration folder, the ward
# user's password in the user's own password file.
in_root sudo mkdir -p /etc/opt/varolista
echo "host=localhost port=$port dbname=varolista user=vazuvede" \
    >"$root/etc/opt/varolista/Vazuvede.kiszolgalo"
printf 'localhost:%s:varolista:vazuvede:munka-jelszo\n' "$port" >"$root/home/apolo/.pgpass"
in_root chown apolo:apolo /home/apolo/.pgpass
chmod 600 "$root/home/apolo/.pgpass"

# The nightly jobs' password, in the file their units name.
printf 'localhost:%s:varolista:vazuvede:munka-jelszo\n' "$port" >"$root/etc/opt/varolista/pgpass"
in_root chown varolista:varolista /etc/opt/varolista/pgpass
chmod 600 "$root/etc/opt/varolista/pgpass"

server() { # SQL [DATABASE]: one value, read by the server's superuser
    in_root runuser -u postgres -- psql -p "$port" -d "${2:-varolista}" -tAc "$1"
}
[ "$(server 'SELECT OSZTALYNEV FROM OSZTALY')" = "Szemészet" ] || fail "the department is not on the server"

step "the ward user works on the server"
run_as apolo
find_window "$login_title" 60 >/dev/null || { cat "$work/apolo.log"; fail "the ward user did not see the login on the server"; }
[ "$(server "SELECT count(*) FROM pg_stat_activity WHERE usename = 'vazuvede'")" -ge 1 ] \
    || fail "the program did not log in to the server"
echo "the ward user sees \"$login_title\", logged in to the server as vazuvede"
kill "$program_pid"; wait "$program_pid" 2>/dev/null || true; program_pid=
[ "$(md5sum <"$data/Vazuvede.adat")" = "$file_before" ] || fail "the file changed after the move"

step "the nightly jobs on the server, and a restore from their backup"
run_unit varolista-mentes.service
[ "$(backups_made dump | wc -l)" = 1 ] || fail "the backup unit made no backup of the server"
dump=/var/opt/varolista/Mentesek/$(basename "$(backups_made dump)")
[ "$(mode '%a %G' "$dump")" = "660 varolista" ] || fail "server backup mode"
[ "$(md5sum <"$data/Vazuvede.adat")" = "$file_before" ] || fail "the backup unit touched the file"
run_unit varolista-jelentes.service
as_postgres '' createdb -O vazuvede_admin varolista_vissza
in_root sudo /opt/varolista/vazuvede-admin --mappa /var/opt/varolista visszaallitas "$dump" \
    "host=localhost port=$port dbname=varolista_vissza user=vazuvede_admin" \
    >"$work/restore.log" 2>&1 || { cat "$work/restore.log"; fail "restoring the server backup"; }
[ "$(server 'SELECT OSZTALYNEV FROM OSZTALY' varolista_vissza)" = "Szemészet" ] \
    || fail "the restored database lacks the department"
echo "the nightly units back the server up as user varolista; the backup restores"

# Without the server the program says so, and opens no file of its own instead.
in_root pg_ctlcluster 15 main stop || fail "stopping the server"
run_as apolo
find_window "$message_title" 60 >/dev/null || { cat "$work/apolo.log"; fail "no message without the server"; }
find_window "$login_title" 1 >/dev/null && fail "the program logged in without the server"
echo "without the server the ward user gets a message box"
kill "$program_pid"; wait "$program_pid" 2>/dev/null || true; program_pid=
echo "OK"
