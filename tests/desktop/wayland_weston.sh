#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quorran developers
# SPDX-License-Identifier: MIT
# The window under a Wayland compositor (weston, headless, no GPU), on one
# of Qt's Wayland plugins: the top-level tests run again there (the window
# gets its own title bar with a close box only, keeps its fixed size, and
# ends the program when closed); a teardown that never ends still ends the
# process soon with the program's status; and the real program starts with
# its own bar over its client area, larger with its fonts under
# QT_SCALE_FACTOR, and keeps running.
# Usage: wayland_weston.sh PROGRAM TST_TOPLEVEL [PLUGIN (wayland)]
set -euo pipefail

command -v weston >/dev/null || { echo "SKIP: weston is not installed"; exit 77; }
exe=$1
tests=$2
platform=${3:-wayland}
fail() { echo "FAIL ($platform): $*"; exit 1; }

XDG_RUNTIME_DIR=$(mktemp -d)
chmod 700 "$XDG_RUNTIME_DIR"
export XDG_RUNTIME_DIR WAYLAND_DISPLAY=quorran-test QT_QPA_PLATFORM=$platform
unset DISPLAY QT_WAYLAND_DISABLE_WINDOWDECORATION QT_WAYLAND_DECORATION QT_QPA_PLATFORMTHEME QT_SCALE_FACTOR \
    QT_FONT_DPI QT_SCREEN_SCALE_FACTORS QT_ENABLE_HIGHDPI_SCALING WAYLAND_DEBUG
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; wait; rm -rf "$XDG_RUNTIME_DIR"' EXIT

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

"$tests" -platform "$platform" || fail "top-level tests under Wayland"

# The watch allows the teardown 2 s; the hook sleeps for a minute.
start=$(date +%s)
status=0
QUORRAN_BLOCKED_TEARDOWN=7 timeout 30 "$tests" || status=$?
seconds=$(($(date +%s) - start))
[ "$status" -eq 7 ] && [ "$seconds" -le 8 ] || fail "a blocked teardown ended with status $status after $seconds s"
echo "ok: a blocked teardown ends with the program's status after $seconds s"

# The window geometry the program sets, with the bar of its own that the
# frame's font makes 24 pixels high at 1 and 38 at 2 (Qt's own decoration
# would make it 295 x 387).
geometry() { grep -o 'set_window_geometry(0, 0, [0-9]*, [0-9]*)' "$log" | tail -1 | sed 's/.*(0, 0, //; s/)//'; }
for setting in "QT_SCALE_FACTOR=1 289, 378" "QT_SCALE_FACTOR=2 579, 747"; do
    read -r variable expected <<<"$setting"
    log=$XDG_RUNTIME_DIR/quorran-${variable#*=}.log
    env "$variable" WAYLAND_DEBUG=1 "$exe" 2>"$log" &
    pid=$!
    pids+=($pid)
    for _ in $(seq 100); do grep -q set_window_geometry "$log" && break; sleep 0.1; done
    sleep 1
    kill -0 $pid 2>/dev/null || { grep -v '^\[' "$log"; fail "the program ended under Wayland"; }
    [ "$(geometry)" = "$expected" ] || fail "window geometry '$(geometry)' under $variable, not $expected"
    kill $pid
    wait $pid 2>/dev/null || true
    echo "ok: the program runs under Wayland, $expected under $variable"
done
