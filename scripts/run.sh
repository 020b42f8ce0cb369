#!/usr/bin/env bash
# Builds the utility and starts it.
#   scripts/run.sh [ARGUMENTS...]
# With a USB or serial adapter attached (/dev/ttyUSB*, /dev/ttyACM*) the
# utility starts plainly and Find Device searches the real ports. Without one
# it starts in demo mode (--simulate) against a simulated transmitter. Extra
# arguments are passed on, e.g. `scripts/run.sh --simulate Q710`.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "run.sh: no graphical display (DISPLAY and WAYLAND_DISPLAY are both empty)." >&2
  echo "run.sh: corvel-setup is a desktop program; start it from a desktop session or with X forwarding (ssh -X)." >&2
  exit 1
fi

scripts/setup.sh
source scripts/build-common.sh
build=$(build_folder build)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}"
cmake --build "$build" --target corvel-setup corvel-sim -j "$(nproc)"

arguments=("$@")
if ! compgen -G "/dev/ttyUSB*" >/dev/null && ! compgen -G "/dev/ttyACM*" >/dev/null; then
  if [[ " ${arguments[*]-} " != *" --simulate "* ]]; then
    echo "run.sh: no transmitter attached (no /dev/ttyUSB*, /dev/ttyACM*): starting in demo mode." >&2
    arguments=(--simulate "${arguments[@]}")
  fi
fi
exec "$build/ui/corvel-setup" "${arguments[@]}"
