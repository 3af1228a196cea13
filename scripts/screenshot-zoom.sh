#!/usr/bin/env bash
# Opens the program on a virtual screen of the given size, makes the window fill it, marks
# 7 17 32 from the keyboard, then « Affichage › Ajuster à la fenêtre », and saves the whole
# screen as a PNG.
#   bash scripts/screenshot-zoom.sh 1024x600 [file.png]   (default docs/zoom-1024x600.png)
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ ${1-} != --on-screen ]]; then
  size=${1:-1024x600}
  out=${2:-docs/zoom-$size.png}
  program=${BUILD_DIR:-build}/etude-roulette
  [[ -x $program ]] || bash scripts/setup.sh
  mkdir -p "$(dirname "$out")"
  exec xvfb-run -a -s "-screen 0 ${size}x24" "$0" --on-screen "$program" "$out" "$size"
fi

program=$2
out=$3
width=${4%x*}
height=${4#*x}
settings=$(mktemp -d) # the zoom chosen here is not kept for the user's next run
XDG_CONFIG_HOME=$settings "$program" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$settings"' EXIT

window=$(timeout 20 xdotool search --sync --onlyvisible --name 'Étude Roulette' | head -n 1)
xdotool windowmove "$window" 0 0 windowsize "$window" "$width" "$height"
sleep 0.5
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
xdotool key ctrl+shift+m && sleep 1 && xdotool type '7 17 32' && xdotool key Return
sleep 1
# « Ajuster à la fenêtre », the last entry of « Affichage » (the third menu, at x ≈ 150).
xdotool mousemove 150 9 click 1 && sleep 0.5 && xdotool key Up Return
xdotool mousemove "$width" "$height" # no tooltip
sleep 1
import -window root "$out"
echo "$out"
