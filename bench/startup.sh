#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quorran developers
# SPDX-License-Identifier: MIT
# Start-up time and peak resident memory of Quorran next to a bare Qt Widgets
# program with one empty window, run alternately on one private Xvfb display.
# The time runs from launch until the X server reports the first drawing on
# the program's window (its DAMAGE extension, read by bench/first_paint); the
# CPU time is what the main thread used until then, which depends far less on
# other load on the machine. Prints the medians.
#   bash bench/startup.sh [build-dir] [runs]
set -euo pipefail

if [ "${1:-}" != "--inside" ]; then
    build=$(cd "${1:-build}" && pwd)
    exec xvfb-run -a -s "-screen 0 640x480x24" bash "$0" --inside "$build" "${2:-20}"
fi
build=$2
runs=$3

# Prints the milliseconds to the first paint, the peak resident set in KiB and
# the main thread's CPU milliseconds up to the first paint.
measure() { "$build/bench/first_paint" "$1" 2>/dev/null; }

median() { sort -n | awk '{a[NR] = $1} END {print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }

quorran=() bare=()
measure "$build/quorran" >/dev/null # warm the file cache for both
measure "$build/bench/bare_window" >/dev/null
for _ in $(seq "$runs"); do
    quorran+=("$(measure "$build/quorran")")
    bare+=("$(measure "$build/bench/bare_window")")
done

column() { printf '%s\n' "${@:2}" | cut -d' ' -f"$1" | median; }
q_ms=$(column 1 "${quorran[@]}") q_kib=$(column 2 "${quorran[@]}") q_cpu=$(column 3 "${quorran[@]}")
b_ms=$(column 1 "${bare[@]}") b_kib=$(column 2 "${bare[@]}") b_cpu=$(column 3 "${bare[@]}")
printf '%-12s %16s %16s %16s\n' program "first paint (ms)" "CPU to it (ms)" "peak RSS (KiB)"
printf '%-12s %16s %16s %16s\n' quorran "$q_ms" "$q_cpu" "$q_kib" bare "$b_ms" "$b_cpu" "$b_kib"
awk -v qm="$q_ms" -v bm="$b_ms" -v qc="$q_cpu" -v bc="$b_cpu" -v qk="$q_kib" -v bk="$b_kib" 'BEGIN {
    printf "quorran/bare: first paint %.2f, CPU %.2f, memory %.2f (median of '"$runs"' runs each)\n",
        qm / bm, qc / bc, qk / bk }'
