#!/bin/bash
# An unattended run prints only a line that was read whole. Each case: the
# line (on the command line, or as the bytes of Commandline.txt next to the
# program; both a printf format), the exit status, the pages of the PDF (0: no
# PDF at all) and the word its one message must contain (none: nothing is said
# on standard error); then the PDF's name when it is not ROMA_Vagolume.pdf, and
# a font the PDF must carry. "@latin1" runs the program from a folder and in a
# current folder named in Latin-1 bytes; "@senzafont" with a fontconfig that
# knows no font, "@liberation" with one that knows only Liberation, "@dejavu"
# with Liberation and DejaVu; "@lc=LOCALE" reads the dates by that locale
# (LC_TIME), "@qpa=NAME" runs with QT_QPA_PLATFORM=NAME, "@senzaproc" without
# /proc ("@senzaproc-path": the program started by name, found in PATH).
# Every case leaves the end-of-run file and nothing else but the PDF, whose
# path, as its bytes are on disk, is all that is said on standard output.
set -u
BIN=$(readlink -f "$1")
fail() { echo "FAIL: $*"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" CUPS_SERVER="$work/nessun-cups.sock" LC_ALL=C.UTF-8
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$work/prog" "$work/prog-citt"$'\xe0' && chmod 700 "$XDG_RUNTIME_DIR"
cp "$BIN" "$work/prog/vagolume"
cp "$BIN" "$work/prog-citt"$'\xe0'/vagolume
# Fontconfig files: no font at all, only Liberation, Liberation and DejaVu.
caratteri() { # FILE [FONT FOLDERS...]
    local f=$1 d
    shift
    {
        echo '<?xml version="1.0"?><!DOCTYPE fontconfig SYSTEM "fonts.dtd"><fontconfig>'
        [ $# -eq 0 ] || echo '<include ignore_missing="yes">/etc/fonts/conf.d</include>'
        for d in "$@"; do echo "<dir>$d</dir>"; done
        echo "<cachedir>$work/fc-cache</cachedir></fontconfig>"
    } >"$f"
}
caratteri "$work/senzafont.conf"
caratteri "$work/liberation.conf" /usr/share/fonts/truetype/liberation
caratteri "$work/dejavu.conf" /usr/share/fonts/truetype/liberation /usr/share/fonts/truetype/dejavu
lunga=$(head -c 1048576 /dev/zero | tr '\0' A)

# how | printf format of the line | status | pages | word in the message | PDF | font in the PDF
casi=(
    "arg|ROMA,01/03/2024,05/03/2024|0|6|"
    "arg|ROMA,01/03/2024,05/03/2024,EXTRA|1|0|dopo la data finale"
    "arg|ROMA,05/08/2026,01/08/2026|1|0|precedente"
    "arg|ROMA,31/02/2026,05/03/2026|1|0|data iniziale non leggibile"
    "arg|ROMA|1|0|date mancanti nella riga di comando"
    "arg|ROMA,01/08/2026|1|0|data finale mancante nella riga di comando"
    "arg|ROMA 01/08/2026 05/08/2026|1|0|il separatore è la virgola"
    "file|ROMA;01/08/2026;05/08/2026\r\n|1|0|date non separate da virgole in Commandline.txt"
    "arg|-h|1|0|\"-h\" non è una riga di comando (l'uso è descritto da vagolume --help)"
    "arg|--versione|1|0|vagolume --help"
    "arg@lc=ja_JP|ROMA,01/08/2026,05/08/2026|0|6|"
    "arg@lc=hu_HU|ROMA,2026/08/01,05.08.2026|0|6|"
    "file@lc=en_CA|ROMA,01/08/2026,05/08/2026|0|6|"
    "arg@lc=en_US|ROMA,08/01/2026,08/05/2026|0|6|"
    "arg@lc=it_IT|ROMA,01/08/2026,05/08/2026|0|6|"
    "arg@qpa=eglfs|ROMA,01/08/2026,02/08/2026|0|3|\"eglfs\""
    "arg@qpa=linuxfb|ROMA,01/08/2026,02/08/2026|0|3|\"linuxfb\""
    "arg@qpa=minimal|ROMA,01/08/2026,02/08/2026|0|3|\"minimal\""
    "file@senzaproc|ROMA,01/08/2026,02/08/2026|0|3|"
    "file@senzaproc-path|ROMA,01/08/2026,02/08/2026|0|3|"
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
    "arg|C:\\\\PROGRA~1\\\\PERCOR~1\\\\VAGOLUME.EXE ROMA,01/08/2026,02/08/2026|0|3|"
    "arg|\"C:\\\\Program Files\\\\Percorsario\\\\Vagolume.exe\" ROMA,01/08/2026,02/08/2026|0|3|"
    "file|\"C:\\\\Program Files\\\\Percorsario\\\\Vagolume.exe\" ROMA,01/08/2026,02/08/2026\r\n|0|3|"
    "arg|hotel.executive,01/08/2026,02/08/2026|0|3||hotel.executive_Vagolume.pdf"
    "arg|\t,01/08/2026,02/08/2026|1|0|destinazione mancante"
    "arg|\xe2\x80\x8b,01/08/2026,02/08/2026|1|0|destinazione mancante"
    "file|\t\xc2\xa0\xe3\x80\x80\xe2\x80\x87\xe2\x80\xa8\xe2\x80\x8b\x1a,01/08/2026,02/08/2026\r\n|1|0|destinazione mancante"
    "arg|CITT\xc0,01/08/2026,02/08/2026|0|3||CITTÀ_Vagolume.pdf"
    "file|CITT\xc0,01/08/2026,02/08/2026|0|3||CITTÀ_Vagolume.pdf"
    "file@latin1|ROMA,01/08/2026,02/08/2026|0|3|"
    "arg@latin1|ROMA,01/08/2026,02/08/2026|0|3|"
    "file@latin1|ROMA,01/08/2026|1|0|data finale mancante in Commandline.txt"
    "file|ROMA,01/08/\x002026,05/08/2026|1|0|\"01/08/\\x002026\""
    "file|${lunga}|1|0|riga troppo lunga (1048576 caratteri)"
    "arg@senzafont|ROMA,01/08/2026,02/08/2026|1|0|nessun font utilizzabile"
    "arg@liberation|東京,01/08/2026,02/08/2026|0|3|東京|東京_Vagolume.pdf"
    "arg@liberation|ROMA 🚐,01/08/2026,02/08/2026|0|3|🚐|ROMA_🚐_Vagolume.pdf"
    "arg@dejavu|ROMA ☃,01/08/2026,02/08/2026|0|3||ROMA_☃_Vagolume.pdf|DejaVu"
    "arg@liberation|🚐🚐🚐🚐🚐🚐🚐🚐🚐🚐,01/08/2026,02/08/2026|0|3|🚐|🚐🚐🚐🚐🚐🚐🚐🚐🚐🚐_Vagolume.pdf"
    "arg|\xe2\x80\xaeROMA,01/08/2026,02/08/2026|0|3|"
    "arg|  ROMA,01/08/2026,02/08/2026|0|3|"
)
n=0
for caso in "${casi[@]}"; do
    IFS='|' read -r come riga atteso pagine parola pdf carattere <<<"$caso"
    n=$((n + 1))
    prog="$work/prog" d="$work/caso$n" ambiente=() senzaproc=() comando=
    case "$come" in
    *@latin1) prog="$work/prog-citt"$'\xe0' d="$work/caso$n/citt"$'\xe0' ;;
    *@lc=*) ambiente=(-u LC_ALL "LC_TIME=${come#*@lc=}.UTF-8" LANG=C.UTF-8) ;;
    *@qpa=*) ambiente=("QT_QPA_PLATFORM=${come#*@qpa=}") ;;
    *@senzaproc*)
        # A private mount namespace in which /proc is an empty folder.
        unshare -m true 2>/dev/null || { echo "SKIP case $n: no mount namespace here"; continue; }
        # AddressSanitizer's runtime says its own lines without /proc.
        if ldd "$prog/vagolume" | grep -q libasan; then echo "SKIP case $n: under AddressSanitizer"; continue; fi
        senzaproc=(unshare -m sh -c 'mount -t tmpfs none /proc && exec "$@"' sh)
        # ...and the program started by name, found in PATH.
        [ "$come" = file@senzaproc-path ] && comando=vagolume ambiente=("PATH=/usr/bin:$prog:/bin") ;;
    *@*) ambiente=("FONTCONFIG_FILE=$work/${come#*@}.conf") ;;
    esac
    mkdir -p "$d" && cd "$d" || fail "mkdir"
    # shellcheck disable=SC2059 # the line is a printf format on purpose
    if [ "${come%@*}" = arg ]; then
        printf -v argomento -- "$riga"
        timeout 60 env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "${ambiente[@]}" "$prog/vagolume" "$argomento" 2>err.txt >"$work/stdout"
        rc=$?
    else
        printf -- "$riga" >"$prog/Commandline.txt"
        timeout 60 "${senzaproc[@]}" env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "${ambiente[@]}" "${comando:-$prog/vagolume}" 2>err.txt >"$work/stdout"
        rc=$?
        [ ! -e "$prog/Commandline.txt" ] || fail "case $n: Commandline.txt left"
    fi
    riga=${riga:0:100}
    [ "$rc" = "$atteso" ] || fail "case $n ($riga): exit status $rc, expected $atteso; $(cat err.txt)"
    [ "$(cat FineStampaPercorsario.tmp 2>/dev/null)" = $'Fatto\r' ] || fail "case $n ($riga): no end-of-run file"
    if [ -z "$parola" ]; then
        [ ! -s err.txt ] || fail "case $n ($riga): something said: $(cat err.txt)"
    else
        [ "$(grep -c '^vagolume: ' err.txt)" = 1 ] || fail "case $n ($riga): not one message: $(cat err.txt)"
        grep -qF -- "$parola" err.txt || fail "case $n ($riga): message without '$parola': $(cat err.txt)"
    fi
    if [ "$pagine" = 0 ]; then
        [ ! -s "$work/stdout" ] || fail "case $n ($riga): said on standard output: $(cat "$work/stdout")"
        [ "$(ls -A)" = "$(printf 'FineStampaPercorsario.tmp\nerr.txt')" ] || fail "case $n ($riga): files left: $(ls -A)"
    else
        pdf=${pdf:-ROMA_Vagolume.pdf}
        [ "$(cat "$work/stdout")" = "$(pwd -P)/$pdf" ] ||
            fail "case $n ($riga): standard output '$(cat "$work/stdout")', expected the PDF's path"
        p=$(pdfinfo "$pdf" 2>/dev/null | awk '/^Pages:/ { print $2 }')
        [ "$p" = "$pagine" ] || fail "case $n ($riga): $p pages in $pdf, expected $pagine; files: $(ls -A)"
        [ -z "$carattere" ] || pdffonts "$pdf" 2>/dev/null | grep -qF "$carattere" ||
            fail "case $n ($riga): no $carattere font in $pdf: $(pdffonts "$pdf" 2>&1)"
    fi
    [ "$(ls -A "$prog")" = vagolume ] || fail "case $n: left in the program folder: $(ls -A "$prog")"
done
echo "OK: $n lines"
