#!/usr/bin/env bash
# screenshots-levels.sh [OUT_DIR]: photographs the cassette workspace's level
# tools on a real X server (Xvfb) with a window manager (openbox), as a user
# sees them, in the sessions of bench/screenshots.sh (96 dpi with a 9 pt and
# an 11 pt desktop font, 192 dpi scaled by Qt):
#   menu     the playlist popup menu with the level items after its separator
#   tooltip  an entry's loudness tool tip
#   tone     the calibration tone's window with its Stop button
#   check    the level check's window with its Stop button
#   render   the progress window of Render Side to File
# Songs are made with ffmpeg first. Needs a build (scripts/build.sh), Xvfb,
# openbox, imagemagick and ffmpeg; the tools play, so a private sound server
# is started.
# shellcheck source=screenshot-session.sh
source "$(dirname "$0")/screenshot-session.sh"

# song FILE SECONDS SOURCE: a stereo 44.1 kHz song made by ffmpeg from a lavfi source.
song() {
  ffmpeg -nostdin -loglevel error -y -f lavfi -i "$3:duration=$2:sample_rate=44100" -ac 2 "$1"
}
songs=$work/Music
mkdir -p "$songs" "$work/Long"
song "$songs/01 - Quiet Ballad.flac" 20 "anoisesrc=color=pink:amplitude=0.05"
song "$songs/02 - Loud Modern Master.mp3" 30 "anoisesrc=color=pink:amplitude=0.9"
song "$songs/03 - Old CD Transfer.wav" 15 "anoisesrc=color=brown:amplitude=0.3"
# A 45-minute side for the render, so that its progress window stays up.
song "$work/long.flac" 300 "sine=frequency=440"
for i in 1 2 3 4 5 6 7 8 9; do ln -s "$work/long.flac" "$work/Long/0$i - Long Song.flac"; done

shoot() { # shoot NAME TOOL FOLDER: runs the tool until it is ready, photographs the screen, ends it
  local name=$1 tool=$2 folder=$3
  coproc shown { exec "$bin/show_level_tools" "$tool" "$folder" 2>/dev/null; }
  local pid=$shown_PID line=
  read -r -t 30 line <&"${shown[0]}" || true
  [[ $line == ready ]] || echo "$name: the window did not come up" >&2
  sleep 0.5 # the window manager's frame and the tool tip's fade
  import -window root "$out/$name.png"
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

session() { # session LABEL SCREEN POINTS DPI SCALING
  start_desktop "$@"
  local label=$1
  for tool in menu tooltip tone check; do
    shoot "$label-levels-$tool" "$tool" "$songs"
  done
  shoot "$label-levels-render" render "$work/Long"
  end_desktop
}

session 96dpi-9pt 1366x768 9 96 1
session 96dpi-11pt 1366x768 11 96 1
session 192dpi 2732x1536 9 192 1
echo "Screenshots in $out"
