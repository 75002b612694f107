#!/usr/bin/env bash
# Fails, naming file and include, when a source under src/ includes a header of a folder on a
# higher floor, or when a file outside src/app/ includes app/. Floors, bottom up: platform, core,
# kit, the subsystems (modules, dock, notch, services), control-center and settings, app; a folder
# includes its own floor and those below.
# `scripts/check-floors.sh [ROOT]` checks another tree (default: this repository).
set -euo pipefail
root="${1:-$(cd "$(dirname "$0")/.." && pwd)}"
cd "$root"
find src -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z |
  xargs -0 -r awk '
    BEGIN {
      split("platform core kit modules dock notch services control-center settings app", names, " ")
      split("0 1 2 3 3 3 3 4 4 5", levels, " ")
      for (i in names) floor[names[i]] = levels[i]
      bad = 0
    }
    FNR == 1 {
      split(FILENAME, parts, "/"); folder = parts[2]
      if (!(folder in floor)) { print FILENAME ": folder src/" folder "/ stands on no floor" > "/dev/stderr"; bad = 1 }
    }
    /^[ \t]*#[ \t]*include[ \t]*"/ {
      if (!(folder in floor)) next
      line = $0; sub(/^[^"]*"/, "", line); sub(/".*$/, "", line)
      target = line; sub(/\/.*$/, "", target)
      if (!(target in floor) || target == line) next
      if (target == "app" && folder != "app") {
        print FILENAME ":" FNR ": includes \"" line "\"; only src/app/ includes app/" > "/dev/stderr"; bad = 1
      } else if (floor[target] > floor[folder]) {
        print FILENAME ":" FNR ": includes \"" line "\", a floor above src/" folder "/" > "/dev/stderr"; bad = 1
      }
    }
    END { exit bad }' || { echo "Includes run up a floor (see above); move the value type down or inject an interface." >&2; exit 1; }
