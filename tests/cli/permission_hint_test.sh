#!/usr/bin/env bash
# An ordinary user and a serial device of a group it is not in: corvelctl keeps
# the exchange's failure text and adds, once, the group and the command that
# joins it. A port that opens but stays silent gives no such hint.
#   permission_hint_test.sh CORVELCTL CORVEL-SIM
# Runs as the user "nobody" when started as root; exits 77 (skipped) when no
# ordinary user can run the programs.
set -euo pipefail
corvelctl=$1
corvel_sim=$2
work=$(mktemp -d)
chmod 755 "$work"
sim_pid=
cleanup() {
  [[ -n $sim_pid ]] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

if [[ $(id -u) -eq 0 ]]; then
  if ! id nobody >/dev/null 2>&1 || ! getent group dialout >/dev/null; then
    echo "SKIP: needs the user nobody and the group dialout to run as an ordinary user"
    exit 77
  fi
  as_user=(setpriv --reuid="$(id -u nobody)" --regid="$(id -g nobody)" --clear-groups)
  group=dialout
  mode=660
else
  # The owner's own bits deny; the group's allow, as for a device of a group
  # the user is not in.
  as_user=()
  group=$(id -gn)
  mode=060
fi
if ! "${as_user[@]}" "$corvelctl" --version >/dev/null 2>&1; then
  echo "SKIP: an ordinary user cannot run $corvelctl (a folder on its path is closed to others)"
  exit 77
fi

# Two denied ports, so that a scan meets the denial twice.
mkdir "$work/ports"
for n in 1 2; do
  device=$work/ttyDENIED$n
  touch "$device"
  chgrp "$group" "$device"
  chmod "$mode" "$device"
  ln -s "$device" "$work/ports/COM$n"
done

status=0
"${as_user[@]}" "$corvelctl" --port "$work/ttyDENIED1" identify 2>"$work/err" || status=$?
[[ $status -eq 1 ]] || { echo "FAIL: identify on a denied port ended with $status"; cat "$work/err"; exit 1; }
grep -q 'SerialTransact failed with error 13: ' "$work/err" || { echo "FAIL: failure text lost"; cat "$work/err"; exit 1; }
grep -q "belongs to the group \"$group\"" "$work/err" || { echo "FAIL: no group named"; cat "$work/err"; exit 1; }
grep -qF "sudo usermod -aG $group \$USER" "$work/err" || { echo "FAIL: no command"; cat "$work/err"; exit 1; }
grep -q 'next login' "$work/err" || { echo "FAIL: no word of the new login"; cat "$work/err"; exit 1; }

"${as_user[@]}" env CORVEL_PORT_DIR="$work/ports" CORVEL_PORT_DIR_ONLY=1 "$corvelctl" scan 2>"$work/err" || true
hints=$(grep -c 'sudo usermod' "$work/err" || true)
[[ $hints -eq 1 ]] || { echo "FAIL: a scan over two denied ports gave $hints hints"; cat "$work/err"; exit 1; }

# A silent transmitter on a pseudo-terminal the user owns: no hint.
mkdir "$work/silent"
chmod 777 "$work/silent"
mkfifo "$work/sim.out"
"${as_user[@]}" "$corvel_sim" --port-dir "$work/silent" --com 3 --fault silent >"$work/sim.out" 2>&1 &
sim_pid=$!
read -r -t 30 started <"$work/sim.out" || started=
[[ $started == "COM3 "* ]] || { echo "FAIL: the simulator did not start: $started"; exit 1; }
"${as_user[@]}" env CORVEL_PORT_DIR="$work/silent" CORVEL_PORT_DIR_ONLY=1 "$corvelctl" --port COM3 identify 2>"$work/err" || true
if grep -q 'usermod' "$work/err"; then
  echo "FAIL: a silent port gave the permission hint"
  cat "$work/err"
  exit 1
fi
echo "permission hint: given once for a denied port, not for a silent one"
