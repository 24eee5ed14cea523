#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quorran developers
# SPDX-License-Identifier: MIT
# Runs a command on a private Xvfb display inside a D-Bus session of its own,
# with the accessibility bus started in it and Qt's accessibility always on.
# Whatever display, buses or platform the caller has are left outside.
set -euo pipefail

if [ "${1:-}" != "--inside" ]; then
    for tool in Xvfb dbus-run-session dbus-send /usr/libexec/at-spi-bus-launcher; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
    done
    unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS NO_AT_BRIDGE QT_ACCESSIBILITY
    runtime=$(mktemp -d)
    trap 'rm -rf "$runtime" 2>/dev/null || true' EXIT
    export XDG_RUNTIME_DIR=$runtime
    bash "$(dirname "${BASH_SOURCE[0]}")/run_on_xvfb.sh" 640x480x24 dbus-run-session -- bash "$0" --inside "$@"
    exit
fi
shift

export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
/usr/libexec/at-spi-bus-launcher --launch-immediately &
launcher=$!
trap 'kill $launcher 2>/dev/null; wait $launcher 2>/dev/null || true' EXIT
for _ in $(seq 100); do
    dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
        string:org.a11y.Bus 2>/dev/null | grep -q 'boolean true' && break
    sleep 0.1
done
"$@"
