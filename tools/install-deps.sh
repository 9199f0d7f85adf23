#!/usr/bin/env bash
# Installs the Debian packages the viewer and its tests need (run as root, or with sudo available).
set -euo pipefail

packages=(cmake g++ make pkg-config libogre-1.12-dev ogre-1.12-tools libois-dev libtinyxml-dev libx11-dev
          libgtest-dev xvfb xauth xdotool x11-apps x11-utils libgl1-mesa-dri imagemagick fonts-dejavu-core
          clang libclang-rt-14-dev nlohmann-json3-dev python3 procps chromium libimgui-dev)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
