#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quorran developers
# SPDX-License-Identifier: MIT
# Compiles the Windows resource script with MinGW's windres, reads the
# compiled version record back and checks every entry, and the icon.
set -euo pipefail
command -v x86_64-w64-mingw32-windres >/dev/null || { echo "SKIP: x86_64-w64-mingw32-windres is not installed"; exit 77; }
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

windres=x86_64-w64-mingw32-windres
# The script needs no Windows headers, so the host's preprocessor will do.
$windres --preprocessor=cpp --preprocessor-arg=-xc --preprocessor-arg=-DRC_INVOKED \
    "$build/quorran.rc" -O coff -o "$work/quorran.o"
$windres --preprocessor=cpp --preprocessor-arg=-xc "$build/quorran.rc" -O res -o "$work/quorran.res"
$windres -i "$work/quorran.res" -O rc -o "$work/readback.rc"
rc=$(cat "$work/readback.rc")

expect() { grep -qF -- "$1" <<<"$rc" || fail "compiled resources lack: $1"; }
expect 'FILEVERSION 1, 0, 0, 0'
expect 'PRODUCTVERSION 1, 0, 0, 0'
expect 'BLOCK "040904B0"'
expect 'VALUE "FileVersion", "1.00"'
expect 'VALUE "ProductVersion", "1.00"'
expect 'VALUE "ProductName", "Quorran"'
expect 'VALUE "InternalName", "Quorran"'
expect 'VALUE "OriginalFilename", "Quorran.exe"'
expect 'VALUE "CompanyName", "Quorran developers"'
expect 'VALUE "Translation", 0x409, 1200'
# One icon group holding three images: "width height colours", planes, bits.
[ "$(grep -c 'RT_ICON \*/' <<<"$rc")" -eq 3 ] || fail "expected three icon images"
group=$(sed -n '/RT_GROUP_ICON/,/^END/p' <<<"$rc")
grep -qF '"\040\040\020\000", 1, 4,' <<<"$group" || fail "no 32x32 image in 16 colours"
grep -qF '"\020\020\020\000", 1, 4,' <<<"$group" || fail "no 16x16 image in 16 colours"
grep -qF '"\040\040\002\000", 1, 1,' <<<"$group" || fail "no 32x32 image in 2 colours"
echo "ok: version record and icon"
