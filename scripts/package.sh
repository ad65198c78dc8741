#!/usr/bin/env bash
# package.sh [BUILD_DIR]: makes the Debian package tapevantrel_<version>_<arch>.deb
# with CPack and prints its path on the last line. Without BUILD_DIR it makes
# a release build of its own in build-package/ (no tests, no benchmarks) with
# Debian's hardening build flags; with one it packages that build as it is
# (the tests package the test build). Installs what building and packaging
# need first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" --package

if (($#)); then
  build=$(cd "$1" && pwd)
  cmake --build "$build" --parallel "$(nproc)"
else
  build=$root/build-package
  # The flags Debian builds its packages with (dpkg-buildflags), with all of
  # its hardening: a stack protector, fortified libc calls (_FORTIFY_SOURCE)
  # and relocations made read-only at start (relro, bindnow). No -g: the
  # package's programs are stripped. Release's -O3 comes after their -O2.
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CXXFLAGS_MAINT_STRIP=-g
  cxxflags="$(cd "$root" && dpkg-buildflags --get CPPFLAGS) $(cd "$root" && dpkg-buildflags --get CXXFLAGS)"
  ldflags=$(dpkg-buildflags --get LDFLAGS)
  "$root/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release -DTV_BUILD_TESTS=OFF -DTV_BUILD_BENCH=OFF \
    "-DCMAKE_CXX_FLAGS=$cxxflags" "-DCMAKE_EXE_LINKER_FLAGS=$ldflags"
fi

out=$build/package
rm -rf "$out"
mkdir -p "$out"
(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || {
  cat "$out/cpack.log" >&2
  echo "package.sh: cpack failed" >&2
  exit 1
}
deb=$(find "$out" -maxdepth 1 -name 'tapevantrel_*.deb' | head -n 1)
if [[ -z "$deb" ]]; then
  cat "$out/cpack.log" >&2
  echo "package.sh: cpack made no package" >&2
  exit 1
fi
echo "$deb"
