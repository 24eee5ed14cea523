#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quorran developers
# SPDX-License-Identifier: MIT
# Starts the real program in a session of its own (lib/run_in_a11y_session.sh)
# and lets a real AT-SPI client (lib/atspi_client.py) read the fields, write
# the byte fields, press the conversion button and read the result.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
if [ "${1:-}" != "--client" ]; then
    /usr/bin/python3 -c "import pyatspi" 2>/dev/null || { echo "SKIP: python3-pyatspi is not installed"; exit 77; }
    exec bash "$here/../lib/run_in_a11y_session.sh" bash "$0" --client "$@"
fi
exe=$2

"$exe" 2>/dev/null &
program=$!
trap 'kill $program 2>/dev/null; wait $program 2>/dev/null || true' EXIT
# The Debian interpreter, which has the pyatspi package, whatever python3 the PATH finds first.
/usr/bin/python3 "$here/../lib/atspi_client.py"
