# SPDX-FileCopyrightText: 2026 Quorran developers
# SPDX-License-Identifier: MIT
"""Walks the program with the keyboard as a blind user of Orca would and
compares what Orca says after each step with what it must say. Run by
orca.sh, which has Orca's speech written to TRANSCRIPT_FILE.
Usage: orca_walk.py WALK PROGRAM; with ORCA_WALK_RECORD=1 in the
environment it prints what Orca says instead of comparing."""

import os
import subprocess
import sys
import time

RECORD = os.environ.get("ORCA_WALK_RECORD") == "1"
TRANSCRIPT = os.environ["TRANSCRIPT_FILE"]

# Each step: a key (xdotool's name) and what Orca then says, line by line;
# None for the start of the program.
WALKS = {
    "main": [
        (None, ["Quorran.", "From D.A.P to AddrID push button."]),
        # A Tab round.
        ("Tab", ["From AddrID to D.A.P push button."]),
        ("Tab", ["Message Box text."]),
        ("Tab", ["Dom.Area.Port panel.", "Domain ID text.", "Domain_ID selected."]),
        ("Tab", ["Area ID text.", "Area_ID selected."]),
        ("Tab", ["Port ID text.", "Port_ID selected."]),
        ("Tab", ["Address ID text.", "Address ID selected."]),
        ("Tab", ["Exit push button."]),
        ("Tab", ["From D.A.P to AddrID push button."]),
        # 1, 2 and 3 typed over the labels.
        ("Tab", ["From AddrID to D.A.P push button."]),
        ("Tab", ["Message Box text."]),
        ("Tab", ["Dom.Area.Port panel.", "Domain ID text.", "Domain_ID selected."]),
        ("1", ["1", "Selection deleted."]),
        ("Tab", ["Area ID text.", "Area_ID selected."]),
        ("2", ["2", "Selection deleted."]),
        ("Tab", ["Port ID text.", "Port_ID selected."]),
        ("3", ["3", "Selection deleted."]),
        ("Tab", ["Address ID text.", "Address ID selected."]),
        ("Tab", ["Exit push button."]),
        ("Tab", ["From D.A.P to AddrID push button."]),
        ("space", ["space", "notification 1. 2. 3 ---> 66051"]),
        # The written number, by words: the blank before it says nothing.
        ("shift+Tab", ["Exit push button."]),
        ("shift+Tab", ["Address ID text.", "66051 selected."]),
        ("Home", ["Text unselected."]),
        ("ctrl+Right", []),
        ("ctrl+Right", ["66051"]),
        # Back through the typed fields to the log and along its lines.
        ("shift+Tab", ["Dom.Area.Port panel.", "Port ID text.", "3 selected."]),
        ("shift+Tab", ["Area ID text.", "2 selected."]),
        ("shift+Tab", ["Domain ID text.", "1 selected."]),
        ("shift+Tab", ["Message Box text.", "1. 2. 3 ---> 66051."]),
        ("Down", ["blank"]),
        ("Up", ["1. 2. 3 ---> 66051"]),
        # Each field says what it holds when the focus comes back.
        ("Tab", ["Dom.Area.Port panel.", "Domain ID text.", "1 selected."]),
        ("Tab", ["Area ID text.", "2 selected."]),
        ("Tab", ["Port ID text.", "3 selected."]),
        ("Tab", ["Address ID text.", "66051 selected."]),
        ("Tab", ["Exit push button."]),
        ("space", ["space"]),
    ],
    "errors": [
        (None, ["Quorran.", "From D.A.P to AddrID push button."]),
        ("Tab", ["From AddrID to D.A.P push button."]),
        ("Tab", ["Message Box text."]),
        ("Tab", ["Dom.Area.Port panel.", "Domain ID text.", "Domain_ID selected."]),
        ("0", ["0", "Selection deleted."]),
        ("Tab", ["Area ID text.", "Area_ID selected."]),
        ("3", ["3", "Selection deleted."]),
        ("0", ["0"]),
        ("0", ["0"]),
        ("Tab", ["Port ID text.", "Port_ID selected."]),
        ("minus", ["dash", "Selection deleted."]),
        ("1", ["1"]),
        ("Tab", ["Address ID text.", "Address ID selected."]),
        ("Tab", ["Exit push button."]),
        ("Tab", ["From D.A.P to AddrID push button."]),
        ("space", ["space", "notification ERROR: Domain ID must be within [1,239] "
                            "ERROR: Area ID must be within [0,255] ERROR: Port ID must be within [0,255]"]),
        # The log, from its end up: the caret stands after the last line.
        ("Tab", ["From AddrID to D.A.P push button."]),
        ("Tab", ["Message Box text."]),
        ("Up", ["ERROR: Port ID must be within [0,255]"]),
        ("Up", ["ERROR: Area ID must be within [0,255]"]),
        ("Up", ["[1,239]"]),
        ("Up", ["ERROR: Domain ID must be within"]),
        ("shift+Tab", ["From AddrID to D.A.P push button."]),
        ("space", ["space", "notification ERROR: Address ID must be within [65536,15728896]"]),
        ("Tab", ["Message Box text.", "ERROR: Address ID must be within"]),
        ("Down", ["[65536,15728896]"]),
        ("alt+F4", []),
    ],
}


