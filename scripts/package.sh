#!/usr/bin/env bash
# Builds the Debian package build/controllo-listino_VERSION_amd64.deb: sets up (the packages
# scripts/setup.sh installs), builds the program alone (not the tests) and its manual page from
# --help, then runs cpack. Arguments go to cmake.
set -euo pipefail
cd "$(dirname "$0")/.."
CL_BUILD_TARGET=controllo-listino scripts/setup.sh "$@"
cmake --build build --target manpage
(cd build && cpack -G DEB >/dev/null)
version=$(build/controllo-listino --version | cut -d' ' -f2)
deb="build/controllo-listino_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "Pacchetto non trovato: $deb" >&2; exit 1; }
echo "$deb"
