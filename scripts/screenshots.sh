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
  vexa_stop_lircd
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

mkdir -p "$out"

# Saves the screen's region X Y W H (as vwindow prints it) to $1.
shoot() {
  local file=$1 x y w h
  read -r x y w h
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$file"
  echo "$file"
}

shoot_window() {  # file title
  local rect
  if rect=$(vexa_window rect-of "$2"); then shoot "$1" <<<"$rect"; else echo "No window \"$2\": no $1." >&2; fi
}

# The hardware page of each receiver vremote plays: the Irbox plug-in's first,
# before anything is changed, so that Vexa ends without a question.
vexa_choose_receiver irbox
VEXA_RUN_DEVICE=irbox vexa_prepare_prefix "$vremote" >/dev/null
setsid "$VEXA_WINE" "$exe" </dev/null >/dev/null 2>&1 &
vexa_pid=$!
vexa_window wait 60
sleep 2
vexa_window page 1
sleep 1
vexa_window rect | shoot "$out/hardware-setup-irbox.png"
# Vexa saves its choice of receiver as it ends: the next choice comes after that.
vexa_window exit
sleep 1
vexa_window click 6 Vexa || true   # "Yes" to "Do you really want to quit?"
for _ in $(seq 150); do kill -0 "$vexa_pid" 2>/dev/null || break; sleep 0.1; done
# The mouse-pad remote's page on COM1, and the command store's "Learn" window
# that its tree's "Learn Remote Button" opens (ids from plugins/padrem/win/resource.h
# and plugins/store/win/store_resource.h).
vexa_choose_receiver padrem
VEXA_RUN_DEVICE=padrem vexa_prepare_prefix "$vremote" >/dev/null
setsid "$VEXA_WINE" "$exe" </dev/null >/dev/null 2>&1 &
vexa_pid=$!
vexa_window wait 60
sleep 2
vexa_window page 1
sleep 1
vexa_window select "Vexa Remote/5" "" 1005 || true   # its Remote, Command and Signature shown
sleep 0.5
vexa_window rect | shoot "$out/hardware-setup-padrem.png"
vexa_window command 1005 310
sleep 1.5
shoot_window "$out/learn-padrem.png" "Learn"
vexa_window click 2 "Learn" || true
sleep 0.5
vexa_window exit
sleep 1
vexa_window click 6 Vexa || true
for _ in $(seq 150); do kill -0 "$vexa_pid" 2>/dev/null || break; sleep 0.1; done
# The network client's "WinLIRC Setup", connected to a local lircd.
vexa_choose_receiver lirc
VEXA_RUN_DEVICE=lirc vexa_prepare_prefix "$vremote" >/dev/null
vexa_start_lircd
setsid "$VEXA_WINE" "$exe" </dev/null >/dev/null 2>&1 &
vexa_pid=$!
vexa_window wait 60
sleep 2
vexa_window page 1
sleep 1
vexa_window rect | shoot "$out/hardware-setup-lirc.png"
vexa_window exit
sleep 1
vexa_window click 6 Vexa || true
for _ in $(seq 150); do kill -0 "$vexa_pid" 2>/dev/null || break; sleep 0.1; done
vexa_stop_lircd
# The TV-card plug-in's page, on the stand-in driver's simulated card (the
# library installs the driver service in this prefix as the plug-in starts).
vexa_choose_receiver tunerbox
VEXA_RUN_DEVICE=tunerbox vexa_prepare_prefix "$vremote" >/dev/null
setsid "$VEXA_WINE" "$exe" </dev/null >/dev/null 2>&1 &
vexa_pid=$!
vexa_window wait 60
sleep 3
vexa_window page 1
sleep 1
vexa_window rect | shoot "$out/hardware-setup-tunerbox.png"
# Its "IR Setup Wizard", page by page, with presses on the simulated card where
# a page waits for them (control ids from plugins/tunerbox/win/resource.h; the
# wizard's Next button is 12324).
wizard_window() {  # page title: prints the title the wizard shows now
  local title
  for _ in $(seq 50); do
    for title in "$1" "IR Setup Wizard"; do
      vexa_window rect-of "$title" >/dev/null && { echo "$title"; return 0; }
    done
    sleep 0.2
  done
  return 1
}
vexa_window click 1103
wizard_pages=("IR Setup Wizard" "IR Setup Step 1" "IR Setup Step 2" "IR Setup Step 3" "IR Setup Step 4"
              "IR Setup Step 5")
for i in "${!wizard_pages[@]}"; do
  title=$(wizard_window "${wizard_pages[$i]}") || { echo "No wizard page \"${wizard_pages[$i]}\"." >&2; break; }
  case $i in
    3) vexa_simcard_press 5 ;;
    4) for key in 1 2 3; do vexa_simcard_press "$key"; sleep 0.6; done ;;
  esac
  sleep 1
  vexa_window rect-of "$title" | shoot "$out/tunerbox-wizard-$i.png"
  [ "$i" -lt 5 ] && vexa_window click 12324 "$title"
  sleep 1.5
done
vexa_window click 2 "${title:-IR Setup Wizard}" || true   # Cancel: the settings stay
sleep 1
vexa_window exit
sleep 1
vexa_window click 6 Vexa || true
for _ in $(seq 150); do kill -0 "$vexa_pid" 2>/dev/null || break; sleep 0.1; done
# The carrier-line receiver's page, on its simulated line (a copy of the program
# with the scripted build of carrio.dll; vremote's line stays quiet for it).
vexa_choose_receiver carrio
VEXA_RUN_DEVICE=carrio vexa_prepare_prefix "$vremote" >/dev/null
setsid "$VEXA_WINE" "$(vexa_simulated_line "$exe")" </dev/null >/dev/null 2>&1 &
vexa_pid=$!
vexa_window wait 60
sleep 2
vexa_window page 1
sleep 1
vexa_window rect | shoot "$out/hardware-setup-carrio.png"
vexa_window exit
sleep 1
vexa_window click 6 Vexa || true
for _ in $(seq 150); do kill -0 "$vexa_pid" 2>/dev/null || break; sleep 0.1; done
vexa_choose_receiver serial
VEXA_RUN_DEVICE=serial vexa_prepare_prefix "$vremote" >/dev/null
# The network client's section mapped its remote into the tree: the tree's pictures show the sample as shipped.
cp "$root/scripts/sample-config.vcp" "$VEXA_CONFIG"

