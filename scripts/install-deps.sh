#!/usr/bin/env bash
# Installs the Debian 12 packages Quillmark needs to build, test and run.
# Quick when everything is already there: apt is only called for missing packages.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins 
  libboost1.81-dev zlib1g-dev
  libgl-dev
  fonts-dejavu-core
  desktop-file-utils shared-mime-info dpkg-dev file poppler-utils
)
if [ "${1:-}" = "--gui" ]; then
  packages+=(xvfb xauth imagemagick)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
