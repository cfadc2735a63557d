#!/bin/bash
# The current folder full or read-only (small tmpfs mounts; needs root, skipped
# otherwise): the run reports the failure on standard error and exits
# non-zero, no partial PDF is left under the final name, and the end-of-run
# file is either whole or absent, never half-written.
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
run() { timeout 60 env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$BIN" "ROMA,01/08/2026,05/08/2026" 2>"$work/err.txt"; }
check_no_partial() {
    [ ! -e ROMA_Vagolume.pdf ] || fail "$1: a PDF was left under the final name"
    if [ -e FineStampaPercorsario.tmp ]; then
        [ "$(cat FineStampaPercorsario.tmp)" = $'Fatto\r' ] || fail "$1: half-written end-of-run file"
    fi
    ! ls -a | grep -q '^\.vagolume' || fail "$1: temporary PDF left behind"
    grep -q "^vagolume: " "$work/err.txt" || fail "$1: nothing said on standard error"
}

# 1. A full folder: nothing can be written.
mkdir "$work/pieno" && mount -t tmpfs -o size=64k tmpfs "$work/pieno" && mounts+=("$work/pieno")
cd "$work/pieno"
dd if=/dev/zero of=riempitivo bs=4k 2>/dev/null
run; rc=$?
[ $rc -ne 0 ] || fail "full folder: exit status 0"
check_no_partial "full folder"

# 2. Room for the end-of-run file but not for the document.
mkdir "$work/quasi" && mount -t tmpfs -o size=64k tmpfs "$work/quasi" && mounts+=("$work/quasi")
cd "$work/quasi"
dd if=/dev/zero of=riempitivo bs=4k 2>/dev/null
truncate -s $(( $(stat -c %s riempitivo) - 8192 )) riempitivo
run; rc=$?
size=$(stat -c %s ROMA_Vagolume.pdf 2>/dev/null || echo 0)
if [ "$size" -gt 0 ]; then
    # The whole document fitted in 8 KB: then it must be complete.
    pdfinfo ROMA_Vagolume.pdf >/dev/null 2>&1 || fail "almost full folder: broken PDF"
else
    [ $rc -ne 0 ] || fail "almost full folder: exit status 0 without a PDF"
    check_no_partial "almost full folder"
fi

# 3. A read-only folder.
mkdir "$work/ro" && mount -t tmpfs -o size=64k,ro tmpfs "$work/ro" && mounts+=("$work/ro")
cd "$work/ro"
run; rc=$?
[ $rc -ne 0 ] || fail "read-only folder: exit status 0"
grep -q FineStampaPercorsario "$work/err.txt" || fail "read-only folder: end-of-run file failure not said"
echo OK
