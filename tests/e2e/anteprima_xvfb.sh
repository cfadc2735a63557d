#!/bin/bash
# The print preview on a private X server, with the keyboard: a trip of a
# whole year (1 January to 31 December of next year), "&Stampa", "Ante&prima":
# the preview must come on screen (the time it took is reported); Page Down must show another
# page; Escape goes back to the printer panel, whose "S&tampa" then prints the
# year on the built-in PDF writer. Then, at scale factor 2 on a screen 1280
# pixels wide, the preview must fit the screen, "Chiudi" included. In between,
# one sheet printed again from the keyboard ("Pa&gine:" 4).
#
# Usage: anteprima_xvfb.sh PATH/TO/vagolume
# Needs Xvfb and xdotool (skipped without them); ImageMagick's import and
# compare for the page-change check, pdfinfo for the page count. With
# VAGOLUME_SCREENSHOT set to a file name, the preview of the first sheet is
# saved there as a PNG; with VAGOLUME_SCREENSHOT_2X, the preview at scale 2.
set -u

PROGRAMMA=$(readlink -f "${1:?usage: $0 PATH/TO/vagolume}")
# shellcheck source=../xvfb/xvfb-comune.sh
source "$(dirname "$0")/../xvfb/xvfb-comune.sh"
richiedi_strumenti Xvfb xdotool timeout

prepara_tmp

avvia_xvfb 120 129 "$TMP/xvfb.txt"

mkdir -p "$TMP/lavoro" "$TMP/casa" "$TMP/xdg"
chmod 700 "$TMP/xdg"
LAVORO="$TMP/lavoro"
FINE="$LAVORO/FineStampaPercorsario.tmp"
ANNO=$(($(date +%Y) + 1))
GIORNI=$((($(date -u -d "$ANNO-12-31" +%s) - $(date -u -d "$ANNO-01-01" +%s)) / 86400 + 1))
ANTEPRIMA="^Anteprima di stampa - ROMA_Vagolume\$"

# Starts the program in $LAVORO with no printing system (the current printer
# is the PDF writer), the given variables added, and sets APP_PID.
avvia_programma() { # [VARIABLE=VALUE...]
    (cd "$LAVORO" && exec env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY HOME="$TMP/casa" XDG_RUNTIME_DIR="$TMP/xdg" \
        CUPS_SERVER=/nonexistent/cups.sock LC_ALL=C.UTF-8 "$@" timeout 240 "$PROGRAMMA" >"$TMP/uscita.txt" 2>&1) &
    APP_PID=$!
}

avvia_programma

W=$(finestra)
[ -n "$W" ] || fallisci "the window did not appear"
a_fuoco "$W"

# The year: the month lists first (choosing a month rebuilds its day list,
# from 31 down to 01), then the days, then the years (the year after this).
timeout 20 xdotool type --delay 60 "roma" || fallisci "xdotool type"
tasti alt+d Tab Down # a month change rebuilds the day list, even from January
tasti --repeat 12 Up # start month 01
tasti shift+Tab
tasti --repeat 40 Down # start day 01, the last entry
tasti Tab Tab Down     # start year: next year
tasti alt+a Tab
tasti --repeat 12 Down # end month 12; the end day stays 31
tasti Tab Down         # end year: next year
sleep 0.3

# The preview, timed from the key press to the window on screen.
tasti alt+s
sleep 0.5
inizio=$(date +%s%N)
timeout 5 xdotool key alt+p || fallisci "xdotool key alt+p"
A=""
for _ in $(seq 200); do
    A=$(timeout 5 xdotool search --onlyvisible --name "$ANTEPRIMA" 2>/dev/null | head -n 1)
    [ -n "$A" ] && break
    sleep 0.02
done
fine=$(date +%s%N)
[ -n "$A" ] || fallisci "Alt+P in the printer panel opened no window titled \"Anteprima di stampa\""
ms=$(((fine - inizio) / 1000000))
# The time is reported, not judged: speed is measured by bench_anteprima.
echo "preview of $((GIORNI + 1)) pages on screen after $ms ms"
a_fuoco "$A"

