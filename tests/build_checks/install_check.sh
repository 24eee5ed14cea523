#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quorran developers
# SPDX-License-Identifier: MIT
# Installs the build into a scratch prefix and checks what lands there: the
# program and its window module, a desktop entry that desktop-file-validate accepts, and the icon
# in the hicolor theme: PNG files of each size and the scalable SVG; and the
# manual page, which groff renders without a warning.
set -euo pipefail
for tool in desktop-file-validate groff; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
[ -x "$prefix/bin/quorran" ] || fail "no bin/quorran"
# Its window comes from a module of the same installation: what says that
# there is no display is the module's.
message=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/quorran" 2>&1) && fail "started without a display"
[[ "$message" == "Quorran needs a display and none is set"* ]] || fail "the installed program says: $message"
# The command-line mode runs without Qt's libraries; a copy of the program
# away from its module says that it cannot start the window.
! readelf -d "$prefix/bin/quorran" | grep -q 'NEEDED.*libQt' || fail "the program itself links Qt"
mkdir -p "$prefix/alone/bin" && cp "$prefix/bin/quorran" "$prefix/alone/bin/"
message=$(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/alone/bin/quorran" 2>&1) && fail "the copy started without its module"
[[ "$message" == "quorran: cannot load the window (no quorran-window.so beside $prefix/alone/bin/ or in "* ]] ||
    fail "the copy without its module says: $message"
entry="$prefix/share/applications/quorran.desktop"
[ -f "$entry" ] || fail "no desktop entry"
desktop-file-validate "$entry" || fail "desktop-file-validate rejects the entry"
grep -qx 'Name=Quorran' "$entry" || fail "Name is not Quorran"
grep -qx 'Categories=Utility;' "$entry" || fail "Categories is not Utility"
grep -q '^Comment=.' "$entry" || fail "no comment"
for size in 16 32 48 64 128; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/quorran.png"
    [ -f "$png" ] || fail "no ${size}x${size} icon"
    # PNG signature, then the IHDR chunk: width and height as 32-bit big-endian.
    header=$(od -An -tx1 -N24 "$png" | tr -d ' \n')
    [ "${header:0:16}" = "89504e470d0a1a0a" ] || fail "${size}x${size} icon is not a PNG"
    [ $((16#${header:32:8})) -eq "$size" ] && [ $((16#${header:40:8})) -eq "$size" ] ||
        fail "${size}x${size} icon has the wrong size"
done
svg="$prefix/share/icons/hicolor/scalable/apps/quorran.svg"
[ -f "$svg" ] || fail "no scalable icon"
grep -q '<svg xmlns="http://www.w3.org/2000/svg"' "$svg" || fail "the scalable icon is not an SVG image"
echo "ok: installed program, desktop entry and icons"

page="$prefix/share/man/man1/quorran.1.gz"
[ -f "$page" ] || fail "no manual page"
warnings=$(gzip -dc "$page" | LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z 2>&1) || fail "groff cannot render the manual page"
[ -z "$warnings" ] || fail "groff warns on the manual page: $warnings"
for section in NAME SYNOPSIS DESCRIPTION OPTIONS "COMMAND LINE" "MESSAGE LOG" "EXIT STATUS" ENVIRONMENT; do
    gzip -dc "$page" | grep -qx "\.SH \"\?$section\"\?" || fail "the manual page has no $section section"
done
echo "ok: manual page"

[ -f "$prefix/share/bash-completion/completions/quorran" ] || fail "no bash completion"
echo "ok: bash completion"
