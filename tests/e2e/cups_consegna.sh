#!/bin/bash
# The print server fails while a finished document is being handed to it:
# silent once the last byte is in (its answer lost on the way back), frozen
# (SIGSTOP) in the middle, then gone (SIGKILL). Each time the run ends by
# itself within the hand-over's time bound, keeps the document as
# ROMA_Vagolume.pdf in the current folder, says why and where in one line and
# writes the end-of-run file. Cut off before the last byte, no job was made
# (status 1), and a frozen server that wakes afterwards prints nothing and
# keeps no job; silent after it, the printer may print it (status 3).
VAGOLUME=$1
source "$(dirname "$0")/../cups/e2e-comune.sh"
richiedi_server
pid_cupsd=$(cat "$DIR/cupsd.pid")

# In front of the server, a proxy that passes everything on, but on a
# connection that has carried a document (more than 16 KB) drops whatever the
# server says from then on, and keeps the connection open ("muto"); or, after
# 64 KB of it, closes both ends, as a server restarted mid-transfer does
# ("taglio").
proxy() { python3 -c '
import socket, sys, threading
ascolto = socket.socket(socket.AF_UNIX)
ascolto.bind(sys.argv[1])
ascolto.listen(16)
def collega(cliente):
    server = socket.socket(socket.AF_UNIX)
    server.connect(sys.argv[2])
    inviati = [0]
    def avanti():
        while dati := cliente.recv(65536):
            inviati[0] += len(dati)
            if sys.argv[3] == "taglio" and inviati[0] > 65536:
                cliente.shutdown(socket.SHUT_RDWR)
                cliente.close()
                server.close()
                return
            server.sendall(dati)
        server.shutdown(socket.SHUT_WR)
    def indietro():
        while dati := server.recv(65536):
            if inviati[0] <= 16384 or sys.argv[3] == "taglio":
                cliente.sendall(dati)
        if inviati[0] <= 16384 or sys.argv[3] == "taglio":
            cliente.shutdown(socket.SHUT_WR)
    threading.Thread(target=avanti, daemon=True).start()
    threading.Thread(target=indietro, daemon=True).start()
while True:
    threading.Thread(target=collega, args=(ascolto.accept()[0],), daemon=True).start()
' "$DIR/$1.sock" "$CUPS_SERVER" "$1" 2>/dev/null & }
proxy muto
pid_muto=$!
proxy taglio
pid_taglio=$!
trap 'kill $pid_muto $pid_taglio; bash "$CUPS_PRIVATO" stop "$DIR"; rm -rf "$DIR"' EXIT
for _ in $(seq 100); do [ -S "$DIR/muto.sock" ] && [ -S "$DIR/taglio.sock" ] && break; sleep 0.05; done

# Lines in the server's page log: one per job it printed.
righe_log() { if [ -f "$DIR/log/page_log" ]; then wc -l <"$DIR/log/page_log"; else echo 0; fi; }

consegna_fallita() { # case signal-for-cupsd (MUTO, TAGLIO: through that proxy) status line
    rm -rf "$DIR/run" && mkdir -p "$DIR/run" && cd "$DIR/run" || fail "cd"
    local inizio=$SECONDS lavori_prima server=$CUPS_SERVER
    lavori_prima=$(righe_log)
    [ "$2" = MUTO ] && server=$DIR/muto.sock
    [ "$2" = TAGLIO ] && server=$DIR/taglio.sock
    # A year: its drawing outlasts the moment the server is stopped.
    CUPS_SERVER=$server "$VAGOLUME" "ROMA,01/01/2024,31/12/2024" 2>"$DIR/stderr" &
    local pid=$!
    # The document is being drawn (the run holds its unnamed temporary
    # file open) once the printer queries of the start are over.
    local temp=""
    for _ in $(seq 400); do
        temp=$(find "/proc/$pid/fd" -lname "$DIR/temp-app/#*" 2>/dev/null | head -n 1)
        [ -n "$temp" ] && break
        sleep 0.05
    done
    [ -n "$temp" ] || fail "$1: the run never began its document on the queue: $(ls -A "$DIR/temp-app" "$DIR/run")"
    [ "$2" = MUTO ] || [ "$2" = TAGLIO ] || kill -"$2" "$pid_cupsd" || fail "$1: kill -$2 cupsd"
    wait "$pid"
    local rc=$? durata=$((SECONDS - inizio))
    cat "$DIR/stderr"
    [ $rc = "$3" ] || fail "$1: exit status $rc; left: $(ls -A "$DIR/run"); jobs: $(lpstat -W completed -o)"
    # The hand-over's bound is 30 s, after the drawing.
    [ $durata -le $((disegno + 30 + 6)) ] || fail "$1: took $durata s (drawing takes $disegno s)"
    if [ "$2" = STOP ]; then
        # Awake again: the transfer it was cut off from cannot complete, so
        # nothing prints, and no job is left in the queue.
        kill -CONT "$pid_cupsd"
        sleep 5
        [ -z "$(lpstat -o)" ] || fail "$1: jobs left in the queue: $(lpstat -o)"
        [ "$(righe_log)" = "$lavori_prima" ] ||
            fail "$1: printed after all: $(tail -n 1 "$DIR/log/page_log")"
        [ -z "$(ls -A "$DIR/out")" ] || fail "$1: the queue wrote $(ls -A "$DIR/out")"
    fi
    controlla_fine "$DIR/run"
    [ "$(pagine "$DIR/run/ROMA_Vagolume.pdf")" = 367 ] || fail "$1: document not kept: $(ls -A "$DIR/run")"
    grep -q "^vagolume: stampa su \"Vagolume_Pdf\" non riuscita: .*$4.*salvato in $DIR/run/ROMA_Vagolume.pdf" "$DIR/stderr" ||
        fail "$1: no line saying '$4' and where"
    [ "$(wc -l <"$DIR/stderr")" = 1 ] || fail "$1: not one line"
    [ -z "$(ls -A "$DIR/temp-app")" ] || fail "$1: temporary files left: $(ls -A "$DIR/temp-app")"
    echo "PASS: $1: ended in $durata s, document kept"
}

# How long drawing the year takes here (slower under the sanitizers): the
# same run on the built-in PDF writer.
mkdir -p "$DIR/misura" && cd "$DIR/misura" || fail "cd"
inizio=$SECONDS
CUPS_SERVER=$DIR/nessuno.sock "$VAGOLUME" "ROMA,01/01/2024,31/12/2024" 2>/dev/null || fail "the run on the PDF writer failed"
disegno=$((SECONDS - inizio + 1))

consegna_fallita "server silent after the last byte" MUTO 3 "la stampante potrebbe stamparlo comunque"
# The job the server may have made of it is out of the way of the next rows.
cancel -a -x 2>/dev/null
aspetta_lavori
rm -rf "${DIR:?}"/out/*
consegna_fallita "connection cut mid-transfer" TAGLIO 1 "collegamento con il sistema di stampa interrotto: nessun lavoro creato"
[ -z "$(lpstat -o)" ] || fail "connection cut: a job was made: $(lpstat -o)"
consegna_fallita "server frozen" STOP 1 "nessun lavoro creato"
consegna_fallita "server killed" KILL 1 "il sistema di stampa non risponde"