setsid "$VEXA_WINE" "$exe" </dev/null >/dev/null 2>&1 &
vexa_window wait 60
sleep 2

pages=(commands hardware-setup device-selection general-options tcpip-server)
for i in "${!pages[@]}"; do
  vexa_window page "$i"
  sleep 1
  vexa_window rect | shoot "$out/${pages[$i]}.png"
done

# The command editor and its dialogs (control ids from vexa/shell/res/editor_resource.h).
vexa_window page 0
vexa_window select "TV Remote/Media Player"
sleep 1
vexa_window rect | shoot "$out/folder-page.png"
vexa_window select "TV Remote/Volume Up"
sleep 0.5
vexa_window click 2110   # Add Layout: the command now has two
sleep 1
vexa_window rect | shoot "$out/command-editor.png"
# A command that runs another when its button is held (the sample's holds.ini).
vexa_window select "Vexa Remote/1"
sleep 1
vexa_window rect | shoot "$out/command-editor-held.png"
vexa_window select "TV Remote/Volume Up"
sleep 0.5
vexa_window command 2105 2150   # the action list's "Add new action"
sleep 2
for kind in "Execute application:action-file" "Suspend Windows:action-choice" \
            "Switch to window:action-window" "Keystroke to current window:action-keystroke"; do
  vexa_window select "${kind%%:*}" "Action Definition"
  sleep 0.5
  shoot_window "$out/${kind##*:}.png" "Action Definition"
done
vexa_window select "Switch to window" "Action Definition"
vexa_window click 2205 "Action Definition"   # the window field's browse button
sleep 1.5
# A control of the main window, picked in the tree beneath its window (control ids from editor_resource.h).
vexa_window select "Vexa (VexaMainWindow)/ (SysTreeView32)" "Available windows" 2300
sleep 0.5
shoot_window "$out/window-picker.png" "Available windows"
vexa_window click 2 "Available windows"
sleep 0.5
vexa_window select "Keystroke to current window" "Action Definition"
vexa_window click 2208 "Action Definition"   # the keystroke field's browse button
sleep 1.5
shoot_window "$out/keystroke-table.png" "Keystroke Table"
vexa_window click 2 "Keystroke Table"
sleep 0.5
vexa_window select "Set Mouse Position" "Action Definition"
vexa_window click 2205 "Action Definition"   # the position field's browse button
sleep 1.5
shoot_window "$out/mouse-position-tool.png" "Mouse Position Tool"
vexa_window click 2 "Mouse Position Tool"
sleep 0.5
vexa_window select "PostMessage" "Action Definition"
vexa_window type 2203 "Vexa (VexaMainWindow)" "Action Definition"   # the window to watch
vexa_window click 2208 "Action Definition"   # the message field's browse button
sleep 1.5
shoot_window "$out/message-capture.png" "Message Capture"
vexa_window click 2 "Message Capture"
sleep 0.5
vexa_window click 2 "Action Definition"
sleep 0.5

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

# "&About" of the "&Help" menu (ID_HELP_ABOUT, sent beside the "&Help" button, id 104).
vexa_window page 0
vexa_window command 104 1132
sleep 1
shoot_window "$out/about.png" "About Vexa"
vexa_window click 1 "About Vexa"   # its OK
sleep 0.5

# The tray menu opens at the pointer: put it beside the window's corner.
vexa_window page 0
vexa_window tray-menu
sleep 1
if rect=$(vexa_window rect menu); then
  shoot "$out/tray-menu.png" <<<"$rect"
else
  echo "The tray menu did not open: no tray-menu.png." >&2
fi

# Each kind of on-screen display and the preset windows, shown one at a time
# by osd_gallery with the program's own classes; it prints where its window is.
gallery=$build/tools/vwindow/osd_gallery.exe
presets_root=$(mktemp -d)
mkdir -p "$presets_root/presets"
for file in "Living room.vcp" "Living room.vdp" "Kitchen.vcp" "TV card.vdp"; do : >"$presets_root/presets/$file"; done
gallery_root="Z:${presets_root//\//\\}"
gallery_shot() {
  local kind=$1 file=$2 rect_file pid
  rect_file=$(mktemp)
  setsid "$VEXA_WINE" "$gallery" "$kind" "$gallery_root" </dev/null >"$rect_file" 2>/dev/null &
  pid=$!
  for _ in $(seq 150); do [ -s "$rect_file" ] && break; sleep 0.1; done
  if [ -s "$rect_file" ]; then
    shoot "$file" <"$rect_file"
  else
    echo "osd_gallery showed no $kind window: no $(basename "$file")." >&2
  fi
  wait "$pid" 2>/dev/null || true
  rm -f "$rect_file"
}
for kind in volume mute popup popup-held shutdown selector-single selector-extra; do
  gallery_shot "$kind" "$out/osd-$kind.png"
done
gallery_shot osd-settings "$out/osd-settings.png"
gallery_shot export-wizard "$out/export-wizard.png"
gallery_shot preset-manager "$out/preset-manager.png"
gallery_shot learn "$out/learn.png"
rm -rf "$presets_root"
