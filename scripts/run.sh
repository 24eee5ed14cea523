#!/usr/bin/env bash
# Sets up and builds, then starts Quorran.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    cat >&2 <<'MSG'
Quorran is built, but this machine has no display to show its window on.
Run it on a desktop, or on a virtual display:
    xvfb-run -a build/quorran
MSG
    exit 1
fi
exec "$build/quorran" "$@"
