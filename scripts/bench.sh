#!/usr/bin/env bash
# Builds the project and runs every benchmark executable found under
# build/bench (or the folder build_folder names), one after the other. Run it on a quiet machine: the figures are
# times and ratios, compared by eye, never checked by the tests.
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/build-common.sh
build=$(build_folder build)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVEL_WERROR=ON "${launcher[@]}"
cmake --build "$build" -j 2

status=0
while IFS= read -r benchmark; do
  echo "== ${benchmark#"$build"/bench/}"
  "$benchmark" || status=1
done < <(find "$build/bench" -type f -executable -name 'bench_*' | sort)
exit $status
