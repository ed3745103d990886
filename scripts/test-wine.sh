#!/usr/bin/env bash
# Runs a Windows build's tests under Wine on a private Xvfb display.
# Usage: scripts/test-wine.sh win64|win32 [build-folder] [extra ctest arguments...]
# The build folder defaults to build/<arch> and must have been built. A JUnit
# report lands in <build-folder>/ctest-junit.xml for scripts/test-summary.sh.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
arch=${1:?usage: test-wine.sh win64|win32 [build-folder] [ctest arguments...]}
shift
build=$(cd "${1:-$root/build/$arch}" && pwd)
shift || true

export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=${WINEDEBUG:--all}
source "$root/scripts/wine-session.sh"
VEXA_WINE=$(wine_launcher "$arch")
trap wine_session_stop EXIT
trap "exit 130" INT TERM

wine_session_start_xvfb
wine_session_start_server
# A hung Wine program must not hold the whole run: each test gets 10 minutes.
ctest --test-dir "$build" --output-on-failure --timeout 600 --output-junit ctest-junit.xml "$@"
