#!/usr/bin/env bash
# gaps.sh: records a ten-song playlist with a song delay of 2 s through a
# private PulseAudio null sink and prints each gap the deck heard against the
# intended 2.3 s (300 ms + the delay), and the largest error.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" "$root/build" >/dev/null
work=$(mktemp -d)
source "$root/scripts/sound-server.sh"
cleanup() { stop_private_sound_server; rm -rf "$work"; }
trap cleanup EXIT
start_private_sound_server
echo "sound server: $(tv_sound_server_name)"
songs=()
for i in $(seq 1 10); do
  sox -q -n -r 44100 -c 2 -b 16 "$work/song$i.wav" synth "0.$((i % 5 + 3))" sine $((300 + 60 * i)) gain -6
  songs+=("$work/song$i.wav")
done
${TV_BENCH_WRAP:-} "$root/build/bin/bench_gaps" 2 "${songs[@]}"
