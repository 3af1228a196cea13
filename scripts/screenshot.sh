#!/usr/bin/env bash
# Opens the program on a virtual screen, marks a few numbers and plays some spins with
# "Lancer 1 N°" by clicking as a user would, and saves the window as a PNG.
#   bash scripts/screenshot.sh [file.png]      (default docs/screenshot.png)
#   SPINS=0 MARKS= bash scripts/screenshot.sh  (the window as it opens)
# SPINS: spins to play (default 10); MARKS: numbers to mark first (default "7 17 32");
# SWITCH: clicks on "Voir graphe" / "Fermer" after the spins (default 0); OVERLAY=1 then turns
# on the fair-wheel curves of the chart in front through its context menu.
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/virtualscreen.sh
# A screen larger than the window, so that the whole board shows without scrolling.
on_virtual_screen 1280x1024 docs/screenshot.png "$0" "$@"
"$program" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

window=$(window_named 'Étude Roulette')
# The board starts under the menu bar, 19 px high with Xvfb's fonts.
top=19
# Centre of the number cell n (Label1(n), 495 x 375 twips, two rows of 19 and 18).
for n in ${MARKS-7 17 32}; do
  row=$((n / 19))
  column=$((n - 19 * row))
  xdotool mousemove --window "$window" $(((120 + 480 * column) / 15 + 16)) $(((1080 + 1440 * row) / 15 + 12 + top)) click 1
done
# Centre of "Lancer 1 N°" (Command1: 7200, 3600, 1335 x 495 twips) in board pixels.
for ((i = 0; i < ${SPINS:-10}; i++)); do
  xdotool mousemove --window "$window" 524 $((256 + top)) click 1
  sleep 0.2
done
# Centre of "Voir graphe" (Command2: 960, 1200, 1455 x 375 twips in Frame1 at 9480, 600).
for ((i = 0; i < ${SWITCH:-0}; i++)); do
  xdotool mousemove --window "$window" 744 $((132 + top)) click 1
  sleep 0.2
done
if [[ ${OVERLAY:-0} == 1 ]]; then
  xdotool mousemove --window "$window" 480 $((500 + top)) click 3
  sleep 0.3
  xdotool key Down Return
  xdotool mousemove --window "$window" 1040 $((700 + top)) # off the plot: no tooltip shows
fi
sleep 0.3
import -window "$window" "$out"
echo "$out"
