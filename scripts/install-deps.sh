#!/usr/bin/env bash
# Installs everything the build, the program and the tests need (Debian 12, as root).
set -euo pipefail
packages=(
  build-essential cmake ninja-build ccache pkg-config git python3 binutils
  qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-webengine-dev-tools qt6-multimedia-dev
  qt6-svg-dev libqt6svg6 qt6-webchannel-dev zlib1g-dev
  libx11-dev libx11-xcb-dev libxcb1-dev libxcb-keysyms1-dev
  libxrandr-dev libxss-dev libasound2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev llvm
  xvfb xauth openbox trayer wmctrl xdotool x11-utils x11-apps x11-xserver-utils imagemagick
  dbus pulseaudio pulseaudio-utils libasound2-plugins alsa-utils
  fonts-wqy-microhei qt6-translations-l10n xdg-utils ffmpeg
  dpkg-dev desktop-file-utils appstream iproute2 util-linux
)
# npm fetches the channel page's web libraries; a machine that brings its own Node.js keeps it.
command -v npm >/dev/null 2>&1 || packages+=(nodejs npm)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