# Page Down shows another page.
fotografa() { timeout 20 import -display "$DISPLAY" -window "$A" "$1" 2>/dev/null; }
if command -v import >/dev/null 2>&1 && command -v compare >/dev/null 2>&1; then
    sleep 0.5
    fotografa "$TMP/pagina1.png" || fallisci "cannot take a picture of the preview"
    tasti Next
    sleep 0.5
    fotografa "$TMP/pagina2.png" || fallisci "cannot take a picture of the preview"
    diversi=$(compare -metric AE "$TMP/pagina1.png" "$TMP/pagina2.png" null: 2>&1 | cut -d' ' -f1)
    [ "${diversi%.*}" -gt 1000 ] 2>/dev/null || fallisci "Page Down left the preview as it was ($diversi pixels changed)"
    echo "ok: Page Down changed $diversi pixels of the preview"
    if [ -n "${VAGOLUME_SCREENSHOT:-}" ]; then
        cp "$TMP/pagina2.png" "$VAGOLUME_SCREENSHOT" && echo "screenshot: $VAGOLUME_SCREENSHOT"
    fi
else
    tasti Next
    echo "note: ImageMagick missing; the page change is not checked"
fi
tasti Next Next End Home plus minus

# Escape closes the preview; the printer panel is still open.
tasti Escape
for _ in $(seq 100); do
    timeout 5 xdotool search --onlyvisible --name "$ANTEPRIMA" >/dev/null 2>&1 || break
    sleep 0.05
done
timeout 5 xdotool search --onlyvisible --name "$ANTEPRIMA" >/dev/null 2>&1 && fallisci "Escape did not close the preview"
echo "ok: Escape closed the preview"

# "S&tampa" in the panel prints the year.
a_fuoco "$W"
tasti alt+t
D=$(domanda) || fallisci "no confirmation question after S&tampa"
tasti Return
sparita "$D"
for _ in $(seq 300); do
    [ -e "$FINE" ] && break
    # A save dialog or a "saved" box, where the window has them: the proposed
    # name in the working folder, then OK.
    S=$(timeout 5 xdotool search --onlyvisible --name "^Salva come file PDF\$" 2>/dev/null | head -n 1)
    if [ -n "$S" ]; then
        a_fuoco "$S"
        tasti ctrl+a
        timeout 20 xdotool type --delay 20 "$LAVORO/ROMA_Vagolume.pdf" || fallisci "xdotool type"
        tasti Return
    fi
    sleep 0.1
done
[ -e "$FINE" ] || fallisci "the run wrote no end-of-run file"
PDF="$LAVORO/ROMA_Vagolume.pdf"
[ -f "$PDF" ] || fallisci "no ROMA_Vagolume.pdf; the folder holds: $(ls "$LAVORO")"
if command -v pdfinfo >/dev/null 2>&1; then
    pagine=$(pdfinfo "$PDF" 2>/dev/null | awk '/^Pages:/ {print $2}')
    [ "$pagine" = $((GIORNI + 1)) ] || fallisci "the PDF has $pagine pages, expected $((GIORNI + 1))"
fi
echo "ok: the year printed after the preview, $((GIORNI + 1)) pages"
titolata "^Documento salvato\$" 20 >/dev/null && tasti Escape # closed when it comes up

esci_con_fine "$W"

