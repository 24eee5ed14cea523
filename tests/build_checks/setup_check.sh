#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quorran developers
# SPDX-License-Identifier: MIT
# The set-up commands as users without the packages meet them: a fake
# dpkg-query reports every package missing, and fake id, sudo and apt-get
# play root, a user with sudo (which refuses, as at a wrong password) and a
# user without it. Checks what is asked for and what is said, in order.
set -euo pipefail

source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

run_packages="g++ cmake ninja-build pkg-config qt6-base-dev libxcb1-dev libfontconfig-dev qt6-wayland libwayland-dev qt6-base-private-dev fonts-dejavu-core fonts-comic-neue fonts-liberation"

# setup_as WHO INSTALLED: a folder of commands for PATH. WHO is root, sudo or
# user; INSTALLED is yes or no, what dpkg-query says of every package.
setup_as() {
    local bin="$work/bin-$1-$2"
    rm -rf "$bin"
    mkdir -p "$bin"
    ln -s "$(command -v grep)" "$(command -v dirname)" "$(command -v env)" "$bin/"
    if [ "$2" = yes ]; then
        printf '#!/bin/sh\necho "install ok installed"\n' >"$bin/dpkg-query"
    else
        printf '#!/bin/sh\necho "dpkg-query: no packages found matching $3" >&2\nexit 1\n' >"$bin/dpkg-query"
    fi
    printf '#!/bin/sh\necho %s\n' "$([ "$1" = root ] && echo 0 || echo 1000)" >"$bin/id"
    [ "$1" != sudo ] || printf '#!/bin/sh\necho "sudo $*" >&2\nexit 1\n' >"$bin/sudo"
    # Records what it is asked to do; an install stops there.
    printf '#!/bin/sh\necho "apt-get $*" >&2\n[ "$1" = update ]\n' >"$bin/apt-get"
    chmod +x "$bin"/*
    echo "$bin"
}

# check NAME WHO COMMAND EXPECTED-STATUS EXPECTED-STDERR
check() {
    local bin status=0
    bin=$(setup_as "$2" no)
    env -i PATH="$bin" HOME="$work" /bin/bash "$source_dir/scripts/$3" >"$work/out" 2>"$work/err" || status=$?
    if [ "$status" != "$4" ]; then
        fail "$1: status $status, expected $4; said: $(cat "$work/err")"
    elif [ "$(cat "$work/err")" != "$5" ]; then
        fail "$1: said"
        diff -u <(echo "$5") "$work/err" || true
    else
        echo "ok: $1"
    fi
}

check "run.sh, a user without sudo" user run.sh 1 \
"Quorran's set-up needs these Debian packages, which are missing: $run_packages
Install them as root with: apt-get update && apt-get install --no-install-recommends $run_packages"

check "run.sh, a user whose sudo refuses" sudo run.sh 1 \
"Quorran's set-up needs these Debian packages, which are missing: $run_packages
Install them as root with: apt-get update && apt-get install --no-install-recommends $run_packages
Installing them with sudo.
sudo apt-get update -qq"

check "run.sh as root" root run.sh 1 \
"Installing: $run_packages
apt-get update -qq
apt-get install -y -qq --no-install-recommends $run_packages"

# test.sh asks for what run.sh does and the tests' tools, but not for CI's
# static checks, sanitizers and large desktops.
status=0
env -i PATH="$(setup_as user no)" HOME="$work" /bin/bash "$source_dir/scripts/test.sh" >/dev/null 2>"$work/err" ||
    status=$?
asked=" $(sed -n 's/^Quorran.s set-up needs these Debian packages, which are missing: //p' "$work/err") "
if [ "$status" = 0 ] || [[ $asked != " $run_packages "* || $asked != *" xvfb "* ]]; then
    fail "test.sh, a user without sudo: status $status, asked for:$asked"
else
    for extra in clang clang-format clang-tidy libclang-rt-14-dev kwin-x11 mutter kwin-wayland; do
        [[ $asked != *" $extra "* ]] || fail "test.sh asks for CI's $extra"
    done
    echo "ok: test.sh asks for$asked"
fi

# Nothing missing: nothing said, nothing run.
status=0
env -i PATH="$(setup_as user yes)" /bin/bash -c "source '$source_dir/scripts/packages.sh'; install_missing g++ cmake" \
    >"$work/out" 2>&1 || status=$?
[ "$status" = 0 ] && [ ! -s "$work/out" ] && echo "ok: nothing missing" ||
    fail "nothing missing: status $status, said: $(cat "$work/out")"

exit $((failures > 0))
