#!/usr/bin/env bash
# Runs each fuzz target for a bounded time on its own growing corpus, seeded
# from the test data. Usage: scripts/run-fuzzers.sh BUILD SECONDS
set -euo pipefail
build=${1:-build/fuzz}
seconds=${2:-60}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
for target in profile_binary profile_text ini_file legacy_config action_fields lircd_import lirc_event_lines; do
  corpus="$root/fuzz-corpus/$target"
  mkdir -p "$corpus"
  cp -n "$root"/fuzz/seeds/$target/* "$corpus"/ 2>/dev/null || true
  echo "== $target for ${seconds}s"
  "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=4096 \
    -artifact_prefix="$root/fuzz-corpus/$target-" "$corpus" 2>&1 | grep -E '^#[0-9]+ +DONE|ERROR|SUMMARY|Done' || true
  if ls "$root/fuzz-corpus/$target-"* >/dev/null 2>&1; then
    echo "$target: crash artifacts in fuzz-corpus/" >&2
    exit 1
  fi
done
