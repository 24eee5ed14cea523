#!/usr/bin/env bash
# Start-up time (from launch until the window is mapped) and peak resident
# memory of Quorran next to a bare Qt Widgets program with one empty window,
# run alternately on one private Xvfb display. Prints the medians.
#   bash bench/startup.sh [build-dir] [runs]
set -euo pipefail

if [ "${1:-}" != "--inside" ]; then
    build=$(cd "${1:-build}" && pwd)
    exec xvfb-run -a -s "-screen 0 640x480x24" bash "$0" --inside "$build" "${2:-20}"
fi
build=$2
runs=$3

source "$(dirname "${BASH_SOURCE[0]}")/../scripts/x11.sh"

# Launches a program, waits until its window is viewable, and prints the
# milliseconds that took and the process's peak resident set in KiB.
measure() {
    local exe=$1 class=$2 start pid ms kib
    start=$(date +%s%N)
    "$exe" 2>/dev/null &
    pid=$!
    until is_mapped "$class"; do :; done
    ms=$((($(date +%s%N) - start) / 1000000))
    sleep 0.3 # let it settle into its event loop
    kib=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo "$ms $kib"
}

median() { sort -n | awk '{a[NR] = $1} END {print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }

quorran=() bare=()
measure "$build/quorran" Quorran >/dev/null # warm the file cache for both
measure "$build/bench/bare_window" bare_window >/dev/null
for _ in $(seq "$runs"); do
    quorran+=("$(measure "$build/quorran" Quorran)")
    bare+=("$(measure "$build/bench/bare_window" bare_window)")
done

q_ms=$(printf '%s\n' "${quorran[@]}" | cut -d' ' -f1 | median)
q_kib=$(printf '%s\n' "${quorran[@]}" | cut -d' ' -f2 | median)
b_ms=$(printf '%s\n' "${bare[@]}" | cut -d' ' -f1 | median)
b_kib=$(printf '%s\n' "${bare[@]}" | cut -d' ' -f2 | median)
printf '%-12s %12s %16s\n' program "mapped (ms)" "peak RSS (KiB)"
printf '%-12s %12s %16s\n' quorran "$q_ms" "$q_kib" bare "$b_ms" "$b_kib"
awk -v qm="$q_ms" -v bm="$b_ms" -v qk="$q_kib" -v bk="$b_kib" 'BEGIN {
    printf "quorran/bare: time %.2f, memory %.2f (median of '"$runs"' runs each)\n", qm / bm, qk / bk }'
