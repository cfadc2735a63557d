#!/bin/bash
# The real window on a private X server, driven with the keyboard as a person
# would: a three-day itinerary printed on the built-in PDF writer, two blank
# sheets, then a long blank run cancelled with "&Annulla".
#
# Usage: finestra_xvfb.sh PATH/TO/vagolume
# Needs Xvfb and xdotool (skipped without them). With VAGOLUME_SCREENSHOT set
# to a file name and ImageMagick's import installed, the idle window is saved
# there as a PNG.
set -u

PROGRAMMA=$(readlink -f "${1:?usage: $0 PATH/TO/vagolume}")
for strumento in Xvfb xdotool timeout; do
    if ! command -v "$strumento" >/dev/null 2>&1; then
        echo "SKIP: $strumento is not installed"
        exit 0
    fi
done

TMP=$(mktemp -d)
XVFB_PID=""
APP_PID=""
pulisci() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    [ -n "$APP_PID" ] && wait "$APP_PID" 2>/dev/null
    [ -n "$XVFB_PID" ] && wait "$XVFB_PID" 2>/dev/null
    rm -rf "$TMP"
}
trap pulisci EXIT

fallisci() {
    echo "FAIL: $*"
    echo "--- program output:"
    cat "$TMP/uscita.txt" 2>/dev/null
    echo "--- working folder:"
    ls -la "$TMP/lavoro" 2>/dev/null
    exit 1
}

source "$(dirname "$0")/../xvfb/xvfb-comune.sh"
avvia_xvfb 73 140 "$TMP/xvfb.txt"

mkdir -p "$TMP/lavoro" "$TMP/casa" "$TMP/xdg"
chmod 700 "$TMP/xdg"
LAVORO="$TMP/lavoro"
FINE="$LAVORO/FineStampaPercorsario.tmp"

(cd "$LAVORO" && exec env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY HOME="$TMP/casa" XDG_RUNTIME_DIR="$TMP/xdg" \
    LC_ALL=C.UTF-8 timeout 240 "$PROGRAMMA" >"$TMP/uscita.txt" 2>&1) &
APP_PID=$!

attendi_file() {
    for _ in $(seq 300); do
        [ -e "$1" ] && return 0
        sleep 0.1
    done
    fallisci "$1 was not written"
}
controlla_fine() {
    attendi_file "$FINE"
    [ "$(cat "$FINE")" = $'Fatto\r' ] || fallisci "end-of-run file holds '$(cat -A "$FINE")'"
}
# Pages of a PDF: the cover plus one per sheet once the sheets are drawn
# (a PDF with no text at all comes from a build whose sections draw nothing).
controlla_pdf() {
    local pdf="$1" attese="$2" pagine
    [ -f "$pdf" ] || fallisci "no $pdf"
    [ "$(head -c 5 "$pdf")" = "%PDF-" ] || fallisci "$pdf is not a PDF"
    if command -v pdfinfo >/dev/null 2>&1; then
        pagine=$(pdfinfo "$pdf" 2>/dev/null | awk '/^Pages:/ {print $2}')
        if command -v pdftotext >/dev/null 2>&1 && [ -n "$(pdftotext "$pdf" - 2>/dev/null | tr -d '[:space:]')" ]; then
            [ "$pagine" = "$attese" ] || fallisci "$pdf has $pagine pages, expected $attese"
        else
            [ "${pagine:-0}" -ge 1 ] || fallisci "$pdf has no pages"
            echo "note: $pdf carries no text yet ($pagine page(s)); page count not checked"
        fi
    fi
}

W=$(finestra)
[ -n "$W" ] || fallisci "the window did not appear"
a_fuoco "$W"

# 1. A three-day itinerary: destination typed in lower case, 01 to 03 January
#    of the current year picked with the arrow keys.
# "ù" is not on the server's keyboard map: xdotool maps it to a spare key for
# the moment of the key press, so it goes slowly, giving the program time to
# read the key before the map is put back, even on a busy machine.
timeout 20 xdotool type --delay 60 "cefal" && timeout 20 xdotool type --delay 800 "ù" || fallisci "xdotool type"
tasti alt+d
tasti --repeat 40 Up # first day of the list: 01
tasti Tab
tasti --repeat 12 Up # January: the day list is rebuilt, 01 stays
tasti alt+a
tasti --repeat 40 Up
tasti Down Down # 03
tasti Tab
tasti --repeat 12 Up # January
sleep 0.5
if [ -n "${VAGOLUME_SCREENSHOT:-}" ] && command -v import >/dev/null 2>&1; then
    eval "$(timeout 5 xdotool getwindowgeometry --shell "$W")"
    timeout 20 import -display "$DISPLAY" -window root "$TMP/schermo.png" &&
        timeout 20 convert "$TMP/schermo.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$VAGOLUME_SCREENSHOT" &&
        echo "screenshot: $VAGOLUME_SCREENSHOT"
fi
tasti alt+s End alt+t # the printer panel, the last entry (the PDF writer), "S&tampa"
D=$(domanda) || fallisci "no confirmation question after S&tampa"
tasti Return # "Sì" is the default answer
sparita "$D"
controlla_fine
PDF="$LAVORO/CEFALÙ_Vagolume.pdf"
[ -e "$PDF" ] || fallisci "no $(basename "$PDF"); the folder holds: $(ls "$LAVORO")"
controlla_pdf "$PDF" 4
echo "ok: itinerary of three days printed to $(basename "$PDF")"
rm -f "$PDF" "$FINE"

# 2. Two blank sheets.
a_fuoco "$W"
tasti alt+m alt+n Down # "&Moduli in bianco", "&Num. pagine:" 02
tasti alt+s End alt+t
D=$(domanda) || fallisci "no confirmation question for the blank sheets"
tasti Return
sparita "$D"
controlla_fine
controlla_pdf "$PDF" 3
echo "ok: two blank sheets printed"
rm -f "$PDF" "$FINE"

# 3. 99 blank sheets, cancelled with "&Annulla". Return and a few Alt+A go out
#    together, so that Alt+A is waiting when the run first looks at the
#    window; should the run still be over before (sheets that draw next to
#    nothing go fast), the attempt is repeated.
a_fuoco "$W"
tasti alt+n
tasti --repeat 97 Down # 99
annullata=""
for tentativo in $(seq 10); do
    a_fuoco "$W"
    tasti alt+s End alt+t
    D=$(domanda) || fallisci "no confirmation question for the long run"
    timeout 10 xdotool key --delay 2 Return alt+a alt+a alt+a alt+a alt+a || fallisci "xdotool key Return alt+a"
    if D2=$(domanda "$D" 30); then
        tasti Return # "Sì": cancel
        sparita "$D2"
        annullata=1
        break
    fi
    echo "note: attempt $tentativo: the run was over before Alt+A was taken; again"
    controlla_fine
    rm -f "$LAVORO"/*.pdf "$FINE"
done
[ -n "$annullata" ] || fallisci "Alt+A during the run never asked to cancel"
controlla_fine
if ls "$LAVORO"/*.pdf >/dev/null 2>&1; then
    fallisci "a cancelled run left $(ls "$LAVORO"/*.pdf)"
fi
echo "ok: cancelled run printed nothing and wrote the end-of-run file"

# 4. "&Fine" ends the program.
esci_con_fine "$W"
echo "PASS"
