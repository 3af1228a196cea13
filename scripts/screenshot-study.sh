#!/usr/bin/env bash
# The study window after 5000 spins of a wheel whose five pockets 24, 16, 33, 1, 20 come out
# 20 % more often: writes such a draw file, loads it with "Ouvre", plays it with « Lancer
# plusieurs tirages… » (Ctrl+L), opens « Étude du cylindre » (Ctrl+E) and saves that window.
#   bash scripts/screenshot-study.sh [file.png]      (default docs/study.png)
# SPINS: spins to draw and play (default 5000); SEED: the draw file's seed (default 7).
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/virtualscreen.sh
on_virtual_screen 1600x2100 docs/study.png "$0" "$@"
draws=$(mktemp --suffix=.txt)
# Wheel positions 20..24 weigh 1.2, the 32 others 1: a uniform draw over 38.
awk -v spins="${SPINS:-5000}" -v seed="${SEED:-7}" 'BEGIN {
  split("0 32 15 19 4 21 2 25 17 34 6 27 13 36 11 30 8 23 10 5 24 16 33 1 20 14 31 9 22 18 29 7 28 12 35 3 26", wheel, " ")
  srand(seed)
  for (i = 0; i < spins; i++) {
    u = rand() * 38
    position = u < 6 ? 20 + int(u / 1.2) : int(u - 6)
    if (u >= 6 && position >= 20) position += 5
    print wheel[position + 1]
  }
}' > "$draws"

"$program" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; rm -f "$draws"' EXIT

board=$(window_named 'Étude Roulette')
# The board starts under the menu bar, 19 px high with Xvfb's fonts.
top=19
# "Ouvre" (Command4 at 120, 840 in Frame3 at 9000, 2520 twips), then the file's path.
xdotool mousemove --window "$board" 652 $((234 + top)) click 1
sleep 1
xdotool type --delay 20 "$draws"
xdotool key Return
sleep 1
xdotool windowfocus --sync "$board" key ctrl+l # no window manager to activate it
sleep 0.5
xdotool key ctrl+a type "${SPINS:-5000}"
xdotool key Return
sleep 1
# Ctrl+E with the focus in Text2 (0, 0, 615 x 375 twips), a text box.
xdotool windowfocus --sync "$board" mousemove --window "$board" 20 $((12 + top)) click 1 key ctrl+e
study=$(window_named 'Étude du cylindre')
sleep 3 # the simulated p-values
import -window "$study" "$out"
echo "$out"
