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
