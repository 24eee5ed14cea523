#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quorran developers
# SPDX-License-Identifier: MIT
# Starts the real program on a private Xvfb display and reads back, with
# xprop, what a window manager is told: fixed size, no minimise or maximise
# box, no taskbar button; that it shows one top-level window only; and that
# "Exit", reached from the focus it opens with (Shift+Tab from "From D.A.P to
# AddrID"), ends it with status 0. Then, started again under each scale
# setting, that the window's client area has the size its twips give at that
# scale, in device pixels.
set -euo pipefail

for tool in Xvfb xprop xwininfo xdotool; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
exe=$1
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY QT_QPA_PLATFORMTHEME QT_SCALE_FACTOR QT_FONT_DPI QT_SCREEN_SCALE_FACTORS QT_ENABLE_HIGHDPI_SCALING
fail() { echo "FAIL: $*"; exit 1; }
source "$(dirname "${BASH_SOURCE[0]}")/../lib/xvfb.sh"
start_xvfb 640x480x24 || fail "Xvfb did not start"

"$exe" 2>/dev/null &
pid=$!
trap 'kill $pid $XVFB_PID 2>/dev/null || true' EXIT

window=$(wait_for_window Quorran) || fail "no mapped Quorran window within 30 s"
props=$(xprop -id "$window")

hints=$(echo "$props" | sed -n '/WM_NORMAL_HINTS/,/^[^[:space:]]/p')
min=$(echo "$hints" | sed -n 's/.*minimum size: \([0-9]* by [0-9]*\).*/\1/p')
max=$(echo "$hints" | sed -n 's/.*maximum size: \([0-9]* by [0-9]*\).*/\1/p')
[ -n "$min" ] && [ "$min" = "$max" ] || fail "size hints not fixed (min '$min', max '$max')"
echo "ok: fixed size $min"

motif=$(echo "$props" | sed -n 's/^_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = //p')
IFS=', ' read -r flags functions decorations _ <<<"$motif"
(( flags & 1 )) || fail "_MOTIF_WM_HINTS sets no functions: $motif"
(( flags & 2 )) || fail "_MOTIF_WM_HINTS sets no decorations: $motif"
(( (functions & 1) == 0 && (functions & 0x18) == 0 )) || fail "minimise/maximise functions offered: $motif"
(( (decorations & 1) == 0 && (decorations & 0x60) == 0 )) || fail "minimise/maximise boxes drawn: $motif"
(( functions & 0x20 )) || fail "no close function: $motif"
echo "ok: _MOTIF_WM_HINTS $motif"

echo "$props" | grep -q '^_NET_WM_STATE(ATOM) = .*_NET_WM_STATE_SKIP_TASKBAR' || fail "_NET_WM_STATE lacks SKIP_TASKBAR"
echo "ok: _NET_WM_STATE_SKIP_TASKBAR"

viewable=0
for child in $(xwininfo -root -children | awk '/^ +0x/ {print $1}'); do
    xwininfo -id "$child" | grep -q 'Map State: IsViewable' && viewable=$((viewable + 1))
done
[ "$viewable" -eq 1 ] || fail "$viewable top-level windows shown"
echo "ok: one top-level window"

kill -0 $pid 2>/dev/null || fail "program ended on its own"
for _ in $(seq 50); do
    [ "$(xdotool getwindowfocus)" = "$((window))" ] && break
    sleep 0.1
done
xdotool key shift+Tab space
for _ in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
kill -0 $pid 2>/dev/null && fail "still running after Exit"
status=0
wait $pid || status=$?
[ "$status" -eq 0 ] || fail "exit status $status after Exit"
echo "ok: Exit ends it with status 0"

