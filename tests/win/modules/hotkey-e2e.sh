#!/usr/bin/env bash
# A key typed on the X display (xdotool) while another program's window has
# the focus reaches Vexa's hook and starts the command with that hot key.
# Usage: hotkey-e2e.sh WINE PROBE   (WINE: scripts/wine or scripts/wine32)
set -euo pipefail
wine=$1
probe=$2
command -v xdotool >/dev/null || { echo "xdotool is missing (scripts/install-deps.sh installs it)"; exit 1; }
out=$(mktemp)
notepad_pid=
cleanup() {
  [ -n "$notepad_pid" ] && kill "$notepad_pid" 2>/dev/null || true
  kill "$probe_pid" 2>/dev/null || true
  rm -f "$out"
}
trap cleanup EXIT

"$wine" "$probe" 60000 >"$out" 2>&1 &
probe_pid=$!
for _ in $(seq 600); do grep -q '^ready' "$out" && break; sleep 0.1; done
grep -q '^ready' "$out" || { echo "the probe never got its hook:"; cat "$out"; exit 1; }

"$wine" notepad >/dev/null 2>&1 &
notepad_pid=$!
window=
for _ in $(seq 300); do
  # Viewable only: X refuses the focus to a window not mapped yet.
  window=$(xdotool search --onlyvisible --name 'Notepad' 2>/dev/null | head -n1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "notepad's window never showed"; exit 1; }
xdotool windowfocus --sync "$window"
# X has given notepad the focus; the key goes once Wine has it in front too.
for _ in $(seq 100); do grep -q '^front .*Notepad' "$out" && break; sleep 0.1; done
grep -q '^front .*Notepad' "$out" || { echo "notepad never came to the front:"; cat "$out"; exit 1; }
xdotool key F9

wait "$probe_pid" || { echo "probe failed:"; cat "$out"; exit 1; }
# Windows programs end their lines with CR LF.
tr -d '\r' <"$out" >"$out.lines" && mv "$out.lines" "$out"
cat "$out"
grep -qx 'started Keys/Lights' "$out"
# The key came while the other program had the focus.
grep -q '^focus .*Notepad' "$out" && ! grep -q '(this program)' "$out"
