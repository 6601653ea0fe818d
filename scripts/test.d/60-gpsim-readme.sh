#!/usr/bin/env bash
# The README's gpsim workflow on examples/blink.pic: --cod without notes,
# gpsim -s from another directory, a break at the label the README names.
set -euo pipefail
cd "$(dirname "$0")/../.."
[ -e examples/blink.pic ] || { echo "gpsim workflow: no examples/blink.pic, nothing to run"; exit 0; }
bash scripts/install-deps.sh test
tmp="$(mktemp -d)"; trap 'rm -rf "$tmp"' EXIT
cp -r examples "$tmp/"
build/release/veltas-cli --quiet --cod "$tmp/examples/blink.pic" 2>"$tmp/notes"
[ ! -s "$tmp/notes" ] || { cat "$tmp/notes"; echo "FAIL: veltas-cli --cod has notes" >&2; exit 1; }
label="$(sed -n 's/^gpsim> break e \([A-Za-z0-9_]*\).*/\1/p' README.md | head -1)"
printf 'break e %s\nbreak c 100000\nrun\nlist\nstep\nlist\nquit\n' "$label" >"$tmp/s.stc"
(cd / && gpsim -i -s "$tmp/examples/blink.COD" -c "$tmp/s.stc") >"$tmp/out" 2>&1
grep -q "^==>$label:" "$tmp/out" || { cat "$tmp/out"; echo "FAIL: gpsim does not list $label" >&2; exit 1; }
echo "gpsim workflow: examples/blink.COD loads, breaks at $label and lists it"
