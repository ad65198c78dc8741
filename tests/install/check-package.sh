#!/usr/bin/env bash
# check-package.sh SOURCE_DIR BUILD_DIR VERSION: makes the Debian package of
# the build with scripts/package.sh and checks it: its contents (dpkg-deb -c),
# its control fields and dependencies (dpkg-deb -I: every library the
# programs load comes from a package it depends on, and the data packages are
# named), that lintian finds no error or warning in it, that its changelog
# names this version, that apt could install it here, and the programs run
# from the package extracted into a temporary folder.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.sh"
source_dir=$1
build=$2
version=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
private_desktop "$work"

if ! "$source_dir/scripts/package.sh" "$build" >"$work/package.log" 2>&1; then
  sed 's/^/    /' "$work/package.log"
  fail "scripts/package.sh makes the package"
  finish
  exit 1
fi
deb=$(tail -n 1 "$work/package.log")
arch=$(dpkg --print-architecture)
expect_equal "scripts/package.sh makes tapevantrel_${version}_$arch.deb" "tapevantrel_${version}_$arch.deb" "$(basename "$deb")"

# Contents.
dpkg-deb -c "$deb" >"$work/contents" 2>&1
has() { grep -qE "$1" "$work/contents"; }
for program in TapeVantrel TesteQuorvane tvmeasure tvplay; do
  check "the package holds /usr/lib/tapevantrel/$program" has "^-rwxr-xr-x root/root .* \./usr/lib/tapevantrel/$program$"
  check "the package links /usr/bin/$program to it" has " \./usr/bin/$program -> \.\./lib/tapevantrel/$program$"
done
for path in usr/lib/tapevantrel/Splash.dll usr/lib/tapevantrel/TapeVantrel-Help.html \
  usr/share/applications/org.example.tapevantrel.TapeVantrel.desktop \
  usr/share/applications/org.example.tapevantrel.TesteQuorvane.desktop \
  usr/share/metainfo/org.example.tapevantrel.TapeVantrel.metainfo.xml \
  usr/share/metainfo/org.example.tapevantrel.TesteQuorvane.metainfo.xml \
  usr/share/icons/hicolor/scalable/apps/org.example.tapevantrel.TapeVantrel.svg \
  usr/share/icons/hicolor/scalable/apps/org.example.tapevantrel.TesteQuorvane.svg \
  usr/share/mime/packages/tapevantrel-playlist.xml \
  usr/share/man/man1/TapeVantrel.1.gz usr/share/man/man6/TesteQuorvane.6.gz \
  usr/share/man/man1/tvmeasure.1.gz usr/share/man/man1/tvplay.1.gz usr/share/man/man1/tvrender.1.gz \
  usr/share/doc/tapevantrel/copyright usr/share/doc/tapevantrel/changelog.gz; do
  check "the package holds /$path, owned by root" has "^-rw-r--r-- root/root .* \./$path$"
done
check "the package links the help guide into /usr/share/doc/tapevantrel" \
  has " \./usr/share/doc/tapevantrel/TapeVantrel-Help.html -> \.\./\.\./\.\./lib/tapevantrel/TapeVantrel-Help.html$"
check "every path of the package lies under /usr" sh -c "! awk '{print \$6}' '$work/contents' | grep -v '^\./usr/'"

# Control fields.
dpkg-deb -I "$deb" >"$work/info" 2>&1
expect_equal "Package" tapevantrel "$(dpkg-deb -f "$deb" Package)"
expect_equal "Version" "$version" "$(dpkg-deb -f "$deb" Version)"
expect_equal "Architecture" "$arch" "$(dpkg-deb -f "$deb" Architecture)"
depends=$(dpkg-deb -f "$deb" Depends)
depends_on() { tr ',|' '\n\n' <<<"$depends" | sed 's/^ *//; s/ .*//' | grep -qx "$1"; }
for data in timgm6mb-soundfont fonts-liberation2 qt6-qpa-plugins libqt6svg6; do
  check "Depends names $data" depends_on "$data"
done

# Lintian, as Debian checks packages: every error and every warning fails
# (informational and pedantic tags do not; lintian's output is shown on failure).
check "lintian finds no error or warning in the package" lintian --fail-on error,warning "$deb"

dpkg-deb -x "$deb" "$work/root"

# The changelog's newest entry is this version: a new version needs its entry.
expect_equal "the changelog's newest entry is this version" "$version" \
  "$(zcat "$work/root/usr/share/doc/tapevantrel/changelog.gz" 2>/dev/null | dpkg-parsechangelog -l - -S Version 2>/dev/null)"

# Every library that the programs load is provided by a package named in
# Depends: dpkg-shlibdeps saw them all.
missing=()
for program in TapeVantrel TesteQuorvane tvmeasure tvplay; do
  while read -r library; do
    # "libx.so.1 => /path (address)", or the loader as "/path (address)".
    resolved=$(ldd "$work/root/usr/lib/tapevantrel/$program" |
      awk -v l="$library" '$1 == l {print $3; exit} $1 ~ ("/" l "$") {print $1; exit}')
    owner=
    if [[ -n $resolved ]]; then
      # With a merged /usr a library's path may be known to dpkg with or without it.
      for candidate in "$resolved" "$(readlink -f "$resolved")" "/usr${resolved#/usr}" "${resolved#/usr}"; do
        owner=$(dpkg-query -S "$candidate" 2>/dev/null | head -n 1 | cut -d: -f1)
        [[ -n $owner ]] && break
      done
    fi
    if [[ -z $owner ]] || ! depends_on "$owner"; then
      missing+=("$program: $library (${owner:-no package})")
    fi
  done < <(objdump -p "$work/root/usr/lib/tapevantrel/$program" | awk '$1 == "NEEDED" {print $2}')
done
if ((${#missing[@]} == 0)); then
  pass "every library the four programs load comes from a package in Depends"
else
  fail "libraries not covered by Depends: ${missing[*]}"
fi
check "apt could install the package here (apt-get install --simulate)" \
  sh -c "apt-get install --simulate '$deb' 2>&1 | grep -q '^Inst tapevantrel ($version '"

# The programs, run from the extracted package.
check "the extracted help guide is reachable from /usr/share/doc" test -s "$work/root/usr/share/doc/tapevantrel/TapeVantrel-Help.html"
check_programs "$work/root/usr" "$work" "$version" "extracted package"
finish
