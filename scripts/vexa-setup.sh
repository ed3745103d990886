# Sourced by scripts/run.sh and scripts/screenshots.sh after the Wine session has
# started: the sample configuration and the simulated receiver in the prefix, and
# the helpers that start Vexa and wait for its window.
# Expects $root, $build, $WINEPREFIX and $VEXA_WINE.

VEXA_REGISTRY_KEY='HKCU\Software\Marlix\Vexa'

# The receiver vremote plays: VEXA_RUN_DEVICE=serial (the default, the serial
# plug-in's generic model), irbox (the Irbox plug-in's "IRBOX"), carrio (the
# carrier-line plug-in's generic model, on a simulated line: vexa_simulated_line)
# or padrem (the mouse-pad remote, vremote --pad); or lirc: the network client
# "WinLIRC" of a local lircd (vexa_start_lircd); or tunerbox: the TV-card plug-in
# on the stand-in driver's simulated card (vexa_simcard_press).
vexa_choose_receiver() {
  case ${1:-serial} in
    serial) VEXA_RECEIVER="Generic Serial IR Receiver" VEXA_PLUGIN=serial ;;
    irbox) VEXA_RECEIVER="IRBOX" VEXA_PLUGIN=irbox ;;
    carrio) VEXA_RECEIVER="Generic CARRIO Line Device" VEXA_PLUGIN=carrio ;;
    lirc) VEXA_RECEIVER="WinLIRC" VEXA_PLUGIN=lirc ;;
    padrem) VEXA_RECEIVER="Logitech OEM (AST, PADREM, IBM)" VEXA_PLUGIN=padrem ;;
    tunerbox) VEXA_RECEIVER="TV Capture Board" VEXA_PLUGIN=tunerbox ;;
    *) echo "VEXA_RUN_DEVICE is serial, irbox, carrio, padrem, lirc or tunerbox, not \"$1\"." >&2; exit 2 ;;
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
    cp "$root/scripts/sample-holds.ini" "$VEXA_CONFIG_DIR/holds.ini"
    echo "Installed the sample configuration."
  fi
  local current
  current=$(vexa_wine_text reg query "$VEXA_REGISTRY_KEY" /v "Current Device" | sed -n 's/.*REG_SZ *//p' || true)
  # A receiver chosen in the program stays, unless VEXA_RUN_DEVICE asks for another.
  if [ -z "$current" ] || { [ -n "${VEXA_RUN_DEVICE:-}" ] && [ "$current" != "$VEXA_RECEIVER" ]; }; then
    # Switching keeps a settings file someone already learned buttons into.
    if [ "$VEXA_PLUGIN" = lirc ]; then
      vexa_add_lirc_remote
    elif [ "$VEXA_PLUGIN" = padrem ]; then
      vexa_write_padrem_settings "$vremote"
    elif [ "$VEXA_PLUGIN" = tunerbox ]; then
      vexa_write_tunerbox_settings
    elif [ -z "$current" ] || [ ! -f "$VEXA_CONFIG_DIR/$VEXA_PLUGIN.vdp" ]; then
      vexa_write_receiver_settings "$vremote"
    fi
    "$VEXA_WINE" reg add "$VEXA_REGISTRY_KEY" /v "Current Device" /d "$VEXA_RECEIVER" /f </dev/null >/dev/null 2>&1
    grep -q 'Commands\\Vexa Remote\]' "$VEXA_CONFIG" ||
      echo "Note: $VEXA_CONFIG has no remote \"Vexa Remote\"; delete it to get the sample configuration."
  elif [ "$current" != "$VEXA_RECEIVER" ]; then
    VEXA_RECEIVER=$current VEXA_PLUGIN=
    # A carrier-line model chosen earlier works only on the simulated line.
    case $current in
      "Generic CARRIO Line Device" | "LIRC Basic Device" | "Packard Bell Fast Media") VEXA_PLUGIN=carrio ;;
    esac
  fi
}

