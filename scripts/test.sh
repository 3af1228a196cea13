#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (CMake preset $PRESET, default dev).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
ctest --preset "${PRESET:-dev}" -j"$(nproc)"
