#!/usr/bin/env bash
# Installs the build into a temporary folder as a package would (DESTDIR, prefix /usr) and
# checks what a desktop needs of it: every file in its place, the desktop entry, the file
# type and the AppStream data valid, the file type recognised by its content, the programs
# started from an unrelated folder. With a virtual display (xvfb-run, openbox, xdotool) the
# installed program is also used as a person would: a saved choice opened from the command
# line and all three documents shown.
#
#   check-install.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dest=$work/dest
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

DESTDIR=$dest cmake --install "$build" --prefix /usr >/dev/null
share=$dest/usr/share
id=de.igs_brunsmark.Fachlese

for f in usr/bin/fachlese usr/bin/fachlese-check \
    usr/share/fachlese/Verordnung.rtf usr/share/fachlese/Anleitung.rtf usr/share/fachlese/Hilfe.rtf \
    usr/share/fachlese/abitur.ini \
    usr/share/applications/$id.desktop usr/share/metainfo/$id.metainfo.xml \
    usr/share/mime/packages/$id.xml usr/share/icons/hicolor/scalable/apps/$id.svg \
    usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/$id.png \
    usr/share/man/man1/fachlese.1.gz usr/share/man/man1/fachlese-check.1.gz \
    usr/share/doc/fachlese/copyright usr/share/doc/fachlese/changelog.gz \
    usr/bin/fachlese-web usr/share/man/man1/fachlese-web.1.gz usr/lib/systemd/system/fachlese-web.service \
    usr/lib/sysusers.d/fachlese-web.conf etc/default/fachlese-web etc/nginx/sites-available/fachlese-web; do
    [ -f "$dest/$f" ] || fail "not installed: $f"
done
# The installed checker finds the installed Abitur model from any folder.
nulls() { printf 'null, %.0s' $(seq 2 "$1"); printf null; }
printf '{"format": "fachlese-abitur", "version": 1, "grundkurse": [%s], "leistungskurse": [%s], "semester4": [%s], "pruefungen": [%s]}' \
    "$(nulls 22)" "$(nulls 6)" "$(nulls 4)" "$(nulls 4)" >"$work/punkte.json"
abitur=$(cd "$work" && "$dest/usr/bin/fachlese-check" --abitur punkte.json 2>&1 || true)
grep -q "^Berechnung nach: KMK-Rahmen" <<<"$abitur" ||
    fail "fachlese-check --abitur does not find the installed abitur.ini"
for size in 16 32 48 64 128 256; do
    png=$share/icons/hicolor/${size}x${size}/apps/$id.png
    [ -f "$png" ] && { file "$png" | grep -q "PNG image data, $size x $size" || fail "icon $png is not $size px"; }
done
# Nothing of the build folder may be baked into the installed programs (debugging data aside).
for program in fachlese fachlese-check fachlese-web; do
    objcopy --strip-all "$dest/usr/bin/$program" "$work/$program.stripped"
    if grep -q -a -F "$build" "$work/$program.stripped"; then
        fail "the build folder is named in the installed $program"
    fi
done
pass "files installed"

desktop-file-validate "$share/applications/$id.desktop" && pass "desktop entry valid" || fail "desktop-file-validate"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" >/dev/null &&
    pass "AppStream data valid" || fail "appstreamcli validate"
xmllint --noout "$share/mime/packages/$id.xml" && pass "MIME XML well-formed" || fail "xmllint"
for f in "$dest"/usr/share/man/man1/*.gz; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$f" 2>&1 >/dev/null || true)
    [ -z "$warnings" ] || fail "man page $f: $warnings"
done

# The file type: by content a saved choice is Fachlese's and a text file is not, whatever its
# name; the desktop entry is the one that opens it.
export XDG_DATA_DIRS=$share:/usr/local/share:/usr/share XDG_DATA_HOME=$work/home-data
update-mime-database "$share/mime"
update-desktop-database "$share/applications"
saved=$work/anna.fld
printf 'Fachlese\r\n' >"$saved"
for _ in $(seq 12); do printf 'Deutsch\t\t\t\r\n' >>"$saved"; done
cp "$saved" "$work/anna-ohne-endung"
printf 'Einkaufsliste\r\nMilch\r\n' >"$work/liste.fld"
kind() { mimetype -b -M "$1"; } # by content alone
same() { [ "$2" = "$3" ] && pass "$1" || fail "$1: \"$2\" instead of \"$3\""; } # WHAT ACTUAL EXPECTED
same "saved choice recognised by content" "$(kind "$work/anna-ohne-endung")" application/x-fachlese
same "text file ending in .fld not taken for a choice" "$(kind "$work/liste.fld")" text/plain
same "xdg-mime names the type" "$(XDG_CURRENT_DESKTOP=X-Generic xdg-mime query filetype "$saved")" \
    application/x-fachlese
same "the desktop entry opens saved choices" "$(xdg-mime query default application/x-fachlese)" "$id.desktop"

# The installed programs, started from an unrelated folder.
mkdir -p "$work/elsewhere"
cd "$work/elsewhere"
same "fachlese-check --version" "$("$dest/usr/bin/fachlese-check" --version)" "fachlese-check $FACHLESE_VERSION"
same "fachlese --version" "$("$dest/usr/bin/fachlese" --version)" "fachlese $FACHLESE_VERSION"
same "fachlese-web --version" "$("$dest/usr/bin/fachlese-web" --version)" "fachlese-web $FACHLESE_VERSION"

# The service as systemd reads it, with the installed program and manual page in their places.
if command -v systemd-analyze >/dev/null; then
    sed "s|/usr/bin/fachlese-web|$dest/usr/bin/fachlese-web|" \
        "$dest/usr/lib/systemd/system/fachlese-web.service" >"$work/fachlese-web.service"
    verdict=$(MANPATH=$dest/usr/share/man systemd-analyze verify "$work/fachlese-web.service" 2>&1) &&
        [ -z "$verdict" ] && pass "systemd-analyze verify" || fail "systemd-analyze verify: $verdict"
    exposure=$(systemd-analyze security --offline=true "$work/fachlese-web.service" 2>/dev/null |
        sed -n 's/.*Overall exposure level for [^:]*: \([0-9.]*\).*/\1/p')
    awk -v e="$exposure" 'BEGIN { exit !(e != "" && e + 0 <= 2.0) }' &&
        pass "service exposure $exposure" || fail "service exposure level '$exposure' above 2.0"
else
    echo "skipped: systemd-analyze is missing"
fi

if ! command -v xvfb-run >/dev/null || ! command -v xdotool >/dev/null || ! command -v openbox >/dev/null ||
    ! command -v wmctrl >/dev/null; then
    echo "skipped: the session under a virtual display (xvfb-run, xdotool, openbox, wmctrl missing)"
else
    export FACHLESE_DEST=$dest FACHLESE_SAVED=$saved
    if xvfb-run -a -s "-screen 0 1024x768x24" bash "$here/use-installed.sh"; then
        pass "installed program opens the file and shows all three documents"
    else
        fail "the installed program under a virtual display"
    fi
fi

[ "$failures" -eq 0 ] && echo "all install checks passed" || { echo "$failures install checks failed" >&2; exit 1; }
