#!/usr/bin/env bash
# Builds the Debian package in one command: a release build of the programs
# with Debian's hardening flags in build-package/, then CPack. The package,
# corvel-setup_<version>_<arch>.deb, is copied to the top folder, where
#   sudo apt install ./corvel-setup_*.deb
# installs it with its dependencies; lintian then checks it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
# All of Debian's hardening, immediate binding included.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
source scripts/build-common.sh
build=$(build_folder build-package)

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCORVEL_BUILD_TESTS=OFF -DCORVEL_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" "${launcher[@]}"
cmake --build "$build" -j "$(nproc)"
rm -rf "$build/package"
cpack -G DEB --config build-package/CPackConfig.cmake -B "$build"/package
package=$(find "$build/package" -maxdepth 1 -name 'corvel-setup_*.deb')
cp "$package" .
lintian --fail-on error "$(basename "$package")"
echo "Built $(basename "$package")"
