#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quorran developers
# SPDX-License-Identifier: MIT
# Runs a command on a private Xvfb display (screen geometry $1) that the
# server numbers for itself, and ends the server when the command ends; the
# command's status is the script's. Used where a test would otherwise need
# xvfb-run -a, which can hand two tests running side by side one display.
set -euo pipefail

command -v Xvfb >/dev/null || { echo "SKIP: Xvfb is not installed"; exit 77; }
geometry=$1
shift
source "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"
XVFB_PID=""
trap '[ -z "$XVFB_PID" ] || { kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null; } || true' EXIT
start_xvfb "$geometry" || { echo "FAIL: Xvfb did not start"; exit 1; }
status=0
"$@" || status=$?
exit $status
