#!/usr/bin/env bash
# Installs the Debian packages that building, running, testing and packaging
# need (dpkg-shlibdeps, lintian, desktop-file-validate and man check the
# package; poppler-utils lets the tests read the commissioning report), when
# any is missing (as root, or through sudo), and the German locale that the
# number-format tests run under. With --windows: what the Windows build and
# its tests under Wine need instead.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev
  libgtest-dev libgmock-dev nlohmann-json3-dev libcli11-dev poppler-utils
  clang libclang-rt-14-dev
  locales
  dpkg-dev file lintian desktop-file-utils man-db groff-base
)
if [[ ${1:-} == --windows ]]; then
  packages=(cmake ninja-build g++-mingw-w64-x86-64 googletest wine64 socat nlohmann-json3-dev libcli11-dev)
fi

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done

# Root runs the installing commands itself; another user through sudo, which
# asks for the password. Without sudo the script says what to run instead.
as_root=()
can_be_root=true
if [[ $(id -u) -ne 0 ]]; then
  if command -v sudo >/dev/null; then as_root=(sudo); else can_be_root=false; fi
fi

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  if ! $can_be_root; then
    echo "These packages are missing and sudo is not installed; run this script as root (su -c 'bash scripts/setup.sh'): ${missing[*]}" >&2
    exit 1
  fi
  "${as_root[@]}" apt-get update -qq
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$' && $can_be_root; then
  "${as_root[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8 || echo "Could not create the de_DE.UTF-8 locale; locale tests will be skipped." >&2
fi
