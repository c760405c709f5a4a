#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need (only those missing),
# then configures and builds into build/. Arguments go to cmake (e.g. -DCL_WERROR=ON);
# CL_BUILD_TARGET=NAME builds only that target (run-demo.sh builds the program alone).
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(g++ cmake ninja-build pkg-config libsqlite3-dev sqlite3 libgtest-dev googletest
          qt6-base-dev qt6-translations-l10n libgl-dev mdbtools poppler-utils fonts-liberation xvfb xauth
          libicu-dev libzint-dev libxlsxwriter-dev zbar-tools python3-openpyxl libzip-dev libexpat1-dev
          postgresql libpq-dev dpkg-dev desktop-file-utils appstream)
missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    echo "Installazione pacchetti: ${missing[*]}"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build build ${CL_BUILD_TARGET:+--target "$CL_BUILD_TARGET"}
