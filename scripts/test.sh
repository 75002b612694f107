#!/usr/bin/env bash
# Sets up, builds (Debug, AddressSanitizer and UndefinedBehaviorSanitizer, warnings as errors)
# and runs every test. Exits non-zero on any failure. `scripts/build.sh clang` compiles the same
# code with clang.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh debug
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
ctest --test-dir build/debug --output-on-failure --parallel "$(nproc)" --timeout 300
