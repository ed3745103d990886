#!/usr/bin/env bash
# Runs each benchmark in a process of its own so that its peak memory is its own.
# The Wine probes need a display: without one, a private Xvfb serves them all.
set -euo pipefail
build=${1:-build/native-bench}
if [ -z "${DISPLAY:-}" ]; then
  source "$(dirname "${BASH_SOURCE[0]}")/wine-session.sh"
  trap wine_session_stop EXIT
  wine_session_start_xvfb
fi
for bench in "$build"/bench/*_bench; do
  for name in $("$bench" --benchmark_list_tests | sed 's|/.*||' | sort -u); do
    "$bench" --benchmark_filter="^$name/" --benchmark_min_time=0.5
  done
done
