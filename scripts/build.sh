#!/usr/bin/env bash
# Configures and builds one flavour: "debug" (sanitizers, warnings as errors, tests), "release",
# "relwithdebinfo" (optimised, no sanitizers, tests: what an optimiser and a plain allocator change
# shows there; warnings stay warnings, as GCC's optimiser reports Qt's reference counting as use
# after free), or "clang" (everything, tests included, compiled by clang
# with warnings as errors; nothing run). Names after the flavour build only those targets and what
# they need (`scripts/build.sh release vantrel`: the program alone, without the benchmarks).
# VANTREL_BUILD_JOBS limits the build's width (scripts/jobs.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/jobs.sh
flavour="${1:-debug}"
[ $# -gt 0 ] && shift
targets=()
for target in "$@"; do targets+=(--target "$target"); done
case "$flavour" in
  debug)
    cmake -S . -B build/debug -G Ninja -DCMAKE_BUILD_TYPE=Debug \
      -DVANTREL_SANITIZE=ON -DVANTREL_WERROR=ON -DVANTREL_BUILD_TESTS=ON -DVANTREL_BUILD_BENCH=ON \
      -DVANTREL_SHARED_LIBRARY=ON
    cmake --build build/debug --parallel "$vantrel_jobs" "${targets[@]}"
    ;;
  release)
    cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DVANTREL_BUILD_TESTS=OFF -DVANTREL_BUILD_BENCH=ON
    cmake --build build/release --parallel "$vantrel_jobs" "${targets[@]}"
    ;;
  relwithdebinfo)
    cmake -S . -B build/relwithdebinfo -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DVANTREL_WERROR=OFF -DVANTREL_BUILD_TESTS=ON -DVANTREL_BUILD_BENCH=OFF \
      -DVANTREL_SHARED_LIBRARY=ON
    cmake --build build/relwithdebinfo --parallel "$vantrel_jobs" "${targets[@]}"
    ;;
  clang)
    cmake -S . -B build/clang -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
      -DVANTREL_WERROR=ON -DVANTREL_BUILD_TESTS=ON -DVANTREL_BUILD_BENCH=ON \
      -DVANTREL_SHARED_LIBRARY=ON
    cmake --build build/clang --parallel "$vantrel_jobs" "${targets[@]}"
    ;;
  *) echo "usage: $0 [debug|release|relwithdebinfo|clang]" >&2; exit 2 ;;
esac
