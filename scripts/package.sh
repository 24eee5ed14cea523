#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quorran developers
# SPDX-License-Identifier: MIT
# Builds the program alone, without tests or benchmarks, in build-release/
# and makes the Debian package from that build:
# build-release/quorran_<version>_<arch>.deb. With --install it then installs
# the package with apt, as root or through sudo (`apt remove quorran` removes
# it again).
#   bash scripts/package.sh [--install]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
release="$root/build-release"
source "$root/scripts/packages.sh"
# CPack finds the package's library dependencies with dpkg-shlibdeps.
install_missing "${build_packages[@]}" dpkg-dev file

if [ ! -f "$release/build.ninja" ]; then
    cmake -S "$root" -B "$release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
fi
cmake --build "$release"
cpack -G DEB --config "$release/CPackConfig.cmake" -B "$release" >/dev/null
deb=$(ls "$release"/quorran_*_"$(dpkg --print-architecture)".deb)
echo "Built $deb"

if [ "${1:-}" = --install ]; then
    as_root apt-get install -y "$deb" || { echo "Install it as root with: apt-get install $deb" >&2; exit 1; }
fi
