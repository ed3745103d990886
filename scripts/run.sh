#!/usr/bin/env bash
# Starts the win64 build of vexa.exe under Wine; builds nothing (run
# `cmake --build --preset win64` first, or `make run`).
#
# With $DISPLAY set the program appears there; otherwise it runs on a private
# Xvfb and a screenshot is saved a few seconds after start. The configuration
# file's place is worked out here from the prefix's %APPDATA%, the same folder
# vexa.exe uses, so the program itself needs no console output.
#
# Environment: VEXA_BUILD (default build/win64); VEXA_RUN_SECONDS stops the
# program after that many seconds (default: run until Ctrl+C or the tray's Exit).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VEXA_BUILD:-$root/build/win64}
exe=$build/vexa/shell/vexa.exe
if [ ! -f "$exe" ]; then
  echo "No $exe: build it first with 'cmake --preset win64 && cmake --build --preset win64'." >&2
  exit 1
fi

export WINEPREFIX=$build/wineprefix
export WINEDEBUG=${WINEDEBUG:--all}
source "$root/scripts/wine-session.sh"
trap wine_session_stop EXIT
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

"$root/scripts/wine" "$exe" &
vexa=$!
echo "Vexa is running (Wine process $vexa, display $DISPLAY)."

if [ -n "$headless" ]; then
  sleep 5
  shot=$build/vexa-screenshot.png
  import -window root "$shot"
  echo "Screenshot: $shot"
fi

if [ -n "${VEXA_RUN_SECONDS:-}" ]; then
  echo "Stopping after $VEXA_RUN_SECONDS seconds."
  sleep "$VEXA_RUN_SECONDS"
  exit 0
fi
echo "Stop it with Ctrl+C here, or with Exit in its tray menu."
wait "$vexa"
