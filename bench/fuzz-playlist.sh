#!/usr/bin/env bash
# fuzz-playlist.sh [SECONDS]: builds the playlist reader's fuzz target with
# clang and libFuzzer (in build-fuzz/) and runs it for SECONDS (default 600),
# starting from a few real playlist files. Prints libFuzzer's summary.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}
# shellcheck source=fuzz-common.sh
source "$root/bench/fuzz-common.sh"
need_fuzzer_toolchain
build=$(fuzz_build_dir)
cmake --build "$build" --target playlist_reader_fuzz >/dev/null
corpus=$build/corpus
mkdir -p "$corpus" "$build/findings"
printf '90\r\n000\r\n2\r\nplaylista\r\n 475 \r\nC:\\Music\\a.mp3 (03:45)\r\nC:\\Music\\b.mp3 (04:10)\r\nplaylistend\r\n' > "$corpus/cassette.tpl"
printf '80\r\n000\r\n0\r\nplaylista\r\n 250 \r\n/m/Song (live).mp3 (04:10)\r\nplaylistend\r\n' > "$corpus/minidisc.tpl"
printf '00\r\n090\r\n1\r\nplaylista\r\n 5 \r\n/a.wav (00:05)\r\nplaylistb\r\n-3 \r\n/b.wav (1:02:05)\r\nplaylistend\r\n' > "$corpus/both.tpl"
printf '60\r\n000\r\n0\r\nplaylistend\r\n' > "$corpus/empty.tpl"
cd "$build/findings"
"$build/bin/playlist_reader_fuzz" -max_total_time="$seconds" -max_len=65536 -print_final_stats=1 "$corpus" 2>&1 | tail -n 25
