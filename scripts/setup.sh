#!/usr/bin/env bash
# Installs what building, running and testing Vantrel needs on Debian 12. Safe to run again.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config ccache
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-image-formats-plugins libqt6svg6
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libical-dev libglib2.0-dev zlib1g-dev
  libgl-dev libxcb1-dev libxcb-xinput-dev libxcb-xtest0-dev libxcb-xfixes0-dev libxcb-res0-dev libx11-dev libxkbcommon-dev libxkbcommon-x11-dev
  dbus dbus-x11 xvfb xfwm4 xterm xdotool imagemagick
  xclip clang-format procps
  tzdata
  fonts-inter fonts-jetbrains-mono
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y "${missing[@]}"
fi
