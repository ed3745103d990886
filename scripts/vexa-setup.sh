# Sourced by scripts/run.sh and scripts/screenshots.sh after the Wine session has
# started: the sample configuration and the simulated receiver in the prefix, and
# the helpers that start Vexa and wait for its window.
# Expects $root, $build, $WINEPREFIX and $VEXA_WINE.

VEXA_RECEIVER="Generic Serial IR Receiver"
VEXA_REGISTRY_KEY='HKCU\Software\Marlix\Vexa'

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
  if ! "$VEXA_WINE" reg query "$VEXA_REGISTRY_KEY" /v "Current Device" </dev/null >/dev/null 2>&1; then
    {
      printf '[PortSettings]\r\nBaud=9600\r\nParity=None\r\nStopBits=1\r\nDataBits=8\r\nRTS=Enable\r\nDTR=Enable\r\n'
      printf '[DeviceSettings]\r\nInit=IR\r\nResponse=OK\r\nIRCodeLength=6\r\nLearnSamples=2\r\nTolerance=0\r\n'
      printf '[Device Config]\r\nDeviceName=%s\r\nCOM Port=COM1\r\n' "$VEXA_RECEIVER"
      if [ -x "$vremote" ]; then "$vremote" --print-vdp "Vexa Remote"; fi
    } >"$VEXA_CONFIG_DIR/serial.vdp"
    "$VEXA_WINE" reg add "$VEXA_REGISTRY_KEY" /v "Current Device" /d "$VEXA_RECEIVER" /f </dev/null >/dev/null 2>&1
    grep -q 'Commands\\Vexa Remote\]' "$VEXA_CONFIG" ||
      echo "Note: $VEXA_CONFIG has no remote \"Vexa Remote\"; delete it to get the sample configuration."
  fi
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
