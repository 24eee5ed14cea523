#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quorran developers
# SPDX-License-Identifier: MIT
# Times the command-line mode on a million lines each way, side by side with
# the Perl line a user would write for the hexadecimal half, and shows the peak
# memory, also for a single line of 64 MiB. Each run is repeated and the
# fastest CPU time (user + system) counts, as other work on the machine only
# ever adds to it.
#
#     bench/cli.sh build/quorran [RUNS]
set -euo pipefail

quorran=$1
runs=${2:-5}
command -v /usr/bin/time >/dev/null || { echo "needs /usr/bin/time (Debian: time)"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The sysfs form 0x010203, and triples, from a fixed sequence.
awk 'BEGIN { srand(1); for (i = 0; i < 1000000; i++) printf "0x%06x\n", 65536 + int(rand() * 15597568) }' >"$work/ids"
awk 'BEGIN { srand(2); for (i = 0; i < 1000000; i++)
    printf "%d.%d.%d\n", 1 + int(rand() * 239), int(rand() * 256), int(rand() * 256) }' >"$work/triples"

# Prints the fastest CPU seconds and the largest peak RSS of `runs` runs.
measure() {
    local input=$1 best="" peak=0 seconds rss
    shift
    for _ in $(seq "$runs"); do
        /usr/bin/time -f "%U %S %M" -o "$work/time" "$@" <"$input" >"$work/out" 2>/dev/null || true
        read -r user system rss < <(tail -n 1 "$work/time")
        seconds=$(echo "$user + $system" | bc)
        if [ -z "$best" ] || [ "$(echo "$seconds < $best" | bc)" = 1 ]; then best=$seconds; fi
        [ "$rss" -gt "$peak" ] && peak=$rss
    done
    echo "$best $peak"
}

read -r perl perl_rss < <(measure "$work/ids" perl -ne 'print hex($_), "\n"')
read -r dap dap_rss < <(measure "$work/ids" "$quorran" --to-dap -)
read -r id id_rss < <(measure "$work/triples" "$quorran" --to-id -)
head -c $((64 << 20)) /dev/zero | tr '\0' 7 >"$work/long"
read -r long long_rss < <(measure "$work/long" "$quorran" --to-dap -)

printf '%-44s %8s %10s %8s\n' "1M lines, best of $runs" "CPU s" "peak RSS" "x Perl"
row() { printf '%-44s %8.3f %7d KB %8.2f\n' "$1" "$2" "$3" "$(echo "scale=4; $2 / $perl" | bc)"; }
row "perl -ne 'print hex(\$_), \"\\n\"' (0x lines)" "$perl" "$perl_rss"
row "quorran --to-dap - (0x lines)" "$dap" "$dap_rss"
row "quorran --to-id - (triples)" "$id" "$id_rss"
row "quorran --to-dap - (one 64 MiB line)" "$long" "$long_rss"
