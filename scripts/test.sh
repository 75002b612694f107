#!/usr/bin/env bash
# Sets up, builds (Debug, AddressSanitizer and UndefinedBehaviorSanitizer, warnings as errors)
# and runs every test after checking the sources' format and that no include runs up a floor,
# builds the optimised flavour without sanitizers (RelWithDebInfo) and runs every test there
# again, builds Release and runs every benchmark once briefly (so that none breaks unseen), then
# builds the fuzzers with clang (which compiles the library with clang too) and runs each for 15
# seconds. Exits non-zero on any failure. `scripts/build.sh clang` compiles the tests
# with clang as well; `scripts/fuzz.sh [seconds]` runs the fuzzers longer. VANTREL_BUILD_JOBS sets
# how many compile jobs every build runs and how many tests run at once (scripts/jobs.sh).
# VANTREL_DROP_TESTED_BUILDS=1 removes each build tree once its tests passed, for a machine that has
# disk for only one at a time (a tree whose tests failed stays, to look into).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/jobs.sh
scripts/setup.sh
scripts/check-format.sh
scripts/check-floors.sh
scripts/build.sh debug
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
drop_tested() { [ "${VANTREL_DROP_TESTED_BUILDS:-}" = 1 ] && rm -rf "$1" || true; }
ctest --test-dir build/debug --output-on-failure --parallel "$vantrel_jobs" --timeout 300
drop_tested build/debug
scripts/build.sh relwithdebinfo
ctest --test-dir build/relwithdebinfo --output-on-failure --parallel "$vantrel_jobs" --timeout 300
drop_tested build/relwithdebinfo
scripts/bench.sh --short
drop_tested build/release
scripts/fuzz.sh 15
