#!/usr/bin/env bash
# Builds Release and runs every benchmark program, reporting medians.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh release
export QT_QPA_PLATFORM=offscreen
for b in build/release/bench/bench_*; do
  [ -x "$b" ] || continue
  "$b" --benchmark_repetitions=9 --benchmark_report_aggregates_only=true "$@"
done
