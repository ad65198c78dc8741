#!/usr/bin/env bash
# screenshots.sh [OUT_DIR]: photographs every window of both programs on a
# real X server (Xvfb) with a window manager (openbox), as a user sees them:
#   96dpi-9pt    96 dpi, the desktop font at 9 pt (the default without a desktop)
#   96dpi-11pt   96 dpi, the desktop font at 11 pt
#   192dpi       192 dpi on a 2732 x 1536 screen, scaled by Qt (the usual HiDPI case)
#   192dpi-unscaled  192 dpi without Qt's scaling on a 1920 x 1080 screen
# Without a desktop environment Qt takes its font from a KDE settings file
# (XDG_CURRENT_DESKTOP=KDE and kdeglobals' "font" key, read by Qt itself), and
# its dpi from QT_FONT_DPI. Needs a build (scripts/build.sh), Xvfb, openbox
# and imagemagick; the start-up sound needs a sound server, so one of our own
# is started.
# shellcheck source=screenshot-session.sh
source "$(dirname "$0")/screenshot-session.sh"

shoot() { # shoot NAME COMMAND...: runs the window, photographs the screen, ends it
  local name=$1; shift
  "$@" >/dev/null 2>&1 &
  local pid=$!
  # The splash closes when its 1.7 s sound ends: photographed before that.
  if [[ $name == *-splash ]]; then sleep 0.9; else sleep 2.5; fi
  import -window root "$out/$name.png"
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

session() { # session LABEL SCREEN POINTS DPI SCALING
  start_desktop "$@"
  local label=$1
  for window in splash menu tape minidisc about msgbox help mini update recording label deck verify; do
    shoot "$label-$window" "$bin/show_window" "$window"
  done
  shoot "$label-puzzle" "$bin/TesteQuorvane"
  end_desktop
}

session 96dpi-9pt 1366x768 9 96 1
session 96dpi-11pt 1366x768 11 96 1
session 192dpi 2732x1536 9 192 1
session 192dpi-unscaled 1920x1080 9 192 0
echo "Screenshots in $out"
