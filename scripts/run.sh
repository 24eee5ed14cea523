#!/usr/bin/env bash
# Sets up and builds, then starts Quorran.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
exec "$build/quorran" "$@"
