#!/usr/bin/env bash
# scripts/run.sh builds the program and what it needs, not the benchmarks, before starting it with
# the arguments given; scripts/bench.sh still builds everything. Run on a copy of the scripts,
# with setup.sh doing nothing and a cmake that records its arguments.
set -euo pipefail
root="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/tree/scripts" "$work/bin" "$work/tree/build/release"
cp "$root"/scripts/{run.sh,build.sh,jobs.sh} "$work/tree/scripts/"
printf '#!/usr/bin/env bash\n' >"$work/tree/scripts/setup.sh"
printf '#!/usr/bin/env bash\necho "$*" >>"%s/cmake.log"\n' "$work" >"$work/bin/cmake"
printf '#!/usr/bin/env bash\necho "started $*"\n' >"$work/tree/build/release/vantrel"
chmod +x "$work/tree/scripts/setup.sh" "$work/bin/cmake" "$work/tree/build/release/vantrel"
out="$(PATH="$work/bin:$PATH" "$work/tree/scripts/run.sh" --flag)"
[ "$out" = "started --flag" ] || { echo "the program was not started: $out"; exit 1; }
build="$(grep -- '--build' "$work/cmake.log")"
case "$build" in
  *"--build build/release "*"--target vantrel"*) ;;
  *) echo "run.sh built more than the program: $build"; exit 1 ;;
esac
: >"$work/cmake.log"
PATH="$work/bin:$PATH" "$work/tree/scripts/build.sh" release
if grep -q -- '--target' "$work/cmake.log"; then echo "a full build named a target"; cat "$work/cmake.log"; exit 1; fi
echo "run script: ok"
