#!/usr/bin/env bash
# check-configure.sh CHECKS: the update settings a build is configured with,
# as rows: what must stop the configure step, and what must pass.
set -uo pipefail
checks=$1
key=$(printf '0123456789abcdef%.0s' 1 2 3 4)
failures=0
row() { # row NAME expect(pass|fail) MESSAGE_PART ARGS...
  local name=$1 expect=$2 part=$3
  shift 3
  local out rc
  out=$(cmake "$@" -P "$checks" 2>&1)
  rc=$?
  if [[ $expect == pass && $rc -eq 0 ]] || [[ $expect == fail && $rc -ne 0 && $out == *"$part"* ]]; then
    echo "ok   $name"
  else
    echo "FAIL $name (exit $rc): $out"
    failures=$((failures + 1))
  fi
}
row "no update folder at all" pass "" 
row "folder, key and web site" pass "" -DTV_UPDATE_URL=https://example.org/u/ -DTV_WEB_SITE=https://example.org/ -DTV_UPDATE_PUBLIC_KEY=$key
row "folder without web site" fail "without TV_WEB_SITE" -DTV_UPDATE_URL=https://example.org/u/ -DTV_UPDATE_PUBLIC_KEY=$key
row "folder without key" fail "without TV_UPDATE_PUBLIC_KEY" -DTV_UPDATE_URL=https://example.org/u/ -DTV_WEB_SITE=https://example.org/
row "plain http folder" fail "must be an https" -DTV_UPDATE_URL=http://example.org/u/ -DTV_WEB_SITE=https://example.org/ -DTV_UPDATE_PUBLIC_KEY=$key
row "short key" fail "64 hex digits" -DTV_UPDATE_URL=https://example.org/u/ -DTV_WEB_SITE=https://example.org/ -DTV_UPDATE_PUBLIC_KEY=abcd
exit $((failures > 0))
