#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quorran developers
# SPDX-License-Identifier: MIT
# Builds the Debian package with CPack from the build tree into a scratch
# folder and checks it as a Debian system sees it: its file list and control
# fields, the extracted program opening its window on a private Xvfb display,
# the metainfo and desktop entry validators, and lintian, which may report no
# error and no warning other than those docs/development.md lists.
set -euo pipefail

if [ "${1:-}" = "--show-window" ]; then
    # Runs on a display of its own: starts the program and waits for its window.
    source "$(dirname "${BASH_SOURCE[0]}")/../lib/xvfb.sh"
    "$2" 2>/dev/null &
    pid=$!
    trap 'kill $pid 2>/dev/null; wait $pid 2>/dev/null || true' EXIT
    wait_for_window Quorran >/dev/null
    exit
fi

build=$1
cpack=$2
for tool in dpkg-deb dpkg-shlibdeps lintian appstreamcli desktop-file-validate Xvfb; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
export LC_ALL=C.UTF-8

"$cpack" -G DEB -B "$work/out" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack could not build the package"; }
deb="$work/out/quorran_1.0.0_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $(basename "$deb") among: $(ls "$work/out")"
echo "ok: built $(basename "$deb")"

# Mode, owner and path of every entry, in a fixed order.
dpkg-deb -c "$deb" | awk '{print $1, $2, $6}' | sort >"$work/contents"
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
sort >"$work/expected" <<EOF
drwxr-xr-x root/root ./usr/
drwxr-xr-x root/root ./usr/bin/
-rwxr-xr-x root/root ./usr/bin/quorran
drwxr-xr-x root/root ./usr/lib/
drwxr-xr-x root/root ./usr/lib/$multiarch/
drwxr-xr-x root/root ./usr/lib/$multiarch/quorran/
-rw-r--r-- root/root ./usr/lib/$multiarch/quorran/quorran-window.so
drwxr-xr-x root/root ./usr/share/
drwxr-xr-x root/root ./usr/share/bash-completion/
drwxr-xr-x root/root ./usr/share/bash-completion/completions/
-rw-r--r-- root/root ./usr/share/bash-completion/completions/quorran
drwxr-xr-x root/root ./usr/share/applications/
-rw-r--r-- root/root ./usr/share/applications/quorran.desktop
drwxr-xr-x root/root ./usr/share/doc/
drwxr-xr-x root/root ./usr/share/doc/quorran/
-rw-r--r-- root/root ./usr/share/doc/quorran/changelog.gz
-rw-r--r-- root/root ./usr/share/doc/quorran/copyright
drwxr-xr-x root/root ./usr/share/icons/
drwxr-xr-x root/root ./usr/share/icons/hicolor/
drwxr-xr-x root/root ./usr/share/icons/hicolor/16x16/
drwxr-xr-x root/root ./usr/share/icons/hicolor/16x16/apps/
-rw-r--r-- root/root ./usr/share/icons/hicolor/16x16/apps/quorran.png
drwxr-xr-x root/root ./usr/share/icons/hicolor/32x32/
drwxr-xr-x root/root ./usr/share/icons/hicolor/32x32/apps/
-rw-r--r-- root/root ./usr/share/icons/hicolor/32x32/apps/quorran.png
drwxr-xr-x root/root ./usr/share/icons/hicolor/48x48/
drwxr-xr-x root/root ./usr/share/icons/hicolor/48x48/apps/
-rw-r--r-- root/root ./usr/share/icons/hicolor/48x48/apps/quorran.png
drwxr-xr-x root/root ./usr/share/icons/hicolor/64x64/
drwxr-xr-x root/root ./usr/share/icons/hicolor/64x64/apps/
-rw-r--r-- root/root ./usr/share/icons/hicolor/64x64/apps/quorran.png
drwxr-xr-x root/root ./usr/share/icons/hicolor/128x128/
drwxr-xr-x root/root ./usr/share/icons/hicolor/128x128/apps/
-rw-r--r-- root/root ./usr/share/icons/hicolor/128x128/apps/quorran.png
drwxr-xr-x root/root ./usr/share/icons/hicolor/scalable/
drwxr-xr-x root/root ./usr/share/icons/hicolor/scalable/apps/
-rw-r--r-- root/root ./usr/share/icons/hicolor/scalable/apps/quorran.svg
drwxr-xr-x root/root ./usr/share/man/
drwxr-xr-x root/root ./usr/share/man/man1/
-rw-r--r-- root/root ./usr/share/man/man1/quorran.1.gz
drwxr-xr-x root/root ./usr/share/metainfo/
-rw-r--r-- root/root ./usr/share/metainfo/io.github.quorran.Quorran.metainfo.xml
EOF
diff -u "$work/expected" "$work/contents" || fail "package contents differ from the list above"
echo "ok: contents"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = quorran ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = 1.0.0 ] || fail "Version is '$(field Version)'"
[ "$(field Section)" = utils ] || fail "Section is '$(field Section)'"
[ "$(field Recommends)" = "fonts-dejavu-core, fonts-comic-neue, fonts-liberation" ] ||
    fail "Recommends is '$(field Recommends)'"
