#!/usr/bin/env bash
# Starts a Windows build of vexa.exe under Wine; builds nothing (`make run`
# builds first).
#
# With $DISPLAY set the program appears there; otherwise it runs on a private
# Xvfb. The configuration file's place is worked out here from the prefix's
# %APPDATA%, the same folder vexa.exe uses, so the program itself needs no
# console output. Each status text Vexa shows goes to a log, read from its
# window by tools/vwindow.
#
# With no receiver configured in the prefix, it sets up the serial plug-in's
# "Generic Serial IR Receiver" on COM1 (VEXA_RUN_DEVICE=irbox: the Irbox
# plug-in's "IRBOX" instead, also in a prefix that has another receiver;
# VEXA_RUN_DEVICE=carrio: the carrier-line plug-in's "Generic CARRIO Line Device",
# its scripted test build in a copy of the program, vremote writing each key's
# frame as line edges; VEXA_RUN_DEVICE=padrem: the mouse-pad remote, whose arrows
# move the pointer; with VEXA_RUN_DEVICE=lirc the network client "WinLIRC" of a
# local lircd, whose events `irsend SIMULATE` makes, and no vremote; with
# VEXA_RUN_DEVICE=tunerbox the TV-card plug-in on the stand-in driver's simulated
# card, whose buttons modules/hwport_sys/simcard.exe presses) with
# the keys of vremote (the simulated remote, built natively) learned as the
# remote "Vexa Remote", and starts vremote
# on COM1: interactive when standard input is a terminal and there is a display;
# otherwise it presses the keys of $VEXA_RUN_KEYS, says what each did, saves a
# screenshot after each when headless, and ends after the last one unless a
# person can still use the window (a terminal and a display).
#
# Environment: VEXA_RUN_ARCH win64 (default) or win32; VEXA_BUILD (default
# build/$VEXA_RUN_ARCH); VEXA_RUN_SECONDS stops the program after that many
# seconds (default: run until Ctrl+C or the tray's Exit); VEXA_RUN_KEYS, e.g.
# "1 2 Up" ("hold:1" holds 1 for 1.5 s where vremote plays the receiver);
# VEXA_RUN_KEY_GAP seconds between them (default 2); VREMOTE, the
# simulator (default build/native/tools/vremote/vremote); VEXA_RUN_PREFIX, the Wine
# prefix (default <build>/wineprefix); VEXA_EXE, the program to start (default
# the build's vexa.exe; an unpacked release archive's, for instance).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
arch=${VEXA_RUN_ARCH:-win64}
build=$(realpath -m "${VEXA_BUILD:-$root/build/$arch}")
exe=${VEXA_EXE:-$build/vexa/shell/vexa.exe}
if [ ! -f "$exe" ]; then
  echo "No $exe: build it first with 'cmake --preset $arch && cmake --build --preset $arch'." >&2
  exit 1
fi

