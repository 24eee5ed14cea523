#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quorran developers
# SPDX-License-Identifier: MIT
# Runs the real program under one window manager on a private Xvfb display
# and checks what a user of that manager sees: the window takes the keyboard
# focus when it opens (Space right after start runs "From D.A.P to AddrID",
# whose message is then copied out of the log with the keyboard), it stays
# out of the taskbar (where the manager's Alt+Tab still reaches such a
# window), Alt+Tab brings it back from a second window, it keeps its size when asked to resize, maximise or go
# full screen, and closing it through the manager ends the program with
# status 0. What the manager offers (minimise, maximise) is printed.
# Usage: x11_window_manager.sh MANAGER PROGRAM; exits 77 (skipped) when the
# manager is not installed.
set -euo pipefail

manager=$1
exe=$2
# Mutter leaves windows that skip the taskbar out of Alt+Tab whatever else
# they say, and GNOME has no taskbar: there the window is listed.
taskbar=out
case $manager in
openbox) command=(openbox --sm-disable) ;;
icewm) command=(icewm) ;;
fluxbox) command=(fluxbox) ;;
xfwm4) command=(xfwm4 --compositor=off) ;;
kwin) command=(kwin_x11 --replace) ;;
mutter) command=(mutter --x11 --replace --sm-disable); taskbar=in ;;
*) echo "unknown window manager $manager"; exit 2 ;;
esac
for tool in "${command[0]}" Xvfb xdotool wmctrl xclip xprop xmessage; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

# The program runs on this X display, with the manager's settings in a
# private home; nothing else from the caller's environment.
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY QT_QPA_PLATFORMTHEME SESSION_MANAGER
HOME=$(mktemp -d)
export HOME XDG_CONFIG_HOME=$HOME/.config XDG_RUNTIME_DIR=$HOME/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
# A fluxbox without a wallpaper setter pops up a warning that takes the focus
# from whatever opened first, and joins Alt+Tab; a configured desktop has no
# such window. The overlay does not always keep fluxbox from asking its
# fbsetbg, so that finds one here that sets nothing.
mkdir "$HOME/.fluxbox" "$HOME/bin"
echo "background: none" >"$HOME/.fluxbox/overlay"
printf '#!/bin/sh\nexit 0\n' >"$HOME/bin/fbsetbg"
chmod +x "$HOME/bin/fbsetbg"
export PATH="$HOME/bin:$PATH"
fail() { echo "FAIL ($manager): $*"; exit 1; }
source "$(dirname "${BASH_SOURCE[0]}")/../lib/xvfb.sh"
start_xvfb 1024x768x24 || fail "Xvfb did not start"
pids=("$XVFB_PID")
group=""
# Everything started here ends and is waited for before the home goes; the
# clean-up never decides the test's outcome.
cleanup() {
    [ -z "$group" ] || end_group "$group"
    kill "${pids[@]}" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$HOME" 2>/dev/null || true
}
trap cleanup EXIT

export KWIN_COMPOSE=N
if command -v dbus-run-session >/dev/null; then
    command=(dbus-run-session -- "${command[@]}")
fi
# The manager runs in a process group of its own, so that the session bus and
# whatever the manager started end with it.
setsid "${command[@]}" >"$HOME/manager.log" 2>&1 &
group=$!
for _ in $(seq 100); do wmctrl -m >/dev/null 2>&1 && break; sleep 0.1; done
wmctrl -m >/dev/null 2>&1 || { cat "$HOME/manager.log"; fail "the manager did not start"; }
# A manager names itself before it is through starting up; openbox then
# leaves a window mapped at that moment unmanaged for good, now and then. A
# probe window of the manager's own list shows that it manages windows, as a
# desktop's manager long has when a user starts the program; a probe it
# missed is closed and another one opened, for up to 30 s.
managed=""
for _ in $(seq 10); do
    xmessage -name quorran-probe probe >/dev/null 2>&1 &
    probe=$!
    for _ in $(seq 30); do wmctrl -l -x | grep -q quorran-probe && managed=yes && break; sleep 0.1; done
    kill "$probe" 2>/dev/null || true
    wait "$probe" 2>/dev/null || true
    [ -z "$managed" ] || break
