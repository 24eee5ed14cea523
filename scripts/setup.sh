#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need
# (only those missing, so a second run costs nothing), then configures and
# builds into build/. Sourced by run.sh and test.sh.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev libxcb1-dev libxcb-damage0-dev libfontconfig-dev libbenchmark-dev
    # Free faces for Verdana, Comic Sans MS and MS Sans Serif
    fonts-dejavu-core fonts-comic-neue fonts-liberation
    # A private X display for the tests and benchmarks that need a real one
    xvfb xauth x11-utils x11-apps xsettingsd time
    # The accessibility end-to-end test: the AT-SPI bus, a client and a session bus
    at-spi2-core python3-pyatspi dbus-x11
    # The window under light window managers and a Wayland compositor,
    # driven from outside (xfwm4, kwin-x11 and mutter are tested when
    # installed by hand)
    xdotool wmctrl xclip openbox icewm fluxbox weston qt6-wayland
    # Installation and Windows resource checks
    desktop-file-utils binutils-mingw-w64-x86-64
    # The Debian package: CPack's library dependencies, metainfo check, lintian
    dpkg-dev file appstream lintian
    # Static checks, sanitizers and the fuzzer
    clang clang-format clang-tidy libclang-rt-14-dev
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build"
