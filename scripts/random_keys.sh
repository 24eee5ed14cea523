#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quorran developers
# SPDX-License-Identifier: MIT
# Plays random key sequences on the text boxes and on Qt's own boxes side by
# side over a range of seeds, on an X display of its own, and prints every
# sequence that diverges, shrunk, with how many of each pair diverged.
#   bash scripts/random_keys.sh FIRST LAST [BUILD_DIR [TEST_FUNCTION...]]
# A printed sequence is played again, step by step, with
#   tst_randomkeys --replay field|log 'STEPS'   (on an X display)
set -euo pipefail

first=${1:?first seed}
last=${2:?last seed}
build=${3:-build}
here=$(dirname "${BASH_SOURCE[0]}")
export QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME= QT_ENABLE_HIGHDPI_SCALING=0
# A campaign takes minutes per pair, longer than Qt Test allows one test
# function by default: a day, in milliseconds.
export QTEST_FUNCTION_TIMEOUT=86400000
# A session bus address that leads nowhere: D-Bus starts no bus.
export DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/no-session-bus
exec bash "$here/../tests/lib/run_on_xvfb.sh" 640x480x24 "$build/textboxes/tests/tst_randomkeys" --seeds "$first-$last" "${@:4}"
