#!/usr/bin/env bash
# gaps.sh: records a ten-song playlist with a song delay of 2 s through a
# private sound server's null sink (TV_SOUND_SERVER picks PulseAudio or
# PipeWire) and prints each gap the deck heard beside the planned 2 s, each
# song's heard length beside its file's, and the largest errors.
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