def said():
    """What Orca has said so far, in whole lines."""
    with open(TRANSCRIPT, encoding="utf-8") as transcript:
        text = transcript.read()
    return text[: text.rfind("\n") + 1].splitlines()


def wait_quiet(mark, quiet, limit):
    """Waits until Orca has said nothing new for `quiet` seconds (at most `limit`)."""
    end = time.monotonic() + limit
    count = len(said())
    last = time.monotonic()
    while time.monotonic() < end:
        time.sleep(0.05)
        now = len(said())
        if now != count:
            count, last = now, time.monotonic()
        elif time.monotonic() - last >= quiet and count > mark:
            break
    return said()[mark:]


def wait_for(mark, expected, limit=10.0):
    """Waits until Orca has said exactly `expected` since `mark`, and no more after a pause."""
    end = time.monotonic() + limit
    while time.monotonic() < end:
        got = said()[mark:]
        if got == expected:
            time.sleep(0.5 if expected else 1.0)
            got = said()[mark:]
            if got == expected:
                return True, got
        elif len(got) > len(expected) or got != expected[: len(got)]:
            time.sleep(0.6)
            return False, said()[mark:]
        time.sleep(0.05)
    return False, said()[mark:]


def press(key):
    """Types `key`; a modifier is held down a while around the key, so that
    Orca sees it held when the key comes, as it would from a person."""
    *modifiers, key = key.split("+")
    for modifier in modifiers:
        subprocess.run(["xdotool", "keydown", modifier], check=True)
        time.sleep(0.2)
    subprocess.run(["xdotool", "key", key], check=True)
    for modifier in reversed(modifiers):
        time.sleep(0.2)
        subprocess.run(["xdotool", "keyup", modifier], check=True)


def main():
    walk, program = sys.argv[1], sys.argv[2]
    # Orca has said it is on; what it says next comes with the program.
    time.sleep(1.0)
    mark = len(said())
    # What the program says goes to a file beside the transcript, shown when it fails.
    messages_path = os.path.join(os.path.dirname(TRANSCRIPT), "program.log")
    messages = open(messages_path, "wb")
    app = subprocess.Popen([program], stderr=messages)
    try:
        for number, (key, expected) in enumerate(WALKS[walk]):
            name = "step %d (%s)" % (number, key or "start")
            if key:
                press(key)
            if RECORD:
                got = wait_quiet(mark, 1.5, 10.0)
                print("%-24s %r" % (name, got))
            else:
                ok, got = wait_for(mark, expected)
                if not ok:
                    print("FAIL: %s: Orca said %r, expected %r" % (name, got, expected))
                    return 1
                print("ok: %s: %r" % (name, got))
            mark += len(got)
        try:
            status = app.wait(timeout=30)  # Alt+F4 to the end, on a busy machine
        except subprocess.TimeoutExpired:
            print("FAIL: the program did not end after the walk")
            return 1
        if status != 0:
            print("FAIL: the program ended with status %d" % status)
            with open(messages_path, encoding="utf-8", errors="replace") as log:
                print("--- what the program said\n" + log.read()[-20000:])
            return 1
    finally:
        if app.poll() is None:
            app.kill()
            app.wait()
        messages.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
