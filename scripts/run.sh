#!/usr/bin/env bash
# Starts the win64 build of vexa.exe under Wine; builds nothing (run
# `cmake --build --preset win64` first, or `make run`).
#
# With $DISPLAY set the program appears there; otherwise it runs on a private
# Xvfb and a screenshot is saved a few seconds after start. The configuration
# file's place is worked out here from the prefix's %APPDATA%, the same folder
# vexa.exe uses, so the program itself needs no console output.
#
# With no receiver configured in the prefix, it sets up the serial plug-in's
# "Generic Serial IR Receiver" on COM1 with the keys of vremote (the simulated
# remote, built natively) learned as the remote "Vexa Remote", and starts vremote
# on COM1: interactive when standard input is a terminal and there is a display,
# otherwise it presses the keys of $VEXA_RUN_KEYS after start-up (a screenshot
# after each press when headless).
#
# Environment: VEXA_BUILD (default build/win64); VEXA_RUN_SECONDS stops the
# program after that many seconds (default: run until Ctrl+C or the tray's Exit);
# VEXA_RUN_KEYS, e.g. "1 2 Up"; VEXA_RUN_KEY_GAP seconds between them (default 2);
# VREMOTE, the simulator (default build/native/tools/vremote/vremote).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "${VEXA_BUILD:-$root/build/win64}")
exe=$build/vexa/shell/vexa.exe
if [ ! -f "$exe" ]; then
  echo "No $exe: build it first with 'cmake --preset win64 && cmake --build --preset win64'." >&2
  exit 1
fi

export WINEPREFIX=$build/wineprefix
export WINEDEBUG=${WINEDEBUG:--all}
source "$root/scripts/wine-session.sh"
vremote=${VREMOTE:-$root/build/native/tools/vremote/vremote}
vremote_pid=
keys_dir=
cleanup() {
  if [ -n "$keys_dir" ]; then
    exec 3>&- || true
    rm -rf "$keys_dir"
  fi
  if [ -n "$vremote_pid" ]; then
    kill "$vremote_pid" 2>/dev/null || true
    wait "$vremote_pid" 2>/dev/null || true
  fi
  wine_session_stop
}
trap cleanup EXIT
trap 'exit 130' INT TERM

headless=
if [ -z "${DISPLAY:-}" ]; then
  wine_session_start_xvfb
  headless=1
fi
wine_session_start_server

wine_cmd() { "$root/scripts/wine" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
appdata=$(wine_cmd winepath -u "$(wine_cmd cmd /c echo %APPDATA%)")
config_dir=${appdata%/}/Vexa
config=$config_dir/current.vcp
if [ ! -f "$config" ]; then
  mkdir -p "$config_dir"
  cp "$root/scripts/sample-config.vcp" "$config"
  echo "Installed the sample configuration."
fi
echo "Configuration file: $config"

# A receiver anyone can press: only when none is configured, so a choice made in
# the program stays.
registry_key='HKCU\Software\Marlix\Vexa'
if ! "$root/scripts/wine" reg query "$registry_key" /v "Current Device" </dev/null >/dev/null 2>&1; then
  {
    printf '[PortSettings]\r\nBaud=9600\r\nParity=None\r\nStopBits=1\r\nDataBits=8\r\nRTS=Enable\r\nDTR=Enable\r\n'
    printf '[DeviceSettings]\r\nInit=IR\r\nResponse=OK\r\nIRCodeLength=6\r\nLearnSamples=2\r\nTolerance=0\r\n'
    printf '[Device Config]\r\nDeviceName=Generic Serial IR Receiver\r\nCOM Port=COM1\r\n'
    if [ -x "$vremote" ]; then "$vremote" --print-vdp "Vexa Remote"; fi
  } >"$config_dir/serial.vdp"
  "$root/scripts/wine" reg add "$registry_key" /v "Current Device" /d "Generic Serial IR Receiver" /f \
    </dev/null >/dev/null 2>&1
  echo "Receiver: Generic Serial IR Receiver on COM1 ($config_dir/serial.vdp)."
  grep -q 'Commands\\Vexa Remote\]' "$config" ||
    echo "Note: $config has no remote \"Vexa Remote\"; delete it to get the sample configuration."
fi

# Waits until vremote has linked COM1 of the prefix to its pseudo-terminal.
wait_for_com1() {
  for _ in $(seq 100); do
    case $(readlink "$WINEPREFIX/dosdevices/com1" 2>/dev/null) in /dev/pts/*) return 0 ;; esac
    sleep 0.05
  done
  echo "vremote did not link COM1." >&2
}

interactive=
if [ ! -x "$vremote" ]; then
  echo "No simulated remote ($vremote): build it with 'cmake --build --preset native --target vremote'."
elif [ -t 0 ] && [ -z "$headless" ] && [ -z "${VEXA_RUN_KEYS:-}" ]; then
  interactive=1
else
  # vremote reads key names from a pipe that this script writes.
  keys_dir=$(mktemp -d)
  mkfifo "$keys_dir/keys"
  "$vremote" --prefix "$WINEPREFIX" --port 1 <"$keys_dir/keys" >"$build/vremote.log" 2>&1 &
  vremote_pid=$!
  exec 3>"$keys_dir/keys"
  wait_for_com1
fi

if [ -n "$interactive" ]; then
  # vremote needs the terminal: Vexa starts beside it once COM1 is linked.
  (wait_for_com1 && exec "$root/scripts/wine" "$exe") &
  vexa=$!
  echo "Vexa is starting (display $DISPLAY). Press the keys below; q in vremote stops both."
  "$vremote" --prefix "$WINEPREFIX" --port 1
  exit 0
fi

"$root/scripts/wine" "$exe" &
vexa=$!
echo "Vexa is running (Wine process $vexa, display $DISPLAY)."

if [ -n "$headless" ] || [ -n "$keys_dir" ]; then
  sleep 5
fi
if [ -n "$headless" ]; then
  shot=$build/vexa-screenshot.png
  import -window root "$shot"
  echo "Screenshot: $shot"
fi
if [ -n "$keys_dir" ]; then
  n=0
  for key in ${VEXA_RUN_KEYS:-}; do
    n=$((n + 1))
    echo "$key" >&3
    echo "Pressed $key."
    sleep "${VEXA_RUN_KEY_GAP:-2}"
    if [ -n "$headless" ]; then
      shot=$build/vexa-press-$n-$key.png
      import -window root "$shot"
      echo "Screenshot: $shot"
    fi
  done
  [ -n "${VEXA_RUN_KEYS:-}" ] || echo "Press keys with VEXA_RUN_KEYS=\"1 2 Up\" make run (keys: 0-9 Up Down Left Right Space Enter)."
  echo "vremote's log: $build/vremote.log"
fi

if [ -n "${VEXA_RUN_SECONDS:-}" ]; then
  echo "Stopping after $VEXA_RUN_SECONDS seconds."
  sleep "$VEXA_RUN_SECONDS"
  exit 0
fi
echo "Stop it with Ctrl+C here, or with Exit in its tray menu."
wait "$vexa"
