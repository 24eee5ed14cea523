#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quorran developers
# SPDX-License-Identifier: MIT
# Builds the libFuzzer target with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) into build-fuzz/ and fuzzes for the given
# number of seconds (default 600), starting from a copy of fuzz/corpus/
# Findings are written to build-fuzz/crash-*.
#   bash scripts/fuzz.sh [seconds]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh" >/dev/null

seconds=${1:-600}
fuzz_build="$root/build-fuzz"
if [ ! -f "$fuzz_build/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S "$root" -B "$fuzz_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQUORRAN_FUZZER=ON >/dev/null
fi
cmake --build "$fuzz_build" --target fuzz_conversions
corpus="$fuzz_build/corpus"
mkdir -p "$corpus"
cp -n "$root"/fuzz/corpus/* "$corpus"/
"$fuzz_build/fuzz/fuzz_conversions" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$fuzz_build/crash-" "$corpus" 2>&1 | grep -E '^(#[0-9]+\s+(DONE|INITED)|stat::|==|SUMMARY|fuzz check)' || true
# libFuzzer leaves an artifact behind for every failure it finds.
if compgen -G "$fuzz_build/crash-*" >/dev/null; then
    echo "fuzzing found failures:" "$fuzz_build"/crash-*
    exit 1
fi
