#!/usr/bin/env bash
# playlist-file.sh: time to save and to load a playlist file holding 10,000
# entries on each side.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" "$root/build" >/dev/null
"$root/build/bin/bench_playlist_file"
