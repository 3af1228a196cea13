#!/usr/bin/env bash
# Installs what is missing, builds, and opens the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
exec build/etude-roulette
