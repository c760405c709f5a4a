#!/usr/bin/env bash
# Sets up, builds the program (not the tests), creates a demo store (once) and runs the program
# on it.
# With a display the screens open; without one the check runs on the command line.
set -euo pipefail
cd "$(dirname "$0")/.."
CL_BUILD_TARGET=controllo-listino scripts/setup.sh
ROOT="${CONTROLLO_LISTINO_ROOT:-$PWD/demo-store}"
BIN=build/controllo-listino
if [ ! -e "$ROOT/C/ostrel/tramel.mdb" ]; then
    "$BIN" --root "$ROOT" demo --articles "${DEMO_ARTICLES:-2000}"
fi
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$BIN" --root "$ROOT" "$@"
fi
echo "Nessun display: controllo da riga di comando sul negozio di prova ($ROOT)."
exec "$BIN" --root "$ROOT" check "$@"
