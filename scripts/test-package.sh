#!/usr/bin/env bash
# Builds the Debian package, installs it with apt-get, runs the installed program away from the
# source tree (--version, demo, check, labels --pdf, the manual page, the desktop entry and the
# AppStream file), then removes it and checks that the store it made is still there.
# Needs root (or sudo); CI runs it from scripts/test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
deb="$PWD/$(scripts/package.sh | tail -1)"
installed() {
    dpkg-query -W -f='${Status}' controllo-listino 2>/dev/null | grep -q "install ok installed"
}
if installed; then
    echo "controllo-listino è già installato: questa prova non lo sostituisce." >&2
    exit 1
fi

source_dir=$PWD
work=$(mktemp -d)
remove() {
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get remove -y -qq controllo-listino >/dev/null
}
trap 'if installed; then remove; fi; rm -rf "$work"' EXIT
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "$deb" >/dev/null

fail() { echo "test-package: $*" >&2; exit 1; }
bin=/usr/bin/controllo-listino
[ -x "$bin" ] || fail "manca $bin"
# From an empty folder with nothing of the build in sight.
cd "$work"
version=$("$bin" --version)
[[ "$version" == "controllo-listino "[0-9]* ]] || fail "--version: $version"
"$bin" --root "$work/store" demo --articles 300 >/dev/null
"$bin" --root "$work/store" check >/dev/null
"$bin" --root "$work/store" --yes apply >/dev/null
"$bin" --root "$work/store" labels --pdf "$work/labels.pdf" >/dev/null
[ "$(head -c 5 "$work/labels.pdf")" = "%PDF-" ] || fail "labels --pdf non ha scritto un PDF"
for f in /usr/share/man/man1/controllo-listino.1.gz /usr/share/doc/controllo-listino/README.md \
         /usr/share/icons/hicolor/scalable/apps/controllo-listino.svg \
         /usr/share/icons/hicolor/48x48/apps/controllo-listino.png; do
    [ -s "$f" ] || fail "manca $f"
done
# The manual page carries every command of --help, and the --version option.
man=$(zcat /usr/share/man/man1/controllo-listino.1.gz)
grep -q -- '\\-\\-version' <<<"$man" || fail "pagina di manuale senza --version"
for command in $("$bin" --help | sed -n '/^Comandi:/,$p' | grep -E '^  [a-z]' | awk '{print $1}'); do
    grep -qF ".B ${command//-/\\-}" <<<"$man" || fail "pagina di manuale senza $command"
done
desktop-file-validate /usr/share/applications/controllo-listino.desktop
# Errors fail; the warning that the id is not a reverse domain name is accepted (we have no
# domain to name it after).
appstream=$(appstreamcli validate --no-net /usr/share/metainfo/controllo-listino.metainfo.xml || true)
! grep -q "^E:" <<<"$appstream" || fail "AppStream: $appstream"
grep -q "Validation" <<<"$appstream" || fail "AppStream: $appstream"
# Nothing of the build machine is baked in: no path into the sources or the build.
! strings "$bin" | grep -qF "$source_dir" || fail "$bin nomina $source_dir"
installed_paths=$(dpkg -L controllo-listino)

remove
# Removal takes back every file and folder of the package: nothing the program wrote stays there.
for path in $installed_paths; do
    [ ! -f "$path" ] || fail "$path rimasto dopo la rimozione"
done
[ ! -e /usr/share/doc/controllo-listino ] || fail "/usr/share/doc/controllo-listino rimasta"
[ -f "$work/store/C/ostrel/tramel.mdb" ] || fail "la rimozione ha toccato i dati del negozio"
echo "Pacchetto $(basename "$deb"): installato, provato e rimosso."
