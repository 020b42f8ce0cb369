#!/usr/bin/env bash
# Builds the Windows command-line tool and the core's tests with the MinGW-w64
# cross compiler: build-windows/cli/corvelctl.exe, a self-contained 64-bit
# Windows program. Installs the cross compiler first when it is missing
# (needs root then). Extra arguments go to the CMake configure step.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh --windows
source scripts/build-common.sh
build=$(build_folder build-windows)
cmake -S . -B "$build" -G Ninja --toolchain cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DCORVEL_WERROR=ON "${launcher[@]}" "$@"
cmake --build "$build" -j "$(nproc)"
