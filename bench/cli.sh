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

# Runs the commands in turn, `runs` rounds, so that load from elsewhere falls
# on all of them alike; prints each one's fastest CPU seconds, from the
# kernel's accounting of the child, and its peak RSS in KB, from time(1).
measure() {
    python3 - "$runs" "$@" <<'PY'
import os, subprocess, sys, tempfile
runs, jobs = int(sys.argv[1]), [job.split("\x1f") for job in sys.argv[2:]]
best, peak = [None] * len(jobs), [0] * len(jobs)
for _ in range(runs):
    for i, (source, *command) in enumerate(jobs):
        with open(source, "rb") as stdin:
            child = subprocess.Popen(command, stdin=stdin, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            _, _, usage = os.wait4(child.pid, 0)
        seconds = usage.ru_utime + usage.ru_stime
        best[i] = seconds if best[i] is None else min(best[i], seconds)
# The child of a fork counts the forking Python's pages as its own; the time
# program forks from a small process.
for i, (source, *command) in enumerate(jobs):
    with open(source, "rb") as stdin, tempfile.NamedTemporaryFile("r") as rss:
        subprocess.run(["/usr/bin/time", "-f", "%M", "-o", rss.name] + command, stdin=stdin,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        peak[i] = int(rss.read().split()[-1])
for seconds, rss in zip(best, peak):
    print(f"{seconds:.3f} {rss}")
PY
}
job() { local IFS=$'\x1f'; echo "$*"; }

head -c $((64 << 20)) /dev/zero | tr '\0' 7 >"$work/long"
{
    read -r perl perl_rss
    read -r dap dap_rss
    read -r id id_rss
    read -r long long_rss
    read -r start start_rss
} < <(measure "$(job "$work/ids" perl -ne 'print hex($_), "\n"')" "$(job "$work/ids" "$quorran" --to-dap -)" \
    "$(job "$work/triples" "$quorran" --to-id -)" "$(job "$work/long" "$quorran" --to-dap -)" \
    "$(job /dev/null "$quorran" --version)")

printf '%-44s %8s %10s %8s\n' "1M lines, best of $runs" "CPU s" "peak RSS" "x Perl"
row() { printf '%-44s %8.3f %7d KB %8.2f\n' "$1" "$2" "$3" "$(echo "scale=4; $2 / $perl" | bc)"; }
row "perl -ne 'print hex(\$_), \"\\n\"' (0x lines)" "$perl" "$perl_rss"
row "quorran --to-dap - (0x lines)" "$dap" "$dap_rss"
row "quorran --to-id - (triples)" "$id" "$id_rss"
row "quorran --to-dap - (one 64 MiB line)" "$long" "$long_rss"
# The part of each run above that is only the start: loading the libraries.
row "quorran --version (start-up alone)" "$start" "$start_rss"
