#!/bin/bash
# Hostile ends of an unattended run: a termination signal in the middle of a
# long run, a run killed outright, standard descriptors closed, a display that
# cannot be opened, two starts racing for one Commandline.txt, and a program
# folder that cannot be written (a read-only bind mount: needs root).
set -u
BIN=$(readlink -f "$1")
fail() { echo "FAIL: $*"; exit 1; }
work=$(mktemp -d)
montato=""
trap '[ -n "$montato" ] && umount "$montato"; rm -rf "$work"' EXIT
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" CUPS_SERVER="$work/nessun-cups.sock" TMPDIR="$work/tmp"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$TMPDIR" "$work/prog" && chmod 700 "$XDG_RUNTIME_DIR"
cp "$BIN" "$work/prog/vagolume"
V=$work/prog/vagolume
# A plain command (not a function), so that "$!" is the program itself.
senza_schermo=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
temporaneo() { compgen -G '.vagolume-*.pdf' >/dev/null; }
# The files of the current folder, but the saved standard error.
rimasti() { find . -mindepth 1 -maxdepth 1 ! -name err.txt -printf '%f\n' | sort; }
fine_ok() { [ "$(cat "$1/FineStampaPercorsario.tmp" 2>/dev/null)" = $'Fatto\r' ]; }

# A ten-year run, stopped once its document is being drawn: the folder keeps
# only the end-of-run file, and the program ends as killed by that signal.
for segnale in TERM INT HUP; do
    d="$work/$segnale" && mkdir "$d" && cd "$d" || fail mkdir
    "${senza_schermo[@]}" "$V" "ROMA,01/01/2020,31/12/2029" 2>err.txt &
    pid=$!
    for _ in $(seq 200); do temporaneo && break; sleep 0.05; done
    temporaneo || fail "$segnale: the run never began its document: $(ls -A)"
    kill -"$segnale" "$pid"
    wait "$pid"
    rc=$?
    [ "$rc" = $((128 + $(kill -l "$segnale"))) ] || fail "$segnale: exit status $rc; $(cat err.txt)"
    fine_ok "$d" || fail "$segnale: no end-of-run file"
    [ "$(rimasti)" = FineStampaPercorsario.tmp ] || fail "$segnale: files left: $(ls -A)"
done

# Killed outright: its temporary file is removed by the next start.
d="$work/kill" && mkdir "$d" && cd "$d" || fail mkdir
"${senza_schermo[@]}" "$V" "ROMA,01/01/2020,31/12/2029" 2>/dev/null &
pid=$!
for _ in $(seq 200); do temporaneo && break; sleep 0.05; done
kill -KILL "$pid"
wait "$pid" 2>/dev/null
temporaneo || fail "SIGKILL: no temporary file to clean up"
"${senza_schermo[@]}" "$V" "ROMA,01/03/2024,01/03/2024" 2>/dev/null || fail "run after SIGKILL"
! temporaneo || fail "SIGKILL: temporary file still there: $(ls -A)"

# Started with descriptors 0 to 2 closed: the document is a clean PDF.
d="$work/chiusi" && mkdir "$d" && cd "$d" || fail mkdir
# shellcheck disable=SC2016 # $0 is expanded by the inner shell
"${senza_schermo[@]}" bash -c 'exec 0<&- 1>&- 2>&-; exec "$0" "ROMA,01/03/2024,05/03/2024"' "$V" || fail "closed descriptors: status $?"
[ "$(pdfinfo ROMA_Vagolume.pdf 2>/dev/null | awk '/^Pages:/ { print $2 }')" = 6 ] || fail "closed descriptors: PDF"

# A display that is named but not there: the run prints without it; with no
# line there is nothing to do (status 2), and never an abort.
d="$work/schermo" && mkdir "$d" && cd "$d" || fail mkdir
env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:89 "$V" "ROMA,01/03/2024,05/03/2024" 2>err.txt || fail "DISPLAY=:89: status $?"
[ -f ROMA_Vagolume.pdf ] && fine_ok "$d" || fail "DISPLAY=:89: no document"
[ "$(wc -l <err.txt)" = 1 ] || fail "DISPLAY=:89: not one message: $(cat err.txt)"
env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:89 "$V" 2>err.txt
[ $? = 2 ] || fail "DISPLAY=:89 without a line: status not 2"

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

# A program folder that cannot be written: the line is not acted on, never
# printed again and again.
if [ "$(id -u)" != 0 ]; then
    echo "SKIP: read-only program folder (needs root for a read-only mount)"
    exit 77
fi
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
