#!/usr/bin/env bash
# Runs a Windows program beside a real lircd: unprivileged, everything under a
# temporary folder, the "file" driver, simulated events accepted, listening
# on a free loopback port (VEXA_LIRCD_PORT). The program stops or starts the
# daemon by leaving a file named "stop" or "start" in VEXA_LIRCD_CONTROL,
# which disappears once that is done.
# Usage: with-lircd.sh WINE PROGRAM [ARGS...]
set -euo pipefail
wine=$1
shift
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
lircd=$(command -v lircd || echo /usr/sbin/lircd)
dir=$(mktemp -d)
mkdir "$dir/control"
cp "$here/network-remotes.conf" "$dir/remotes.conf"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
lircd_pid=
start_lircd() {
  "$lircd" -n -H file -d "$dir/transmitted.txt" -o "$dir/socket" -P "$dir/lircd.pid" -L "$dir/lircd.log" \
    --listen="127.0.0.1:$port" -a "$dir/remotes.conf" >/dev/null 2>&1 &
  lircd_pid=$!
  for _ in $(seq 200); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && return 0
    sleep 0.05
  done
  echo "with-lircd.sh: lircd did not listen on port $port" >&2
  cat "$dir/lircd.log" >&2 || true
  return 1
}
stop_lircd() {
  [ -n "$lircd_pid" ] || return 0
  kill "$lircd_pid" 2>/dev/null || true
  wait "$lircd_pid" 2>/dev/null || true
  lircd_pid=
}
control_loop() {
  while :; do
    if [ -e "$dir/control/stop" ]; then stop_lircd; rm -f "$dir/control/stop"; fi
    if [ -e "$dir/control/start" ]; then start_lircd; rm -f "$dir/control/start"; fi
    sleep 0.05
  done
}
cleanup() {
  [ -n "${control_pid:-}" ] && kill "$control_pid" 2>/dev/null || true
  [ -f "$dir/lircd.pid" ] && kill "$(cat "$dir/lircd.pid")" 2>/dev/null || true
  rm -rf "$dir"
}
trap cleanup EXIT
# The control loop owns the daemon: it starts the first one too.
control_loop &
control_pid=$!
touch "$dir/control/start"
for _ in $(seq 300); do [ -e "$dir/control/start" ] || break; sleep 0.05; done
[ ! -e "$dir/control/start" ] || { echo "with-lircd.sh: lircd did not start" >&2; exit 1; }
export VEXA_LIRCD_PORT=$port
export VEXA_LIRCD_CONTROL=$dir/control
"$wine" "$@"
