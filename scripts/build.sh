#!/usr/bin/env bash
# build.sh [BUILD_DIR] [cmake options...]: configures (once) and builds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
shift || true
if [[ ! -f "$build/build.ninja" ]]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
elif (($#)); then
  cmake "$build" "$@"
fi
cmake --build "$build" --parallel "$(nproc)"
