#!/usr/bin/env bash
# A scripted headless `make run` presses its keys, says what each did, saves a
# screenshot after each, then ends by itself with status 0 and leaves nothing
# running. $1: the receiver to simulate (VEXA_RUN_DEVICE), default the run's own.
set -uo pipefail
device=${1:-}
root=${VEXA_SOURCE:?}
prefix=${VEXA_RUN_PREFIX:?}
build=$root/build/${VEXA_RUN_ARCH:-win64}
out=$(mktemp)
trap 'rm -f "$out"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Processes of the run: everything it started carries its prefix in the environment.
left_running() {
  grep -lsz "^WINEPREFIX=$prefix\$" /proc/[0-9]*/environ 2>/dev/null | cut -d/ -f3 |
    while read -r pid; do ps -o pid=,args= -p "$pid"; done
}

rm -f "$build"/vexa-press-*.png
start=$(date +%s)
# vremote plays the default receiver and can hold a key: the sample holds 1 to run 2.
keys="1 2 Up"
[ -z "$device" ] && keys="$keys hold:1"
env -u DISPLAY -u MAKEFLAGS -u MFLAGS -u MAKELEVEL ${device:+VEXA_RUN_DEVICE=$device} VEXA_RUN_KEYS="$keys" VEXA_RUN_KEY_GAP=2 timeout 240 make -C "$root" --no-print-directory run \
  </dev/null >"$out" 2>&1
rc=$?
echo "--- make run printed:"
cat "$out"
echo "--- after $(($(date +%s) - start)) s, exit status $rc"

[ "$rc" -eq 0 ] || fail "exit status $rc, not 0"
n=0
for key in 1 2 Up; do
  n=$((n + 1))
  line=$(grep "^Pressed $key: " "$out") || { fail "no line for the press of $key"; continue; }
  grep -q "(no status text)" <<<"$line" && fail "the press of $key showed no status text"
  shot=$build/vexa-press-$n-$key.png
  grep -q "Screenshot: $shot" "$out" || fail "no screenshot path printed for $key"
  [ "$(head -c 8 "$shot" 2>/dev/null | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
    fail "$shot is not a PNG"
done
# The sample configuration starts Notepad on 1: its action reported back.
grep -q "^Pressed 1: .*Executed application notepad.exe" "$out" || fail "the press of 1 did not report its action"
if [ -z "$device" ]; then
  line=$(grep "^Pressed hold:1: " "$out") || fail "no line for holding 1"
  grep -q "Vexa Remote: 1 held: 2" <<<"${line:-}" || fail "holding 1 did not run 2 instead"
  grep -q "notepad" <<<"${line:-}" && fail "holding 1 also ran 1's own command"
fi
grep -q "^Configuration file: .*current.vcp$" "$out" || fail "the configuration file's place is not printed"
if [ "$device" = tunerbox ]; then
  grep -q "^Receiver: .*simulated Bt878 card" "$out" || fail "the simulated card is not named"
else
  grep -q "^Receiver: .*COM1" "$out" || fail "the simulated receiver is not named"
fi
grep -q "^Log: " "$out" || fail "the log's place is not printed"
if [ "$device" = carrio ]; then
  grep -q "simulated carrier line" "$out" || fail "the run does not say that the carrier line is simulated"
fi
sleep 1
left=$(left_running)
[ -z "$left" ] || fail "left running: $left"
[ "$failures" -eq 0 ] && echo "scripted run: all checks passed"
exit $((failures > 0))
