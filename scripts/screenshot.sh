#!/usr/bin/env bash
# Opens the program on a virtual screen, plays some spins with "Lancer 1 N°" as a user
# would, and saves the whole screen as a PNG.
#   bash scripts/screenshot.sh [file.png]      (default docs/screenshot.png)
#   SPINS=0 bash scripts/screenshot.sh         (the window as it opens; default 10 spins)
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ ${1-} != --on-screen ]]; then
  out=${1:-docs/screenshot.png}
  program=${BUILD_DIR:-build}/etude-roulette
  [[ -x $program ]] || bash scripts/setup.sh
  mkdir -p "$(dirname "$out")"
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" --on-screen "$program" "$out"
fi

program=$2
out=$3
"$program" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

window=$(timeout 20 xdotool search --sync --onlyvisible --name 'Étude Roulette' | head -n 1)
# Centre of "Lancer 1 N°" (Command1: 7200, 3600, 1335 x 495 twips) in window pixels.
for ((i = 0; i < ${SPINS:-10}; i++)); do
  xdotool mousemove --window "$window" 524 256 click 1
  sleep 0.2
done
sleep 0.3
import -window root "$out"
echo "$out"
