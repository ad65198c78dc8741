#!/usr/bin/env bash
# fuzz-measure.sh KIND [SECONDS]: builds the measuring fuzz target for KIND
# (mp3, midi, header, container or playlist) with clang and libFuzzer (in
# build-fuzz/) and runs it for SECONDS (default 300), starting from real
# files made here with ffmpeg and sox. Each input is measured as adding a
# song measures it; the oracle aborts on a crash, a length out of bounds or
# one that the player's decoder does not confirm. Prints libFuzzer's summary
# and the slowest measurement.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kind=${1:?usage: fuzz-measure.sh mp3|midi|header|container|playlist [SECONDS]}
seconds=${2:-300}
# shellcheck source=fuzz-common.sh
source "$root/bench/fuzz-common.sh"
need_fuzzer_toolchain
for tool in ffmpeg sox; do
  command -v $tool >/dev/null || { echo "fuzz-measure.sh needs $tool: apt-get install $tool" >&2; exit 2; }
done
build=$(fuzz_build_dir)
cmake --build "$build" --target "measure_${kind}_fuzz" >/dev/null
corpus=$build/corpus-$kind
mkdir -p "$corpus" "$build/findings"
ff() { ffmpeg -nostdin -loglevel error -y "$@"; }
tone=(-f lavfi -i "sine=frequency=440:sample_rate=44100:duration=1.5")
case $kind in
  mp3)
    ff "${tone[@]}" -c:a libmp3lame -q:a 4 "$corpus/xing.mp3"
    ff "${tone[@]}" -c:a libmp3lame -b:a 32k -write_xing 0 -id3v2_version 0 "$corpus/plain.mp3"
    ff "${tone[@]}" -ac 1 -ar 22050 -c:a libmp3lame -b:a 24k "$corpus/mpeg2.mp3"
    ff "${tone[@]}" -c:a mp2 -b:a 64k -f mp2 "$corpus/layer2.mp3" ;;
  midi)
    # Two tracks, a tempo change, a note: the bytes of a small type 1 file.
    printf 'MThd\0\0\0\6\0\1\0\2\1\340MTrk\0\0\0\023\0\377\121\3\7\241\40\203\140\377\121\3\17\102\100\0\377\57\0MTrk\0\0\0\015\0\220\74\100\207\100\200\74\0\0\377\57\0' > "$corpus/tempo.mid"
    printf 'MThd\0\0\0\6\0\0\0\1\347\50MTrk\0\0\0\014\0\220\100\100\201\0\200\100\0\0\377\57\0' > "$corpus/smpte.mid" ;;
  header)
    ff "${tone[@]}" -ac 1 -ar 8000 -c:a pcm_u8 "$corpus/a.wav"
    ff "${tone[@]}" -ac 1 -ar 8000 -c:a pcm_s16be "$corpus/a.aiff"
    sox -q -n -r 8000 -c 1 -b 16 "$corpus/a.aifc" synth 0.5 sine 440
    ff "${tone[@]}" -ac 1 -ar 8000 -c:a pcm_mulaw "$corpus/a.au"
    # The first byte picks the file name: keep each seed under its own.
    for f in a.wav:0 a.aiff:1 a.aifc:2 a.au:3; do
      printf "\\$(printf %o "${f#*:}")" | cat - "$corpus/${f%%:*}" > "$corpus/named-${f%%:*}" 2>/dev/null || true
    done ;;
  container)
    ff "${tone[@]}" -ac 1 -c:a flac "$corpus/a.flac"
    ff "${tone[@]}" -ac 1 -c:a libvorbis -q:a 0 "$corpus/a.ogg"
    ff "${tone[@]}" -ac 1 -c:a libopus -b:a 16k "$corpus/a.opus"
    ff "${tone[@]}" -ac 1 -c:a aac -b:a 32k "$corpus/a.m4a" ;;
  playlist)
    printf '#EXTM3U\na.wav\n#EXTINF:1,x\na.wav\nb.m3u\n' > "$corpus/a.m3u"
    printf 'b.m3u\r\nb.m3u\r\nb.m3u\r\n' > "$corpus/fan.m3u" ;;
  *) echo "unknown kind $kind" >&2; exit 2 ;;
esac
cd "$build/findings"
rm -f crash-* timeout-* oom-*
# A measurement that takes 2 s counts as a hang (-timeout). The run goes on
# after a finding (-fork with -ignore_*), so it always lasts SECONDS and
# counts every distinct oracle failure it meets; each is kept in findings/.
log=$build/findings/$kind.log
"$build/bin/measure_${kind}_fuzz" -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 -max_total_time="$seconds" \
  -max_len=262144 -timeout=2 -rss_limit_mb=2048 "$corpus" > "$log" 2>&1 || true
grep -E '^#[0-9]+: ' "$log" | tail -n 1
echo "slowest measurement of any input: $(grep -hoE 'slowest measurement: [0-9]+' "$log" | awk '{print $3}' | sort -n | tail -1) ms"
echo "findings: $(ls crash-* 2>/dev/null | wc -l) crash or oracle, $(ls timeout-* 2>/dev/null | wc -l) timeout, $(ls oom-* 2>/dev/null | wc -l) out of memory"
grep -hE '^oracle:' "$log" | sed -E 's/[0-9]+\.[0-9]+ s/N s/g' | sort | uniq -c | sort -rn | head -n 5
