#!/usr/bin/env bash
# Runs each benchmark in a process of its own so that its peak memory is its own.
set -euo pipefail
build=${1:-build/native-bench}
for bench in "$build"/bench/*_bench; do
  for name in $("$bench" --benchmark_list_tests | sed 's|/.*||' | sort -u); do
    "$bench" --benchmark_filter="^$name/" --benchmark_min_time=0.5
  done
done
