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

# Waits up to 10 s for the window of class $1 to be mapped and prints its id.
wait_for_window() {
    for _ in $(seq 100); do
        if is_mapped "$1"; then
            window_of "$1"
            return 0
        fi
        sleep 0.1
    done
    return 1
}
