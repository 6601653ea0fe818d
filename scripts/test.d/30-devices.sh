#!/usr/bin/env bash
# Every definition file of the build assembles in an otherwise empty program
# ("Keine Fehler gefunden."), found by name in the devices directory, and
# none of its lines reaches the listing. Uses the optimised build of
# scripts/test.sh (VELTAS_DEVICES_BUILD names another).
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${VELTAS_DEVICES_BUILD:-build/release}"
cmake --build "$build" --target veltas-cli veltas_devices >/dev/null
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
count=0 failed=0
for file in "$build"/devices/*.INC; do
  printf '        INCLUDE %s\n' "${file##*/}" >"$tmp/t.pic"
  "$build/veltas-cli" "$tmp/t.pic" >"$tmp/out" 2>&1 || true
  if ! grep -q 'Keine Fehler gefunden\.' "$tmp/out" || grep -q -E 'EQU|BIT|CORE1' "$tmp/t.PRN"; then
    echo "FAIL: ${file##*/} does not assemble, or its lines are listed:" >&2
    tail -4 "$tmp/out" >&2
    failed=$((failed + 1))
  fi
  count=$((count + 1))
done
[ "$count" -gt 1 ] && [ "$failed" -eq 0 ] || { echo "FAIL: $failed of $count definition files" >&2; exit 1; }
echo "devices: all $count definition files assemble"
