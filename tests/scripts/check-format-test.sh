#!/usr/bin/env bash
# The format check passes a formatted file and fails, naming it, on one planted out of format.
set -euo pipefail
root="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$root/.clang-format" "$work/.clang-format"
printf 'int twice(int value) {\n    return value * 2;\n}\n' >"$work/formatted.cpp"
printf 'int  twice( int value ){return value*2;}\n' >"$work/planted.cpp"

"$root/scripts/check-format.sh" "$work/formatted.cpp" || { echo "a formatted file was refused"; exit 1; }
if "$root/scripts/check-format.sh" "$work/formatted.cpp" "$work/planted.cpp" 2>"$work/out"; then
  echo "an unformatted file passed"; exit 1
fi
grep -q "planted.cpp" "$work/out" || { echo "the unformatted file was not named"; cat "$work/out"; exit 1; }
if grep -v planted "$work/out" | grep -q "formatted.cpp"; then
  echo "a formatted file was named"; exit 1
fi
echo "format check: ok"
