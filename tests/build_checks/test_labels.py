#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Quorran developers
# SPDX-License-Identifier: MIT
"""Checks that every CTest test of a build has a timeout and exactly one of
the labels by which the suite is run in parts, so that `ctest -L unit` never
picks up a test that needs a display and no test falls between the labels.

    test_labels.py CTEST BUILD_DIR
"""

import json
import subprocess
import sys

LABELS = {"unit", "desktop", "accessibility", "random", "build", "package"}


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: test_labels.py CTEST BUILD_DIR")
    listing = subprocess.run([sys.argv[1], "--test-dir", sys.argv[2], "--show-only=json-v1"],
                             check=True, capture_output=True, text=True).stdout
    faults = []
    for test in json.loads(listing)["tests"]:
        properties = {p["name"]: p["value"] for p in test.get("properties", [])}
        labels = properties.get("LABELS", [])
        if len(labels) != 1 or labels[0] not in LABELS:
            faults.append(f"{test['name']}: labels {labels}, not one of {sorted(LABELS)}")
        if not properties.get("TIMEOUT"):
            faults.append(f"{test['name']}: no TIMEOUT")
    for fault in faults:
        print("FAIL: " + fault)
    sys.exit(1 if faults else 0)


if __name__ == "__main__":
    main()
