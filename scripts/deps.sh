#!/usr/bin/env bash
# deps.sh [--test | --package]: installs the Debian packages that building
# and running need (with --package also those that making the Debian package
# needs, with --test those and what the tests and fixtures need), only when
# some are missing. Runs apt-get update once before installing.
set -euo pipefail

# libqt6svg6: Qt's SVG image and icon plugins, without which Qt cannot load
# the programs' icons (SVG files); no program links them, so nothing else
# pulls them in.
build_packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-multimedia-dev libgl-dev
  libavformat-dev libavcodec-dev libswresample-dev libavutil-dev
  libfluidsynth-dev timgm6mb-soundfont
  libcdio-dev libcdio-paranoia-dev
  libpulse-dev libsodium-dev ca-certificates pulseaudio pulseaudio-utils
  fonts-liberation2 libebur128-dev libfftw3-dev
  libqt6svg6
)
# openssl makes the update tests' server certificate; x11-utils the window title test's xwininfo.
# python3-numpy: the deck check benchmark's offline reference.
test_packages=(ffmpeg sox python3-numpy xvfb xauth x11-utils poppler-utils openssl pipewire pipewire-pulse wireplumber dbus-daemon)
# dpkg-shlibdeps computes the package's dependencies; CPack finds the
# programs with file.
package_packages=(dpkg-dev file)
# The checks of the installed tree and the package (lintian checks the
# package as Debian's archive checks it).
test_packages+=(desktop-file-utils appstream shared-mime-info xdg-utils libglib2.0-bin libfile-mimeinfo-perl man-db librsvg2-bin lintian)

wanted=("${build_packages[@]}")
case "${1:-}" in
  --test) wanted+=("${package_packages[@]}" "${test_packages[@]}") ;;
  --package) wanted+=("${package_packages[@]}") ;;
esac

missing=()
for p in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [[ $(id -u) -ne 0 ]]; then
    sudo_cmd=(sudo)
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
