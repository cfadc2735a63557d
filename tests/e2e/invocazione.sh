#!/bin/bash
# A run started by the itinerary program, without printer or display: from the
# command line and from Commandline.txt next to the program. Each must end by
# itself with status 0, leave "Fatto" CR LF in the end-of-run file and the
# document as a PDF in the current folder: the cover and one sheet a day, the
# first and last sheets dated with the itinerary's first and last day.
set -u
BIN=$(readlink -f "$1")
fail() { echo "FAIL: $*"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" CUPS_SERVER="$work/nessun-cups.sock"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

# A run's PDF: its page count and, given them, the date cells (weekday, day,
# month) of its first and last sheets. The cells lie at X 165-195, Y 14-23 mm
# of the printable area, which begins 4.9 mm in from the paper's corner;
# pdftotext crops in points and ends each page with a form feed.
controlla_corsa() { # PDF PAGES [FIRST-SHEET-DATE LAST-SHEET-DATE]
    local n date
    n=$(pdfinfo "$1" 2>/dev/null | awk '/^Pages:/ { print $2 }')
    [ "$n" = "$2" ] || fail "$1 has '$n' pages, expected $2"
    [ $# -eq 4 ] || return 0
    date=$(pdftotext -f 2 -l "$n" -x 484 -y 53 -W 81 -H 27 "$1" - 2>/dev/null |
        tr -s ' \n' ' ' | tr '\f' '\n' | sed 's/^ //; s/ $//')
    [ "$(head -n 1 <<<"$date")" = "$3" ] || fail "$1: first sheet dated '$(head -n 1 <<<"$date")', expected '$3'"
    [ "$(tail -n 1 <<<"$date")" = "$4" ] || fail "$1: last sheet dated '$(tail -n 1 <<<"$date")', expected '$4'"
}

# From the command line.
mkdir "$work/a" && cd "$work/a"
timeout 60 env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$BIN" "ROMA,01/08/2026,05/08/2026" 2>err.txt
rc=$?
[ $rc -eq 0 ] || { cat err.txt; fail "exit status $rc"; }
[ "$(od -An -c FineStampaPercorsario.tmp | tr -s ' ')" = " F a t t o \r \n" ] || fail "end-of-run file: $(od -c FineStampaPercorsario.tmp)"
[ -f ROMA_Vagolume.pdf ] || fail "no ROMA_Vagolume.pdf: $(ls -a)"
pdfinfo ROMA_Vagolume.pdf >info.txt 2>/dev/null || fail "not a PDF"
grep -q 'Page size: *595.* x 841.* pts (A4)\|Page size: *595 x 842 pts (A4)' info.txt || fail "not A4 portrait: $(grep 'Page size' info.txt)"
grep -q '^Title: *ROMA_Vagolume' info.txt || fail "document title: $(grep Title info.txt)"
[ -z "$(ls -a | grep -E '^\.vagolume|^\.FineStampa')" ] || fail "temporary files left: $(ls -a)"
controlla_corsa ROMA_Vagolume.pdf 6 "Sab 01 Ago" "Mer 05 Ago"

# A second run does not overwrite the first PDF.
timeout 60 env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$BIN" "ROMA,01/08/2026,02/08/2026" 2>>err.txt || fail "second run"
[ -f "ROMA_Vagolume (2).pdf" ] || fail "second PDF not named ROMA_Vagolume (2).pdf: $(ls)"
controlla_corsa "ROMA_Vagolume (2).pdf" 3 "Sab 01 Ago" "Dom 02 Ago"

# From Commandline.txt next to a copy of the program; read once, then gone.
mkdir "$work/prog" "$work/b" && cp "$BIN" "$work/prog/vagolume"
printf 'C:\\Percorsario\\Vagolume.exe  ROMA,01/08/2026,05/08/2026\r\n' >"$work/prog/Commandline.txt"
cd "$work/b"
timeout 60 env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$work/prog/vagolume" 2>err.txt
rc=$?
[ $rc -eq 0 ] || { cat err.txt; fail "Commandline.txt run: exit status $rc"; }
[ ! -e "$work/prog/Commandline.txt" ] || fail "Commandline.txt not deleted"
[ -f ROMA_Vagolume.pdf ] || fail "Commandline.txt run: no PDF"
controlla_corsa ROMA_Vagolume.pdf 6 "Sab 01 Ago" "Mer 05 Ago"
[ "$(cat FineStampaPercorsario.tmp)" = $'Fatto\r' ] || fail "Commandline.txt run: end-of-run file"

# Hostile destinations: the PDF stays in the current folder, under a readable name.
mkdir "$work/d" && cd "$work/d"
for dest in "../../fuori/ROMA" "/etc/ROMA" 'A:B*C?"D' "...ROMA" "$(printf 'è%.0s' $(seq 50))" "ROMA 🚐" "	CTRL" \
    ".." "../../x"; do
    timeout 60 env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$BIN" "$dest,01/08/2026,01/08/2026" 2>>err.txt \
        || fail "destination '$dest': exit status"
done
[ "$(find "$work" -name '*.pdf' -not -path "$work/d/*" -not -path "$work/a/*" -not -path "$work/b/*" | wc -l)" -eq 0 ] \
    || fail "a PDF was written outside the current folder: $(find "$work" -name '*.pdf')"
[ "$(ls "$work/d" | grep -c '\.pdf$')" -eq 9 ] || fail "expected 9 PDFs: $(ls -a "$work/d")"
! ls -a "$work/d" | grep -q '^\.[^.]' || fail "hidden file left: $(ls -a "$work/d")"
# Names without what stood in front of the name proper, and no "_" doubled.
for nome in fuori_ROMA etc_ROMA A_B_C_D ROMA CTRL "" x; do
    [ -f "$work/d/${nome:+${nome}_}Vagolume.pdf" ] || fail "no ${nome:+${nome}_}Vagolume.pdf: $(ls "$work/d")"
done
for pdf in "$work"/d/*.pdf; do controlla_corsa "$pdf" 2; done

# Nothing to do and no display: one line on standard error, non-zero status.
mkdir "$work/c" && cd "$work/c"
timeout 30 env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$work/prog/vagolume" 2>err.txt
rc=$?
[ $rc -ne 0 ] || fail "no display and no invocation: status 0"
grep -q '^vagolume: ' err.txt || fail "no message on standard error"
[ ! -e FineStampaPercorsario.tmp ] || fail "end-of-run file written without a run"
echo "OK"
