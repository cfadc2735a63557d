#!/bin/bash
# A run started by the itinerary program, with its window on a private X
# server: closing the window (as a window manager does) asks the question of
# "Annulla", and a Yes stops the run; so does "Annulla" itself; and so does
# the X server going away (a logout, a dropped ssh -X). Each way nothing is
# printed, nothing is left but the end-of-run file, one line says why and the
# exit status is 1.
#
# Usage: finestra_invocata.sh PATH/TO/vagolume
set -u

PROGRAMMA=$(readlink -f "${1:?usage: $0 PATH/TO/vagolume}")
QUI=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../xvfb/xvfb-comune.sh
source "$QUI/../xvfb/xvfb-comune.sh"
richiedi_strumenti Xvfb xdotool timeout python3
# Under the sanitizers: this program ends normally with the toolkit's X11 and
# D-Bus threads still about, where the leak check at exit is not reliable (its
# own tracer crashes now and then) and finds only the D-Bus library's leak.
# Leaks are not what this test is about.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

prepara_tmp
avvia_xvfb 141 199 "$TMP/xvfb.txt"
mkdir -p "$TMP/casa" "$TMP/xdg" && chmod 700 "$TMP/xdg"

# case: how the run is stopped (chiudi: the window manager's close; annulla:
# Alt+A; schermo: the X server ends), and the word of its one line
ferma() {
    rm -rf "$TMP/lavoro" && mkdir -p "$TMP/lavoro"
    (cd "$TMP/lavoro" && exec env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY HOME="$TMP/casa" XDG_RUNTIME_DIR="$TMP/xdg" \
        CUPS_SERVER="$TMP/nessun-cups.sock" LC_ALL=C.UTF-8 timeout 120 "$PROGRAMMA" "ROMA,01/01/2020,31/12/2029" \
        >"$TMP/uscita.txt" 2>&1) &
    APP_PID=$!
    local id
    id=$(finestra) || true
    [ -n "$id" ] || fallisci "$1: no window"
    if [ "$1" = schermo ]; then
        kill "$XVFB_PID" && wait "$XVFB_PID" 2>/dev/null
        XVFB_PID=""
    else
        if [ "$1" = chiudi ]; then
            python3 "$QUI/../xvfb/chiudi_finestra.py" "$id" || fallisci "close request"
        else
            a_fuoco "$id"
            tasti alt+a
        fi
        domanda >/dev/null || fallisci "$1: no question"
        tasti Return
    fi
    wait "$APP_PID"
    local stato=$?
    APP_PID=""
    [ "$stato" = 1 ] || fallisci "$1: exit status $stato"
    [ "$(cat "$TMP/lavoro/FineStampaPercorsario.tmp" 2>/dev/null)" = $'Fatto\r' ] || fallisci "$1: no end-of-run file"
    [ "$(ls -A "$TMP/lavoro")" = FineStampaPercorsario.tmp ] || fallisci "$1: left in the folder: $(ls -A "$TMP/lavoro")"
    [ "$(grep -c "^vagolume: .*$2" "$TMP/uscita.txt")" = 1 ] || fallisci "$1: no line with '$2'"
    echo "ok: $1: run stopped, nothing printed, status 1"
}
ferma chiudi "stampa annullata"
ferma annulla "stampa annullata"
ferma schermo "schermo non è più disponibile"
echo "OK"