# Computed from the binary: Qt Widgets and the C library at least.
depends=$(field Depends)
[[ "$depends" == *"libqt6widgets6 (>= "* && "$depends" == *"libc6 (>= "* ]] || fail "Depends is '$depends'"
echo "ok: control fields"

root="$work/root"
dpkg -x "$deb" "$root"
QT_QPA_PLATFORM=xcb bash "$source_dir/tests/lib/run_on_xvfb.sh" 640x480x24 \
    bash "${BASH_SOURCE[0]}" --show-window "$root/usr/bin/quorran" ||
    fail "the extracted program mapped no window within 30 s"
echo "ok: the extracted program shows its window"

# The command line converts without any display, and bash completes its options.
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/quorran" --to-dap 0x010203)" = 1.2.3 ] ||
    fail "the extracted program does not convert on the command line"
completions=$(bash -c 'source "$1"; COMP_WORDS=(quorran --to-); COMP_CWORD=1; _quorran; echo "${COMPREPLY[*]}"' _ \
    "$root/usr/share/bash-completion/completions/quorran")
[ "$completions" = "--to-id --to-dap" ] || fail "bash completes --to- as '$completions'"
echo "ok: command line and completion"

appstreamcli validate --no-net --strict "$root/usr/share/metainfo/io.github.quorran.Quorran.metainfo.xml" ||
    fail "appstreamcli validate rejects the metainfo"
# The tree check also finds the desktop entry the metainfo launches.
appstreamcli validate-tree --no-net --strict "$root" || fail "appstreamcli validate-tree rejects the tree"
# The metainfo's remote icon is the committed image of that size.
icon=$(sed -n 's|.*<icon type="remote" width="\([0-9]*\)" height="\1">[^<]*/v1\.0\.0/\([^<]*\)</icon>.*|\1 \2|p' \
    "$root/usr/share/metainfo/io.github.quorran.Quorran.metainfo.xml")
[ -n "$icon" ] || fail "the metainfo names no square remote icon in the v1.0.0 tree"
read -r size path <<<"$icon"
header=$(od -An -tx1 -N24 "$source_dir/$path" | tr -d ' \n')
[ $((16#${header:32:8})) -eq "$size" ] && [ $((16#${header:40:8})) -eq "$size" ] ||
    fail "the metainfo's icon $path is not ${size}x${size}"
report=$(desktop-file-validate "$root/usr/share/applications/quorran.desktop") ||
    fail "desktop-file-validate rejects the entry: $report"
[ -z "$report" ] || fail "desktop-file-validate: $report"
echo "ok: validators"

# The warnings allowed are the tags in backticks in the list under "Lintian
# warnings" in docs/development.md.
allowed=$(sed -n '/^### Lintian warnings/,/^#/p' "$source_dir/docs/development.md" | sed -n 's/^- `\([a-z0-9-]*\)`.*/\1/p')
# lintian leaves a cache file of its own in TMPDIR: the scratch folder takes it.
TMPDIR="$work" lintian --no-cfg --tag-display-limit 0 --fail-on none "$deb" >"$work/lintian.log" 2>&1 ||
    { cat "$work/lintian.log"; fail "lintian did not run"; }
cat "$work/lintian.log"
while read -r level _ tag _; do
    case $level in
    E:) fail "lintian error $tag" ;;
    W:) grep -qxF "$tag" <<<"$allowed" || fail "lintian warning $tag is not listed in docs/development.md" ;;
    esac
done <"$work/lintian.log"
echo "ok: lintian"
