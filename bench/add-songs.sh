#!/usr/bin/env bash
# add-songs.sh: time per song added through subAddSong (1,000 files of mixed
# formats) and the side recomputation at 10,000 entries.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" "$root/build" >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$root/tests/fixtures/make-media.sh" "$work" >/dev/null
rm -f "$work"/disc.* "$work"/*.ra
"$root/build/bin/bench_add_songs" "$work"
