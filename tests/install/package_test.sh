#!/usr/bin/env bash
# The Debian package built by CPack from the build tree: its name carries the
# project version, its dependencies were computed from the programs, and the
# programs unpacked from it run and tell that version. lintian must find no
# error; its warnings, if any, are shown.
#   package_test.sh BUILD-DIR VERSION
set -euo pipefail
build=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || {
  cat "$work/cpack.log"
  exit 1
}
package=$work/out/corvel-setup_${version}_$(dpkg --print-architecture).deb
[[ -f $package ]] || { echo "FAIL: no $(basename "$package")"; ls "$work/out"; exit 1; }

[[ $(dpkg-deb -f "$package" Version) == "$version" ]] || { echo "FAIL: package version"; exit 1; }
depends=$(dpkg-deb -f "$package" Depends)
for library in libc6 libstdc++6 libqt6widgets6 qt6-qpa-plugins; do
  grep -q "$library" <<<"$depends" || { echo "FAIL: Depends lacks $library: $depends"; exit 1; }
done

dpkg-deb -x "$package" "$work/root"
bin=$work/root/usr/bin
for program in corvelctl corvel-sim corvel-setup; do
  shown=$("$bin/$program" --version)
  [[ $shown == "$program $version" ]] || { echo "FAIL: $program --version says \"$shown\""; exit 1; }
done
"$bin/corvelctl" --help | grep -q '^usage: corvelctl' || { echo "FAIL: corvelctl --help"; exit 1; }

if command -v lintian >/dev/null; then
  # lintian ends with a failure status on errors; warnings are listed.
  lintian --fail-on error "$package"
else
  echo "lintian not installed: package not checked by it"
fi
echo "package $(basename "$package"): fine (Depends: $depends)"
