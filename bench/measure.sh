#!/usr/bin/env bash
# measure.sh [COUNT]: measuring speed and exactness of tvmeasure beside
# ffprobe and soxi -D, on COUNT (default 300) generated files of mixed
# formats, a third of them VBR MP3 without any header. The ground truth of
# each file is the number of samples a full decode with ffmpeg yields.
# Prints one line per tool: files per second, largest error, files failed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
count=${1:-300}
tool=$root/build/bin/tvmeasure
[[ -x $tool ]] || "$root/scripts/build.sh" "$root/build" >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "Making $count files in $work ..."
kinds=(vbr-noheader vbr-xing cbr wav aiff au flac ogg vbr-noheader)
for ((i = 0; i < count; i++)); do
  kind=${kinds[i % ${#kinds[@]}]}
  [[ $((i % 3)) == 0 ]] && kind=vbr-noheader
  secs=$(( (i * 7919) % 40 + 5 )).$(( (i * 31) % 1000 ))
  freq=$(( 200 + (i * 37) % 800 ))
  src="sine=frequency=$freq:sample_rate=44100:duration=$secs"
  out=$work/f$i
  ff=(ffmpeg -nostdin -loglevel error -y -f lavfi -i "$src" -ac 2)
  case $kind in
    vbr-noheader) "${ff[@]}" -c:a libmp3lame -q:a $((i % 8)) -write_xing 0 -id3v2_version 0 "$out.mp3" ;;
    vbr-xing) "${ff[@]}" -c:a libmp3lame -q:a $((i % 8)) "$out.mp3" ;;
    cbr) "${ff[@]}" -c:a libmp3lame -b:a 192k "$out.mp3" ;;
    wav) "${ff[@]}" -c:a pcm_s16le "$out.wav" ;;
    aiff) "${ff[@]}" -c:a pcm_s16be "$out.aiff" ;;
    au) "${ff[@]}" -c:a pcm_s16be "$out.au" ;;
    flac) "${ff[@]}" -c:a flac "$out.flac" ;;
    ogg) "${ff[@]}" -c:a libvorbis -q:a 4 "$out.ogg" ;;
  esac
done
mapfile -t files < <(ls "$work"/f* | sort -V)

echo "Decoding every file for the ground truth ..."
declare -A truth
for f in "${files[@]}"; do
  bytes=$(ffmpeg -nostdin -loglevel error -i "$f" -f s16le -ac 1 -ar 44100 - | wc -c)
  truth[$f]=$(awk -v b="$bytes" 'BEGIN { printf "%.6f", b / 2 / 44100 }')
done

# score NAME SECONDS_ELAPSED RESULTS_FILE (lines "seconds<TAB>path")
score() {
  local name=$1 elapsed=$2 results=$3
  local maxerr=0 failed=0 worst=""
  for f in "${files[@]}"; do
    got=$(awk -F'\t' -v p="$f" '$2 == p { print $1; exit }' "$results")
    if [[ -z $got || $got == "N/A" ]]; then
      failed=$((failed + 1))
      continue
    fi
    err=$(awk -v a="$got" -v b="${truth[$f]}" 'BEGIN { d = a - b; if (d < 0) d = -d; printf "%.6f", d }')
    if awk -v e="$err" -v m="$maxerr" 'BEGIN { exit !(e > m) }'; then
      maxerr=$err
      worst=$f
    fi
  done
  printf "%-10s %8.1f files/s   largest error %8.4f s   failed %3d   (worst: %s)\n" \
    "$name" "$(awk -v n="${#files[@]}" -v t="$elapsed" 'BEGIN { print n / t }')" "$maxerr" "$failed" "$(basename "${worst:-none}")"
}

now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { print b - a }'; }

t0=$(now)
"$tool" "${files[@]}" > "$work/tv.txt" 2>/dev/null || true
t1=$(now)
tv_time=$(elapsed "$t0" "$t1")

# per_file OUT COMMAND...: runs COMMAND FILE for each file (one process a
# file, as the tool is used) into OUT and prints the seconds it took.
per_file() {
  local out=$1; shift
  local start; start=$(now)
  for f in "${files[@]}"; do
    printf "%s\t%s\n" "$("$@" "$f" 2>/dev/null || echo N/A)" "$f"
  done > "$out"
  elapsed "$start" "$(now)"
}
ffprobe_time=$(per_file "$work/ffprobe.txt" ffprobe -v error -show_entries format=duration -of csv=p=0)
soxi_time=$(per_file "$work/soxi.txt" soxi -D)

echo
echo "${#files[@]} files; error = |measured - full decode|"
score tvmeasure "$tv_time" "$work/tv.txt"
score ffprobe "$ffprobe_time" "$work/ffprobe.txt"
score "soxi -D" "$soxi_time" "$work/soxi.txt"
