#!/bin/bash
# Without a printing system that answers there is no default printer: a run
# started with an itinerary writes ROMA_Vagolume.pdf into the current folder.
# Two cases: a server that is not running (no socket) and one that accepts
# connections but never answers (stopped with SIGSTOP); the second needs the
# private server.
VAGOLUME=$1
source "$(dirname "$0")/../cups/e2e-comune.sh"

corsa_su_pdf() { # case
    rm -rf "$DIR/run" && mkdir -p "$DIR/run" && cd "$DIR/run" || fail "cd"
    "$VAGOLUME" "ROMA,01/03/2024,05/03/2024" 2>"$DIR/stderr"
    local rc=$?
    grep -v "^QStandardPaths" "$DIR/stderr"
    [ $rc = 0 ] || fail "$1: exit code $rc"
    controlla_fine "$DIR/run"
    [ -f "$DIR/run/ROMA_Vagolume.pdf" ] || fail "$1: no ROMA_Vagolume.pdf"
    local n
    n=$(pagine "$DIR/run/ROMA_Vagolume.pdf")
    [ "$n" = 6 ] || fail "$1: ROMA_Vagolume.pdf has '$n' pages, expected 6 (cover + 5 sheets)"
    [ -z "$(ls -A "$DIR/temp-app")" ] || fail "$1: temporary files left"
    echo "PASS: $1: ROMA_Vagolume.pdf written"
}

# No server at the socket.
CUPS_SERVER=$DIR/nessuno.sock corsa_su_pdf "no server"

richiedi_server
pid=$(cat "$DIR/cupsd.pid")
kill -STOP "$pid" || fail "SIGSTOP"
corsa_su_pdf "server not answering"
kill -CONT "$pid"
grep -q '^vagolume: il sistema di stampa non risponde' "$DIR/stderr" || fail "the silent server was not reported"
aspetta_lavori
[ -z "$(lpstat -W completed -o)" ] || fail "a job was created: $(lpstat -W completed -o)"
