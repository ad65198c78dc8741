#!/usr/bin/env bash
# test.sh: installs what is missing, builds, and runs every test against a
# private PulseAudio server with a null sink, then the tests that play sound
# once more against a private PipeWire server, so that both sound servers
# users have are covered. Exits with the tests' status.
# TV_SANITIZE=1 builds with AddressSanitizer and UBSan in build-asan/.
# TV_SOUND_SERVERS="pulseaudio" (or "pipewire") runs against one server only.
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
export QT_QPA_PLATFORM=offscreen
logs=$(mktemp -d)
servers=(${TV_SOUND_SERVERS:-pulseaudio pipewire})
status=0
first=1
for server in "${servers[@]}"; do
  export TV_SOUND_SERVER=$server
  # The first server runs every test; the others only those that play sound.
  selection=()
  ((first)) || selection=(-L needs-sound)
  echo "== tests against $server${selection:+ (the tests that play sound)}"
  start_private_sound_server
  export XDG_CACHE_HOME=$(mktemp -d)
  (cd "$build" && ctest --output-on-failure --timeout 300 "${selection[@]}") 2>&1 | tee "$logs/$server.log" || status=1
  grep -q "tests passed, 0 tests failed" "$logs/$server.log" || status=1
  rm -rf "$XDG_CACHE_HOME"
  stop_private_sound_server
  first=0
done

echo "== summary"
for server in "${servers[@]}"; do
  echo "$server: $(grep -E 'tests passed' "$logs/$server.log" || echo 'no result')"
  grep -E '^\s+[0-9]+ - ' "$logs/$server.log" | sed "s/^/  failed against $server: /" || true
done
rm -rf "$logs"
exit $status
