#!/bin/bash
# Times whole runs of the program on the built-in PDF writer: median of 5 of
# wall time and peak memory (/usr/bin/time), and the PDF size per sheet.
# usage: bench/misura.sh [BUILD_DIR]
set -euo pipefail
BUILD=$(readlink -f "${1:-build}")
VAGOLUME=$BUILD/vagolume
BIANCA=$BUILD/bench/corsa_bianca
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work XDG_RUNTIME_DIR=$work CUPS_SERVER=/nonexistent/cups.sock
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

# misura NAME PAGES COMMAND...: prints median wall seconds, median peak MiB, KB per sheet.
misura() {
    local nome=$1 fogli=$2
    shift 2
    local tempi=() memorie=() byte=0
    for i in 1 2 3 4 5; do
        local d="$work/$nome.$i"
        mkdir "$d"
        (cd "$d" && /usr/bin/time -f '%e %M' -o "$d.time" "$@" >/dev/null 2>"$d.err") || { cat "$d.err"; exit 1; }
        read -r t m <"$d.time"
        tempi+=("$t")
        memorie+=("$m")
        byte=$(stat -c %s "$d"/*.pdf)
    done
    local tm mm
    tm=$(printf '%s\n' "${tempi[@]}" | sort -n | sed -n 3p)
    mm=$(printf '%s\n' "${memorie[@]}" | sort -n | sed -n 3p)
    printf '%-28s %6s s  %6.1f MiB  %6.1f KB/sheet  (%d KB in all)\n' "$nome" "$tm" "$(echo "$mm/1024" | bc -l)" \
        "$(echo "$byte/1024/($fogli+1)" | bc -l)" $((byte / 1024))
}

echo "median of 5, whole process, built-in PDF writer ($(nproc) cores)"
misura "blank, 99 sheets" 99 "$BIANCA" 99
misura "itinerary, 10 days" 10 "$VAGOLUME" "ROMA,01/01/2025,10/01/2025"
misura "itinerary, 365 days" 365 "$VAGOLUME" "ROMA,01/01/2025,31/12/2025"

# Start-up to the idle window on a private Xvfb server (needs xvfb and xdotool).
if command -v Xvfb >/dev/null && command -v xdotool >/dev/null; then
    for n in $(seq 150 220); do [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break; done
    Xvfb :$n -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do DISPLAY=:$n xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.05; done
    tempi=()
    for i in 1 2 3 4 5; do
        mkdir "$work/finestra.$i" && cd "$work/finestra.$i"
        t0=$(date +%s.%N)
        DISPLAY=:$n "$VAGOLUME" 2>/dev/null &
        pid=$!
        for _ in $(seq 2000); do
            DISPLAY=:$n xdotool search --onlyvisible --name "Stampa moduli per" >/dev/null 2>&1 && break
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.005
        done
        t1=$(date +%s.%N)
        kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
        tempi+=("$(echo "$t1 - $t0" | bc -l)")
    done
    kill "$xvfb"; wait "$xvfb" 2>/dev/null || true
    printf '%-28s %6.2f s\n' "start-up to idle window" "$(printf '%s\n' "${tempi[@]}" | sort -n | sed -n 3p)"
fi
