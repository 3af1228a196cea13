#!/usr/bin/env bash
# Installs into a temporary prefix and checks that a desktop user would find the program:
# the binary, a valid menu entry and metainfo, the icons, and a main window that opens.
set -euo pipefail
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" >/dev/null
id=fr.etuderoulette.EtudeRoulette
ls "$prefix"/share/icons/hicolor/{32x32,256x256}/apps/$id.png >/dev/null
desktop-file-validate "$prefix/share/applications/$id.desktop"
grep -qx "Icon=$id" "$prefix/share/applications/$id.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml"

# The installed program, started as the menu entry starts it, must show its main window; its
# notebook and settings go into a home of this run, not the user's.
HOME=$prefix XDG_DATA_HOME= XDG_CONFIG_HOME= QT_QPA_PLATFORM=xcb xvfb-run -a -n $((RANDOM % 900 + 100)) -s "-screen 0 1280x1024x24" bash -c '
  "$1" & for _ in $(seq 50); do
    xwininfo -root -tree | grep -q "\"Étude Roulette\"" && { kill $!; exit 0; } || sleep 0.2
  done; kill $!; echo "fenêtre principale introuvable"; exit 1' _ "$prefix/bin/etude-roulette"
