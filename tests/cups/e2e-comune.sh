# Shared by tests/e2e/cups_*.sh (sourced, after VAGOLUME=$1 is set): starts a
# private CUPS server in a fresh folder $DIR, stopped again when the test ends
# (and by a watcher if the test is killed), and points libcups at it.
QUI_CUPS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
CUPS_PRIVATO=$QUI_CUPS/cups-privato.sh

fail() {
    echo "FAIL: $*"
    exit 1
}

[ -x "$VAGOLUME" ] || fail "no vagolume binary at '$VAGOLUME'"

DIR=$(mktemp -d "${TMPDIR:-/tmp}/vagolume-cups.XXXXXX") || fail "mktemp"
chmod 0755 "$DIR"
trap 'bash "$CUPS_PRIVATO" stop "$DIR"; rm -rf "$DIR"' EXIT
mkdir -p "$DIR/run" "$DIR/temp-app" "$DIR/xdg"
chmod 0700 "$DIR/xdg"
export XDG_RUNTIME_DIR=$DIR/xdg TMPDIR=$DIR/temp-app LC_ALL=C.UTF-8
export CUPS_SERVER=$DIR/cups.sock CUPS_SERVERROOT=$DIR/client
unset LPDEST PRINTER DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

# Exit 77 (skipped) with "SKIP: ..." when no private server can run here.
richiedi_server() {
    local motivo
    motivo=$(bash "$CUPS_PRIVATO" check) || {
        echo "SKIP: $motivo"
        exit 77
    }
    command -v pdfinfo >/dev/null || {
        echo "SKIP: pdfinfo missing (Debian package poppler-utils)"
        exit 77
    }
    bash "$CUPS_PRIVATO" start "$DIR" $$ 2>&1 | grep -v "drivers are deprecated"
    [ "${PIPESTATUS[0]}" = 0 ] || fail "the private CUPS server did not start"
}

# Waits until the server has no pending job (bounded: a minute).
aspetta_lavori() {
    local i
    for i in $(seq 1 600); do
        [ -z "$(lpstat -o 2>/dev/null)" ] && return 0
        sleep 0.1
    done
    fail "jobs still pending: $(lpstat -o)"
}

pagine() { pdfinfo "$1" 2>/dev/null | awk '/^Pages:/ { print $2 }'; }

# The end-of-run file of a folder says "Fatto" CR LF.
controlla_fine() {
    [ -f "$1/FineStampaPercorsario.tmp" ] || fail "no end-of-run file in $1"
    [ "$(od -An -c "$1/FineStampaPercorsario.tmp" | tr -s ' ')" = " F a t t o \r \n" ] ||
        fail "end-of-run file says '$(cat -A "$1/FineStampaPercorsario.tmp")'"
}
