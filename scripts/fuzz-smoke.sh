#!/usr/bin/env bash
# Runs every fuzz target found in the build folder for a few seconds each; a
# crash, a sanitizer report or a leak fails the run.
# usage: scripts/fuzz-smoke.sh BUILD_DIR SECONDS
set -euo pipefail
build=$1
seconds=$2
mapfile -t targets < <(find "$build/fuzz" -type f -name 'fuzz_*' -perm -u+x 2>/dev/null | sort)
if ((${#targets[@]} == 0)); then echo "no fuzz targets built"; exit 0; fi
for target in "${targets[@]}"; do
  name=$(basename "$target")
  corpus=$(mktemp -d)
  seeds="fuzz/corpus/${name#fuzz_}"
  [[ -d $seeds ]] && cp -r "$seeds"/. "$corpus"/
  echo "fuzzing $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -print_final_stats=0 "$corpus" >"$corpus.log" 2>&1 || { tail -50 "$corpus.log"; exit 1; }
  rm -rf "$corpus" "$corpus.log"
done
echo "${#targets[@]} fuzz targets ran clean"
