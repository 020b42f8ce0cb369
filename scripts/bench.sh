#!/usr/bin/env bash
# Builds the project and runs every benchmark executable found under
# build/bench, one after the other. Run it on a quiet machine: the figures are
# times and ratios, compared by eye, never checked by the tests.
set -euo pipefail
cd "$(dirname "$0")/.."

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVEL_WERROR=ON "${launcher[@]}"
cmake --build build -j 2

status=0
while IFS= read -r benchmark; do
  echo "== ${benchmark#build/bench/}"
  "$benchmark" || status=1
done < <(find build/bench -type f -executable -name 'bench_*' | sort)
exit $status