# The plug-in's settings file with vremote's keys learned as "Vexa Remote" on
# COM1 (the Irbox plug-in has no settings of its own; the carrier line's are
# learned by timing).
vexa_write_receiver_settings() {
  local vremote=$1
  {
    if [ "$VEXA_PLUGIN" = serial ]; then
      printf '[PortSettings]\r\nBaud=9600\r\nParity=None\r\nStopBits=1\r\nDataBits=8\r\nRTS=Enable\r\nDTR=Enable\r\n'
      printf '[DeviceSettings]\r\nInit=IR\r\nResponse=OK\r\nIRCodeLength=6\r\nLearnSamples=2\r\nTolerance=0\r\n'
    fi
    printf '[Device Config]\r\nDeviceName=%s\r\nCOM Port=COM1\r\n' "$VEXA_RECEIVER"
    if [ -x "$vremote" ]; then "$vremote" $(vexa_vremote_line) --print-vdp "Vexa Remote"; fi
  } >"$VEXA_CONFIG_DIR/$VEXA_PLUGIN.vdp"
}

# The mouse-pad remote keeps its settings and buttons in the registry: COM1,
# the pad moving the pointer, and vremote's buttons learned as "Vexa Remote"
# unless buttons were learned there already.
vexa_write_padrem_settings() {
  local vremote=$1 key="$VEXA_REGISTRY_KEY\\padrem.dll" reg name code
  "$VEXA_WINE" reg query "$key\\Commands" </dev/null >/dev/null 2>&1 && return 0
  reg=$(mktemp --suffix=.reg)
  {
    printf 'REGEDIT4\r\n\r\n[%s]\r\n"COM Port"="COM1"\r\n"Mousepad"=dword:00000001\r\n' "${key/HKCU/HKEY_CURRENT_USER}"
    printf '\r\n[%s\\Commands\\Vexa Remote]\r\n' "${key/HKCU/HKEY_CURRENT_USER}"
    if [ -x "$vremote" ]; then
      "$vremote" --print-pad-codes | while read -r name code; do printf '"%s"=dword:%08x\r\n' "$name" "$code"; done
    fi
  } >"$reg"
  "$VEXA_WINE" reg import "$(vexa_wine_text winepath -w "$reg")" </dev/null >/dev/null 2>&1
  rm -f "$reg"
}

# The keys the simulated card's remote has, each shown on GPIO bits 8..15 as
# its position in this list, counted from 1.
VEXA_SIMCARD_KEYS=(0 1 2 3 4 5 6 7 8 9 Up Down Left Right Space Enter)
vexa_simcard_code() {
  local i
  for i in "${!VEXA_SIMCARD_KEYS[@]}"; do
    [ "${VEXA_SIMCARD_KEYS[$i]}" = "$1" ] && { printf '0x%x' $(((i + 1) << 8)); return 0; }
  done
  return 1
}

# The TV-card plug-in configured as its setup wizard leaves a card that shows
# a button on bits 8..15 while it is held, with the keys learned as "Vexa Remote".
vexa_write_tunerbox_settings() {
  local key="$VEXA_REGISTRY_KEY\\tunerbox.dll" name value
  for name in out_en btnup_mask btndwn_mask flags; do
    "$VEXA_WINE" reg add "$key" /v "$name" /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
  done
  "$VEXA_WINE" reg add "$key" /v mask /t REG_DWORD /d 0xff00 /f </dev/null >/dev/null 2>&1
  for name in "${VEXA_SIMCARD_KEYS[@]}"; do
    value=$(vexa_simcard_code "$name")
    "$VEXA_WINE" reg add "$key\\Commands\\Vexa Remote" /v "$name" /t REG_DWORD /d "$value" /f \
      </dev/null >/dev/null 2>&1
  done
}

# Holds a key of the simulated card's remote for 300 ms.
vexa_simcard_press() {
  local code
  code=$(vexa_simcard_code "$1") || { echo "No key \"$1\" on the simulated card's remote." >&2; return 1; }
  "$VEXA_WINE" "$build/modules/hwport_sys/simcard.exe" press "$code" 300 </dev/null >/dev/null 2>&1
}

