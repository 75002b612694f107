#!/usr/bin/env bash
# The floor check passes a tree whose includes only run down, and fails, naming file and include,
# on a planted upward include and on a file outside src/app/ that includes app/.
set -euo pipefail
root="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work"/src/{platform,core,kit,notch,control-center,app} "$work/scripts"
printf '#pragma once\n' >"$work/src/platform/Clock.h"
printf '#pragma once\n#include "platform/Clock.h"\n' >"$work/src/core/Store.h"
printf '#pragma once\n#include "core/Store.h"\n#include <vector>\n' >"$work/src/kit/Button.h"
printf '#include "kit/Button.h"\n#include "notch/Panel.h"\n' >"$work/src/notch/Panel.cpp"
printf '#pragma once\n#include "core/Store.h"\n' >"$work/src/notch/Panel.h"
printf '#include "notch/Panel.h"\n#include "kit/Button.h"\n' >"$work/src/control-center/Page.cpp"
printf '#include "app/State.h"\n#include "control-center/Page.h"\n' >"$work/src/app/State.cpp"
printf '#pragma once\n' >"$work/src/app/State.h"
check() { "$root/scripts/check-floors.sh" "$work" 2>"$work/out"; }

check || { echo "a clean tree was refused"; cat "$work/out"; exit 1; }

# A header of a higher floor, included from below.
printf '#pragma once\n#include "platform/Clock.h"\n#include "kit/Button.h"\n' >"$work/src/core/Store.h"
if check; then echo "core including kit passed"; exit 1; fi
grep -q 'src/core/Store.h:3: includes "kit/Button.h"' "$work/out" || { echo "the upward include was not named"; cat "$work/out"; exit 1; }
if grep -q "Panel\|Page\|State" "$work/out"; then echo "a file that obeys the floors was named"; cat "$work/out"; exit 1; fi
printf '#pragma once\n#include "platform/Clock.h"\n' >"$work/src/core/Store.h"

# A subsystem one floor below the control center.
printf '#include "control-center/Page.h"\n' >>"$work/src/notch/Panel.cpp"
if check; then echo "notch including control-center passed"; exit 1; fi
grep -q 'src/notch/Panel.cpp:3: includes "control-center/Page.h"' "$work/out" || { cat "$work/out"; exit 1; }
printf '#include "kit/Button.h"\n#include "notch/Panel.h"\n' >"$work/src/notch/Panel.cpp"

# Only the composition root includes app/, even from the floor just below it.
printf '#include "app/State.h"\n' >>"$work/src/control-center/Page.cpp"
if check; then echo "control-center including app/ passed"; exit 1; fi
grep -q 'src/control-center/Page.cpp:3: includes "app/State.h"; only src/app/ includes app/' "$work/out" || { cat "$work/out"; exit 1; }
echo "floor check: ok"
