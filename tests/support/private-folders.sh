#!/usr/bin/env bash
# private-folders.sh PROGRAM [ARGS...]: runs one test program with settings,
# cache, data and home folders of its own, made fresh for this run and removed
# after it, so that test runs on one machine never see each other's files.
set -u
root=$(mktemp -d "${TMPDIR:-/tmp}/tv-test.XXXXXX")
mkdir -p "$root/home" "$root/config" "$root/cache" "$root/data" "$root/state"
export TV_TEST_PRIVATE_DIR=$root
export HOME=$root/home
export XDG_CONFIG_HOME=$root/config XDG_CACHE_HOME=$root/cache XDG_DATA_HOME=$root/data XDG_STATE_HOME=$root/state
"$@"
status=$?
rm -rf "$root"
exit $status
