#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quorran developers
# SPDX-License-Identifier: MIT
# The real program under the Wayland compositor of a desktop, KDE's kwin or
# GNOME's mutter, nested in a private Xvfb display, checked as a user of that
# desktop meets it. From the program's protocol log (WAYLAND_DEBUG): the title
# bar is the compositor's under kwin and the program's own under mutter, the
# window is 289 x 354 below any bar of its own, and its surface gets the
# keyboard at start. Space right after start then runs "From D.A.P to
# AddrID", whose message is copied out of the log with the keyboard and read
# back with wl-paste. With a second window in front, Alt+Tab gives the
# keyboard back to it. Closing it (started anew) with Alt+F4, and under mutter
# with the close box of its own bar, ends the program with status 0; before that, a
# double-click on that bar must change nothing, and a right-click on it asks
# mutter for its window menu. The top-level tests run there
# too: maximise and full-screen requests leave the window at its size.
# Neither compositor starts Xwayland here, so no X display number is taken
# besides the test's own Xvfb.
# Usage: wayland_kwin_mutter.sh kwin|mutter PROGRAM TST_TOPLEVEL [PLUGIN], where
# PLUGIN is Qt's Wayland plugin (wayland, the default, or wayland-egl); exits
# 77 (skipped) when the compositor or a tool is not installed.
set -euo pipefail

compositor=$1
exe=$2
tests=$3
platform=${4:-wayland}
case $compositor in
kwin) binary=kwin_wayland ;;
mutter) binary=mutter ;;
*) echo "unknown compositor $compositor"; exit 2 ;;
esac
for tool in "$binary" Xvfb xdotool wl-paste dbus-run-session; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

HOME=$(mktemp -d)
export HOME XDG_CONFIG_HOME=$HOME/.config XDG_RUNTIME_DIR=$HOME/run WAYLAND_DISPLAY=quorran-test
mkdir -m 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=$platform
unset QT_WAYLAND_DISABLE_WINDOWDECORATION QT_WAYLAND_DECORATION QT_WAYLAND_SHELL_INTEGRATION QT_QPA_PLATFORMTHEME \
    QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_ENABLE_HIGHDPI_SCALING QT_FONT_DPI WAYLAND_DEBUG XDG_SESSION_TYPE \
    XDG_CURRENT_DESKTOP SESSION_MANAGER
fail() {
    echo "FAIL ($compositor, $platform): $*"
    [ -z "${log:-}" ] || grep -v '^\[' "$log" | tail -20
    exit 1
}
source "$(dirname "${BASH_SOURCE[0]}")/../lib/xvfb.sh"
start_xvfb 1024x768x24 || fail "Xvfb did not start"
pids=("$XVFB_PID")
group=""
# The compositor runs in a process group of its own, with its session bus.
trap '[ -z "$group" ] || end_group "$group"; kill "${pids[@]}" 2>/dev/null || true; wait; rm -rf "$HOME" 2>/dev/null || true' EXIT

case $compositor in
kwin)
    # A container may refuse to run kwin_wayland with its file capability
    # (CAP_SYS_NICE); a copy has none.
    cp "$(command -v kwin_wayland)" "$HOME/kwin_wayland"
    command=("$HOME/kwin_wayland" --x11-display "$DISPLAY" --socket "$WAYLAND_DISPLAY" --no-lockscreen
        --width 1024 --height 768)
    ;;
mutter) command=(env -u WAYLAND_DISPLAY mutter --nested --no-x11 --wayland-display "$WAYLAND_DISPLAY") ;;
esac
setsid dbus-run-session -- "${command[@]}" >"$HOME/compositor.log" 2>&1 &
group=$!
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] || { cat "$HOME/compositor.log"; fail "the compositor did not start"; }

"$tests" -platform "$platform" || fail "top-level tests"

# The lines of the protocol log about the window's surface.
surface_of() { grep -o -m1 'get_xdg_surface(new id xdg_surface@[0-9]*, wl_surface@[0-9]*' "$log" | sed 's/.*, //'; }
# The last keyboard enter or leave in protocol log $1.
last_keyboard_event() { grep -E 'wl_keyboard@[0-9]+\.(enter|leave)\(' "$1" | tail -1 || true; }
has_keyboard() { last_keyboard_event "$log" | grep -q "\.enter([0-9]*, $surface,"; }
# The window geometry last set, as WIDTHxHEIGHT.
geometry() {
    grep -o 'set_window_geometry(0, 0, [0-9]*, [0-9]*)' "$log" | tail -1 | sed 's/.*(0, 0, \(.*\), \(.*\))/\1x\2/' || true
}
# Whether the compositor asked the window to close.
asked_to_close() { grep -q 'xdg_toplevel@[0-9]*\.close()' "$log"; }

# Starts the program and waits until its window has the keyboard.
start() {
    log=$HOME/quorran-$1.log
    WAYLAND_DEBUG=1 "$exe" 2>"$log" &
    pid=$!
    pids+=("$pid")
    surface=""
    for _ in $(seq 100); do
        [ -n "$surface" ] || surface=$(surface_of || true)
        [ -n "$surface" ] && has_keyboard && return 0
        sleep 0.1
    done
    fail "the window did not get the keyboard within 10 s"
}

# Waits until the program has ended, with status 0.
ended() {
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && fail "still running 10 s after $1"
    local status=0
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || fail "exit status $status after $1"
    echo "ok: $1 ends the program with status 0"
}

