#!/usr/bin/env bash
# run.sh: installs what is missing, builds and starts TapeVantrel.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh" "$root/build"

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "No display was found: run it inside a desktop session, or headless with: xvfb-run -a scripts/run.sh" >&2
  exit 1
fi

# The program needs a sound device: start a sound server when none runs.
if ! pactl info >/dev/null 2>&1; then
  echo "No sound server is running; starting PulseAudio for this session."
  pulseaudio --start --exit-idle-time=-1 >/dev/null 2>&1 || true
fi

exec "$root/build/bin/TapeVantrel" "$@"
