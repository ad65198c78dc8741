#!/usr/bin/env bash
# update-download.sh [KIB] [PIECE_BYTES] [INTERVAL_MS]: the longest stall of
# the UI thread while the update window downloads a trickled, signed update
# over HTTPS, beside an idle event loop and curl fetching the same trickle.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" "$root/build" >/dev/null
QT_QPA_PLATFORM=offscreen ${TV_BENCH_WRAP:-} "$root/build/bin/bench_update_download" "$@"
