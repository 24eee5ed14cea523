# SPDX-FileCopyrightText: 2026 Quorran developers
# SPDX-License-Identifier: MIT
# The Debian packages each command needs, and install_missing, which installs
# those of a list that are missing; sourced, not run.
#   run.sh           build_packages
#   test.sh          build_packages and test_packages
#   .ci/run          all three lists; ci_packages are the static checks, the
#                    sanitizers' and fuzzer's compiler, the Windows compile
#                    check and the large desktops, optional for a user

# To build the program and run it.
build_packages=(
    g++ cmake ninja-build pkg-config qt6-base-dev libxcb1-dev libfontconfig-dev
    # Wayland: the platform plugin, and what asks the compositor for its title
    # bar and window menu
    qt6-wayland libwayland-dev qt6-base-private-dev
    # Free faces for Verdana, Comic Sans MS and MS Sans Serif
    fonts-dejavu-core fonts-comic-neue fonts-liberation
)

# To build the tests and benchmarks and run the tests.
test_packages=(
    libbenchmark-dev libxcb-damage0-dev
    # A private X display for the tests and benchmarks that need a real one
    xvfb xauth x11-utils x11-apps xsettingsd time
    # The accessibility end-to-end tests: the AT-SPI bus, a client, a session
    # bus and the screen reader Orca
    at-spi2-core python3-pyatspi dbus-x11 orca
    # The window under light window managers and a Wayland compositor, driven from outside
    xdotool wmctrl xclip wl-clipboard openbox icewm fluxbox weston
    # Installation, the icons, the manual page and the Windows resources
    desktop-file-utils librsvg2-bin groff-base binutils-mingw-w64-x86-64
    # The Debian package: CPack's library dependencies, metainfo check, lintian
    dpkg-dev file appstream lintian
)

# CI's own checks besides.
ci_packages=(
    # Static checks, sanitizers and the fuzzer
    clang clang-format clang-tidy libclang-rt-14-dev
    # The Windows branches compiled with MinGW's g++
    g++-mingw-w64-x86-64-posix
    # The larger window managers and the desktops' Wayland compositors
    xfwm4 kwin-x11 kwin-style-breeze mutter kwin-wayland xwayland
)

# Runs a command as root: directly when already root, else through sudo;
# fails where there is no sudo (the caller says what to run as root).
as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null; then
        sudo "$@"
    else
        return 1
    fi
}

# Installs those of the packages given that are missing (checked with
# dpkg-query), as root with apt-get or else through sudo. Where neither can
# be done it says which are missing and how to install them as root, and
# fails; the same lines come before sudo's password prompt.
install_missing() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    ((${#missing[@]})) || return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Quorran's set-up needs these Debian packages, which are missing: ${missing[*]}" >&2
        echo "Install them as root with: apt-get update && apt-get install --no-install-recommends ${missing[*]}" >&2
        command -v sudo >/dev/null || return 1
        echo "Installing them with sudo." >&2
    else
        echo "Installing: ${missing[*]}" >&2
    fi
    as_root apt-get update -qq || return 1
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}
