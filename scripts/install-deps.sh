#!/usr/bin/env bash
# Installs the Debian packages that Zorv needs to build and run; with
# --tests also those of the test suite. Packages already present are not
# touched, so a prepared machine needs no network.
set -euo pipefail

build_packages=(
    g++ cmake make pkg-config
    qt6-base-dev qt6-qpa-plugins
    libxcb1-dev libxcb-xinput-dev libxcb-xkb-dev libxcb-xfixes0-dev libxkbcommon-dev
    nlohmann-json3-dev zlib1g-dev
    libwayland-dev libwayland-bin
    fonts-dejavu-core
    librsvg2-bin dpkg-dev file
    qt6-image-formats-plugins
)
test_packages=(
    libgtest-dev libgmock-dev
    xvfb xauth x11-utils xdotool xclip trayer openbox imagemagick
    desktop-file-utils hicolor-icon-theme
    clang libclang-rt-14-dev
    sway xwayland foot wtype wev x11-xserver-utils xcompmgr
    wayland-protocols wl-clipboard
    gnome-screenshot dbus libglib2.0-bin dconf-service
    pcmanfm dbus-daemon
    mutter pipewire libgl1-mesa-dri kwin-wayland
)

packages=("${build_packages[@]}")
if [ "${1:-}" = "--tests" ]; then
    packages+=("${test_packages[@]}")
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ "${#missing[@]}" -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
