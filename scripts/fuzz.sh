#!/usr/bin/env bash
# Builds the fuzzers of fuzz/ with clang (AddressSanitizer, UndefinedBehaviorSanitizer, libFuzzer;
# warnings as errors, so this is also the clang compile of the library) in build/fuzz, and runs
# each one for the given seconds (default 60). Names after the seconds pick fuzzers
# ("notes" or "fuzz_notes"); none runs all. Exits non-zero when a fuzzer finds a crash; the input
# is kept in build/fuzz/crashes/ and each run's output in build/fuzz/logs/.
# FUZZ_JOBS fuzzers run at once (default 1); VANTREL_BUILD_JOBS limits the build's width.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/jobs.sh
seconds="${1:-60}"
[ $# -gt 0 ] && shift

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# -O1 keeps the runs fast and the sanitizers' reports readable; assertions stay on.
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
  -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" -DVANTREL_WERROR=ON \
  -DVANTREL_BUILD_TESTS=OFF -DVANTREL_BUILD_BENCH=OFF -DVANTREL_BUILD_FUZZ=ON >/dev/null
cmake --build build/fuzz --target vantrel_fuzzers vantrel --parallel "$vantrel_jobs"

fuzzers=()
if [ $# -eq 0 ]; then
  for source in fuzz/fuzz_*.cpp; do fuzzers+=("$(basename "$source" .cpp)"); done
else
  for name in "$@"; do fuzzers+=("fuzz_${name#fuzz_}"); done
fi

# Qt and GLib keep caches for the life of the process, which the leak check would report after
# every input; the sanitizers' other checks stay on.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export QT_QPA_PLATFORM=offscreen
# The fuzzers that need real files write them here, in memory where the machine allows.
scratch="$(mktemp -d "$( [ -w /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")/vantrel-fuzz.XXXXXX")"
trap 'rm -rf "$scratch"' EXIT
export TMPDIR="$scratch"
mkdir -p build/fuzz/logs build/fuzz/crashes

# Seeds: the test data of the same kind, and fuzz/seeds/<name> (crashing inputs found earlier
# included). New inputs go to build/fuzz/corpus/<name>, kept between runs. fuzz/dicts/<name>.dict
# gives the format's words, where there is one.
seeds_of() {
  case "$1" in
    fuzz_icalendar) echo tests/data/calendars ;;
    fuzz_desktop_entry) echo tests/data/applications ;;
  esac
  [ -d "fuzz/seeds/${1#fuzz_}" ] && echo "fuzz/seeds/${1#fuzz_}"
  return 0
}

run_one() {
  local name="$1" log="build/fuzz/logs/$1.log"
  mkdir -p "build/fuzz/corpus/$name"
  # shellcheck disable=SC2046
  local dictionary=()
  [ -f "fuzz/dicts/${name#fuzz_}.dict" ] && dictionary=(-dict="fuzz/dicts/${name#fuzz_}.dict")
  if "build/fuzz/fuzz/$name" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 -print_final_stats=1 \
      "${dictionary[@]}" -artifact_prefix="build/fuzz/crashes/$name-" "build/fuzz/corpus/$name" $(seeds_of "$name") \
      >"$log" 2>&1; then
    echo "$name: $(sed -n 's/^stat::number_of_executed_units: *//p' "$log") executions, no crash"
  else
    echo "$name: FAILED, see $log"; grep -m3 -E "ERROR|expectation failed|Test unit written" "$log" || true
    return 1
  fi
}

failed=0
running=0
for name in "${fuzzers[@]}"; do
  [ -x "build/fuzz/fuzz/$name" ] || { echo "no fuzzer $name" >&2; failed=1; continue; }
  run_one "$name" &
  running=$((running + 1))
  if [ "$running" -ge "${FUZZ_JOBS:-1}" ]; then
    wait -n || failed=1
    running=$((running - 1))
  fi
done
while [ "$running" -gt 0 ]; do
  wait -n || failed=1
  running=$((running - 1))
done
exit "$failed"