# Xft.dpi is how X11 desktops pass on their scale setting.
for setting in "QT_SCALE_FACTOR=1.25 362x443" "QT_SCALE_FACTOR=2 579x709" "QT_FONT_DPI=144 434x532" \
    "QT_FONT_DPI=120 362x443" "Xft.dpi=120 362x443"; do
    read -r variable expected <<<"$setting"
    if [[ $variable == Xft.dpi=* ]]; then
        xprop -root -format RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "Xft.dpi:"$'\t'"${variable#*=}"$'\n'
        "$exe" 2>/dev/null &
    else
        env "$variable" "$exe" 2>/dev/null &
    fi
    pid=$!
    window=$(wait_for_window Quorran) || fail "no mapped Quorran window within 30 s under $variable"
    size=$(size_of "$window")
    kill $pid
    wait $pid 2>/dev/null || true
    # The next run must not find this window.
    wait_for_no_window Quorran || true
    [ "$size" = "$expected" ] || fail "client area $size under $variable, not $expected"
    echo "ok: $expected under $variable"
done

# A manager that has gone can leave the id of its check window on the root
# window, an id another client's window may have since. Made here with
# libxcb (xprop cannot give a property the type WINDOW): a window, kept when
# its client leaves, that calls itself Mutter (for which the window would
# stay in the taskbar) but is not its own check window.
python3 - "$(xwininfo -root | awk '/Window id:/ {print $4}')" <<'PYTHON' || fail "no stale check window"
import ctypes, sys
from ctypes import POINTER, c_char_p, c_int16, c_uint8 as u8, c_uint16 as u16, c_uint32 as u32, c_void_p
xcb = ctypes.CDLL("libxcb.so.1")
class Cookie(ctypes.Structure):
    _fields_ = [("sequence", ctypes.c_uint)]
xcb.xcb_connect.restype = c_void_p
xcb.xcb_intern_atom.restype = Cookie
xcb.xcb_intern_atom.argtypes = [c_void_p, u8, u16, c_char_p]
xcb.xcb_intern_atom_reply.restype = POINTER(u32)  # the atom is its third word
xcb.xcb_intern_atom_reply.argtypes = [c_void_p, Cookie, c_void_p]
xcb.xcb_generate_id.restype = u32
xcb.xcb_generate_id.argtypes = [c_void_p]
xcb.xcb_create_window.argtypes = [c_void_p, u8, u32, u32, c_int16, c_int16, u16, u16, u16, u16, u32, u32, c_void_p]
xcb.xcb_change_property.argtypes = [c_void_p, u8, u32, u32, u32, u8, u32, c_char_p]
xcb.xcb_set_close_down_mode.argtypes = [c_void_p, u8]
xcb.xcb_flush.argtypes = [c_void_p]
connection = xcb.xcb_connect(None, None)
atom = lambda name: xcb.xcb_intern_atom_reply(connection, xcb.xcb_intern_atom(connection, 0, len(name), name), None)[2]
root, window = int(sys.argv[1], 16), xcb.xcb_generate_id(connection)
xcb.xcb_create_window(connection, 0, window, root, 0, 0, 1, 1, 0, 1, 0, 0, None)
xcb.xcb_change_property(connection, 0, window, atom(b"_NET_WM_NAME"), atom(b"UTF8_STRING"), 8, 6, b"Mutter")
window_type = 33  # XCB_ATOM_WINDOW
xcb.xcb_change_property(connection, 0, root, atom(b"_NET_SUPPORTING_WM_CHECK"), window_type, 32, 1,
                        window.to_bytes(4, sys.byteorder))
xcb.xcb_set_close_down_mode(connection, 1)  # RetainPermanent
xcb.xcb_flush(connection)
PYTHON
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'WINDOW' || fail "no stale check window"
"$exe" 2>/dev/null &
pid=$!
window=$(wait_for_window Quorran) || fail "no mapped Quorran window within 30 s beside a stale check window"
xprop -id "$window" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR ||
    fail "a stale _NET_SUPPORTING_WM_CHECK was taken for the running manager"
echo "ok: a stale _NET_SUPPORTING_WM_CHECK names no manager"
