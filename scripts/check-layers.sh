#!/usr/bin/env bash
# Checks that the folders of the program include each other one way only:
# reads every #include "folder/..." in the program's folders and fails,
# printing the cycle, when the folder graph has one. Prints the folders from
# the bottom layer up when it has none.
set -euo pipefail
cd "$(dirname "$0")/.."
not_program='^(tests|fuzz|bench|scripts|cmake|build[^/]*)/'

edges=$(git ls-files -co --exclude-standard '*.cpp' '*.h' | grep -v -E "$not_program" | grep / |
  while read -r file; do
    from=${file%%/*}
    sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^/"]*\)\/.*/\1/p' "$file" |
      while read -r to; do
        [ "$to" != "$from" ] && [ -d "$to" ] && echo "$to $from"
      done
    echo "$from $from"
  done | sort -u)

if ! order=$(tsort <<<"$edges" 2>/tmp/check-layers.$$); then
  echo "check-layers: the folders include each other in a cycle:" >&2
  # tsort names the folders of each loop, one a line, after a head line.
  awk '/input contains a loop/ { if (loop != "") print "  " loop; loop = ""; next }
       { sub(/^tsort: /, ""); loop = loop == "" ? $0 : loop " -> " $0 }
       END { if (loop != "") print "  " loop }' /tmp/check-layers.$$ >&2
  rm -f /tmp/check-layers.$$
  exit 1
fi
rm -f /tmp/check-layers.$$
echo "check-layers: no cycle; bottom up:" $order
