#!/bin/bash
# Hostile ends of an unattended run: every signal that would end the program
# in the middle of a long run, or while it asks for the printers, a run killed
# outright, the same on a file system without unnamed temporary files,
# standard descriptors closed, a display that cannot be opened, two starts
# racing for one Commandline.txt, too little memory or too few descriptors,
# another start in another PID namespace during a run, and a program folder
# that cannot be written (the last two need root).
set -u
BIN=$(readlink -f "$1")
fail() { echo "FAIL: $*"; exit 1; }
work=$(mktemp -d)
montato=""
server=""
trap '[ -n "$server" ] && kill "$server"; [ -n "$montato" ] && umount "$montato"; rm -rf "$work"' EXIT
# The signals that dump core leave no core file behind.
ulimit -c 0
# Preloaded, it makes open() with O_TMPFILE fail, as on a file system without
# unnamed files (built with the tests).
SENZA_ANONIMI=${VAGOLUME_SENZA_FILE_ANONIMI:-$(dirname "$BIN")/tests/libsenza_file_anonimi.so}
[ -f "$SENZA_ANONIMI" ] || fail "no preload library at $SENZA_ANONIMI"
# A sanitizer runtime wants to come first; here it comes second.
senza_anonimi=(env LD_PRELOAD="$SENZA_ANONIMI" ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0")
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" CUPS_SERVER="$work/nessun-cups.sock" TMPDIR="$work/tmp"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$TMPDIR" "$work/prog" && chmod 700 "$XDG_RUNTIME_DIR"
cp "$BIN" "$work/prog/vagolume"
V=$work/prog/vagolume
# A plain command (not a function), so that "$!" is the program itself.
senza_schermo=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
# The run of process $1 is drawing its document in the current folder: a file
# without a name there, held open, or its hidden named one where there are no
# unnamed files.
disegna() { find "/proc/$1/fd" \( -lname "$PWD/#*" -o -lname "$PWD/.vagolume-$1-*.pdf" \) 2>/dev/null | grep -q .; }
# The files of the current folder, but the saved standard error.
rimasti() { find . -mindepth 1 -maxdepth 1 ! -name err.txt -printf '%f\n' | sort; }
fine_ok() { [ "$(cat "$1/FineStampaPercorsario.tmp" 2>/dev/null)" = $'Fatto\r' ]; }

# A ten-year run, stopped once its document is being drawn: the folder keeps
# only the end-of-run file, one line says why, and the program ends as killed
# by that signal. "-" after a signal: no unnamed files, the hidden named one
# goes too.
for caso in TERM INT HUP USR1 USR2 ALRM VTALRM PROF TRAP SYS STKFLT RTMIN RTMAX TERM-; do
    segnale=${caso%-} preload=()
    [ "$caso" = "$segnale" ] || preload=("${senza_anonimi[@]}")
    d="$work/$caso" && mkdir "$d" && cd "$d" || fail mkdir
    "${preload[@]}" "${senza_schermo[@]}" "$V" "ROMA,01/01/2020,31/12/2029" 2>err.txt &
    pid=$!
    for _ in $(seq 200); do disegna "$pid" && break; sleep 0.05; done
    disegna "$pid" || fail "$segnale: the run never began its document: $(ls -A)"
    kill -"$segnale" "$pid"
    wait "$pid"
    rc=$?
    [ "$rc" = $((128 + $(kill -l "$segnale"))) ] || fail "$segnale: exit status $rc; $(cat err.txt)"
    fine_ok "$d" || fail "$segnale: no end-of-run file"
    [ "$(rimasti)" = FineStampaPercorsario.tmp ] || fail "$segnale: files left: $(ls -A)"
    [ "$(grep -c '^vagolume: stampa interrotta dal segnale' err.txt)" = 1 ] || fail "$segnale: message: $(cat err.txt)"
    [ "$(wc -l <err.txt)" = 1 ] || fail "$caso: not one line: $(cat err.txt)"
done

# A signal while the printer list is asked, from a server that takes the
# connection and never answers: the signal's line alone, not one about the
# silent server as well.
d="$work/muto" && mkdir "$d" && cd "$d" || fail mkdir
python3 -c '
import socket, sys
s = socket.socket(socket.AF_UNIX)
s.bind(sys.argv[1])
s.listen(8)
tenuti = []
while True:
    tenuti.append(s.accept()[0])
    open(sys.argv[2], "w").close()
' "$work/muto.sock" "$work/muto.accettato" &
server=$!
for _ in $(seq 100); do [ -S "$work/muto.sock" ] && break; sleep 0.05; done
CUPS_SERVER=$work/muto.sock "${senza_schermo[@]}" "$V" "ROMA,01/03/2024,05/03/2024" 2>err.txt &
pid=$!
for _ in $(seq 200); do [ -e "$work/muto.accettato" ] && break; sleep 0.05; done
[ -e "$work/muto.accettato" ] || fail "silent server: never asked"
sleep 0.5
kill -TERM "$pid"
wait "$pid"
rc=$?
kill "$server" && server=""
[ $rc = 143 ] || fail "silent server: exit status $rc; $(cat err.txt)"
fine_ok "$d" || fail "silent server: no end-of-run file"
[ "$(rimasti)" = FineStampaPercorsario.tmp ] || fail "silent server: files left: $(ls -A)"
[ "$(wc -l <err.txt)" = 1 ] && grep -q '^vagolume: .*segnale 15 ' err.txt ||
    fail "silent server: not the signal's one line: $(cat err.txt)"

# The current folder renamed while a run draws: the PDF and the end-of-run
# file land in it under its new name, and standard output names the PDF
# there, so that a caller knows where it went.
d="$work/rinomina" && mkdir "$d" && cd "$d" || fail mkdir
"${senza_schermo[@]}" "$V" "ROMA,01/01/2023,31/12/2023" >"$work/rinomina.out" 2>"$work/rinomina.err" &
pid=$!
for _ in $(seq 200); do disegna "$pid" && break; sleep 0.05; done
disegna "$pid" || fail "renamed folder: the run never began its document"
cd "$work" && mv "$d" "$work/rinominata" || fail "renamed folder: mv"
wait "$pid" || fail "renamed folder: status $?: $(cat "$work/rinomina.err")"
fine_ok "$work/rinominata" || fail "renamed folder: no end-of-run file there: $(ls -A "$work/rinominata")"
[ "$(cat "$work/rinomina.out")" = "$work/rinominata/ROMA_Vagolume.pdf" ] ||
    fail "renamed folder: standard output says '$(cat "$work/rinomina.out")'"
[ -f "$work/rinominata/ROMA_Vagolume.pdf" ] || fail "renamed folder: no PDF there"

# Killed outright: nothing of its document is left, for any later start to
# find or not. Without unnamed files, its hidden named file is left, and the
# next start removes it; that run, whole, leaves nothing of its own either.
d="$work/kill" && mkdir "$d" && cd "$d" || fail mkdir
"${senza_schermo[@]}" "$V" "ROMA,01/01/2020,31/12/2029" 2>/dev/null &
pid=$!
for _ in $(seq 200); do disegna "$pid" && break; sleep 0.05; done
disegna "$pid" || fail "SIGKILL: the run never began its document"
kill -KILL "$pid"
wait "$pid" 2>/dev/null
[ -z "$(ls -A)" ] || fail "SIGKILL: files left: $(ls -A)"
"${senza_anonimi[@]}" "${senza_schermo[@]}" "$V" "ROMA,01/01/2020,31/12/2029" 2>/dev/null &
pid=$!
for _ in $(seq 200); do disegna "$pid" && break; sleep 0.05; done
disegna "$pid" || fail "SIGKILL, no unnamed files: the run never began its document"
kill -KILL "$pid"
wait "$pid" 2>/dev/null
[ -n "$(find . -name ".vagolume-$pid-*.pdf")" ] || fail "SIGKILL, no unnamed files: no named file: $(ls -A)"
"${senza_anonimi[@]}" "${senza_schermo[@]}" "$V" "ROMA,01/03/2024,05/03/2024" 2>err.txt ||
    fail "no unnamed files: status $?; $(cat err.txt)"
[ "$(rimasti | tr '\n' ' ')" = "FineStampaPercorsario.tmp ROMA_Vagolume.pdf " ] ||
    fail "no unnamed files: files left: $(ls -A)"

# Started with descriptors 0 to 2 closed, and a temporary folder that is a
# file, which the run says on standard error: no file the program opens takes
# descriptor 2 (it is /dev/null while the run draws), the line goes neither
# into the document nor into the end-of-run file.
d="$work/chiusi" && mkdir "$d" && cd "$d" || fail mkdir
touch "$work/un-file"
# shellcheck disable=SC2016 # $0 is expanded by the inner shell
TMPDIR=$work/un-file "${senza_schermo[@]}" bash -c 'exec 0<&- 1>&- 2>&-; exec "$0" "ROMA,01/01/2024,31/12/2024"' "$V" &
pid=$!
for _ in $(seq 200); do disegna "$pid" && break; sleep 0.05; done
disegna "$pid" || fail "closed descriptors: the run never began its document"
errore=$(readlink "/proc/$pid/fd/2")
wait "$pid" || fail "closed descriptors: status $?"
[ "$errore" = /dev/null ] || fail "closed descriptors: standard error is $errore"
[ "$(pdfinfo ROMA_Vagolume.pdf 2>/dev/null | awk '/^Pages:/ { print $2 }')" = 367 ] || fail "closed descriptors: PDF"
! grep -aq 'vagolume: ' ROMA_Vagolume.pdf || fail "closed descriptors: a line inside the PDF"
[ "$(od -An -c FineStampaPercorsario.tmp | tr -s ' ')" = " F a t t o \r \n" ] ||
    fail "closed descriptors: end-of-run file says '$(cat -A FineStampaPercorsario.tmp)'"

# A display that is named but not there: the run prints without it; with no
# line there is nothing to do (status 2), and never an abort.
d="$work/schermo" && mkdir "$d" && cd "$d" || fail mkdir
env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:89 "$V" "ROMA,01/03/2024,05/03/2024" 2>err.txt || fail "DISPLAY=:89: status $?"
[ -f ROMA_Vagolume.pdf ] && fine_ok "$d" || fail "DISPLAY=:89: no document"
[ "$(wc -l <err.txt)" = 1 ] || fail "DISPLAY=:89: not one message: $(cat err.txt)"
env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:89 "$V" 2>err.txt
[ $? = 2 ] || fail "DISPLAY=:89 without a line: status not 2"
# The same with the platform named, as desktops export it.
rm -f ./*.pdf FineStampaPercorsario.tmp
env -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb DISPLAY=:89 "$V" "ROMA,01/03/2024,05/03/2024" 2>err.txt ||
    fail "QT_QPA_PLATFORM=xcb DISPLAY=:89: status $?; $(cat err.txt)"
[ -f ROMA_Vagolume.pdf ] && fine_ok "$d" || fail "QT_QPA_PLATFORM=xcb DISPLAY=:89: no document"
[ "$(wc -l <err.txt)" = 1 ] || fail "QT_QPA_PLATFORM=xcb DISPLAY=:89: not one message: $(cat err.txt)"
env -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb DISPLAY=:89 "$V" 2>err.txt
[ $? = 2 ] || fail "QT_QPA_PLATFORM=xcb DISPLAY=:89 without a line: status not 2"

# Two starts racing for one Commandline.txt: one prints it.
mkdir "$work/g1" "$work/g2"
for _ in 1 2 3; do
    printf 'ROMA,01/03/2024,01/03/2024\r\n' >"$work/prog/Commandline.txt"
    (cd "$work/g1" && "${senza_schermo[@]}" "$V" 2>/dev/null) &
    (cd "$work/g2" && "${senza_schermo[@]}" "$V" 2>/dev/null) &
    wait
    [ ! -e "$work/prog/Commandline.txt" ] || fail "race: Commandline.txt left"
done
stampati=$(find "$work/g1" "$work/g2" -name '*.pdf' | wc -l)
[ "$stampati" = 3 ] || fail "race: $stampati documents for 3 lines"

# Memory running out, at limits that make it run out in different places
# (the window, the printer query, the pages, the end of the document): one
# line says so and no other, the end-of-run file is written, the status is 1,
# nothing is left. (Not under AddressSanitizer, which cannot start with a
# limit.)
if ! ldd "$V" | grep -q libasan; then
    for limite in 90000 92000 95000 96000 100000 110000 130000; do
        d="$work/mem$limite" && mkdir "$d" && cd "$d" || fail mkdir
        (ulimit -v $limite && exec "${senza_schermo[@]}" "$V" "ROMA,01/01/2020,31/12/2025" 2>err.txt)
        rc=$?
        [ $rc = 1 ] || fail "memory limit $limite KB: exit status $rc; $(cat err.txt)"
        fine_ok "$d" || fail "memory limit $limite KB: no end-of-run file"
        [ "$(rimasti)" = FineStampaPercorsario.tmp ] || fail "memory limit $limite KB: files left: $(ls -A)"
        [ "$(grep -c 'memoria esaurita' err.txt)" = 1 ] || fail "memory limit $limite KB: message: $(cat err.txt)"
        [ "$(wc -l <err.txt)" = 1 ] || fail "memory limit $limite KB: not one line: $(cat err.txt)"
    done
fi

# Too few descriptors for the toolkit: one line names the limit, the
# end-of-run file is written, the status is 1; also when the caller left one
# more descriptor open to the program ("+1").
# (Not under AddressSanitizer, whose runtime holds descriptors of its own.)
casi_descrittori=(8 5 5+1)
ldd "$V" | grep -q libasan && casi_descrittori=()
for caso in "${casi_descrittori[@]}"; do
    limite=${caso%+1}
    d="$work/fd$caso" && mkdir "$d" && cd "$d" || fail mkdir
    # Only the standard descriptors, as a caller that sets such a limit
    # gives them (CTest's are left open to the script).
    (
        exec 2>err.txt
        for f in /proc/$BASHPID/fd/*; do
            n=${f##*/}
            [ "$n" -gt 2 ] && eval "exec $n>&-"
        done
        [ "$caso" = "$limite" ] || exec 3</dev/null
        ulimit -n $limite && exec "${senza_schermo[@]}" "$V" "ROMA,01/03/2024,05/03/2024"
    )
    rc=$?
    [ $rc = 1 ] || fail "descriptor limit $caso: exit status $rc; $(cat err.txt)"
    fine_ok "$d" || fail "descriptor limit $caso: no end-of-run file"
    [ "$(rimasti)" = FineStampaPercorsario.tmp ] || fail "descriptor limit $caso: files left: $(ls -A)"
    [ "$(wc -l <err.txt)" = 1 ] && grep -q "^vagolume: il limite dei file aperti ($limite)" err.txt ||
        fail "descriptor limit $caso: message: $(cat err.txt)"
