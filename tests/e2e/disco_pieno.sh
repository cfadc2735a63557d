#!/bin/bash
# Runs that cannot write all they must (small tmpfs mounts; needs root,
# skipped otherwise): the run says why on standard error and exits 1, no
# partial PDF is left under the final name, no hidden file of its own is left,
# and the end-of-run file is whole or absent, never half-written.
set -u
BIN=$(readlink -f "$1")
fail() { echo "FAIL: $*"; cleanup; exit 1; }
work=$(mktemp -d)
mounts=()
cleanup() {
    cd /
    for m in "${mounts[@]}"; do umount "$m" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT
if [ "$(id -u)" -ne 0 ] || ! mount -t tmpfs -o size=64k tmpfs "$work" 2>/dev/null; then
    echo "SKIP: needs root and tmpfs mounts"
    exit 77
fi
umount "$work"
export HOME=/tmp XDG_RUNTIME_DIR=$(mktemp -d) CUPS_SERVER=/nonexistent/cups.sock
# A folder of its own on a tmpfs of this size (and options), as current folder.
cartella() {
    mkdir "$work/$1" && mount -t tmpfs -o "$2" tmpfs "$work/$1" || fail "$1: mount"
    mounts+=("$work/$1") && cd "$work/$1" || fail "$1: cd"
}
# The folder filled up but for $1 bytes.
riempi() {
    dd if=/dev/zero of=riempitivo bs=4k 2>/dev/null
    truncate -s $(($(stat -c %s riempitivo) - $1)) riempitivo
}
# Preloaded, it makes open() with O_TMPFILE fail, as on a file system without
# unnamed files: the document is drawn into a hidden named file instead.
SENZA_ANONIMI=${VAGOLUME_SENZA_FILE_ANONIMI:-$(dirname "$BIN")/tests/libsenza_file_anonimi.so}
[ -f "$SENZA_ANONIMI" ] || fail "no preload library at $SENZA_ANONIMI"
preload=()
run() { timeout 60 "${preload[@]}" env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$BIN" "ROMA,01/08/2026,05/08/2026" 2>"$work/err.txt"; }
# $1 the case; $2 the pages of the PDF kept (0: none); $3 "fine" when the
# end-of-run file must be there whole.
esito() {
    [ "$rc" = 1 ] || fail "$1: exit status $rc"
    if [ "$2" = 0 ]; then
        [ ! -e ROMA_Vagolume.pdf ] || fail "$1: a PDF was left under the final name"
    else
        [ "$(pdfinfo ROMA_Vagolume.pdf 2>/dev/null | awk '/^Pages:/ { print $2 }')" = "$2" ] ||
            fail "$1: no whole PDF"
    fi
    if [ "$3" = fine ] || [ -f FineStampaPercorsario.tmp ]; then
        [ "$(cat FineStampaPercorsario.tmp 2>/dev/null)" = $'Fatto\r' ] || fail "$1: no whole end-of-run file"
    fi
    [ -z "$(find . -mindepth 1 -maxdepth 1 -name '.*')" ] || fail "$1: hidden file left: $(ls -A)"
    grep -q "^vagolume: " "$work/err.txt" || fail "$1: nothing said on standard error"
}

# A full folder: nothing can be written.
cartella pieno size=64k && riempi 0
run; rc=$?
esito "full folder" 0 -

# Room for the end-of-run file but not for the document (some 70 KB): the disk
# fills up while the pages are drawn, or only when the fonts are written at
# the document's end.
for spazio in 8192 49152; do
    cartella "quasi$spazio" size=256k && riempi $spazio
    run; rc=$?
    esito "$spazio bytes free" 0 fine
done
# The same without unnamed files.
preload=(env LD_PRELOAD="$SENZA_ANONIMI" ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0")
for spazio in 8192 49152; do
    cartella "senza_anonimi$spazio" size=256k && riempi $spazio
    run; rc=$?
    esito "$spazio bytes free, no unnamed files" 0 fine
done
preload=()

# A file size limit below the document's size.
cartella limite size=1m
(ulimit -f 16 && run); rc=$?
esito "file size limit" 0 fine

# The document fits, the end-of-run file cannot be written: the caller would
# never know the run ended.
cartella senza_fine size=1m && mkdir FineStampaPercorsario.tmp
run; rc=$?
esito "end-of-run file not written" 6 -
grep -q FineStampaPercorsario "$work/err.txt" || fail "end-of-run file not written: not said"

# A read-only folder.
cartella ro size=64k,ro
run; rc=$?
esito "read-only folder" 0 -
grep -q FineStampaPercorsario "$work/err.txt" || fail "read-only folder: end-of-run file failure not said"
echo OK