# One sheet again, from the keyboard alone: the default period (today to the
# 31st), its preview, "Pa&gine:" 4, "S&tampa", "Sì", the save dialog: a PDF of
# one page, the third day, numbered "3 di:" the trip's length.
rm -f "$FINE" "$LAVORO"/*.pdf
avvia_programma
W=$(finestra)
[ -n "$W" ] || fallisci "the window did not appear for the reprint"
a_fuoco "$W"
timeout 20 xdotool type --delay 60 "roma" || fallisci "xdotool type"
tasti alt+s alt+p
A=$(titolata "$ANTEPRIMA") || fallisci "no preview of the default period"
a_fuoco "$A"
tasti Next Next Next Escape
sparita "$A"
a_fuoco "$W"
tasti alt+g
timeout 20 xdotool type --delay 60 "4" || fallisci "xdotool type"
if [ -n "${VAGOLUME_SCREENSHOT_PANNELLO:-}" ] && command -v import >/dev/null 2>&1; then
    timeout 20 import -display "$DISPLAY" -window "$W" "$VAGOLUME_SCREENSHOT_PANNELLO" &&
        echo "screenshot: $VAGOLUME_SCREENSHOT_PANNELLO"
fi
tasti alt+t
D=$(domanda) || fallisci "no confirmation question for page 4"
tasti Return
sparita "$D"
S=$(titolata "^Salva come file PDF\$") || fallisci "no save dialog for page 4"
a_fuoco "$S"
tasti ctrl+a
timeout 20 xdotool type --delay 20 "$LAVORO/pagina4.pdf" || fallisci "xdotool type"
tasti Return
for _ in $(seq 100); do
    [ -e "$FINE" ] && break
    sleep 0.1
done
PDF="$LAVORO/pagina4.pdf"
[ -f "$PDF" ] || fallisci "page 4 made no PDF; the folder holds: $(ls "$LAVORO")"
GIORNI_MESE=$((31 - 10#$(date +%d) + 1))
TERZO=$(date -d "+2 days" +%-d) # the sheet says "Gio 10 Dic"
if command -v pdfinfo >/dev/null 2>&1 && command -v pdftotext >/dev/null 2>&1; then
    pagine=$(pdfinfo "$PDF" 2>/dev/null | awk '/^Pages:/ {print $2}')
    [ "$pagine" = 1 ] || fallisci "page 4 gave a PDF of $pagine pages"
    testo=$(pdftotext -layout "$PDF" - 2>/dev/null | tr -s ' \n' ' ')
    echo "$testo" | grep -Eq " [A-Z][a-z][a-z] 0?$TERZO [A-Z][a-z][a-z] " ||
        fallisci "the sheet is not of the third day, the ${TERZO}th: $testo"
    # The day counter's cell: "Progress." 3, then "di:" and the total.
    { echo "$testo" | grep -q "Progress\. 3 " && echo "$testo" | grep -q " di: $GIORNI_MESE "; } ||
        fallisci "the sheet is not numbered \"3 di: $GIORNI_MESE\": $testo"
    echo "ok: page 4 alone is one page, the third day (the ${TERZO}th), \"3 di: $GIORNI_MESE\""
fi
[ -n "${VAGOLUME_PDF_PAGINA4:-}" ] && cp "$PDF" "$VAGOLUME_PDF_PAGINA4"
titolata "^Documento salvato\$" 20 >/dev/null && tasti Escape # closed when it comes up
a_fuoco "$W"
esci_con_fine "$W"

# Scale factor 2 on a 1280x1024 screen: the preview fits it.
kill "$XVFB_PID" 2>/dev/null
wait "$XVFB_PID" 2>/dev/null
XVFB_PID=""
avvia_xvfb 120 129 "$TMP/xvfb2.txt" 1280x1024
avvia_programma QT_SCALE_FACTOR=2
W=$(finestra)
[ -n "$W" ] || fallisci "the window did not appear at scale 2"
a_fuoco "$W"
timeout 20 xdotool type --delay 60 "roma" || fallisci "xdotool type"
tasti alt+s alt+p
A=$(titolata "$ANTEPRIMA") || fallisci "no preview at scale 2"
sleep 0.5
eval "$(timeout 5 xdotool getwindowgeometry --shell "$A")"
[ "$X" -ge 0 ] && [ $((X + WIDTH)) -le 1280 ] && [ "$Y" -ge 0 ] && [ $((Y + HEIGHT)) -le 1024 ] ||
    fallisci "the preview at scale 2 is ${WIDTH}x${HEIGHT} at $X,$Y: it does not fit a 1280x1024 screen"
echo "ok: at scale 2 the preview is ${WIDTH}x${HEIGHT} at $X,$Y, within the 1280x1024 screen"
if [ -n "${VAGOLUME_SCREENSHOT_2X:-}" ] && command -v import >/dev/null 2>&1; then
    timeout 20 import -display "$DISPLAY" -window root "$VAGOLUME_SCREENSHOT_2X" &&
        echo "screenshot: $VAGOLUME_SCREENSHOT_2X"
fi
tasti Escape
a_fuoco "$W"
esci_con_fine "$W"
echo "PASS"
