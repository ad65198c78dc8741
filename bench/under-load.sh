#!/usr/bin/env bash
# under-load.sh: what the deck hears while the machine is busy. Starts the
# private sound server and HOGS busy loops (default 6), then
#  1. plays a 60 s continuous tone (MP3) through the program's own player
#     (tvplay) while capturing the null sink's monitor, and counts the
#     dropouts: runs of silence of 3 ms or more inside the tone;
#  2. records a ten-song side with a song delay of 1 s through the real
#     workspace (bench_gaps) and prints each gap heard beside the planned
#     1 s, each song's heard length beside its file's, the largest errors,
#     and the dropouts inside the songs.
# RUNS=N repeats both N times (default 1); TV_SOUND_SERVER=pipewire runs
# against PipeWire instead of PulseAudio. TV_BIN=DIR runs the programs of
# another build (for comparisons) instead of building this one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
hogs=${HOGS:-6}
runs=${RUNS:-1}
bin=${TV_BIN:-$root/build/bin}
[[ -n "${TV_BIN:-}" ]] || "$root/scripts/build.sh" "$root/build" >/dev/null
work=$(mktemp -d)
source "$root/scripts/sound-server.sh"
hog_pids=()
cleanup() {
  for p in "${hog_pids[@]}"; do kill "$p" 2>/dev/null || true; done
  stop_private_sound_server
  rm -rf "$work"
}
trap cleanup EXIT
start_private_sound_server

ffmpeg -nostdin -loglevel error -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=60" -af volume=0.5 -ac 2 \
  -c:a libmp3lame -q:a 2 "$work/tone.mp3"
songs=()
for i in $(seq 1 10); do
  sox -q -n -r 44100 -c 2 -b 16 "$work/song$i.wav" synth "$((2 + i % 4)).$((i * 37 % 10))" sine $((300 + 60 * i)) gain -6
  songs+=("$work/song$i.wav")
done

for _ in $(seq "$hogs"); do
  ( while :; do :; done ) &
  hog_pids+=($!)
done
echo "sound server: $(tv_sound_server_name) ($(pactl info 2>/dev/null | sed -n 's/^Server Name: //p')); busy loops: $hogs on $(nproc) cores"

for run in $(seq "$runs"); do
  echo "== run $run: 60 s tone through tvplay"
  parec -d deck.monitor --file-format=wav --rate=44100 --channels=2 --format=s16le --latency-msec=25 "$work/tone.wav" &
  capture=$!
  sleep 0.3
  "$bin/tvplay" -v "$work/tone.mp3" 2>&1 | grep -v '^$' || true
  sleep 1
  kill -TERM "$capture"; wait "$capture" 2>/dev/null || true
  "$bin/bench_dropouts" "$work/tone.wav" | tail -n 1
  echo "== run $run: ten songs recorded with a song delay of 1 s"
  "$bin/bench_gaps" 1 "${songs[@]}" || true
done
