# Shared by the tests that drive the real window on a private X server; meant
# to be sourced after "set -u".
#
#   richiedi_strumenti CMD...   exits 77 (skipped) with "SKIP: ..." when one is missing
#   ferma_processi              ends the program ($APP_PID) and the X server
#                               ($XVFB_PID) of the test, by their ids
#   prepara_tmp                 a private folder $TMP, removed at exit after
#                               ferma_processi and the caller's altra_pulizia
#                               (when it defines one)
#   fallisci MESSAGE            reports, shows the program's output
#                               ($TMP/uscita.txt) and $TMP/lavoro, exits 1;
#                               a caller may define its own after sourcing
#   avvia_xvfb FIRST LAST LOG [WxH]
#                               starts Xvfb with a WxH screen (1024x768) on a
#                               free display in FIRST..LAST
#                               (VAGOLUME_DISPLAY_DA..VAGOLUME_DISPLAY_A when
#                               set), exports DISPLAY and sets XVFB_PID
#   finestra                    id of the program's window, waiting for it
#   tasti KEY...                presses keys (xdotool names)
#   a_fuoco ID                  gives a window the focus
#   domanda [EXCLUDED [TRIES]]  waits for the Yes/No box (not EXCLUDED),
#                               focuses it and prints its id
#   sparita ID                  waits until the Yes/No box ID has closed
#   esci_con_fine ID            Alt+F in window ID: the program ($APP_PID)
#                               must end with status 0
#   titolata TITLE [TRIES [EXCLUDED]]
#                               waits for a window titled TITLE (a regular
#                               expression; not EXCLUDED), focuses it and
#                               prints its id
#   chiusa ID TITLE             waits until window ID titled TITLE has closed
#   fine_scritta FILE [TRIES]   waits (TRIES tenths of a second, default 300)
#                               for the end-of-run file FILE and checks that
#                               it holds "Fatto" CR LF
#   pannello 0|1                waits until the printer panel of window $W is
#                               hidden (0) or shown (1); not checked without
#                               ImageMagick

TITOLO="^Stampa moduli per  'Vagolume'\$"
DOMANDA="^Stampa dei moduli\$"
XVFB_PID=""
APP_PID=""

richiedi_strumenti() {
    local strumento
    for strumento in "$@"; do
        if ! command -v "$strumento" >/dev/null 2>&1; then
            echo "SKIP: $strumento is not installed"
            exit 77
        fi
    done
}

prepara_tmp() {
    TMP=$(mktemp -d)
    trap pulisci_tmp EXIT
}

pulisci_tmp() {
    ferma_processi
    if declare -F altra_pulizia >/dev/null; then altra_pulizia; fi
    rm -rf "$TMP"
}

fallisci() {
    echo "FAIL: $*"
    echo "--- program output:"
    cat "$TMP/uscita.txt" 2>/dev/null
    echo "--- working folder:"
    ls -la "$TMP/lavoro" 2>/dev/null
    exit 1
}

ferma_processi() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    [ -n "$APP_PID" ] && wait "$APP_PID" 2>/dev/null
    [ -n "$XVFB_PID" ] && wait "$XVFB_PID" 2>/dev/null
}

# A display number nobody uses; Xvfb gives up at once when another server
# took it meanwhile, and the next number is tried.
avvia_xvfb() {
    local primo=${VAGOLUME_DISPLAY_DA:-$1} ultimo=${VAGOLUME_DISPLAY_A:-$2} registro=$3 schermo=${4:-1024x768} numero
    for numero in $(seq "$primo" "$ultimo"); do
        [ -e "/tmp/.X$numero-lock" ] || [ -e "/tmp/.X11-unix/X$numero" ] && continue
        Xvfb ":$numero" -screen 0 "${schermo}x24" -nolisten tcp >"$registro" 2>&1 &
        XVFB_PID=$!
        for _ in $(seq 50); do
            if DISPLAY=":$numero" timeout 2 xdotool getdisplaygeometry >/dev/null 2>&1; then
                export DISPLAY=":$numero"
                return 0
            fi
            kill -0 "$XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
        XVFB_PID=""
    done
    fallisci "no X server could be started"
}

finestra() { timeout 20 xdotool search --sync --onlyvisible --name "$TITOLO" 2>/dev/null | head -n 1; }
tasti() { timeout 30 xdotool key --delay 30 "$@" || fallisci "xdotool key $*"; }
a_fuoco() { timeout 5 xdotool windowfocus --sync "$1" >/dev/null 2>&1 || fallisci "cannot focus window $1"; }

titolata() {
    local titolo="$1" prove="${2:-150}" escluso="${3:-}" id
    for _ in $(seq "$prove"); do
        for id in $(timeout 5 xdotool search --onlyvisible --name "$titolo" 2>/dev/null); do
            if [ "$id" != "$escluso" ]; then
                a_fuoco "$id"
                echo "$id"
                return 0
            fi
        done
        sleep 0.1
    done
    return 1
}
domanda() { titolata "$DOMANDA" "${2:-150}" "${1:-}"; }

chiusa() {
    for _ in $(seq 100); do
        timeout 5 xdotool search --onlyvisible --name "$2" 2>/dev/null | grep -qx "$1" || return 0
        sleep 0.1
    done
    fallisci "the window $1 ($2) did not close"
}
sparita() { chiusa "$1" "$DOMANDA"; }

fine_scritta() {
    local fine="$1" prove="${2:-300}"
    for _ in $(seq "$prove"); do
        [ -e "$fine" ] && break
        sleep 0.1
    done
    [ -e "$fine" ] || fallisci "no end-of-run file $fine after the run"
    [ "$(od -An -c "$fine" | tr -s ' ')" = " F a t t o \r \n" ] ||
        fallisci "end-of-run file holds '$(cat -A "$fine")'"
}

# How many pixels of window $1 are in the light cyan of the printer panel's
# caption ("Selezione stampante:", about a hundred; nothing else in the window
# has that colour); empty when no screen grabber is installed.
ciano() {
    command -v import >/dev/null 2>&1 && command -v convert >/dev/null 2>&1 || return 0
    local schermo
    schermo=$(mktemp --suffix=.png)
    timeout 20 import -display "$DISPLAY" -window "$1" "$schermo" 2>/dev/null &&
        timeout 20 convert "$schermo" -alpha off -fill black +opaque '#C0FFFF' -fill white -opaque '#C0FFFF' \
            -format '%[fx:round(mean*w*h)]' info: 2>/dev/null
    rm -f "$schermo"
}

pannello() {
    local voluto=$1 n=""
    for _ in $(seq 50); do
        n=$(ciano "$W")
        [ -z "$n" ] && return 0 # no screen grabber: not checked
        if [ "$voluto" = 1 ] && [ "$n" -gt 40 ]; then return 0; fi
        if [ "$voluto" = 0 ] && [ "$n" = 0 ]; then return 0; fi
        sleep 0.1
    done
    [ "$voluto" = 1 ] && fallisci "the printer panel is not shown ($n cyan pixels)"
    fallisci "the printer panel is still shown ($n cyan pixels)"
}

esci_con_fine() {
    a_fuoco "$1"
    tasti alt+f
    for _ in $(seq 100); do
        kill -0 "$APP_PID" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$APP_PID" 2>/dev/null && fallisci "the program is still running after Alt+F"
    wait "$APP_PID"
    local stato=$?
    APP_PID=""
    [ "$stato" = 0 ] || fallisci "the program ended with status $stato"
    echo "ok: Alt+F ended the program"
}
