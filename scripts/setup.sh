#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then configures and
# builds with the CMake preset $PRESET (default dev, into build/; see CMakePresets.json);
# extra arguments go to cmake. Safe to run again: a second run installs nothing and rebuilds
# only what changed.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  g++ cmake make python3
  qt6-base-dev libqcustomplot-dev libqcustomplot2.1-qt6 fonts-liberation
  libgtest-dev libbenchmark-dev
  xvfb xauth x11-utils imagemagick xdotool poppler-utils
  desktop-file-utils appstream dpkg-dev
  clang-14 libclang-rt-14-dev clang-format-14 clang-tidy-14
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

preset=${PRESET:-dev}
cmake --preset "$preset" "$@" >/dev/null
cmake --build --preset "$preset" -j"$(nproc)"
