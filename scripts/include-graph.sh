#!/usr/bin/env bash
# Prints which folder of src/ includes which, lowest layer first, and fails
# when the folders include each other in a cycle or when an include is
# written relative to the including file's own folder (all are written from
# src/, which is what lets each library see only the layers below it).
#   bash scripts/include-graph.sh [src-folder]
set -euo pipefail

src=${1:-"$(dirname "$0")/../src"}
cd "$src"

# Back-includes that are known and still to be removed, as "file -> header";
# none at present.
known=()

status=0
edges=$(
  find . \( -name '*.h' -o -name '*.cpp' \) -printf '%P\n' | LC_ALL=C sort | while IFS= read -r file; do
    from=$(dirname "$file")
    sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file" | while IFS= read -r header; do
      if [[ -f $header ]]; then
        to=$(dirname "$header")
        [[ $to == "$from" ]] && continue
        for pair in "${known[@]}"; do
          if [[ $pair == "$file -> $header" ]]; then
            echo "known back-include: $pair" >&2
            continue 2
          fi
        done
        echo "$from $to"
      elif [[ -f $from/$header ]]; then
        echo "written from its own folder, not from src/: $file includes \"$header\"" >&2
        echo "relative-include relative-include"
      fi
    done
  done
)
if grep -q '^relative-include' <<<"$edges"; then
  status=1
  edges=$(grep -v '^relative-include' <<<"$edges" || true)
fi

echo "folder -> folder it includes (number of includes):"
LC_ALL=C sort <<<"$edges" | uniq -c | awk 'NF == 3 { printf "  %s -> %s (%d)\n", $2, $3, $1 }'

# tsort lists a folder before those it includes, and names any cycle.
if order=$(LC_ALL=C sort -u <<<"$edges" | tsort 2>&1); then
  # A folder's layer is one above the highest folder it includes.
  echo "layers, lowest first:"
  tac <<<"$order" | awk -v edges="$(LC_ALL=C sort -u <<<"$edges")" '
    BEGIN { n = split(edges, lines, "\n"); for (i = 1; i <= n; i++) { split(lines[i], e, " "); below[e[1]] = below[e[1]] " " e[2] } }
    {
      level[$1] = 0
      m = split(below[$1], to, " ")
      for (i = 1; i <= m; i++) if (level[to[i]] + 1 > level[$1]) level[$1] = level[to[i]] + 1
      names[level[$1]] = names[level[$1]] " " $1
      if (level[$1] > top) top = level[$1]
    }
    END { for (l = 0; l <= top; l++) printf "  %d:%s\n", l, names[l] }'
else
  echo "the folders include each other in a cycle:" >&2
  grep '^tsort: ' <<<"$order" | sed 's/^tsort: //' >&2
  status=1
fi
exit $status