# The network client names the remote as lircd does, in one word: the sample
# configuration's "Vexa Remote" commands are added again as remote "vexa".
vexa_add_lirc_remote() {
  grep -q '^\[Commands\\vexa\]' "$VEXA_CONFIG" 2>/dev/null && return 0
  if ! grep -q '^\[Commands\\Vexa Remote\]' "$VEXA_CONFIG" 2>/dev/null; then
    echo "Note: $VEXA_CONFIG has no remote \"Vexa Remote\" in text form to map lircd's \"vexa\" to."
    return 0
  fi
  sed -n '/^\[Commands\\Vexa Remote[]\\]/,/^\[Commands\\[^V]/p' "$VEXA_CONFIG" |
    sed '/^\[Commands\\[^V]/d; s/^\[Commands\\Vexa Remote/[Commands\\vexa/' >>"$VEXA_CONFIG"
}

# A local lircd for the network client: unprivileged, everything in a
# temporary folder, the "file" driver, simulated events allowed, on a free
# loopback port that the client's settings name. Sets VEXA_LIRCD_SOCKET and
# VEXA_LIRCD_PID; vexa_stop_lircd ends it.
vexa_start_lircd() {
  local lircd port
  lircd=$(command -v lircd || echo /usr/sbin/lircd)
  VEXA_LIRCD_DIR=$(mktemp -d)
  VEXA_LIRCD_SOCKET=$VEXA_LIRCD_DIR/lircd.socket
  port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  "$lircd" -n -H file -d "$VEXA_LIRCD_DIR/transmitted.txt" -o "$VEXA_LIRCD_SOCKET" -P "$VEXA_LIRCD_DIR/lircd.pid" \
    -L "$VEXA_LIRCD_DIR/lircd.log" --listen="127.0.0.1:$port" -a "$root/scripts/lircd-sample.conf" \
    </dev/null >/dev/null 2>&1 &
  VEXA_LIRCD_PID=$!
  for _ in $(seq 100); do [ -S "$VEXA_LIRCD_SOCKET" ] && break; sleep 0.05; done
  [ -S "$VEXA_LIRCD_SOCKET" ] || { echo "lircd did not start (see $VEXA_LIRCD_DIR/lircd.log)." >&2; return 1; }
  "$VEXA_WINE" reg add "$VEXA_REGISTRY_KEY\\lirc.dll" /v PORT /t REG_DWORD /d "$port" /f </dev/null >/dev/null 2>&1
  "$VEXA_WINE" reg add "$VEXA_REGISTRY_KEY\\lirc.dll" /v IP /d 127.0.0.1 /f </dev/null >/dev/null 2>&1
}

vexa_stop_lircd() {
  [ -n "${VEXA_LIRCD_PID:-}" ] || return 0
  kill "$VEXA_LIRCD_PID" 2>/dev/null || true
  wait "$VEXA_LIRCD_PID" 2>/dev/null || true
  rm -rf "$VEXA_LIRCD_DIR"
  VEXA_LIRCD_PID=
}

# A button of lircd's remote "vexa", as a held button's first event.
vexa_lircd_press() { irsend -d "$VEXA_LIRCD_SOCKET" SIMULATE "0000000000000000 00 $1 vexa" >/dev/null; }

# vremote's option for the line it plays when its codes are printed: the carrier
# line's are timing codes.
vexa_vremote_line() { if [ "$VEXA_PLUGIN" = carrio ]; then echo --carrio; fi; }

# A pseudo-terminal has no carrier-detect line: the run uses a copy of the
# program (in <build>/simulated-line) whose devices folder holds carrio.dll's
# scripted test build, which replays the edges vremote writes on COM1. The
# build's own devices folder keeps the real plug-in. Prints the copy's vexa.exe.
vexa_simulated_line() {
  local exe=$1 from to scripted
  from=$(dirname "$exe")
  to=$build/simulated-line
  scripted=$build/plugins/carrio/win/scripted/carrio.dll
  if [ ! -f "$scripted" ]; then
    echo "No $scripted: build it with 'cmake --build --preset ${VEXA_RUN_ARCH:-win64} --target carrio_scripted'." >&2
    return 1
  fi
  rm -rf "$to"
  mkdir -p "$to"
  cp -p "$from"/*.exe "$from"/*.dll "$from"/vk.key "$to"/
  for dir in devices presets apps help winamp; do
    if [ -d "$from/$dir" ]; then cp -rp "$from/$dir" "$to/"; fi
  done
  cp -p "$scripted" "$to/devices/carrio.dll"
  echo "$to/vexa.exe"
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