done

if [ "$(id -u)" != 0 ]; then
    echo "SKIP: PID namespace and read-only program folder (need root)"
    exit 77
fi

# Another start in another PID namespace (a container), in the same folder,
# while a run draws: it removes nothing the run still writes, and the run
# prints its document whole.
d="$work/ns" && mkdir "$d" && cd "$d" || fail mkdir
"${senza_schermo[@]}" "$V" "ROMA,01/01/2022,31/12/2024" 2>err.txt &
pid=$!
for _ in $(seq 200); do disegna "$pid" && break; sleep 0.05; done
disegna "$pid" || fail "PID namespace: the run never began its document"
"${senza_schermo[@]}" unshare -p -f --mount-proc "$V" "ALTRA,01/03/2024,01/03/2024" 2>/dev/null ||
    fail "PID namespace: the other start failed"
wait "$pid" || fail "PID namespace: the run failed: $(cat err.txt)"
[ "$(pdfinfo ROMA_Vagolume.pdf 2>/dev/null | awk '/^Pages:/ { print $2 }')" = 1097 ] ||
    fail "PID namespace: the run lost its document: $(ls -A); $(cat err.txt)"

# A program folder that cannot be written: the line is not acted on, never
# printed again and again.
printf 'ROMA,01/03/2024,05/03/2024\r\n' >"$work/prog/Commandline.txt"
mount --bind "$work/prog" "$work/prog" && montato=$work/prog && mount -o remount,bind,ro "$work/prog" ||
    fail "read-only bind mount"
d="$work/ro" && mkdir "$d" && cd "$d" || fail mkdir
for volta in 1 2; do
    "${senza_schermo[@]}" "$V" 2>err.txt
    rc=$?
    [ $rc = 1 ] || fail "read-only folder, start $volta: status $rc"
    fine_ok "$d" || fail "read-only folder: no end-of-run file"
    [ "$(rimasti)" = FineStampaPercorsario.tmp ] || fail "read-only folder: printed: $(ls -A)"
    grep -q 'Commandline.txt' err.txt || fail "read-only folder: message: $(cat err.txt)"
done
echo "OK"
