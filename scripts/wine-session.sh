# Sourced by the Wine scripts: a private X display and a persistent wineserver for
# one run, both stopped again by wine_session_stop (call it from an EXIT trap).
# Expects $WINEPREFIX; $VEXA_WINE is the launcher of the build's architecture
# (scripts/wine, or scripts/wine32 for the 32-bit build; scripts/wine if unset).
#
# Xvfb, the wineserver and Wine's own background processes each get a session of
# their own (setsid): a Ctrl+C in the terminal then reaches only the calling
# script, which stops them. A wineserver that saw it would print a dump of its
# tables, thousands of lines.

WINE_SESSION_XVFB_PID=
WINE_SESSION_SERVER=
WINE_SESSION_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
VEXA_WINE=${VEXA_WINE:-$WINE_SESSION_ROOT/scripts/wine}

# The launcher for an architecture: win64 or win32.
wine_launcher() {
  case $1 in
    win64) echo "$WINE_SESSION_ROOT/scripts/wine" ;;
    win32) echo "$WINE_SESSION_ROOT/scripts/wine32" ;;
    *) echo "unknown Wine architecture: $1 (win64 or win32)" >&2; return 1 ;;
  esac
}

# Runs a Wine program outside the terminal's session, silently, and waits for it.
wine_quiet() {
  setsid -w "$VEXA_WINE" "$@" </dev/null >/dev/null 2>&1
}

# The same, tried up to three times: right after a prefix is made or a server
# stopped, Wine's first answer is sometimes a failure that the next try does not repeat.
wine_quiet_retried() {
  local try
  for try in 1 2 3; do
    wine_quiet "$@" && return 0
    echo "Wine: '$*' failed (try $try of 3)." >&2
    sleep 1
  done
  return 1
}

# Starts Xvfb on a free display and exports DISPLAY. Xvfb picks the number itself
# (-displayfd), so parallel runs cannot collide.
wine_session_start_xvfb() {
  local fifo_dir display
  fifo_dir=$(mktemp -d)
  mkfifo "$fifo_dir/fd"
  setsid Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fifo_dir/fd" >/dev/null 2>&1 &
  WINE_SESSION_XVFB_PID=$!
  if ! read -r -t 20 display <"$fifo_dir/fd"; then
    rm -rf "$fifo_dir"
    echo "Xvfb did not start" >&2
    return 1
  fi
  rm -rf "$fifo_dir"
  export DISPLAY=":$display"
}

# Creates the prefix when missing, then keeps one wineserver alive for the whole run
# so that each program starts in well under a second.
wine_session_start_server() {
  if [ ! -f "$WINEPREFIX/.vexa-desktop" ]; then
    echo "Preparing Wine prefix $WINEPREFIX (takes a few seconds)..."
    wine_quiet cmd /c exit || true
    # A virtual desktop has its own taskbar and tray: without it Wine looks for an
    # X tray for every tray icon, which takes seconds on a bare Xvfb.
    wine_quiet_retried reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f
    wine_quiet_retried reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x800 /f
    /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
    /usr/lib/wine/wineserver -w || true
    touch "$WINEPREFIX/.vexa-desktop"
  fi
  # A server left from an earlier run belongs to a display that may be gone:
  # its processes would fail on this one, so start afresh.
  /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  /usr/lib/wine/wineserver -w >/dev/null 2>&1 || true
  local try
  for try in 1 2 3; do
    setsid -w /usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1 && break
    echo "Wine: the persistent wineserver did not start (try $try of 3)." >&2
    [ "$try" -eq 3 ] && return 1
    /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
    /usr/lib/wine/wineserver -w >/dev/null 2>&1 || true
  done
  WINE_SESSION_SERVER=1
  # Start Wine's own background processes now, detached from our output: started by
  # the first test program they would inherit its pipes, and CTest would wait for
  # them to close until the server goes away.
  wine_quiet cmd /c exit || true
}

wine_session_stop() {
  if [ -n "$WINE_SESSION_SERVER" ]; then
    /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
    /usr/lib/wine/wineserver -w >/dev/null 2>&1 || true
    WINE_SESSION_SERVER=
  fi
  if [ -n "$WINE_SESSION_XVFB_PID" ]; then
    kill "$WINE_SESSION_XVFB_PID" 2>/dev/null || true
    wait "$WINE_SESSION_XVFB_PID" 2>/dev/null || true
    WINE_SESSION_XVFB_PID=
  fi
}
