# Sourced by the screenshot scripts. on_virtual_screen SIZE DEFAULT_PNG "$0" "$@" runs the
# script again under Xvfb on a screen of SIZE (SCREEN=WIDTHxHEIGHT overrides it, e.g. 1024x600),
# building the program first when missing; there, it sets `program` and `out` (the PNG to
# write, DEFAULT_PNG unless the first argument names one). BUILD_DIR: the build (default build).
on_virtual_screen() {
  local size=${SCREEN:-$1} default=$2 script=$3
  shift 3
  if [[ ${1-} != --on-screen ]]; then
    out=${1:-$default}
    program=${BUILD_DIR:-build}/etude-roulette
    [[ -x $program ]] || bash scripts/setup.sh
    mkdir -p "$(dirname "$out")"
    exec xvfb-run -a -s "-screen 0 ${size}x24" "$script" --on-screen "$program" "$out"
  fi
  program=$2
  out=$3
}

# The id of the visible window whose title is TITLE, once it shows (20 s at most).
window_named() {
  timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1
}
