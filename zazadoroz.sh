#!/usr/bin/env bash
# Set-up of the waiting-list program on Debian 12: installs what is missing, builds, lays out the
# program folder, then starts the program (run) or runs every test (test).
#   ./zazadoroz.sh run  [PROGRAM_FOLDER]   default: ./program
#   ./zazadoroz.sh test [PROGRAM_FOLDER]
set -euo pipefail

action=${1:-run}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
prefix=$(realpath -m "${2:-$here/program}")
build=${BUILD_DIR:-$here/build}

packages=(cmake g++ make pkg-config libgl-dev qt6-base-dev qt6-svg-dev qt6-translations-l10n
          libsqlcipher-dev sqlcipher libbenchmark-dev python3 poppler-utils)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Telepítés: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
}

build_and_lay_out() {
    cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build "$build" -j"$(nproc)"
    cmake --install "$build" --prefix "$prefix"
    # A new database only where none exists: an existing one holds the department's lists.
    if [ ! -e "$prefix/Vazuvede.adat" ]; then
        "$prefix/vazuvede-init" "$prefix/Vazuvede.adat"
    fi
}

case "$action" in
    run)
        install_missing
        build_and_lay_out
        exec "$prefix/zazadoroz"
        ;;
    test)
        install_missing
        build_and_lay_out
        ctest --test-dir "$build" --output-on-failure -j"$(nproc)" -LE bench
        ;;
    *)
        echo "Használat: $0 run|test [PROGRAMKÖNYVTÁR]" >&2
        exit 2
        ;;
esac
