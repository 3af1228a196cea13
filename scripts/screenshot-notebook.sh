#!/usr/bin/env bash
# Saves the notebook window, with a wheel of four sessions whose hot arc moved after the
# second, as a PNG (default docs/notebook.png). The program reads its own data folder, in a
# home of this run, whose notebook bench/seed_notebook writes through the store.
#   bash scripts/screenshot-notebook.sh [file.png]
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/virtualscreen.sh
if [[ ${1-} != --on-screen ]]; then
  cmake --build "${BUILD_DIR:-build}" --target seed_notebook >/dev/null
fi
on_virtual_screen 1600x1400 docs/notebook.png "$0" "$@"
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
folder="$home/data/etude-roulette/etude-roulette"
mkdir -p "$folder"
"$(dirname "$program")/bench/seed_notebook" "$folder/carnet-des-roues.sqlite"

HOME=$home XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config "$program" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$home"' EXIT
board=$(window_named 'Étude Roulette')
xdotool windowfocus --sync "$board" key ctrl+k
book=$(window_named 'Carnet des roues')
sleep 2
import -window "$book" "$out"
echo "$out"
