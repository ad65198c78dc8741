#!/usr/bin/env bash
# build.sh [BUILD_DIR] [cmake options...]: configures (once) and builds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
shift || true
if [[ ! -f "$build/build.ninja" ]]; then
  launcher=()
  # A compiler cache, where one is installed, makes rebuilds of other
  # checkouts of the same sources cheap.
  if command -v ccache >/dev/null 2>&1; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@"
elif (($#)); then
  cmake "$build" "$@"
fi
cmake --build "$build" --parallel "$(nproc)"
