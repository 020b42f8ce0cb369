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
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Paths relative to the checkout, so that every clone shares one compiler cache.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true

for step in $steps; do
  case $step in
    plain)
      cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVEL_WERROR=ON "${launcher[@]}"
      cmake --build build -j "$jobs"
      ctest --test-dir build --output-on-failure -j "$jobs"
      ;;
    sanitize)
      cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCORVEL_WERROR=ON \
        -DCORVEL_SANITIZE=ON -DCORVEL_BUILD_UI=OFF -DCORVEL_BUILD_BENCH=OFF "${launcher[@]}"
      cmake --build build-sanitize -j "$jobs"
      ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --test-dir build-sanitize --output-on-failure -j "$jobs"
      ;;
    fuzz)
      if ! command -v clang++ >/dev/null; then echo "clang++ not found: fuzz targets skipped"; continue; fi
      CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVEL_BUILD_FUZZ=ON \
        -DCORVEL_BUILD_UI=OFF -DCORVEL_BUILD_TESTS=OFF -DCORVEL_BUILD_BENCH=OFF "${launcher[@]}"
      cmake --build build-fuzz -j "$jobs"
      scripts/fuzz-smoke.sh build-fuzz "${CORVEL_FUZZ_SECONDS:-20}"
      ;;
    windows)
      # The end-to-end test talks to the Linux simulator and compares with the Linux corvelctl.
      cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVEL_WERROR=ON "${launcher[@]}"
      cmake --build build -j "$jobs" --target corvel-sim corvelctl
      scripts/build-windows.sh -DCORVEL_HOST_BUILD="$PWD/build"
      ctest --test-dir build-windows --output-on-failure -j "$jobs"
      ;;
  esac
done
