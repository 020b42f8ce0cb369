#!/usr/bin/env bash
# Runs a Windows test executable under Wine with a pair of joined serial lines:
# two pseudo-terminals joined by socat, seen by Wine as COM7 and COM8, named to
# the test in CORVEL_TEST_PORT and CORVEL_TEST_PEER. Without socat the test
# runs without the pair (the tests that need it say so and skip).
#   run_under_wine.sh WINE EXECUTABLE [ARGUMENTS...]
# WINEPREFIX names the private Wine prefix.
set -euo pipefail
wine=$1
shift

relay=
cleanup() {
  [[ -n $relay ]] && kill "$relay" 2>/dev/null
  rm -rf "${lines:-}"
  return 0
}
trap cleanup EXIT

if command -v socat >/dev/null; then
  lines=$(mktemp -d)
  socat pty,link="$lines/a",raw,echo=0 pty,link="$lines/b",raw,echo=0 &
  relay=$!
  for _ in $(seq 100); do [[ -e $lines/a && -e $lines/b ]] && break; sleep 0.05; done
  ln -sfn "$(readlink "$lines/a")" "$WINEPREFIX/dosdevices/com7"
  ln -sfn "$(readlink "$lines/b")" "$WINEPREFIX/dosdevices/com8"
  export CORVEL_TEST_PORT=COM7 CORVEL_TEST_PEER=COM8
fi
"$wine" "$@"
