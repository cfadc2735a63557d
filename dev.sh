#!/bin/bash
# Sets up a Debian 12 machine for Vagolume, and then either builds the program
# alone and prints a five-day itinerary (./dev.sh demo) or builds the tests
# too and runs the whole suite (./dev.sh test). Run as root or as a user with
# sudo.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")"

BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libcups2-dev libxkbcommon-dev libgl-dev
                fonts-liberation poppler-utils qt6-translations-l10n xdg-utils)
TEST_PACKAGES=(xvfb xauth xdotool x11-utils imagemagick cups cups-daemon cups-client cups-bsd
               printer-driver-cups-pdf desktop-file-utils man-db python3-pdfminer clang-14 libclang-rt-14-dev
               file dpkg-dev qt6-gtk-platformtheme dbus at-spi2-core python3-pyatspi)

sudo_() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        sudo_ env DEBIAN_FRONTEND=noninteractive apt-get update -qq
        sudo_ env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    fi
}

# build [NINJA TARGETS...]: one build folder with the same options for the
# program alone (demo) and for everything (test), so that the tests after a
# demo compile only what the demo did not build.
build() {
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVAGOLUME_WERROR=ON >/dev/null
    ninja -C build "$@"
}

# suite DIR [CTEST OPTIONS...]: the unit tests first (seconds), then the
# end-to-end ones. With VAGOLUME_NESSUN_SALTO=1 (CI, where everything is
# installed) a skipped test fails the run.
suite() {
    local dir=$1 log esito=0
    shift
    log=$(mktemp)
    (cd "$dir" && ctest --output-on-failure -j2 -L unit "$@" && ctest --output-on-failure -j2 -L e2e "$@") |
        tee "$log" || esito=1
    if [ "${VAGOLUME_NESSUN_SALTO:-}" = 1 ] && grep -q '\*\*\*Skipped' "$log"; then
        echo "Skipped tests, and this machine should run them all:" >&2
        grep '\*\*\*Skipped' "$log" >&2
        esito=1
    fi
    rm -f "$log"
    return "$esito"
}

case "${1:-demo}" in
demo)
    install_missing "${BUILD_PACKAGES[@]}"
    build vagolume
    mkdir -p out && cd out
    echo "Printing a five-day itinerary to the default printer (or to a PDF in $(pwd))..."
    ../build/vagolume "ROMA,01/08/2026,05/08/2026"
    ls -l --time-style=+ ./*.pdf 2>/dev/null || true
    ;;
test)
    install_missing "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    build
    suite build
    ;;
sanitize)
    # The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer
    # (the package's life on the system is tested once, by the normal build).
    install_missing "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVAGOLUME_SANITIZE=ON >/dev/null
    ninja -C build-asan
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        suite build-asan -E e2e_pacchetto_deb
    ;;
fuzz)
    # The invocation-line fuzz target, for a bounded time (seconds, default 60).
    install_missing "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVAGOLUME_FUZZ=ON \
        -DVAGOLUME_SANITIZE=ON >/dev/null
    ninja -C build-fuzz fuzz_invocazione
    work=$(mktemp -d) && cp tests/fuzz/corpus/* "$work/"
    ./build-fuzz/tests/fuzz_invocazione -max_total_time="${2:-60}" -max_len=4096 -timeout=10 \
        -artifact_prefix=build-fuzz/ "$work"
    rm -rf "$work"
    ;;
*)
    echo "usage: $0 [demo|test|sanitize|fuzz [SECONDS]]" >&2
    exit 2
    ;;
esac
