#!/usr/bin/env bash
# Runs the win64 build's tests under Wine on a private Xvfb display.
# Usage: scripts/test-win64.sh [build-folder] [extra ctest arguments...]
# The build folder defaults to build/win64 and must have been built.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build/win64}" && pwd)
shift || true

export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=${WINEDEBUG:--all}
source "$root/scripts/wine-session.sh"
trap wine_session_stop EXIT
trap "exit 130" INT TERM

wine_session_start_xvfb
wine_session_start_server
# A hung Wine program must not hold the whole run: each test gets 10 minutes.
ctest --test-dir "$build" --output-on-failure --timeout 600 "$@"
