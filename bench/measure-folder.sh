#!/usr/bin/env bash
# measure-folder.sh [COUNT] [SECONDS]: a folder of COUNT WAV songs of SECONDS
# each (1,000 of 30 s by default, about 5 GB), made with sox, measured by one
# tvmeasure process once the files are in the page cache, beside ffprobe on
# the first 100 of them (one process per file, as a file manager runs it),
# scaled to the whole folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
count=${1:-1000}
seconds=${2:-30}
tool=$root/build/bin/tvmeasure
[[ -x $tool ]] || "$root/scripts/build.sh" "$root/build" >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo "Making $count WAV files of $seconds s in $work ..."
sox -n -r 44100 -c 2 -b 16 "$work/song0.wav" synth "$seconds" sine 440
for ((i = 1; i < count; i++)); do cp "$work/song0.wav" "$work/song$i.wav"; done
cat "$work"/*.wav >/dev/null # into the page cache
echo "$(du -sh "$work" | cut -f1) in the folder"
start=$(date +%s.%N)
"$tool" "$work"/*.wav >"$work/lengths"
ours=$(echo "$(date +%s.%N) - $start" | bc)
wrong=$(awk -v s="$seconds" '$1 != sprintf("%.3f", s)' "$work/lengths" | wc -l)
mapfile -t first < <(ls "$work"/*.wav | head -n 100)
start=$(date +%s.%N)
for f in "${first[@]}"; do ffprobe -v error -show_entries format=duration -of csv=p=0 "$f" >/dev/null; done
theirs=$(echo "($(date +%s.%N) - $start) * $count / ${#first[@]}" | bc)
printf 'tvmeasure, one process:   %6.2f s for %d files (%d with a length other than %d s)\n' "$ours" "$count" "$wrong" "$seconds"
printf 'ffprobe, one per file:    %6.2f s for %d files (from the first %d)\n' "$theirs" "$count" "${#first[@]}"
echo "target: under 1 s for 1,000 files of 30 s"
