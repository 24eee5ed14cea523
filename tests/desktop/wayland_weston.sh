#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quorran developers
# SPDX-License-Identifier: MIT
# The window under a Wayland compositor (weston, headless, no GPU): the
# top-level tests run again there (the window gets its own title bar with a
# close box only, keeps its fixed size, and ends the program when closed),
# and the real program starts and keeps running.
# Usage: wayland_weston.sh PROGRAM TST_TOPLEVEL
set -euo pipefail

command -v weston >/dev/null || { echo "SKIP: weston is not installed"; exit 77; }
exe=$1
tests=$2
fail() { echo "FAIL: $*"; exit 1; }

XDG_RUNTIME_DIR=$(mktemp -d)
chmod 700 "$XDG_RUNTIME_DIR"
export XDG_RUNTIME_DIR WAYLAND_DISPLAY=quorran-test QT_QPA_PLATFORM=wayland
unset DISPLAY QT_WAYLAND_DISABLE_WINDOWDECORATION QT_WAYLAND_DECORATION QT_QPA_PLATFORMTHEME
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; rm -rf "$XDG_RUNTIME_DIR"' EXIT

# Debian 12's weston 10 names its backends by file; later ones by name.
weston --backend=headless-backend.so --use-pixman --socket="$WAYLAND_DISPLAY" --idle-time=0 \
    >"$XDG_RUNTIME_DIR/weston.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && break; sleep 0.1; done
if [ ! -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ]; then
    weston --backend=headless --renderer=pixman --socket="$WAYLAND_DISPLAY" --idle-time=0 \
        >"$XDG_RUNTIME_DIR/weston.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && break; sleep 0.1; done
fi
[ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] || { cat "$XDG_RUNTIME_DIR/weston.log"; fail "weston did not start"; }

"$tests" -platform wayland || fail "top-level tests under Wayland"

"$exe" 2>"$XDG_RUNTIME_DIR/quorran.log" &
pid=$!
pids+=($pid)
sleep 1
kill -0 $pid 2>/dev/null || { cat "$XDG_RUNTIME_DIR/quorran.log"; fail "the program ended under Wayland"; }
echo "ok: the program runs under Wayland"
