#!/usr/bin/env bash
# Builds the Debian package build/controllo-listino_VERSION_amd64.deb: the program alone (not
# the tests), its manual page from --help, then cpack. Needs what scripts/setup.sh installs;
# arguments go to cmake when build/ is configured here.
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
[ -f build/CMakeCache.txt ] || \
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
cmake --build build --target controllo-listino manpage
(cd build && cpack -G DEB >/dev/null)
version=$(build/controllo-listino --version | cut -d' ' -f2)
deb="build/controllo-listino_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "Pacchetto non trovato: $deb" >&2; exit 1; }
echo "$deb"