export WINEPREFIX=${VEXA_RUN_PREFIX:-$build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
source "$root/scripts/wine-session.sh"
VEXA_WINE=$(wine_launcher "$arch")
source "$root/scripts/vexa-setup.sh"
vremote=${VREMOTE:-$root/build/native/tools/vremote/vremote}
vremote_pid=
vexa_pid=
vremote_mode=()
keys_dir=
status_log=$build/vexa-status.log
: >"$status_log"
cleanup() {
  if [ -n "$keys_dir" ]; then
    exec 3>&- || true
    rm -rf "$keys_dir"
  fi
  if [ -n "$vremote_pid" ]; then
    kill "$vremote_pid" 2>/dev/null || true
    wait "$vremote_pid" 2>/dev/null || true
  fi
  vexa_stop_lircd
  wine_session_stop
}
trap cleanup EXIT
# One line for Ctrl+C; the EXIT trap stops everything the run started.
trap 'echo "Stopped Vexa."; exit 0' INT
trap 'exit 143' TERM

headless=
if [ -z "${DISPLAY:-}" ]; then
  wine_session_start_xvfb
  headless=1
fi
wine_session_start_server
vexa_prepare_prefix "$vremote"
if [ "$VEXA_PLUGIN" = carrio ]; then
  exe=$(vexa_simulated_line "$exe")
fi
# The mouse-pad remote, also when chosen in the program, gets pad packets; the
# carrier line gets each frame's edges.
if [ "$VEXA_RECEIVER" = "Logitech OEM (AST, PADREM, IBM)" ]; then vremote_mode=(--pad); fi
if [ "$VEXA_PLUGIN" = carrio ]; then vremote_mode=(--carrio); fi

keys=${VEXA_RUN_KEYS:-}
interactive=
lirc=
tunerbox=
if [ "$VEXA_PLUGIN" = lirc ]; then
  lirc=1
  vexa_start_lircd
elif [ "$VEXA_PLUGIN" = tunerbox ]; then
  tunerbox=1
elif [ ! -x "$vremote" ]; then
  echo "No simulated remote ($vremote): build it with 'cmake --build --preset native --target vremote'."
elif [ -t 0 ] && [ -z "$headless" ] && [ -z "$keys" ]; then
  interactive=1
else
  # vremote reads key names from a pipe that this script writes.
  keys_dir=$(mktemp -d)
  mkfifo "$keys_dir/keys"
  "$vremote" --prefix "$WINEPREFIX" --port 1 "${vremote_mode[@]}" <"$keys_dir/keys" >"$build/vremote.log" 2>&1 &
  vremote_pid=$!
  exec 3>"$keys_dir/keys"
  vexa_wait_for_com1
fi

echo "Vexa ($arch build) under Wine, display $DISPLAY."
if [ -n "$lirc" ]; then
  echo "Receiver: \"$VEXA_RECEIVER\" (lirc plug-in), a client of the lircd started here (remote \"vexa\")."
  echo "Press a button (0-9 Up Down Left Right Space Enter):"
  echo "  irsend -d $VEXA_LIRCD_SOCKET SIMULATE \"0000000000000000 00 1 vexa\""
elif [ "$VEXA_PLUGIN" = padrem ]; then
  echo "Receiver: the simulated \"$VEXA_RECEIVER\" (padrem plug-in) on COM1, played by vremote:"
  echo "  its buttons run commands, its arrows are strokes on the pad that move the pointer."
elif [ -n "$tunerbox" ]; then
  echo "Receiver: \"$VEXA_RECEIVER\" (tunerbox plug-in) on the stand-in driver's simulated Bt878 card."
  echo "Press a button (0-9 Up Down Left Right Space Enter are 0x100, 0x200 ... 0x1000 on its GPIO pins):"
  echo "  WINEPREFIX=$WINEPREFIX $VEXA_WINE $build/modules/hwport_sys/simcard.exe press 0x100"
elif [ "$VEXA_PLUGIN" = carrio ]; then
  echo "Receiver: \"$VEXA_RECEIVER\" (carrio plug-in) on COM1, on a simulated carrier line: vremote writes"
  echo "  each key's pulse/space frame as line edges, which carrio.dll's scripted test build (in"
  echo "  $(dirname "$exe"), never shipped) times as the real one times its carrier-detect line."
elif [ -n "$VEXA_PLUGIN" ]; then
  echo "Receiver: the simulated \"$VEXA_RECEIVER\" ($VEXA_PLUGIN plug-in) on COM1, played by vremote."
else
  echo "Receiver: \"$VEXA_RECEIVER\", as chosen in Vexa; vremote plays a receiver on COM1"
  echo "  (VEXA_RUN_DEVICE=serial, irbox, carrio, padrem, lirc or tunerbox sets up one it can play)."
fi
echo "Configuration window: opens at start; closing it leaves Vexa in the tray (the Wine desktop's"
echo "  taskbar): double-click the icon, or Open in its right-click menu, to bring it back."
echo "Configuration file: $VEXA_CONFIG"
if [ -n "$keys_dir" ]; then
  echo "Log: $status_log (each status text Vexa shows); vremote's in $build/vremote.log."
else
  echo "Log: $status_log (each status text Vexa shows)."
fi
echo "TCP/IP server: executed commands as lines on 127.0.0.1:1234 (try: nc 127.0.0.1 1234), unless another port is saved."

# Vexa and the status watcher, outside the terminal's session as the wineserver is.
start_vexa() {
  setsid "$VEXA_WINE" "$exe" </dev/null >/dev/null 2>&1 &
  vexa_pid=$!
  vexa_window wait 60 >/dev/null || return 0
  setsid "$VEXA_WINE" "$build/tools/vwindow/vwindow.exe" watch </dev/null >"$status_log" 2>/dev/null &
}

if { [ -n "$lirc" ] || [ -n "$tunerbox" ]; } && [ -z "$keys" ]; then
  start_vexa
  if [ -n "${VEXA_RUN_SECONDS:-}" ]; then
    echo "Stopping after $VEXA_RUN_SECONDS seconds."
    sleep "$VEXA_RUN_SECONDS"
    exit 0
  fi
  echo "Stop it with Ctrl+C here, or with Exit in its tray menu."
  wait "$vexa_pid" || true
  exit 0
fi

if [ -n "$interactive" ]; then
  # vremote needs the terminal: Vexa starts beside it once COM1 is linked.
  (vexa_wait_for_com1 && start_vexa) &
  echo "Press the keys below; q in vremote or Ctrl+C stops everything."
  "$vremote" --prefix "$WINEPREFIX" --port 1 "${vremote_mode[@]}" || true
  echo "Stopped Vexa."
  exit 0
fi

# The receiver's first press counts only once the device is up: on a loaded
# machine or in a fresh prefix that takes longer than any fixed pause.
wait_until_ready() {
  for _ in $(seq 300); do
    grep -qxE "Ready|Connected to server" "$status_log" && return 0
    kill -0 "$vexa_pid" 2>/dev/null || return 1
    sleep 0.1
  done
  echo "Vexa did not report its receiver ready within 30 s."
  return 1
}

start_vexa
wait_until_ready || true
sleep 0.5  # the window settles
if [ -n "$headless" ]; then
  shot=$build/vexa-screenshot.png
  import -window root "$shot"
  echo "Screenshot: $shot"
fi

# The status texts that appeared since line $1 of the log, joined.
texts_since() { tail -n +"$(($1 + 1))" "$status_log" | paste -sd '|' | sed 's/|/ | /g'; }

if [ -n "$keys_dir" ] || [ -n "$lirc" ] || [ -n "$tunerbox" ]; then
  n=0
  for key in $keys; do
    n=$((n + 1))
    seen=$(wc -l <"$status_log")
    if [ -n "$lirc" ]; then
      vexa_lircd_press "$key"
    elif [ -n "$tunerbox" ]; then
      vexa_simcard_press "$key" || true
    else
      echo "${key/#hold:/hold }" >&3
    fi
    sleep "${VEXA_RUN_KEY_GAP:-2}"
    did=$(texts_since "$seen")
    echo "Pressed $key: ${did:-(no status text)}"
    if [ "${vremote_mode[*]}" = --pad ] && command -v xdotool >/dev/null; then
      echo "  Pointer: $(xdotool getmouselocation 2>/dev/null | cut -d' ' -f1-2)"
    fi
    if [ -n "$headless" ]; then
      shot=$build/vexa-press-$n-$key.png
      import -window root "$shot"
      echo "  Screenshot: $shot"
    fi
  done
  if [ -z "$keys" ]; then
    echo "Press keys with VEXA_RUN_KEYS=\"1 2 Up\" make run (keys: 0-9 Up Down Left Right Space Enter)."
  elif [ -n "$headless" ] || [ ! -t 0 ]; then
    # Nobody can use the window: end once the last press had its time.
    vexa_window exit || true
    for _ in $(seq 50); do kill -0 "$vexa_pid" 2>/dev/null || break; sleep 0.1; done
    echo "Done: ${n} key(s) pressed."
    exit 0
  fi
fi

if [ -n "${VEXA_RUN_SECONDS:-}" ]; then
  echo "Stopping after $VEXA_RUN_SECONDS seconds."
  sleep "$VEXA_RUN_SECONDS"
  exit 0
fi
echo "Stop it with Ctrl+C here, or with Exit in its tray menu."
wait "$vexa_pid" || true
