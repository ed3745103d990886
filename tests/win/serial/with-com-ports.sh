#!/usr/bin/env bash
# Runs a Windows program with COM5 and COM6 of the Wine prefix joined by a
# pseudo-terminal pair, so that a test can play the receiver on COM6.
# Usage: with-com-ports.sh WINE PROGRAM [ARGS...]
# WINE is the build's launcher (scripts/wine or scripts/wine32, CMake's
# CMAKE_CROSSCOMPILING_EMULATOR).
set -euo pipefail
wine=$1
shift
if [ -z "${WINEPREFIX:-}" ]; then
  dir=$(cd "$(dirname "$1")" && pwd)
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  export WINEPREFIX=$dir/wineprefix
fi
[ -f "$WINEPREFIX/system.reg" ] || "$wine" cmd /c exit </dev/null >/dev/null 2>&1 || true

pty_dir=$(mktemp -d)
socat "pty,raw,echo=0,link=$pty_dir/a" "pty,raw,echo=0,link=$pty_dir/b" &
socat_pid=$!
cleanup() {
  rm -f "$WINEPREFIX/dosdevices/com5" "$WINEPREFIX/dosdevices/com6"
  kill "$socat_pid" 2>/dev/null || true
  wait "$socat_pid" 2>/dev/null || true
  rm -rf "$pty_dir"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -e "$pty_dir/a" ] && [ -e "$pty_dir/b" ] && break; sleep 0.05; done
mkdir -p "$WINEPREFIX/dosdevices"
ln -sfn "$pty_dir/a" "$WINEPREFIX/dosdevices/com5"
ln -sfn "$pty_dir/b" "$WINEPREFIX/dosdevices/com6"
"$wine" "$@"
