# Sourced by the screenshot scripts: strict mode, the build's bin folder, the
# output folder (first argument, else build/screenshots), a scratch folder
# and a private sound server, all removed again on exit with the X server
# and window manager that the script's sessions start (xvfb, wm).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bin=$root/build/bin
out=${1:-$root/build/screenshots}
mkdir -p "$out"
work=$(mktemp -d)
# shellcheck source=../scripts/sound-server.sh
source "$root/scripts/sound-server.sh"
cleanup() {
  [[ -n "${wm:-}" ]] && kill "$wm" 2>/dev/null || true
  [[ -n "${xvfb:-}" ]] && kill "$xvfb" 2>/dev/null || true
  stop_private_sound_server
  rm -rf "$work"
}
trap cleanup EXIT
start_private_sound_server

# start_desktop LABEL SCREEN POINTS DPI SCALING: an X server of SCREEN pixels
# with openbox, whose Qt programs take a DejaVu Sans desktop font of POINTS
# at DPI (through a KDE settings file, read by Qt itself) and Qt's scaling on
# (1) or off (0); settings and cache in a folder of the session's own.
start_desktop() {
  local label=$1 screen=$2 points=$3 dpi=$4 scaling=$5
  local display=:$((90 + RANDOM % 9))
  Xvfb "$display" -screen 0 "${screen}x24" -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  sleep 1
  mkdir -p "$work/$label"
  printf '[General]\nfont=DejaVu Sans,%s,-1,5,50,0,0,0,0,0\n' "$points" >"$work/$label/kdeglobals"
  export DISPLAY=$display QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME=$work/$label XDG_CACHE_HOME=$work/$label/cache
  export XDG_CURRENT_DESKTOP=KDE KDE_SESSION_VERSION=5 QT_FONT_DPI=$dpi QT_ENABLE_HIGHDPI_SCALING=$scaling
  openbox >/dev/null 2>&1 &
  wm=$!
  sleep 1
}

end_desktop() {
  kill "$wm" "$xvfb" 2>/dev/null || true
  wait "$wm" "$xvfb" 2>/dev/null || true
  wm= xvfb=
}
