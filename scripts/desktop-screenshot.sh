#!/usr/bin/env bash
# Starts the installed program through its desktop entry's Exec line under Xvfb, with HOME in
# a temporary folder (a demo store there when DEMO=1), and saves a screenshot of the screen
# into FILE (default desktop-start.png). Needs the package installed, xvfb and imagemagick.
# Look at the picture.
set -euo pipefail
OUT="$(realpath -m "${1:-desktop-start.png}")"
entry=/usr/share/applications/controllo-listino.desktop
[ -f "$entry" ] || { echo "Manca $entry: installare il pacchetto." >&2; exit 1; }
exec_line=$(sed -n 's/^Exec=//p' "$entry" | sed 's/ %[fFuU]//g')
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
if [ "${DEMO:-0}" = 1 ]; then
    HOME="$home" controllo-listino demo --articles 300 >/dev/null
fi
export HOME="$home"
xvfb-run -a -s "-screen 0 1280x800x24" bash -c "
    unset QT_QPA_PLATFORM
    $exec_line & pid=\$!
    sleep \${WAIT:-6}
    import -window root '$OUT'
    kill \$pid"
echo "$OUT"
