# Sourced by the install and package checks: reporting, a private desktop
# environment, and the programs run from a tree (an install prefix or an
# extracted package).

checks=0
failures=0

pass() {
  checks=$((checks + 1))
  echo "PASS: $*"
}

fail() {
  checks=$((checks + 1))
  failures=$((failures + 1))
  echo "FAIL: $*"
}

# check DESCRIPTION COMMAND...: runs the command, its output shown on failure.
check() {
  local what=$1 out
  shift
  if out=$("$@" 2>&1); then
    pass "$what"
  else
    fail "$what"
    [[ -z $out ]] || printf '%s\n' "$out" | sed 's/^/    /'
  fi
}

# expect_equal DESCRIPTION EXPECTED ACTUAL
expect_equal() {
  if [[ "$2" == "$3" ]]; then
    pass "$1"
  else
    fail "$1: expected \"$2\", got \"$3\""
  fi
}

finish() {
  echo "$((checks - failures)) passed, $failures failed"
  ((failures == 0))
}

# A home, settings and data folders of our own, so that nothing of the
# machine's user (their default applications, their MIME types) answers.
private_desktop() {
  local work=$1
  export HOME=$work/home
  export XDG_CONFIG_HOME=$work/home/.config
  export XDG_DATA_HOME=$work/home/.local/share
  export XDG_CACHE_HOME=$work/home/.cache
  export XDG_CONFIG_DIRS=$work/etc-xdg
  export XDG_RUNTIME_DIR=$work/runtime
  mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_CONFIG_DIRS" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  unset XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID
}

# A 1.5 s stereo tone for tvmeasure.
make_tone() {
  sox -n -r 44100 -c 2 -b 16 "$1" synth 1.5 sine 440 2>/dev/null
}

# The programs of the tree under ROOT (ROOT/bin/...): tvmeasure measures a
# tone, TesteQuorvane opens its window (offscreen) and keeps running, and
# each program tells its version.
check_programs() {
  local root=$1 work=$2 version=$3 where=$4
  make_tone "$work/tone.wav"
  expect_equal "$where: tvmeasure measures a 1.5 s tone" \
    "$(printf '1.500\t%s' "$work/tone.wav")" "$("$root/bin/tvmeasure" "$work/tone.wav" 2>"$work/tvmeasure.log")"
  [[ ! -s $work/tvmeasure.log ]] || sed 's/^/    /' "$work/tvmeasure.log"
  local status=0
  QT_QPA_PLATFORM=offscreen timeout 3 "$root/bin/TesteQuorvane" >"$work/puzzle.log" 2>&1 || status=$?
  if ((status == 124)); then
    pass "$where: TesteQuorvane starts and runs its window"
  else
    fail "$where: TesteQuorvane ended with status $status instead of running"
    sed 's/^/    /' "$work/puzzle.log"
  fi
  expect_equal "$where: TesteQuorvane --version" "TesteQuorvane $version" "$("$root/bin/TesteQuorvane" --version 2>/dev/null)"
  expect_equal "$where: TapeVantrel --version" "TapeVantrel $version" "$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/bin/TapeVantrel" --version 2>/dev/null)"
  check "$where: TapeVantrel --help without a display" sh -c "env -u DISPLAY -u WAYLAND_DISPLAY '$root/bin/TapeVantrel' --help | grep -q '^Usage: .*TapeVantrel \[options\] \[file\]$'"
}
