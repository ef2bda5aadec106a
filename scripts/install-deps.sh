#!/usr/bin/env bash
# Installs the Debian 12 packages the program and its tests need, only those missing.
set -euo pipefail
packages=(g++ cmake ninja-build pkg-config qt6-base-dev libfmt-dev libdxflib-dev
          libgtest-dev libgmock-dev libeigen3-dev libbenchmark-dev python3-ezdxf
          xvfb xauth fonts-dejavu-core poppler-utils)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
