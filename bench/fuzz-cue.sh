#!/usr/bin/env bash
# fuzz-cue.sh [SECONDS]: builds the CUE sheet fuzz target with clang and
# libFuzzer (in build-fuzz/) and runs it for SECONDS (default 300) in a
# folder holding a raw, a WAVE and a FLAC data file of two seconds, starting
# from real sheets over each. Prints libFuzzer's summary.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-300}
# shellcheck source=fuzz-common.sh
source "$root/bench/fuzz-common.sh"
need_fuzzer_toolchain
build=$(fuzz_build_dir)
cmake --build "$build" --target cue_sheet_fuzz >/dev/null
corpus=$build/corpus-cue
work=$build/cue-files
mkdir -p "$corpus" "$work"
ff() { ffmpeg -nostdin -loglevel error -y "$@"; }
ff -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=2" -ac 2 -f s16le "$work/disc.bin"
ff -f s16le -ar 44100 -ac 2 -i "$work/disc.bin" "$work/disc.wav"
ff -f s16le -ar 44100 -ac 2 -i "$work/disc.bin" "$work/disc.flac"
printf 'FILE "disc.bin" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n  TRACK 02 AUDIO\n    INDEX 00 00:00:50\n    INDEX 01 00:01:00\n' > "$corpus/raw.cue"
printf 'FILE "disc.wav" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n    POSTGAP 00:00:10\n  TRACK 02 AUDIO\n    PREGAP 00:00:05\n    INDEX 01 00:01:00\n' > "$corpus/wave.cue"
printf 'FILE "disc.flac" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\nFILE "disc.bin" BINARY\n  TRACK 02 AUDIO\n    INDEX 01 00:00:10\n  TRACK 03 MODE1/2352\n    INDEX 01 00:01:00\n' > "$corpus/two.cue"
cd "$work"
"$build/bin/cue_sheet_fuzz" -max_total_time="$seconds" -max_len=4096 -timeout=10 -print_final_stats=1 "$corpus" 2>&1 | tail -n 25
