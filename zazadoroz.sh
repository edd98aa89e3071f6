#!/usr/bin/env bash
# Set-up of the waiting-list program on Debian 12: installs what is missing, builds, lays out the
# program folder, then starts the program (run) or runs every test (test); or builds the ward's
# Debian package (package).
#   ./zazadoroz.sh run  [PROGRAM_FOLDER]   default: ./program
#   ./zazadoroz.sh test [PROGRAM_FOLDER]
#   ./zazadoroz.sh package                 build/package/varolista_*.deb
set -euo pipefail

action=${1:-run}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
prefix=$(realpath -m "${2:-$here/program}")
build=${BUILD_DIR:-$here/build}
build=$(realpath -m "$build")

# Qt Charts' CMake files need Qt OpenGL's, which Debian ships apart.
packages=(cmake g++ make pkg-config libgl-dev qt6-base-dev qt6-svg-dev qt6-translations-l10n
          qt6-charts-dev libqt6opengl6-dev
          libsqlcipher-dev sqlcipher libbenchmark-dev python3 poppler-utils
          postgresql postgresql-common libpq-dev)
# The package and its test: Debian's tools that build and check a .deb, and a throw-away
# Debian 12 root with a virtual display to try it in.
package_tools=(dpkg-dev lintian desktop-file-utils appstream debootstrap xvfb xdotool x11-utils)

install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Telepítés: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    # env, not a variable before sudo: sudo would drop it, and debconf would ask in a dialog.
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -q update
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
        "${missing[@]}"
}

# Run with sudo, the build folder and the program folder go back to the user who asked for
# them, when this run made them or they lie in the user's checkout: the next run without sudo,
# and the program itself, must be able to write them. A folder elsewhere that was there before
# (a system folder) keeps its owner.
give_back_too=()
note_new() { [ -e "$1" ] || give_back_too+=("$1"); }
give_back() {
    [ "$(id -u)" -eq 0 ] && [ -n "${SUDO_UID:-}" ] || return 0
    local dir
    for dir in "$build" "$prefix"; do
        [ -e "$dir" ] || continue
        case " ${give_back_too[*]} " in
            *" $dir "*) ;;
            *) case "$dir/" in "$here"/*) ;; *) continue ;; esac ;;
        esac
        chown -R "$SUDO_UID:${SUDO_GID:-$SUDO_UID}" "$dir"
    done
}

# The configure and build steps speak only of trouble; the whole output is in build/build.log.
build_quietly() {
    note_new "$build"
    mkdir -p "$build"
    echo "Fordítás: $build (részletek: $build/build.log)"
    if ! { cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -Wno-dev --log-level=WARNING \
           && cmake --build "$build" -j"$(nproc)"; } >"$build/build.log" 2>&1; then
        tail -n 40 "$build/build.log" >&2
        give_back
        echo "A fordítás nem sikerült; a teljes kimenet: $build/build.log" >&2
        exit 1
    fi
}

build_and_lay_out() {
    build_quietly
    note_new "$prefix"
    cmake --install "$build" --prefix "$prefix" >>"$build/build.log"
    # A new database only where none exists: an existing one holds the department's lists.
    if [ ! -e "$prefix/Vazuvede.adat" ]; then
        "$prefix/vazuvede-init" "$prefix/Vazuvede.adat"
    fi
    # Owner and group only, also for a file made by an earlier set-up.
    chmod 0660 "$prefix/Vazuvede.adat"
    give_back
}

case "$action" in
    run)
        install_missing "${packages[@]}"
        build_and_lay_out
        # Under sudo the program runs as the user who asked for it, so that the database's
        # journal and the reports it writes stay that user's.
        if [ "$(id -u)" -eq 0 ] && [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ]; then
            exec runuser -u "$SUDO_USER" -- "$prefix/zazadoroz"
        fi
        exec "$prefix/zazadoroz"
        ;;
    test)
        install_missing "${packages[@]}" "${package_tools[@]}"
        build_and_lay_out
        rc=0
        ctest --test-dir "$build" --output-on-failure -j"$(nproc)" -LE 'bench|package' || rc=$?
        give_back
        exit "$rc"
        ;;
    package)
        install_missing "${packages[@]}" "${package_tools[@]}"
        build_quietly
        (cd "$build" && cpack -G DEB) >>"$build/build.log" 2>&1 \
            || { tail -n 20 "$build/build.log" >&2; give_back; exit 1; }
        give_back
        ls "$build"/package/varolista_*.deb
        ;;
    *)
        echo "Használat: $0 run|test|package [PROGRAMKÖNYVTÁR]" >&2
        exit 2
        ;;
esac
