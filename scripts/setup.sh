#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quorran developers
# SPDX-License-Identifier: MIT
# Installs the Debian packages a command needs (only those missing, so a
# second run costs nothing), then configures and builds into build/.
# Sourced by run.sh ("source setup.sh run": the program alone, built without
# tests) and test.sh and the other scripts (with tests and benchmarks).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"
source "$root/scripts/packages.sh"

if [ "${1:-}" = run ]; then
    install_missing "${build_packages[@]}"
    if [ ! -f "$build/build.ninja" ]; then
        cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
            -DQUORRAN_BENCHMARKS=OFF >/dev/null
    fi
    cmake --build "$build" --target quorran
else
    install_missing "${build_packages[@]}" "${test_packages[@]}"
    # Both switches are given: a build/ that run.sh configured first holds
    # them off in its cache.
    if ! grep -qx 'BUILD_TESTING:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null ||
        ! grep -qx 'QUORRAN_BENCHMARKS:BOOL=ON' "$build/CMakeCache.txt" || [ ! -f "$build/build.ninja" ]; then
        cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON \
            -DQUORRAN_BENCHMARKS=ON >/dev/null
    fi
    cmake --build "$build"
fi
