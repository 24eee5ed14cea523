#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quorran developers
# SPDX-License-Identifier: MIT
# The desktop changes its scale while the program runs: an XSETTINGS daemon
# (xsettingsd, standing in for a desktop's settings daemon) raises Xft/DPI
# from 96 to 144. The window must take its size at 144 DPI and look, pixel
# for pixel, as the window of the program started at 144 DPI.
set -euo pipefail

for tool in Xvfb xsettingsd xwd xwininfo; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
exe=$1
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY QT_QPA_PLATFORMTHEME QT_SCALE_FACTOR QT_FONT_DPI QT_SCREEN_SCALE_FACTORS QT_ENABLE_HIGHDPI_SCALING
fail() {
    echo "FAIL: $*"
    [ -s "${work:-}/quorran.log" ] && { echo "The program said:"; cat "$work/quorran.log"; }
    exit 1
}
source "$(dirname "${BASH_SOURCE[0]}")/../lib/xvfb.sh"
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT
start_xvfb 800x600x24 || fail "Xvfb did not start"
pids+=("$XVFB_PID")

# Xft/DPI is given in 1024ths of a dot per inch.
echo 'Xft/DPI 98304' >"$work/xsettings"
xsettingsd -c "$work/xsettings" >"$work/xsettingsd.log" 2>&1 &
settings=$!
pids+=($settings)
# The program must find the daemon at start to hear of the change later.
for _ in $(seq 50); do
    grep -q 'Took ownership' "$work/xsettingsd.log" && break
    sleep 0.1
done
grep -q 'Took ownership' "$work/xsettingsd.log" || fail "xsettingsd did not start: $(cat "$work/xsettingsd.log")"

# The window's pixels once two dumps in a row agree (the first paint is done).
dump() {
    local previous=""
    for _ in $(seq 25); do
        xwd -silent -id "$1" >"$2"
        [ -n "$previous" ] && cmp -s "$2" "$previous" && return 0
        cp "$2" "$work/previous.xwd"
        previous=$work/previous.xwd
        sleep 0.2
    done
    return 1
}

"$exe" 2>>"$work/quorran.log" &
pid=$!
pids+=($pid)
window=$(wait_for_window Quorran) || fail "no mapped Quorran window within 30 s"
[ "$(size_of "$window")" = 289x354 ] || fail "client area $(size_of "$window") at 96 DPI"

echo 'Xft/DPI 147456' >"$work/xsettings"
kill -HUP $settings
for _ in $(seq 50); do
    [ "$(size_of "$window")" = 434x532 ] && break
    sleep 0.1
done
[ "$(size_of "$window")" = 434x532 ] || fail "client area $(size_of "$window") after the change to 144 DPI"
echo "ok: 434x532 after the change to 144 DPI"
dump "$window" "$work/changed.xwd" || fail "the window does not settle"
kill $pid
wait $pid 2>/dev/null || true
wait_for_no_window Quorran || true

"$exe" 2>>"$work/quorran.log" &
pid=$!
pids+=($pid)
window=$(wait_for_window Quorran) || fail "no mapped Quorran window within 30 s at 144 DPI"
dump "$window" "$work/fresh.xwd" || fail "the window does not settle"

# The pixels only: an XWD header also holds the window's position and name.
python3 - "$work/changed.xwd" "$work/fresh.xwd" <<'PYTHON' || fail "the window differs from one started at 144 DPI"
import struct, sys
def pixels(path):
    data = open(path, "rb").read()
    fields = struct.unpack(">25I", data[:100])
    header_size, width, height, colours = fields[0], fields[4], fields[5], fields[19]
    return width, height, data[header_size + 12 * colours:]
changed, fresh = pixels(sys.argv[1]), pixels(sys.argv[2])
if changed[:2] != fresh[:2]:
    sys.exit(f"{changed[:2]} against {fresh[:2]}")
differing = sum(1 for a, b in zip(changed[2], fresh[2]) if a != b)
if differing:
    sys.exit(f"{differing} bytes differ")
PYTHON
echo "ok: as the window of a program started at 144 DPI"
