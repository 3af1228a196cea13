#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then builds into
# build/ (or $BUILD_DIR); extra arguments go to cmake. Safe to run again: a second run installs nothing and rebuilds only what changed.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  g++ cmake make
  qt6-base-dev libqcustomplot-dev libqcustomplot2.1-qt6 fonts-liberation
  libgtest-dev libbenchmark-dev
  xvfb xauth x11-utils imagemagick xdotool
  desktop-file-utils appstream dpkg-dev
  clang-14 libclang-rt-14-dev
  qt6-translations-l10n
  libsqlitecpp-dev libsqlite3-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installation de : ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