done
[ -n "$managed" ] || { cat "$HOME/manager.log"; fail "the manager manages no window"; }

"$exe" 2>"$HOME/quorran.log" &
pid=$!
pids+=($pid)
window=$(wait_for_window Quorran) || fail "no mapped Quorran window within 30 s; the program said: $(cat "$HOME/quorran.log")"
size() { size_of "$window"; }
states() { xprop -id "$window" _NET_WM_STATE; }
fixed=$(size)

# Focus at start: the window is the active one and Space presses the button
# that has the focus.
for _ in $(seq 50); do
    [ "$(xdotool getwindowfocus)" = "$((window))" ] && break
    sleep 0.1
done
xdotool key space Tab Tab ctrl+a ctrl+c
log=
for _ in $(seq 50); do
    log=$(xclip -o -selection clipboard 2>/dev/null || true)
    [ -n "$log" ] && break
    sleep 0.1
done
[[ $log == "ERROR: Domain ID must be within [1,239]"* ]] || fail "Space after start did not convert (log '$log')"
echo "ok: focus on \"From D.A.P to AddrID\" at start"

if [ "$taskbar" = out ]; then
    states | grep -q _NET_WM_STATE_SKIP_TASKBAR || fail "not kept out of the taskbar: $(states)"
    echo "ok: out of the taskbar"
else
    states | grep -q _NET_WM_STATE_SKIP_TASKBAR && fail "out of the taskbar, and so out of Alt+Tab: $(states)"
    echo "ok: listed, so that Alt+Tab reaches it"
fi

# A second window over it takes the focus; Alt+Tab from there gives the focus
# back to the window.
active_is() {
    for _ in $(seq 50); do
        [ "$(xdotool getactivewindow 2>/dev/null)" = "$(($1))" ] && return 0
        sleep 0.1
    done
    return 1
}
xmessage -geometry "+$(xdotool getwindowgeometry "$window" | awk -F'[ ,]+' '/Position/ {print $3 "+" $4}')" \
    "over Quorran" 2>/dev/null &
cover_pid=$!
pids+=($cover_pid)
cover=$(wait_for_window Xmessage) || fail "no second window"
xdotool windowactivate "$cover" 2>/dev/null || true
active_is "$cover" || fail "the second window did not get the focus"
xdotool keydown alt
sleep 0.2
xdotool key Tab
sleep 0.2
xdotool keyup alt
active_is "$window" || fail "Alt+Tab from a second window did not reach it (active: $(xdotool getactivewindow))"
echo "ok: Alt+Tab reaches it"
kill "$cover_pid"
wait "$cover_pid" 2>/dev/null || true

offered=$(xprop -id "$window" _NET_WM_ALLOWED_ACTIONS)
for action in MINIMIZE MAXIMIZE_HORZ RESIZE FULLSCREEN; do
    grep -q "_NET_WM_ACTION_$action" <<<"$offered" && echo "note: the manager offers $action"
done

# Resizing, maximising and full screen all leave the window at its size.
settle() {
    for _ in $(seq 30); do
        if [ "$(size)" = "$fixed" ] && ! states | grep -q -E 'MAXIMIZED|FULLSCREEN'; then return 0; fi
        sleep 0.1
    done
    return 1
}
xdotool windowsize "$window" 900 700
sleep 0.3
settle || fail "resized to $(size)"
wmctrl -i -r "$window" -b add,maximized_vert,maximized_horz
sleep 0.3
settle || fail "maximised: $(size), $(states)"
wmctrl -i -r "$window" -b add,fullscreen
sleep 0.3
settle || fail "full screen: $(size), $(states)"
echo "ok: stays at $fixed"

kill -0 "$pid" 2>/dev/null || fail "the program ended on its own"
wmctrl -i -c "$window"
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "still running after the manager closed the window"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "exit status $status after closing"
echo "ok: closed by the manager, status 0"
