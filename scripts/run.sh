#!/usr/bin/env bash
# Sets up, builds the program (Release; the benchmarks and tests are left to bench.sh and test.sh)
# and starts Vantrel.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh release vantrel
exec build/release/vantrel "$@"
