#!/usr/bin/env bash
# Builds the project and runs every test:
#   1. the whole project (core, command-line tool, user interface) under ctest,
#      warnings treated as errors;
#   2. the Qt-free core again under the address and undefined-behaviour
#      sanitizers, under ctest;
#   3. a short run of every fuzz target (clang's libFuzzer);
#   4. the core and corvelctl cross-built for Windows, their tests run under
#      Wine, and corvelctl.exe end to end against the Linux simulator.
# Switches: --plain runs step 1 only, --sanitize step 2 only, --fuzz step 3
# only, --windows step 4 only.
set -euo pipefail
cd "$(dirname "$0")/.."

steps="plain sanitize fuzz windows"
case "${1:-}" in
  "") ;;
  --plain) steps=plain ;;
  --sanitize) steps=sanitize ;;
  --fuzz) steps=fuzz ;;
  --windows) steps=windows ;;
  *) echo "usage: $0 [--plain | --sanitize | --fuzz | --windows]" >&2; exit 2 ;;
esac

scripts/setup.sh
jobs=$(nproc)
source scripts/build-common.sh
build=$(build_folder build)

for step in $steps; do
  case $step in
    plain)
      cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVEL_WERROR=ON "${launcher[@]}"
      cmake --build "$build" -j "$jobs"
      ctest --test-dir "$build" --output-on-failure -j "$jobs"
      ;;
    sanitize)
      sanitize_build=$(build_folder build-sanitize)
      cmake -S . -B "$sanitize_build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCORVEL_WERROR=ON \
        -DCORVEL_SANITIZE=ON -DCORVEL_BUILD_UI=OFF -DCORVEL_BUILD_BENCH=OFF "${launcher[@]}"
      cmake --build "$sanitize_build" -j "$jobs"
      ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --test-dir "$sanitize_build" --output-on-failure -j "$jobs"
      ;;
    fuzz)
      if ! command -v clang++ >/dev/null; then echo "clang++ not found: fuzz targets skipped"; continue; fi
      fuzz_build=$(build_folder build-fuzz)
      CXX=clang++ cmake -S . -B "$fuzz_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVEL_BUILD_FUZZ=ON \
        -DCORVEL_BUILD_UI=OFF -DCORVEL_BUILD_TESTS=OFF -DCORVEL_BUILD_BENCH=OFF "${launcher[@]}"
      cmake --build "$fuzz_build" -j "$jobs"
      scripts/fuzz-smoke.sh "$fuzz_build" "${CORVEL_FUZZ_SECONDS:-20}"
      ;;
    windows)
      # The end-to-end test talks to the Linux simulator and compares with the Linux corvelctl.
      cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVEL_WERROR=ON "${launcher[@]}"
      cmake --build "$build" -j "$jobs" --target corvel-sim corvelctl
      scripts/build-windows.sh -DCORVEL_HOST_BUILD="$PWD/$build"
      ctest --test-dir "$(build_folder build-windows)" --output-on-failure -j "$jobs"
      ;;
  esac
done
