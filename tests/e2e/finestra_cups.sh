#!/bin/bash
# The real window printing on a real CUPS queue: a private cupsd with two
# cups-pdf queues and a private X server; the window is driven with the
# keyboard as a person would.
#
#  1. "lago maggiore", 01 to 03 January, Alt+S, the queue Vagolume_Laser (not
#     the server's default) chosen in the list with the keyboard, Alt+T, "Sì":
#     one job titled LAGO_MAGGIORE_Vagolume on Vagolume_Laser, cover + 3
#     sheets, nothing written into the working folder, "Fatto" CR LF.
#  2. Alt+S then Alt+R ("&Rinuncia"): the panel closes, nothing is printed.
#  3. Alt+S, Alt+T straight away: the panel opens on the current printer,
#     the queue chosen before, and a second job goes to Vagolume_Laser.
#  4. Alt+F ends the program with status 0.
#
# Usage: finestra_cups.sh PATH/TO/vagolume
# Skipped (exit 77) without Xvfb, xdotool, cupsd, cups-pdf or pdfinfo, or when
# not run as root (cups-pdf needs a cupsd started by root).
set -u

# shellcheck source=../xvfb/xvfb-comune.sh
source "$(dirname "$0")/../xvfb/xvfb-comune.sh"
richiedi_strumenti Xvfb xdotool timeout

VAGOLUME=$(readlink -f "${1:?usage: $0 PATH/TO/vagolume}")
# DIR, the CUPS_SERVER/CUPS_SERVERROOT variables, richiedi_server, pagine...
source "$(dirname "$0")/../cups/e2e-comune.sh"

pulisci() {
    ferma_processi
    bash "$CUPS_PRIVATO" stop "$DIR" # stops cupsd by the pid it recorded
    rm -rf "$DIR"
}
trap pulisci EXIT

richiedi_server

fallisci() {
    echo "FAIL: $*"
    echo "--- program output:"
    cat "$DIR/uscita.txt" 2>/dev/null
    echo "--- working folder:"
    ls -la "$DIR/run" 2>/dev/null
    echo "--- jobs:"
    lpstat -W all -o 2>/dev/null
    cat "$DIR/log/page_log" 2>/dev/null
    exit 1
}

CODA=Vagolume_Laser
TITOLO_LAVORO=LAGO_MAGGIORE_Vagolume
# The program names the job after the destination, spaces made "_". cups-pdf
# names its file after the job title, keeping ASCII letters, digits, "_", "."
# and "-" and turning every other byte into "_" ("CEFALÙ" gives "CEFAL__",
# "SANT'ANNA" "SANT_ANNA"): this title comes through unchanged.
USCITA="$DIR/out/$TITOLO_LAVORO.pdf"
[ "$(lpstat -d)" != "system default destination: $CODA" ] || fallisci "$CODA must not be the default queue"
# The printer list shows the queues in the server's order, then the PDF writer.
POSIZIONE=$(lpstat -e | grep -nx "$CODA" | cut -d: -f1)
[ -n "$POSIZIONE" ] || fallisci "no queue $CODA on the private server"

avvia_xvfb 141 210 "$DIR/xvfb.txt"

mkdir -p "$DIR/casa"
LAVORO="$DIR/run"
FINE="$LAVORO/FineStampaPercorsario.tmp"

(cd "$LAVORO" && exec env HOME="$DIR/casa" timeout 300 "$VAGOLUME" >"$DIR/uscita.txt" 2>&1) &
APP_PID=$!

