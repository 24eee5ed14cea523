#!/usr/bin/env bash
# Runs the real program on a private Xvfb display inside a D-Bus session of
# its own, with the accessibility bus started in it, and lets a real AT-SPI
# client (atspi_client.py) read the fields, write the byte fields, press the
# conversion button and read the result. Whatever display, buses or
# platform the caller has are left outside.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
if [ "${1:-}" != "--inside" ]; then
    unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS NO_AT_BRIDGE QT_ACCESSIBILITY
    runtime=$(mktemp -d)
    trap 'rm -rf "$runtime"' EXIT
    export XDG_RUNTIME_DIR=$runtime
    xvfb-run -a -s "-screen 0 640x480x24" dbus-run-session -- bash "$0" --inside "$@"
    exit
fi
exe=$2

export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
/usr/libexec/at-spi-bus-launcher --launch-immediately &
launcher=$!
"$exe" 2>/dev/null &
program=$!
trap 'kill $program $launcher 2>/dev/null || true' EXIT

# The Debian interpreter, which has the pyatspi package, whatever python3 the PATH finds first.
/usr/bin/python3 "$here/atspi_client.py"
