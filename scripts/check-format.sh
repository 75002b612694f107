#!/usr/bin/env bash
# Fails, naming the files, when a C++ source under src/, tests/, bench/ or fuzz/ differs from what
# clang-format makes of it with the repository's .clang-format. `scripts/check-format.sh --fix`
# formats them in place instead. Extra arguments after the flag limit the check to those files.
set -euo pipefail
cd "$(dirname "$0")/.."
fix=0
if [ "${1:-}" = "--fix" ]; then fix=1; shift; fi
if [ "$#" -gt 0 ]; then
  files=("$@")
else
  mapfile -t files < <(git ls-files --cached --others --exclude-standard -- \
    'src/*.h' 'src/*.cpp' 'tests/*.h' 'tests/*.cpp' 'bench/*.h' 'bench/*.cpp' 'fuzz/*.h' 'fuzz/*.cpp')
fi
[ "${#files[@]}" -eq 0 ] && exit 0
if [ "$fix" -eq 1 ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
unformatted=()
for f in "${files[@]}"; do
  [ -f "$f" ] || continue
  if ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then unformatted+=("$f"); fi
done
if [ "${#unformatted[@]}" -gt 0 ]; then
  echo "Not formatted (run scripts/check-format.sh --fix):" >&2
  printf '  %s\n' "${unformatted[@]}" >&2
  exit 1
fi
