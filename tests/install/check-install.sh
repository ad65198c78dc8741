#!/usr/bin/env bash
# check-install.sh BUILD_DIR VERSION: installs the build into a temporary
# prefix and checks the tree as a desktop sees it: the layout, the desktop
# entries and metainfo (validated), the playlist file type and its default
# application in a MIME database of the prefix, the icons, the manual pages,
# and the programs started from the prefix.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.sh"
build=$1
version=$2
tv=org.example.tapevantrel.TapeVantrel
tq=org.example.tapevantrel.TesteQuorvane

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
private_desktop "$work"

if ! cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
  cat "$work/install.log"
  fail "cmake --install into a temporary prefix"
  finish
  exit 1
fi
pass "cmake --install into a temporary prefix"

# The layout: programs in lib/tapevantrel, reached through links in bin.
for program in TapeVantrel TesteQuorvane tvmeasure tvplay; do
  link=$prefix/bin/$program
  if [[ -L $link && "$(readlink "$link")" == "../lib/tapevantrel/$program" && -x $prefix/lib/tapevantrel/$program ]]; then
    pass "bin/$program links to lib/tapevantrel/$program"
  else
    fail "bin/$program is not a link to the program in lib/tapevantrel"
  fi
done
for file in Splash.dll TapeVantrel-Help.html; do
  check "lib/tapevantrel/$file is installed" test -s "$prefix/lib/tapevantrel/$file"
done
check "the help guide is readable in share/doc/tapevantrel" grep -q "<html" "$prefix/share/doc/tapevantrel/TapeVantrel-Help.html"

# Desktop entries and metainfo, validated as distributions validate them.
for id in $tv $tq; do
  check "desktop-file-validate $id.desktop" desktop-file-validate "$prefix/share/applications/$id.desktop"
  check "appstreamcli validate --no-net $id.metainfo.xml" appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml"
  exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$prefix/share/applications/$id.desktop")
  check "$id.desktop starts a program of the prefix ($exec_program)" test -x "$prefix/bin/$exec_program"
  release=$(grep -o '<release version="[^"]*"' "$prefix/share/metainfo/$id.metainfo.xml" | head -n 1 | cut -d'"' -f2)
  expect_equal "$id.metainfo.xml names this version as its newest release" "$version" "$release"
done
expect_equal "TapeVantrel's menu entry is under Audio, Recorder" "AudioVideo;Audio;Recorder;" \
  "$(sed -n 's/^Categories=//p' "$prefix/share/applications/$tv.desktop")"
expect_equal "TesteQuorvane's menu entry is under Game, LogicGame" "Game;LogicGame;" \
  "$(sed -n 's/^Categories=//p' "$prefix/share/applications/$tq.desktop")"

# The playlist file type, in a MIME database built in the prefix, and
# TapeVantrel's entry as the application that opens it.
export XDG_DATA_DIRS=$prefix/share:/usr/share
check "update-mime-database builds the prefix's MIME database" update-mime-database "$prefix/share/mime"
check "update-desktop-database indexes the prefix's desktop entries" update-desktop-database "$prefix/share/applications"
printf '90\r\n000\r\n2\r\nplaylistend\r\n' >"$work/x.tpl"
expect_equal "xdg-mime query filetype x.tpl (generic desktop)" application/x-tapevantrel-playlist \
  "$(xdg-mime query filetype "$work/x.tpl" 2>&1)"
expect_equal "xdg-mime query filetype x.tpl (GNOME, through gio)" application/x-tapevantrel-playlist \
  "$(XDG_CURRENT_DESKTOP=GNOME xdg-mime query filetype "$work/x.tpl" 2>&1)"
expect_equal "xdg-mime query default application/x-tapevantrel-playlist" "$tv.desktop" \
  "$(xdg-mime query default application/x-tapevantrel-playlist 2>&1)"
expect_equal "an empty .tpl file is a playlist by its name" application/x-tapevantrel-playlist \
  "$(: >"$work/empty.tpl"; xdg-mime query filetype "$work/empty.tpl" 2>&1)"

# Icons: scalable, and they render (at 16 px) to a picture that is not empty.
for id in $tv $tq; do
  svg=$prefix/share/icons/hicolor/scalable/apps/$id.svg
  if rsvg-convert -w 16 -h 16 "$svg" -o "$work/$id-16.png" 2>"$work/rsvg.log" &&
    [[ "$(file -b "$work/$id-16.png")" == "PNG image data, 16 x 16,"* ]] &&
    (($(stat -c %s "$work/$id-16.png") > 200)); then
    pass "icon $id.svg renders at 16 px"
  else
    fail "icon $id.svg does not render at 16 px"
    sed 's/^/    /' "$work/rsvg.log"
  fi
done

# Manual pages, rendered by man without a warning.
for page in man1/TapeVantrel.1 man6/TesteQuorvane.6 man1/tvmeasure.1 man1/tvplay.1 man1/tvrender.1; do
  file=$prefix/share/man/$page.gz
  if [[ -s $file ]]; then
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$file" 2>&1 >/dev/null)
    if [[ -z $warnings ]] && LC_ALL=C.UTF-8 man -E UTF-8 -l "$file" 2>/dev/null | grep -q "^NAME"; then
      pass "manual page $page renders without warnings"
    else
      fail "manual page $page: $warnings"
    fi
  else
    fail "manual page $page is missing"
  fi
done

check_programs "$prefix" "$work" "$version" "installed"
finish
