#!/usr/bin/env bash
# Renders the program's icon (packaging/icons/controllo-listino.svg) into the PNG sizes the
# package installs (packaging/icons/N.png). Run after changing the SVG, look at the result, and
# commit both.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v rsvg-convert >/dev/null || { echo "Manca rsvg-convert (pacchetto librsvg2-bin)." >&2; exit 1; }
for size in 16 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" packaging/icons/controllo-listino.svg \
        -o "packaging/icons/$size.png"
done
ls -1 packaging/icons/*.png
