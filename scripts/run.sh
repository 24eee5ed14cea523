#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quorran developers
# SPDX-License-Identifier: MIT
# Installs what building needs, builds the program, then starts Quorran; on a
# machine without a display the program says so and how to run it on a
# virtual one.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh" run
exec "$build/quorran" "$@"
