#!/usr/bin/env bash
# Fails, naming file and include, when a source under src/ includes a header of a folder on a
# higher floor, or when a file outside src/app/ includes app/. Floors, bottom up: platform, core,
# kit, the subsystems (modules, dock, notch, services), control-center and settings, app; a folder
# includes its own floor and those below. Files named in scripts/floors-allow.txt (one path a
# line, '#' starts a comment) may still include app/ until they are given narrow contexts.
# `scripts/check-floors.sh [ROOT]` checks another tree (default: this repository).
set -euo pipefail
root="${1:-$(cd "$(dirname "$0")/.." && pwd)}"
cd "$root"
allow=""
[ -f scripts/floors-allow.txt ] && allow="$(sed -e 's/#.*//' -e 's/[[:space:]]*$//' -e '/^$/d' scripts/floors-allow.txt)"
# An entry that no longer includes app/ is only reported, so the list can be emptied as files move.
while IFS= read -r entry; do
  [ -n "$entry" ] || continue
  grep -qE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"app/' "$entry" 2>/dev/null ||
    echo "note: $entry no longer includes app/; remove it from scripts/floors-allow.txt" >&2
done <<<"$allow"
find src -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z |
  xargs -0 -r awk -v allow="$allow" '
    BEGIN {
      split("platform core kit modules dock notch services control-center settings app", names, " ")
      split("0 1 2 3 3 3 3 4 4 5", levels, " ")
      for (i in names) floor[names[i]] = levels[i]
      n = split(allow, entries, "\n")
      for (i = 1; i <= n; i++) allowed[entries[i]] = 1
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
        if (!(FILENAME in allowed)) {
          print FILENAME ":" FNR ": includes \"" line "\"; only src/app/ includes app/" > "/dev/stderr"; bad = 1
        }
      } else if (floor[target] > floor[folder]) {
        print FILENAME ":" FNR ": includes \"" line "\", a floor above src/" folder "/" > "/dev/stderr"; bad = 1
      }
    }
    END { exit bad }' || { echo "Includes run up a floor (see above); move the value type down or inject an interface." >&2; exit 1; }