# Waits (bounded: three minutes, the filters run Ghostscript) until the
# server has no pending job.
lavori_finiti() {
    for _ in $(seq 1800); do
        [ -z "$(lpstat -o 2>/dev/null)" ] && return 0
        sleep 0.1
    done
    fallisci "jobs still pending: $(lpstat -o)"
}
# The completed job NAME on the server: its title and page count as the
# server's page log records them ("QUEUE USER ID [DATE ZONE] total PAGES BILLING HOST TITLE ...").
controlla_lavoro() {
    local lavoro=$1 id=${1##*-} riga
    lpstat -W completed -o | awk '{ print $1 }' | grep -qx "$lavoro" ||
        fallisci "no completed job $lavoro: $(lpstat -W completed -o | awk '{ print $1 }' | tr '\n' ' ')"
    riga=$(awk -v c="$CODA" -v id="$id" '$1 == c && $3 == id && $6 == "total"' "$DIR/log/page_log" 2>/dev/null)
    [ -n "$riga" ] || fallisci "job $lavoro is not in the page log"
    # shellcheck disable=SC2086 # split into the log's fields
    set -- $riga
    [ "${10}" = "$TITOLO_LAVORO" ] || fallisci "job $lavoro is titled '${10}', expected $TITOLO_LAVORO"
    [ "$7" = 4 ] || fallisci "the server counted $7 pages for job $lavoro, expected 4"
}
controlla_uscita() {
    [ -f "$USCITA" ] || fallisci "cups-pdf wrote '$(ls "$DIR/out")', expected $(basename "$USCITA")"
    [ "$(ls "$DIR/out" | wc -l)" = 1 ] || fallisci "cups-pdf wrote more than one file: $(ls "$DIR/out")"
    local n
    n=$(pagine "$USCITA")
    [ "$n" = 4 ] || fallisci "$(basename "$USCITA") has '$n' pages, expected 4 (cover + 3 sheets)"
}
niente_in_cartella() {
    if ls "$LAVORO"/*.pdf >/dev/null 2>&1; then
        fallisci "a PDF was written into the working folder: $(ls "$LAVORO"/*.pdf)"
    fi
    [ -z "$(ls -A "$DIR/temp-app")" ] || fallisci "temporary files left: $(ls -A "$DIR/temp-app")"
}

W=$(finestra)
[ -n "$W" ] || fallisci "the window did not appear"
a_fuoco "$W"
pannello 0

# 1. "lago maggiore", 01 to 03 January of the current year picked with the
#    arrow keys, printed on Vagolume_Laser chosen in the list.
timeout 20 xdotool type --delay 60 "lago maggiore" || fallisci "xdotool type"
tasti alt+d
tasti --repeat 40 Up # first day of the list: 01
tasti Tab
tasti --repeat 12 Up # January: the day list is rebuilt, 01 stays
tasti alt+a
tasti --repeat 40 Up
tasti Down Down # 03
tasti Tab
tasti --repeat 12 Up # January
tasti alt+s
pannello 1
# Home chooses the first entry, each Down the next one.
tasti Home
[ "$POSIZIONE" -gt 1 ] && tasti --repeat $((POSIZIONE - 1)) Down
tasti alt+t
D=$(domanda) || fallisci "no confirmation question after S&tampa"
tasti Return # "Sì" is the default answer
sparita "$D"
fine_scritta "$FINE" 600
lavori_finiti
controlla_lavoro "$CODA-1"
controlla_uscita
niente_in_cartella
echo "ok: job $CODA-1 titled $TITOLO_LAVORO, 4 pages, written by cups-pdf as $(basename "$USCITA")"
mv "$USCITA" "$DIR/primo.pdf"
rm -f "$FINE"

# 2. "&Rinuncia" closes the panel and prints nothing.
a_fuoco "$W"
tasti alt+s
pannello 1
tasti alt+r
pannello 0
# With the panel closed, Alt+T is no shortcut: no question comes up.
tasti alt+t
if D=$(domanda "" 20); then
    fallisci "Alt+T printed with the panel closed after &Rinuncia"
fi
[ ! -e "$FINE" ] || fallisci "&Rinuncia wrote the end-of-run file"
! lpstat -W all -o | grep -qv "^$CODA-1 " || fallisci "&Rinuncia printed: $(lpstat -W all -o)"
echo "ok: &Rinuncia closed the panel, nothing printed"

# 3. The list opens on the printer chosen before: the run goes there again.
a_fuoco "$W"
tasti alt+s
pannello 1
tasti alt+t
D=$(domanda) || fallisci "no confirmation question for the second print"
tasti Return
sparita "$D"
fine_scritta "$FINE" 600
lavori_finiti
controlla_lavoro "$CODA-2"
controlla_uscita
niente_in_cartella
lavori=$(lpstat -W completed -o | awk '{ print $1 }' | sort | tr '\n' ' ')
[ "$lavori" = "$CODA-1 $CODA-2 " ] || fallisci "jobs on the server: '$lavori' (expected $CODA-1 $CODA-2)"
echo "ok: second print, the list left as it opened, went to $CODA as job $CODA-2, 4 pages"

# 4. "&Fine" ends the program.
esci_con_fine "$W"
echo "PASS"
