#!/bin/bash
# An unattended run prints only a line that was read whole. Each case: the
# line (on the command line, or as the bytes of Commandline.txt next to the
# program), the exit status, the pages of ROMA_Vagolume.pdf (0: no PDF at
# all) and, for a refused line, the word its one message must contain. Every
# case leaves the end-of-run file and nothing else but the PDF.
set -u
BIN=$(readlink -f "$1")
fail() { echo "FAIL: $*"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" CUPS_SERVER="$work/nessun-cups.sock" LC_ALL=C.UTF-8
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$work/prog" && chmod 700 "$XDG_RUNTIME_DIR"
cp "$BIN" "$work/prog/vagolume"

# how | line or printf format | status | pages | word in the message
casi=(
    "arg|ROMA,01/03/2024,05/03/2024|0|6|"
    "arg|ROMA,01/03/2024,05/03/2024,EXTRA|1|0|dopo la data finale"
    "arg|ROMA,05/08/2026,01/08/2026|1|0|precedente"
    "arg|ROMA,31/02/2026,05/03/2026|1|0|data iniziale non leggibile"
    "arg|ROMA|1|0|destinazione mancante"
    "arg| ,01/03/2024,05/03/2024|1|0|destinazione mancante"
    "arg|ROMA,27/02/2100,02/03/2100|1|0|1901-2099"
    "arg|ROMA,30/12/1900,02/01/1901|1|0|1901-2099"
    "arg|ROMA,01/03/2024,05/03/2024 EXTRA|1|0|data finale non leggibile"
    "file|ROMA,01/03/2024,05/03/2024\x1a|0|6|"
    "file|ROMA,01/03/2024,05/03/2024\t\r\n|0|6|"
    "file|ROMA,01/03/2024,05/03/2024\xc2\xa0|0|6|"
    "file|\xff\xfeR\0O\0M\0A\0,\x000\x001\0/\x000\x003\0/\x002\x000\x002\x004\0,\x000\x005\0/\x000\x003\0/\x002\x000\x002\x004\0\r\0\n\0|0|6|"
    "file|\xfe\xff\0R\0O\0M\0A\0,\x000\x001\0/\x000\x003\0/\x002\x000\x002\x004\0,\x000\x005\0/\x000\x003\0/\x002\x000\x002\x004|0|6|"
    "file|\xef\xbb\xbfROMA,01/03/2024,05/03/2024|0|6|"
    "file|ROMA,01/03/2024,31/12/2024,X\r\n|1|0|dopo la data finale"
    "arg|ROMA,01/01/2020,31/12/2030|1|0|più di 3660 fogli"
    "file||1|0|Commandline.txt"
    "file|\r\nROMA,01/03/2024,05/03/2024\r\n|1|0|Commandline.txt"
    "file|\xef\xbb\xbf|1|0|Commandline.txt"
    "file|\xff\xfe|1|0|Commandline.txt"
)
n=0
for caso in "${casi[@]}"; do
    IFS='|' read -r come riga atteso pagine parola <<<"$caso"
    n=$((n + 1))
    d="$work/caso$n" && mkdir "$d" && cd "$d" || fail "mkdir"
    if [ "$come" = arg ]; then
        timeout 60 env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$work/prog/vagolume" "$riga" 2>err.txt
        rc=$?
    else
        # shellcheck disable=SC2059 # the line is a printf format on purpose
        printf "$riga" >"$work/prog/Commandline.txt"
        timeout 60 env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$work/prog/vagolume" 2>err.txt
        rc=$?
        [ ! -e "$work/prog/Commandline.txt" ] || fail "case $n: Commandline.txt left"
    fi
    [ "$rc" = "$atteso" ] || fail "case $n ($riga): exit status $rc, expected $atteso; $(cat err.txt)"
    [ "$(cat FineStampaPercorsario.tmp 2>/dev/null)" = $'Fatto\r' ] || fail "case $n ($riga): no end-of-run file"
    if [ "$pagine" = 0 ]; then
        [ "$(ls -A)" = "$(printf 'FineStampaPercorsario.tmp\nerr.txt')" ] || fail "case $n ($riga): files left: $(ls -A)"
        [ "$(grep -c '^vagolume: ' err.txt)" = 1 ] || fail "case $n ($riga): not one message: $(cat err.txt)"
        grep -q "$parola" err.txt || fail "case $n ($riga): message without '$parola': $(cat err.txt)"
    else
        p=$(pdfinfo ROMA_Vagolume.pdf 2>/dev/null | awk '/^Pages:/ { print $2 }')
        [ "$p" = "$pagine" ] || fail "case $n ($riga): $p pages, expected $pagine; files: $(ls -A)"
    fi
    [ "$(ls -A "$work/prog")" = vagolume ] || fail "case $n: left in the program folder: $(ls -A "$work/prog")"
done
echo "OK: $n lines"
