#!/usr/bin/env bash
# Builds Release and runs every benchmark program, reporting medians. `--short` runs each benchmark
# once for a moment, only to show that every program builds and runs (the test command does this);
# other arguments go to every program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh release
export QT_QPA_PLATFORM=offscreen
arguments=(--benchmark_repetitions=9 --benchmark_report_aggregates_only=true)
if [ "${1:-}" = "--short" ]; then
  shift
  arguments=(--benchmark_min_time=0.01 --benchmark_repetitions=1)
fi
ran=0
for source in bench/bench_*.cpp; do
  name="$(basename "$source" .cpp)"
  program="build/release/bench/$name"
  if [ ! -f "$program" ] || [ ! -x "$program" ]; then
    echo "bench.sh: $program was not built" >&2
    exit 1
  fi
  "$program" "${arguments[@]}" "$@"
  ran=$((ran + 1))
done
echo "bench.sh: $ran benchmark programs ran"
