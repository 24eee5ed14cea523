#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quorran developers
# SPDX-License-Identifier: MIT
# Takes the README's screenshot: starts Quorran on a private Xvfb display and
# saves its window, as it looks right after start, to docs/quorran.png.
#   bash scripts/screenshot.sh
set -euo pipefail

if [ "${1:-}" != "--inside" ]; then
    source "$(dirname "${BASH_SOURCE[0]}")/setup.sh" >/dev/null
    install_missing imagemagick
    exec xvfb-run -a -s "-screen 0 640x480x24 -dpi 96" bash "$0" --inside "$root"
fi
root=$2

"$root/build/quorran" 2>/dev/null &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
source "$root/tests/lib/xvfb.sh"
window=$(wait_for_window Quorran)
sleep 0.5 # let it paint
import -window "$window" "$root/docs/quorran.png"
echo "wrote docs/quorran.png"
