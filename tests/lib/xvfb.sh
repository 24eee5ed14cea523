# SPDX-FileCopyrightText: 2026 Quorran developers
# SPDX-License-Identifier: MIT
# Shell functions for the scripts that run a program on an X display and
# look at its top-level window; sourced, not run. A window is found by the
# class part of its WM_CLASS (Qt also makes an unmapped 1x1 leader window
# with the same title, but without a class).

# Prints the id of the window of class $1, if there is one.
window_of() {
    xwininfo -root -tree | awk -v class="\"$1\")" 'index($0, class) {print $1; exit}'
}

# Whether the window of class $1 is mapped.
is_mapped() {
    local id
    id=$(window_of "$1")
    [ -n "$id" ] && xwininfo -id "$id" | grep -q 'Map State: IsViewable'
}

# Waits up to 30 s (a start on a machine busy with other tests can take many
# times its usual half second) for the window of class $1 to be mapped and
# prints its id.
wait_for_window() {
    for _ in $(seq 300); do
        if is_mapped "$1"; then
            window_of "$1"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# Prints the size of window $1 as WIDTHxHEIGHT.
size_of() {
    xwininfo -id "$1" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w "x" h}'
}

# Waits up to 5 s until no window of class $1 is left (after its program ended).
wait_for_no_window() {
    for _ in $(seq 50); do
        [ -z "$(window_of "$1")" ] && return 0
        sleep 0.1
    done
    return 1
}

# Starts Xvfb with screen geometry $1 (and the server options that follow it)
# on a display number the server picks for itself (so tests running side by
# side never share one; xvfb-run -a can hand two of them the same number) and
# exports DISPLAY. The caller ends the server: its process id is in XVFB_PID.
start_xvfb() {
    local number
    number=$(mktemp)
    # -noreset: what a test puts on the root window stays when a client leaves.
    Xvfb -displayfd 3 -screen 0 "$1" "${@:2}" -nolisten tcp -noreset 3>"$number" >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do
        [ -s "$number" ] && break
        sleep 0.05
    done
    DISPLAY=:$(tr -d '\n' <"$number")
    rm -f "$number"
    [ "$DISPLAY" != ":" ] || return 1
    export DISPLAY
    unset XAUTHORITY
    # No session bus to find, rather than one started through dbus-launch: a
    # process forked from a program's D-Bus thread can hang for good in a
    # sanitizer build (the child waits on an allocator lock held by another
    # thread of its parent), and the program's window with it.
    export DBUS_SESSION_BUS_ADDRESS="unix:path=$(mktemp -u)"
}

# Ends process group $1 and waits until none of its processes runs any more,
# so that the files they write as they leave (a settings daemon's, say) are
# complete before the caller removes them; after 5 s the rest is killed.
end_group() {
    kill -- "-$1" 2>/dev/null || return 0
    local running
    for _ in $(seq 50); do
        running=$(pgrep -g "$1" | xargs -r ps -o stat= -p | grep -cv '^Z' || true)
        [ "$running" -eq 0 ] && return 0
        sleep 0.1
    done
    kill -KILL -- "-$1" 2>/dev/null || true
}
