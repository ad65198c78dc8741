#!/usr/bin/env bash
# test.sh: installs what is missing, builds, and runs every test against a
# private PulseAudio server with a null sink. Exits with the tests' status.
# TV_SANITIZE=1 builds with AddressSanitizer and UBSan in build-asan/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" --test

build=$root/build
options=()
if [[ "${TV_SANITIZE:-0}" == 1 ]]; then
  build=$root/build-asan
  options=(-DTV_SANITIZE=ON)
fi
"$root/scripts/build.sh" "$build" "${options[@]}"

source "$root/scripts/sound-server.sh"
trap stop_private_sound_server EXIT
start_private_sound_server

export QT_QPA_PLATFORM=offscreen
export XDG_CACHE_HOME=$(mktemp -d)
status=0
(cd "$build" && ctest --output-on-failure --timeout 300) || status=$?
rm -rf "$XDG_CACHE_HOME"
exit $status
