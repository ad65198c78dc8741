#!/usr/bin/env bash
# render.sh [SONGS]: renders a 45-minute side (SONGS songs, default 12, of
# MP3 and FLAC, a 2 s song delay) with tvrender to WAV and to FLAC, beside
# ffmpeg decoding and joining the same files and silences into one WAV; then
# measures the songs' loudness with our meter beside ffmpeg's ebur128 filter.
# Prints wall time, times real time and peak memory of each.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
songs=${1:-12}
bin=$root/build/bin
[[ -x $bin/tvrender && -x $bin/bench_loudness ]] || "$root/scripts/build.sh" "$root/build" >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
side_seconds=2700
song_seconds=$(( (side_seconds - (songs - 1) * 2) / songs )) # 300 ms steps aside

echo "Making $songs songs of $song_seconds s in $work ..."
files=()
for ((i = 0; i < songs; i++)); do
  src="anoisesrc=color=pink:amplitude=0.$((2 + i % 7)):duration=$song_seconds:sample_rate=44100"
  if ((i % 2)); then out=$work/s$i.flac; codec=(-c:a flac); else out=$work/s$i.mp3; codec=(-c:a libmp3lame -b:a 192k); fi
  ffmpeg -nostdin -loglevel error -y -f lavfi -i "$src" -ac 2 "${codec[@]}" "$out"
  files+=("$out")
done

tpl=$work/side.tpl
{
  printf '3\r\n0\r\n2\r\nplaylista\r\n %d \r\n' $((songs * song_seconds))
  for f in "${files[@]}"; do printf '%s (%02d:%02d)\r\n' "$f" $((song_seconds / 60)) $((song_seconds % 60)); done
  printf 'playlistend\r\n'
} > "$tpl"

# run NAME COMMAND...: wall seconds and peak resident memory (MB).
run() {
  local name=$1; shift
  local t0 t1
  t0=$(date +%s.%N)
  /usr/bin/time -f '%M' -o "$work/mem" "$@" >/dev/null 2>"$work/err" || { echo "$name failed:"; cat "$work/err"; return 1; }
  t1=$(date +%s.%N)
  awk -v n="$name" -v a="$t0" -v b="$t1" -v m="$(tail -1 "$work/mem")" -v s="$side_seconds" \
    'BEGIN { w = b - a; printf "%-34s %7.2f s  %6.0fx real time  %6.1f MB peak\n", n, w, s / w, m / 1024 }'
}

echo "== rendering a 45-minute side"
run "tvrender side A to WAV" "$bin/tvrender" "$tpl" --side A "$work/ours.wav"
run "tvrender side A to FLAC" "$bin/tvrender" "$tpl" --side A "$work/ours.flac"
# The reference: ffmpeg decodes every song (MP3 and FLAC alike) and joins
# them with the same 2.3 s silences (300 ms step + 2 s delay, 101430 frames)
# through its concat filter into one 44.1 kHz stereo s16 WAV. (The concat
# demuxer cannot do this: it takes its stream parameters from the first file
# and does not decode mixed codecs into one stream.)
gap_frames=$((44100 * 2300 / 1000))
inputs=() graph='' joined=''
for ((i = 0; i < songs; i++)); do
  inputs+=(-i "${files[i]}")
  if ((i)); then
    graph+="anullsrc=r=44100:cl=stereo,atrim=end_sample=$gap_frames[g$i];"
    joined+="[g$i]"
  fi
  graph+="[$i:a]aresample=44100,aformat=sample_fmts=s16:channel_layouts=stereo[s$i];"
  joined+="[s$i]"
done
graph+="${joined}concat=n=$((2 * songs - 1)):v=0:a=1[side]"
run "ffmpeg concat filter to WAV (ref.)" ffmpeg -nostdin -loglevel error -y "${inputs[@]}" -filter_complex "$graph" -map '[side]' -c:a pcm_s16le "$work/ref.wav"
# frames FILE: the audio frames a file holds, as ffprobe counts them.
frames() { ffprobe -v error -select_streams a:0 -count_packets -show_entries stream=duration_ts -of csv=p=0 "$1"; }
echo "tvrender WAV: $(stat -c %s "$work/ours.wav") bytes, $(frames "$work/ours.wav") frames"
echo "ffmpeg WAV:   $(stat -c %s "$work/ref.wav") bytes, $(frames "$work/ref.wav") frames"
echo "tvrender FLAC: $(frames "$work/ours.flac") frames"

echo "== loudness measuring of the same $songs files"
printf 'tvlevels meter (bench_loudness): '
"$bin/bench_loudness" "${files[@]}"
t2=$(date +%s.%N)
for f in "${files[@]}"; do ffmpeg -nostdin -nostats -hide_banner -i "$f" -af ebur128=peak=true -f null - 2>/dev/null; done
t3=$(date +%s.%N)
awk -v n="$songs" -v a="$t2" -v b="$t3" -v s="$((songs * song_seconds))" \
  'BEGIN { w = b - a; printf "ffmpeg -af ebur128=peak=true: %d files in %.2f s: %.1f files/s, %.0fx real time\n", n, w, n / w, s / w }'
