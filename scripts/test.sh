#!/usr/bin/env bash
# Sets up, builds (Debug, AddressSanitizer and UndefinedBehaviorSanitizer, warnings as errors)
# and runs every test after checking the sources' format and that no include runs up a floor,
# builds the optimised flavour without sanitizers (RelWithDebInfo) and runs every test there
# again, builds Release and runs every benchmark once briefly (so that none breaks unseen), then
# builds the fuzzers with clang (which compiles the library with clang too) and runs each for 15
# seconds. Exits non-zero on any failure. `scripts/build.sh clang` compiles the tests
# with clang as well; `scripts/fuzz.sh [seconds]` runs the fuzzers longer. VANTREL_BUILD_JOBS sets
# how many compile jobs every build runs and how many tests run at once (scripts/jobs.sh).
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
ctest --test-dir build/debug --output-on-failure --parallel "$vantrel_jobs" --timeout 300
scripts/build.sh relwithdebinfo
ctest --test-dir build/relwithdebinfo --output-on-failure --parallel "$vantrel_jobs" --timeout 300
scripts/bench.sh --short
scripts/fuzz.sh 15
