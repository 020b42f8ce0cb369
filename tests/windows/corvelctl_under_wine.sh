#!/usr/bin/env bash
# End to end on Windows: corvelctl.exe under Wine against the Linux simulator
# on a pseudo-terminal that Wine sees as COM5. It identifies the transmitter
# and downloads a log, which must be byte for byte the one the Linux
# corvelctl downloads from the same simulator.
#   corvelctl_under_wine.sh WINE CORVELCTL_EXE CORVEL_SIM CORVELCTL
# WINEPREFIX names the private Wine prefix.
set -euo pipefail
wine=$1 windows_tool=$2 simulator=$3 linux_tool=$4

work=$(mktemp -d)
simulator_pid=
cleanup() {
  [[ -n $simulator_pid ]] && kill "$simulator_pid" 2>/dev/null && wait "$simulator_pid" 2>/dev/null
  rm -rf "$work"
  return 0
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

mkdir "$work/ports"
"$simulator" --port-dir "$work/ports" --com 5 --model Q712 --log BIG.BIN 400 100 >"$work/sim.out" &
simulator_pid=$!
for _ in $(seq 100); do [[ -s $work/sim.out ]] && break; sleep 0.05; done
read -r _ device <"$work/sim.out" || fail "the simulator did not start"
ln -sfn "$device" "$WINEPREFIX/dosdevices/com5"

identity=$("$wine" "$windows_tool" --port COM5 --json identify) || fail "identify exited with $?"
echo "$identity"
[[ $identity == *'"serial_number":"SIM0000001"'* && $identity == *'"model_code":"Q712"'* ]] ||
  fail "identify did not name the simulated Q712"

# The simulator's third log: several blocks.
"$wine" "$windows_tool" --port COM5 logs download 3 "Z:${work//\//\\}\\windows.bin" ||
  fail "the download under Wine exited with $?"
CORVEL_PORT_DIR=$work/ports "$linux_tool" --port COM5 logs download 3 "$work/linux.bin" >/dev/null ||
  fail "the Linux download exited with $?"
[[ $(stat -c %s "$work/windows.bin") -gt 1024 ]] || fail "the log is too short to span several blocks"
cmp "$work/windows.bin" "$work/linux.bin" || fail "the two downloads differ"
echo "corvelctl.exe identified the transmitter and downloaded $(stat -c %s "$work/windows.bin") bytes, identical"
