# Sourced by scripts/run.sh and scripts/screenshots.sh after the Wine session has
# started: the sample configuration and the simulated receiver in the prefix, and
# the helpers that start Vexa and wait for its window.
# Expects $root, $build, $WINEPREFIX and $VEXA_WINE.

VEXA_REGISTRY_KEY='HKCU\Software\Marlix\Vexa'

# The receiver vremote plays: VEXA_RUN_DEVICE=serial (the default, the serial
# plug-in's generic model) or irbox (the Irbox plug-in's "IRBOX").
vexa_choose_receiver() {
  case ${1:-serial} in
    serial) VEXA_RECEIVER="Generic Serial IR Receiver" VEXA_PLUGIN=serial ;;
    irbox) VEXA_RECEIVER="IRBOX" VEXA_PLUGIN=irbox ;;
    *) echo "VEXA_RUN_DEVICE is serial or irbox, not \"$1\"." >&2; exit 2 ;;
  esac
}
vexa_choose_receiver "${VEXA_RUN_DEVICE:-}"

vexa_wine_text() { "$VEXA_WINE" "$@" </dev/null 2>/dev/null | tr -d '\r'; }

# Sets VEXA_CONFIG_DIR and VEXA_CONFIG; installs the sample configuration when
# there is none, and a receiver anyone can press when none is configured (so a
# choice made in the program stays). $1: the vremote program, may be missing.
vexa_prepare_prefix() {
  local vremote=$1 appdata
  appdata=$(vexa_wine_text winepath -u "$(vexa_wine_text cmd /c echo %APPDATA%)")
  VEXA_CONFIG_DIR=${appdata%/}/Vexa
  VEXA_CONFIG=$VEXA_CONFIG_DIR/current.vcp
  if [ ! -f "$VEXA_CONFIG" ]; then
    mkdir -p "$VEXA_CONFIG_DIR"
    cp "$root/scripts/sample-config.vcp" "$VEXA_CONFIG"
    echo "Installed the sample configuration."
  fi
  local current
  current=$(vexa_wine_text reg query "$VEXA_REGISTRY_KEY" /v "Current Device" | sed -n 's/.*REG_SZ *//p' || true)
  # A receiver chosen in the program stays, unless VEXA_RUN_DEVICE asks for another.
  if [ -z "$current" ] || { [ -n "${VEXA_RUN_DEVICE:-}" ] && [ "$current" != "$VEXA_RECEIVER" ]; }; then
    # Switching keeps a settings file someone already learned buttons into.
    [ -n "$current" ] && [ -f "$VEXA_CONFIG_DIR/$VEXA_PLUGIN.vdp" ] || vexa_write_receiver_settings "$vremote"
    "$VEXA_WINE" reg add "$VEXA_REGISTRY_KEY" /v "Current Device" /d "$VEXA_RECEIVER" /f </dev/null >/dev/null 2>&1
    grep -q 'Commands\\Vexa Remote\]' "$VEXA_CONFIG" ||
      echo "Note: $VEXA_CONFIG has no remote \"Vexa Remote\"; delete it to get the sample configuration."
  elif [ "$current" != "$VEXA_RECEIVER" ]; then
    VEXA_RECEIVER=$current VEXA_PLUGIN=
  fi
}

# The plug-in's settings file with vremote's keys learned as "Vexa Remote" on
# COM1 (the Irbox plug-in has no settings of its own).
vexa_write_receiver_settings() {
  local vremote=$1
  {
    if [ "$VEXA_PLUGIN" = serial ]; then
      printf '[PortSettings]\r\nBaud=9600\r\nParity=None\r\nStopBits=1\r\nDataBits=8\r\nRTS=Enable\r\nDTR=Enable\r\n'
      printf '[DeviceSettings]\r\nInit=IR\r\nResponse=OK\r\nIRCodeLength=6\r\nLearnSamples=2\r\nTolerance=0\r\n'
    fi
    printf '[Device Config]\r\nDeviceName=%s\r\nCOM Port=COM1\r\n' "$VEXA_RECEIVER"
    if [ -x "$vremote" ]; then "$vremote" --print-vdp "Vexa Remote"; fi
  } >"$VEXA_CONFIG_DIR/$VEXA_PLUGIN.vdp"
}

# Waits until vremote has linked COM1 of the prefix to its pseudo-terminal.
vexa_wait_for_com1() {
  for _ in $(seq 100); do
    case $(readlink "$WINEPREFIX/dosdevices/com1" 2>/dev/null) in /dev/pts/*) return 0 ;; esac
    sleep 0.05
  done
  echo "vremote did not link COM1." >&2
  return 1
}

# vwindow, the helper that reads and drives Vexa's main window from outside.
vexa_window() { setsid -w "$VEXA_WINE" "$build/tools/vwindow/vwindow.exe" "$@" </dev/null 2>/dev/null; }
