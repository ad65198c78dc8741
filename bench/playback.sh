#!/usr/bin/env bash
# playback.sh: CPU share and peak memory of playing a 60 s MP3 to its end
# through a private PulseAudio null sink, for tvplay (the program's own
# player) beside ffplay, measured with /usr/bin/time -v in one run.
# The other core is kept busy meanwhile, as on a working desktop.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[[ -x $root/build/bin/tvplay ]] || "$root/scripts/build.sh" "$root/build" >/dev/null
work=$(mktemp -d)
source "$root/scripts/sound-server.sh"
cleanup() { kill "${busy:-}" 2>/dev/null || true; stop_private_sound_server; rm -rf "$work"; }
trap cleanup EXIT
start_private_sound_server
echo "sound server: $(tv_sound_server_name)"

ffmpeg -nostdin -loglevel error -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=60" -ac 2 \
  -c:a libmp3lame -q:a 2 "$work/song.mp3"

# A busy loop on the other core.
( while :; do :; done ) &
busy=$!

run() {
  local name=$1; shift
  /usr/bin/time -v "$@" 2> "$work/time.txt" >/dev/null || true
  awk -v name="$name" -F': ' '
    /User time/ { user = $2 } /System time/ { sys = $2 }
    /Elapsed \(wall clock\)/ { n = split($2, p, ":"); wall = 0; for (i = 1; i <= n; i++) wall = wall * 60 + p[i] }
    /Maximum resident set size/ { rss = $2 }
    END { printf "%-8s wall %6.2f s   CPU %5.2f%% of one core   peak memory %6.1f MB\n", name, wall, 100 * (user + sys) / wall, rss / 1024 }' "$work/time.txt"
}

run tvplay "$root/build/bin/tvplay" "$work/song.mp3"
run ffplay ffplay -nodisp -autoexit -loglevel error "$work/song.mp3"