start focus
case $compositor in
kwin)
    grep -q 'zxdg_toplevel_decoration_v1@[0-9]*\.configure(2)' "$log" || fail "kwin does not draw the title bar"
    [ "$(geometry)" = 289x354 ] || fail "window $(geometry), not 289x354"
    echo "ok: kwin's title bar over 289x354"
    ;;
mutter)
    ! grep -q 'get_toplevel_decoration' "$log" || fail "asked mutter for a title bar"
    height=$(geometry | sed 's/.*x//')
    bar=$((height - 354))
    [[ $(geometry) == 289x* ]] && [ "$bar" -ge 16 ] && [ "$bar" -le 64 ] ||
        fail "window $(geometry), not 289x354 below a bar of its own"
    echo "ok: its own title bar ($bar pixels) over 289x354"
    ;;
esac
grep -q 'set_buffer_scale([2-9]' "$log" && fail "drawn at a scale above 1"

# Focus at start: Space presses the button that has the focus.
xdotool key space Tab Tab ctrl+a ctrl+c
copied=
for _ in $(seq 50); do
    copied=$(timeout 5 wl-paste -n 2>/dev/null || true)
    [[ $copied == "ERROR: Domain ID must be within [1,239]"* ]] && break
    sleep 0.1
done
[[ $copied == "ERROR: Domain ID must be within [1,239]"* ]] || fail "Space after start did not convert (log '$copied')"
echo "ok: focus on \"From D.A.P to AddrID\" at start"

# Reachable from another window by the compositor's Alt+Tab: a second
# instance takes the keyboard, and Alt+Tab gives it back to the first.
second=$HOME/quorran-second.log
WAYLAND_DEBUG=1 "$exe" 2>"$second" &
pids+=($!)
second_has_keyboard() { last_keyboard_event "$second" | grep -q '\.enter('; }
for _ in $(seq 100); do second_has_keyboard && ! has_keyboard && break; sleep 0.1; done
second_has_keyboard || fail "a second window did not get the keyboard"
xdotool keydown alt
sleep 0.2
xdotool key Tab
sleep 0.3
xdotool keyup alt
for _ in $(seq 50); do has_keyboard && break; sleep 0.1; done
has_keyboard || fail "Alt+Tab from a second window did not reach the window"
echo "ok: Alt+Tab from a second window reaches it"
kill "${pids[-1]}"
wait "${pids[-1]}" || true

# Ended from outside: with a text box focused, Qt 6.4's Wayland plugin leaves
# its compose state to the end of the process, which the sanitizer build
# reports as a leak when the program ends by itself.
kill "$pid"
wait "$pid" || true

start alt-f4
xdotool key alt+F4
ended "Alt+F4"
asked_to_close || fail "the compositor did not close the window on Alt+F4"

[ "$compositor" = mutter ] || exit 0

# Where the window is on the screen, from where the pointer enters it.
origin=
find_origin() {
    origin=
    for point in "512 384" "160 160" "860 160" "160 600" "860 600"; do
        xdotool mousemove 1 1
        sleep 0.2
        # shellcheck disable=SC2086
        xdotool mousemove $point
        for _ in $(seq 10); do
            local last
            last=$(grep -E 'wl_pointer@[0-9]+\.(enter|leave|motion)\(' "$log" | tail -1 || true)
            if [[ $last == *".enter("*"$surface,"* || $last == *".motion("* ]]; then
                read -r x y < <(sed 's/.*, \([0-9.-]*\), \([0-9.-]*\))$/\1 \2/' <<<"$last")
                set -- $point
                origin="$(($1 - ${x%.*})) $(($2 - ${y%.*}))"
                return 0
            fi
            sleep 0.1
        done
    done
    fail "the pointer found no window"
}

start close-box
fixed=$(geometry)
find_origin
read -r left top <<<"$origin"
xdotool mousemove $((left + 40)) $((top + bar / 2)) click --repeat 2 --delay 100 1
sleep 0.5
kill -0 "$pid" 2>/dev/null || fail "a double-click on the title bar ended the program"
[ "$(geometry)" = "$fixed" ] || fail "a double-click on the title bar made it $(geometry)"
echo "ok: a double-click on the title bar changes nothing"
# A right-click as a hand makes it: the press is handled before the release
# comes, and the menu is asked for with the press's serial.
xdotool mousemove $((left + 40)) $((top + bar / 2)) mousedown 3
sleep 0.3
xdotool mouseup 3
menu=
for _ in $(seq 30); do
    menu=$(grep -o 'xdg_toplevel@[0-9]*\.show_window_menu(wl_seat@[0-9]*, [0-9]*' "$log" | sed 's/.*, //' || true)
    [ -n "$menu" ] && break
    sleep 0.1
done
[ -n "$menu" ] || fail "a right-click on the title bar asked for no window menu"
grep -q "wl_pointer@[0-9]*\.button($menu, [0-9]*, 273, 1)" "$log" || fail "window menu asked for with serial $menu, not the press's"
xdotool key Escape
echo "ok: a right-click on the title bar asks mutter for its window menu"
find_origin
read -r left top <<<"$origin"
xdotool mousemove $((left + 289 - bar / 2)) $((top + bar / 2)) click 1
ended "the close box"
! asked_to_close || fail "the compositor closed the window, not its close box"
