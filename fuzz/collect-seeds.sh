#!/usr/bin/env bash
# Writes fuzz inputs made from the sources under tests/ into a directory:
# every golden case (main source and its include files, in the fuzz input
# layout "<main>\n@@FILE <name>\n<contents>...") and the veltas side of every
# gpasm cross-check list. Usage: collect-seeds.sh DIR
set -euo pipefail
cd "$(dirname "$0")/.."
out="$1"
mkdir -p "$out"

for case in tests/golden/*/; do
  name="$(basename "$case")"
  seed="$out/golden-$name.pic"
  if [ -f "$case/from-repo" ]; then
    # The first file listed is the main source, the others are includes.
    first=1
    while read -r file; do
      [ -n "$file" ] || continue
      if [ "$first" = 1 ]; then cat "$file" >"$seed"; first=0
      else printf '\n@@FILE %s\n' "$(basename "$file")" >>"$seed"; cat "$file" >>"$seed"; fi
    done <"$case/from-repo"
  elif [ -f "$case/main.pic" ]; then
    cat "$case/main.pic" >"$seed"
    for inc in "$case"/*.inc; do
      [ -e "$inc" ] || continue
      printf '\n@@FILE %s\n' "$(basename "$inc")" >>"$seed"
      cat "$inc" >>"$seed"
    done
  fi
done

for list in tests/gpasm/*.txt; do
  [ -e "$list" ] || continue
  seed="$out/gpasm-$(basename "$list" .txt).pic"
  : >"$seed"
  while IFS= read -r line; do
    case "$line" in
      ''|'#'*|processor\ *|gpasm-only\ *) ;;
      core\ *) printf '        %s\n' "${line#core }" >>"$seed" ;;
      *) printf '        %s\n' "${line%% | *}" >>"$seed" ;;
    esac
  done <"$list"
done
