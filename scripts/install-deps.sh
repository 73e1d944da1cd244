#!/usr/bin/env bash
# Installs the Debian packages needed to build, run and test the player.
# Further packages may be named as arguments. Does nothing when they are all
# present; uses sudo when not run as root.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config clang-format
  qt6-base-dev libgl-dev fonts-dejavu-core
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-ugly
  libmpg123-dev libflac-dev libvorbis-dev libopusfile-dev libtag1-dev
  libavformat-dev libavcodec-dev libavutil-dev
  ffmpeg
  libgtest-dev libgmock-dev
  desktop-file-utils
  dbus appstream
  xvfb openbox
  clang-14 libclang-rt-14-dev
  "$@"
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
