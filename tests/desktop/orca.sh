#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quorran developers
# SPDX-License-Identifier: MIT
# Runs the real program with Debian's Orca screen reader on a private Xvfb
# display with a window manager, in a D-Bus session of its own with the
# accessibility bus. Orca has settings of its own and a speech server
# (lib/orca_transcript.py) that writes what it would say to a file; a walk
# (lib/orca_walk.py) types keys with xdotool and compares what Orca said.
# Usage: orca.sh PROGRAM WALK [TRANSCRIPT] (a copy of what Orca said goes to
# TRANSCRIPT); exits 77 (skipped) where Orca or a tool is missing.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
if [ "${1:-}" != "--inside" ]; then
    for tool in orca Xvfb openbox xdotool dbus-run-session /usr/libexec/at-spi-bus-launcher; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
    done
    unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS NO_AT_BRIDGE QT_ACCESSIBILITY \
        QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE QT_SCALE_FACTOR QT_FONT_DPI SESSION_MANAGER XDG_CURRENT_DESKTOP \
        GTK_MODULES
    HOME=$(mktemp -d)
    export HOME XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache \
        XDG_RUNTIME_DIR=$HOME/run LANG=C.UTF-8 LC_ALL=C.UTF-8 LANGUAGE=
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    source "$here/../lib/xvfb.sh"
    # No key repeats: on a busy machine a key held a little long would move twice.
    start_xvfb 1024x768x24 -ardelay 60000 || { echo "FAIL: Xvfb did not start"; exit 1; }
    xvfb=$XVFB_PID
    status=0
    dbus-run-session -- bash "$0" --inside "$@" || status=$?
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
    rm -rf "$HOME"
    exit $status
fi
shift
exe=$1
walk=$2
keep=${3:-}

pids=()
# Ends what this script started, by process id, and waits for it; what has
# not ended within 5 s is killed.
finish() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
}
trap finish EXIT

openbox --sm-disable >"$HOME/openbox.log" 2>&1 &
pids+=($!)
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$HOME/bus.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
        string:org.a11y.Bus 2>/dev/null | grep -q 'boolean true' && break
    sleep 0.1
done

# Orca's own settings: speech through the transcript module, no braille, no
# sounds, and of the keys only those that type a character echoed.
prefs=$HOME/orca
mkdir -p "$prefs"
cat >"$prefs/user-settings.conf" <<'JSON'
{
    "general": {"firstStart": false, "speechServerFactory": "orca_transcript", "speechServerInfo": null,
                "enableSpeech": true, "enableBraille": false, "enableSound": false, "enableTutorialMessages": false,
                "enableMnemonicSpeaking": false, "enablePositionSpeaking": false, "onlySpeakDisplayedText": false,
                "enableModifierKeys": false, "enableActionKeys": false, "enableNavigationKeys": false,
                "profile": ["Default", "default"], "startingProfile": ["Default", "default"]},
    "profiles": {"default": {"profile": ["Default", "default"], "pronunciations": {}, "keybindings": {}}},
    "pronunciations": {},
    "keybindings": {}
}
JSON
export TRANSCRIPT_FILE=$HOME/transcript
: >"$TRANSCRIPT_FILE"

# Orca will not start beside another Orca of the same user, and ending that
# one is not this test's business: wait for it to end. Should one start just
# before this one, this one ends at once, and is started again.
orca=
said=
for _ in $(seq 240); do
    if pgrep -u "$(id -u)" -x orca >/dev/null; then
        [ -n "$said" ] || { echo "waiting for another Orca of this user to end"; said=1; }
        sleep 0.5
        continue
    fi
    PYTHONPATH=$here/../lib orca -u "$prefs" >"$HOME/orca.log" 2>&1 &
    orca=$!
    pids+=($orca)
    for _ in $(seq 300); do
        grep -qx 'Screen reader on.' "$TRANSCRIPT_FILE" && break 2
        kill -0 "$orca" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$orca" 2>/dev/null || { wait "$orca" || true; orca=; continue; }
    echo "FAIL: Orca did not say it was on within 30 s"
    tail -20 "$HOME/orca.log"
    exit 1
done
if [ -z "$orca" ] || ! grep -qx 'Screen reader on.' "$TRANSCRIPT_FILE"; then
    echo "SKIP: another Orca of this user ran for the two minutes this test waited"
    exit 77
fi

export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
status=0
/usr/bin/python3 "$here/../lib/orca_walk.py" "$walk" "$exe" || status=$?
[ -z "$keep" ] || cp "$TRANSCRIPT_FILE" "$keep"
if [ $status -ne 0 ]; then
    echo "--- what Orca said"
    cat "$TRANSCRIPT_FILE"
fi
exit $status
