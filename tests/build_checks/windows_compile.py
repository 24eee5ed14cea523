#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Quorran developers
# SPDX-License-Identifier: MIT
"""Compiles every unit of the build as a Windows build would see it.

MinGW's g++ defines _WIN32, so Qt's headers take their Windows branches and
so does the program's own Q_OS_WIN code. Each unit in compile_commands.json
is checked with -fsyntax-only and the build's own flags, minus what only the
Linux build has: the QUORRAN_HAVE_* defines for libraries found on this
system and include folders outside the source tree, the build tree and Qt's
headers. tests/build_checks/windows/ comes first on the include path; its qtgui-config.h
turns off Qt's X11 and EGL features. Nothing is linked and nothing runs.

    windows_compile.py BUILD_DIR     exits 77 where MinGW is not installed
"""

import json
import os
import shlex
import shutil
import subprocess
import sys
import tempfile
import time
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

COMPILER = "x86_64-w64-mingw32-g++-posix"
SOURCE_DIR = Path(__file__).resolve().parents[2]
# Units that only a Linux build compiles: the first-paint timer reads the X
# server, and the X11 and Wayland window systems need their libraries (a
# Windows build has the fallback alone, which every build compiles).
LINUX_ONLY = {
    SOURCE_DIR / "bench" / "first_paint.cpp",
    SOURCE_DIR / "ui" / "platform" / "platform_x11.cpp",
    SOURCE_DIR / "ui" / "platform" / "platform_wayland.cpp",
    # The random key test plays the X11 key bindings and switches
    # accessibility on through Qt's private platform headers.
    SOURCE_DIR / "textboxes" / "tests" / "tst_randomkeys.cpp",
}
# Units CMake picks per platform: the Linux build compiles the key, a Windows
# build the value, checked here with the key's arguments.
WINDOWS_INSTEAD = {
    SOURCE_DIR / "cli" / "console_posix.cpp": SOURCE_DIR / "cli" / "console_windows.cpp",
    SOURCE_DIR / "launcher" / "startwindow_module.cpp": SOURCE_DIR / "launcher" / "startwindow_linked.cpp",
}
# Headers of libraries that are not tied to a platform, found in /usr/include
# by the Linux build; the check sees them in a folder of their own, so that it
# does not see the C library's headers beside them.
PORTABLE_HEADERS = [Path("/usr/include/benchmark")]


def within(path, folder):
    return path == folder or folder in path.parents


def windows_arguments(entry, build_dir, qt_include, extra_include):
    """The entry's compiler arguments without the Linux-only ones."""
    if "arguments" in entry:
        args = list(entry["arguments"])
    else:
        args = shlex.split(entry["command"])
    args = args[1:]
    kept = []
    i = 0
    while i < len(args):
        arg = args[i]
        if arg in ("-o", "-c", "-MF", "-MT", "-MQ"):
            i += 2
            continue
        if arg in ("-I", "-isystem", "-iquote"):
            folder, flag, i = args[i + 1], arg, i + 2
        elif arg.startswith(("-I", "-isystem", "-iquote")) and not arg.startswith("-isysroot"):
            flag = next(f for f in ("-isystem", "-iquote", "-I") if arg.startswith(f))
            folder, i = arg[len(flag):], i + 1
        else:
            i += 1
            if arg.startswith("-DQUORRAN_HAVE_") or arg in ("-fPIC", "-MD", "-MMD"):
                continue
            if arg.startswith("-fsanitize") or arg == entry["file"]:
                continue
            kept.append(arg)
            continue
        path = (Path(entry["directory"]) / folder).resolve()
        if any(within(path, top) for top in (SOURCE_DIR, build_dir, qt_include)):
            kept += [flag, str(path)]
    return ["-isystem", str(Path(__file__).resolve().parent / "windows"), "-isystem", str(extra_include)] + kept


def qt_include_root(entries):
    for entry in entries:
        for arg in shlex.split(entry.get("command", "")) + entry.get("arguments", []):
            if arg.endswith("/QtCore"):
                return Path(arg).resolve().parent
    return None


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: windows_compile.py BUILD_DIR")
    if shutil.which(COMPILER) is None:
        print(f"SKIP: {COMPILER} is not installed (Debian: g++-mingw-w64-x86-64-posix)")
        sys.exit(77)
    build_dir = Path(sys.argv[1]).resolve()
    entries = json.loads((build_dir / "compile_commands.json").read_text())
    qt_include = qt_include_root(entries)
    if qt_include is None:
        sys.exit("FAIL: no Qt include folder in compile_commands.json")

    units, skipped = [], []
    for entry in entries:
        file = (Path(entry["directory"]) / entry["file"]).resolve()
        file = WINDOWS_INSTEAD.get(file, file)
        # Generated code (moc's) describes the classes as moc saw them with
        # the Linux compiler's predefined macros; a Windows build makes its own.
        if within(file, build_dir) or file in LINUX_ONLY:
            skipped.append(file)
        elif file not in (unit[0] for unit in units):
            units.append((file, entry))

    with tempfile.TemporaryDirectory() as extra_include:
        for headers in PORTABLE_HEADERS:
            if headers.is_dir():
                os.symlink(headers, Path(extra_include) / headers.name)

        def check(unit):
            file, entry = unit
            command = [COMPILER, "-fsyntax-only", "-Werror"]
            command += windows_arguments(entry, build_dir, qt_include, extra_include) + [str(file)]
            result = subprocess.run(command, cwd=entry["directory"], capture_output=True, text=True)
            return file, result

        start = time.monotonic()
        with ThreadPoolExecutor(max_workers=2) as pool:
            results = list(pool.map(check, units))
        seconds = time.monotonic() - start

    failed = [(file, result) for file, result in results if result.returncode != 0 or result.stderr]
    for file, result in failed:
        print(f"FAIL: {file.relative_to(SOURCE_DIR)}\n{result.stderr}")
    print(f"{len(units) - len(failed)} of {len(units)} units compile for Windows in {seconds:.0f} s;"
          f" {len(skipped)} skipped (generated or Linux-only)")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
