#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quorran developers
# SPDX-License-Identifier: MIT
# The real program on each Qt platform plugin and without any display: it
# either runs its window (still running after two seconds) or ends at once with
# status 1 and a one-line message saying what is missing; never a crash.
# Each run starts from an empty environment (but for the sanitizers'
# options), so the caller's does not count.
set -euo pipefail

command -v Xvfb >/dev/null || { echo "SKIP: Xvfb is not installed"; exit 77; }
exe=$1
source "$(dirname "${BASH_SOURCE[0]}")/../lib/xvfb.sh"
start_xvfb 640x480x24 || { echo "FAIL: Xvfb did not start"; exit 1; }
live_display=$DISPLAY
scratch=$(mktemp -d)
trap 'kill $XVFB_PID; rm -rf "$scratch"' EXIT
chmod 700 "$scratch"
failures=0

# expect NAME OUTCOME MESSAGE VARIABLES... [-- ARGUMENTS...]: OUTCOME is
# "runs" or "refuses" (then MESSAGE is a part of the one line it prints).
expect() {
    local name=$1 outcome=$2 message=$3
    shift 3
    local variables=() arguments=()
    while (($#)) && [ "$1" != "--" ]; do variables+=("$1"); shift; done
    (($#)) && shift && arguments=("$@")
    env -i PATH="$PATH" HOME="$scratch" XDG_RUNTIME_DIR="$scratch" \
        ASAN_OPTIONS="${ASAN_OPTIONS:-}" LSAN_OPTIONS="${LSAN_OPTIONS:-}" UBSAN_OPTIONS="${UBSAN_OPTIONS:-}" "${variables[@]}" \
        "$exe" "${arguments[@]}" >"$scratch/out" 2>"$scratch/err" &
    local pid=$! status=0
    for _ in $(seq 10); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
    if kill -0 $pid 2>/dev/null; then
        sleep 1
        if kill -0 $pid 2>/dev/null; then
            kill $pid
            wait $pid || true
            status=running
        else
            wait $pid || status=$?
        fi
    else
        wait $pid || status=$?
    fi
    local lines
    lines=$(grep -c -v -e '^QStandardPaths' -e '^This plugin does not support' -e '^QVncServer' "$scratch/err" || true)
    if [ "$outcome" = runs ] && [ "$status" = running ]; then
        echo "ok: $name: runs"
    elif [ "$outcome" = refuses ] && [ "$status" = 1 ] && [ "$lines" = 1 ] && grep -q -F "$message" "$scratch/err"; then
        echo "ok: $name: $(cat "$scratch/err")"
    else
        echo "FAIL: $name: expected '$outcome', got status $status, $lines lines: $(cat "$scratch/err")"
        failures=$((failures + 1))
    fi
}

expect "no display" refuses \
    "Quorran needs a display and none is set (DISPLAY and WAYLAND_DISPLAY are empty); run it on a desktop, or on a virtual display: xvfb-run -a quorran (from here: xvfb-run -a $exe), which Debian's package xvfb installs"
expect "-platform xcb without a display" refuses "Quorran needs a display and none is set" -- -platform xcb
expect "-display" runs "" -- -display "$live_display"
expect "-display with xcb options" runs "" QT_QPA_PLATFORM=xcb:nograb -- --display "$live_display"
expect "-display that does not answer" refuses "Quorran cannot open the X display :77" DISPLAY="$live_display" -- -display :77
expect "xcb without a display" refuses "Quorran needs a display and none is set" QT_QPA_PLATFORM=xcb
expect "xcb with options without a display" refuses "Quorran needs a display and none is set" QT_QPA_PLATFORM=xcb:nograb
expect "X display that does not answer" refuses "Quorran cannot open the X display :77" DISPLAY=:77
expect "Wayland display only" refuses "set QT_QPA_PLATFORM=wayland" WAYLAND_DISPLAY=wayland-77
expect "Wayland without a compositor" refuses "Quorran finds no Wayland compositor at $scratch/wayland-77" \
    QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=wayland-77
expect "--platform wayland-egl with options without a compositor" refuses \
    "Quorran finds no Wayland compositor at $scratch/wayland-77" WAYLAND_DISPLAY=wayland-77 -- --platform wayland-egl:x
expect "xcb" runs "" QT_QPA_PLATFORM=xcb DISPLAY="$live_display"
expect "offscreen next to an X display" runs "" QT_QPA_PLATFORM=offscreen DISPLAY="$live_display"
expect "offscreen" runs "" QT_QPA_PLATFORM=offscreen
expect "minimal" runs "" QT_QPA_PLATFORM=minimal DISPLAY="$live_display"
expect "vnc" runs "" QT_QPA_PLATFORM="vnc:port=$((20000 + RANDOM % 20000))"
expect "-platform offscreen" runs "" -- -platform offscreen
expect "--platform offscreen" runs "" -- --platform offscreen
exit $((failures > 0))
