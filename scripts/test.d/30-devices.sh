#!/usr/bin/env bash
# Every definition file of the build (VELTAS_DEVICES_BUILD, else build/release)
# assembles alone, found by name in the devices directory, none of its lines listed.
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${VELTAS_DEVICES_BUILD:-build/release}"
cmake --build "$build" --target veltas-cli veltas_devices >/dev/null
tmp="$(mktemp -d)" && trap 'rm -rf "$tmp"' EXIT
files=("$build"/devices/*.INC) failed=""
for file in "${files[@]}"; do
  printf '        INCLUDE %s\n' "${file##*/}" >"$tmp/t.pic"
  "$build/veltas-cli" "$tmp/t.pic" >"$tmp/out" 2>&1 || true
  grep -q 'Keine Fehler gefunden\.' "$tmp/out" && ! grep -q -E 'EQU|BIT|CORE1' "$tmp/t.PRN" || failed+=" ${file##*/}"
done
[ "${#files[@]}" -gt 1 ] && [ -z "$failed" ] || { echo "FAIL: not assembled alone, or listed:$failed" >&2; exit 1; }
echo "devices: all ${#files[@]} definition files assemble"
