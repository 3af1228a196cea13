#!/usr/bin/env bash
# Installs into a temporary prefix and checks that a desktop user would find the program:
# the binary, a valid menu entry and metainfo, the icons, and a main window that opens.
set -euo pipefail
build_dir=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build_dir" --prefix "$prefix" >/dev/null

app_id=fr.etuderoulette.EtudeRoulette
desktop=$prefix/share/applications/$app_id.desktop
for f in "$prefix/bin/etude-roulette" "$desktop" \
         "$prefix/share/metainfo/$app_id.metainfo.xml" \
         "$prefix/share/icons/hicolor/32x32/apps/$app_id.png" \
         "$prefix/share/icons/hicolor/256x256/apps/$app_id.png"; do
  [ -e "$f" ] || { echo "absent : $f"; exit 1; }
done
desktop-file-validate "$desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$app_id.metainfo.xml"
grep -qx "Icon=$app_id" "$desktop"

# The installed program, started as the menu entry starts it, must show its main window.
export QT_QPA_PLATFORM=xcb
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  "$1" & pid=$!
  for _ in $(seq 50); do
    if xwininfo -root -tree 2>/dev/null | grep -q "\"Étude Roulette\""; then
      kill $pid; exit 0
    fi
    kill -0 $pid 2>/dev/null || { echo "le programme s est arrêté"; exit 1; }
    sleep 0.2
  done
  echo "fenêtre principale introuvable"; kill $pid; exit 1
' _ "$prefix/bin/etude-roulette"
echo "installation complète"
