#!/usr/bin/env bash
# Writes lircd-vcr-presses.txt beside this script: what lircd's "file" driver
# transmitted for the RC5 remote "vcr" of tests/data/lircd/remotes.conf, press by
# press, as the carrier-line end-to-end test plays it (two held presses and six
# short ones per button to learn it, then three short presses each to press it).
# Each press starts with "press BUTTON REPEATS"; lircd's own lines follow.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
conf=$here/../lircd/remotes.conf
dir=$(mktemp -d)
lircd -n -H file -d "$dir/out.txt" -o "$dir/socket" -P "$dir/pid" -L "$dir/log" -a "$conf" </dev/null >/dev/null 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null; wait $pid 2>/dev/null; rm -rf "$dir"' EXIT
for _ in $(seq 100); do [ -S "$dir/socket" ] && break; sleep 0.05; done
: >"$dir/out.txt"
out=$here/lircd-vcr-presses.txt
{
  echo "# Made by capture-lircd-presses.sh (lircd $(lircd --version 2>&1 | head -1 | awk '{print $NF}'), file driver)."
  presses() {
    for p in "$@"; do
      local button=${p%:*} repeats=${p#*:} before
      before=$(stat -c %s "$dir/out.txt")
      if [ "$repeats" -gt 0 ]; then
        irsend -d "$dir/socket" --count="$repeats" SEND_ONCE vcr "$button"
      else
        irsend -d "$dir/socket" SEND_ONCE vcr "$button"
      fi
      echo "press $button $repeats"
      tail -c +"$((before + 1))" "$dir/out.txt"
    done
  }
  presses one:12 one:12 one:0 one:0 one:0 one:0 one:0 one:0
  presses two:12 two:12 two:0 two:0 two:0 two:0 two:0 two:0
  presses one:0 two:0 one:0 two:0 one:0 two:0
} >"$out"
echo "Wrote $out."
