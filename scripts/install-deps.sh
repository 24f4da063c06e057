#!/usr/bin/env bash
# Installs the Debian packages the build needs, and only those that are missing.
# 'apt-get update' runs only when something has to be installed.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ make pkg-config python3
  libgtest-dev libgmock-dev libbenchmark-dev
  libsqlite3-dev sqlite3
  libluajit-5.1-dev
  libmuparser-dev
  liblapack-dev libeigen3-dev
  luajit libopenblas-dev zlib1g-dev
  qt6-base-dev libqscintilla2-qt6-dev qt6-charts-dev qt6-svg-dev libgl-dev
  libqt6opengl6-dev  # the CMake package of Qt Charts needs it and does not pull it in
  poppler-utils  # the guides' tests read the PDFs' text and pictures back
  clang-format-16  # the format check of the sources
)

missing=()
for pkg in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
