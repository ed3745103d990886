#!/usr/bin/env bash
# PNGs of Vexa's windows, each cropped to the window, taken on a private Xvfb
# with the sample configuration and the simulated receiver: the configuration
# window's pages, the shutdown window and the tray menu. Builds nothing (`make screenshots` does).
# Usage: scripts/screenshots.sh [folder]   (default docs/screenshots)
# Environment: VEXA_RUN_ARCH (win64 or win32), VEXA_BUILD, VREMOTE as for scripts/run.sh.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
arch=${VEXA_RUN_ARCH:-win64}
build=$(realpath -m "${VEXA_BUILD:-$root/build/$arch}")
out=$(realpath -m "${1:-$root/docs/screenshots}")
exe=$build/vexa/shell/vexa.exe
[ -f "$exe" ] || { echo "No $exe: build it first (make screenshots does)." >&2; exit 1; }

# A prefix of its own, set back to the sample configuration each time, so that
# the pictures do not show what someone changed in `make run`.
export WINEPREFIX=$build/wineprefix-screenshots
export WINEDEBUG=${WINEDEBUG:--all}
unset DISPLAY
source "$root/scripts/wine-session.sh"
VEXA_WINE=$(wine_launcher "$arch")
source "$root/scripts/vexa-setup.sh"
vremote=${VREMOTE:-$root/build/native/tools/vremote/vremote}
vremote_pid=
keys_dir=
cleanup() {
  [ -n "$keys_dir" ] && { exec 3>&- || true; rm -rf "$keys_dir"; }
  [ -n "$vremote_pid" ] && { kill "$vremote_pid" 2>/dev/null || true; wait "$vremote_pid" 2>/dev/null || true; }
  wine_session_stop
}
trap cleanup EXIT
trap 'exit 130' INT TERM

wine_session_start_xvfb
wine_session_start_server
"$VEXA_WINE" reg delete "$VEXA_REGISTRY_KEY" /f </dev/null >/dev/null 2>&1 || true
appdata=$(vexa_wine_text winepath -u "$(vexa_wine_text cmd /c echo %APPDATA%)")
rm -rf "${appdata%/}/Vexa"
vexa_prepare_prefix "$vremote" >/dev/null

# The receiver answers, so the device page shows it ready.
if [ -x "$vremote" ]; then
  keys_dir=$(mktemp -d)
  mkfifo "$keys_dir/keys"
  "$vremote" --prefix "$WINEPREFIX" --port 1 <"$keys_dir/keys" >/dev/null 2>&1 &
  vremote_pid=$!
  exec 3>"$keys_dir/keys"
  vexa_wait_for_com1
fi

setsid "$VEXA_WINE" "$exe" </dev/null >/dev/null 2>&1 &
vexa_window wait 60
sleep 2
mkdir -p "$out"

# Saves the screen's region X Y W H (as vwindow prints it) to $1.
shoot() {
  local file=$1 x y w h
  read -r x y w h
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$file"
  echo "$file"
}

pages=(commands hardware-setup device-selection)
for i in "${!pages[@]}"; do
  vexa_window page "$i"
  sleep 1
  vexa_window rect | shoot "$out/${pages[$i]}.png"
done

# The shutdown countdown's last seconds; aborted before anything ends.
vexa_window shutdown 15
sleep 3
if rect=$(vexa_window rect shutdown); then
  shoot "$out/shutdown-window.png" <<<"$rect"
else
  echo "The shutdown window did not open: no shutdown-window.png." >&2
fi
vexa_window abort-shutdown || true
sleep 1

# The tray menu opens at the pointer: put it beside the window's corner.
vexa_window page 0
vexa_window tray-menu
sleep 1
if rect=$(vexa_window rect menu); then
  shoot "$out/tray-menu.png" <<<"$rect"
else
  echo "The tray menu did not open: no tray-menu.png." >&2
fi
