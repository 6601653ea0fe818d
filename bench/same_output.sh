#!/usr/bin/env bash
# Checks that a changed veltas-cli writes exactly what an earlier one wrote:
# the status text, the error line, the exit status, the HEX file and the
# listing, byte for byte, with and without -L. The sources are every .pic
# file of the repository (golden tests, examples, fuzz corpus, test inputs)
# and, when given, the generated benchmark programs. Meant for performance
# work, where nothing may change but the speed.
#
# Usage: bench/same_output.sh OLD_CLI NEW_CLI [BENCH_PROGRAM.pic ...]
set -euo pipefail

[ $# -ge 2 ] || { echo "usage: same_output.sh OLD_CLI NEW_CLI [PROGRAM.pic ...]" >&2; exit 2; }
old="$(realpath "$1")"
new="$(realpath "$2")"
shift 2
root="$(cd "$(dirname "$0")/.." && pwd)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

# Each source is assembled in a copy of its directory, so that include
# files are found and the outputs land in the copy.
run() {
  local cli="$1" dir="$2" base="$3" out="$4"
  shift 4
  rm -rf "$out"
  cp -r "$dir" "$out"
  local rc=0
  (cd "$out" && "$cli" "$@" "$base" >"$out/.stdout" 2>"$out/.stderr") || rc=$?
  echo "$rc" >"$out/.rc"
}

sources=()
while IFS= read -r f; do sources+=("$f"); done < <(
  cd "$root" && find . -path ./build -prune -o -type f \( -iname '*.pic' \) -print | sort)
checked=0
differ=0
compare() {
  local dir="$1" base="$2"
  shift 2
  for flags in "" "-L"; do
    # shellcheck disable=SC2086
    run "$old" "$dir" "$base" "$tmp/old" $flags
    # shellcheck disable=SC2086
    run "$new" "$dir" "$base" "$tmp/new" $flags
    if ! diff -r "$tmp/old" "$tmp/new" >"$tmp/diff"; then
      echo "DIFFERS: $dir/$base $flags" >&2
      head -n 20 "$tmp/diff" >&2
      differ=$((differ + 1))
    fi
    checked=$((checked + 1))
  done
}

for s in "${sources[@]}"; do
  # A source at the top would copy the whole tree, build directories included.
  [ "$(dirname "$s")" = . ] && { echo "skipped: $s (at the top of the tree)" >&2; continue; }
  compare "$root/$(dirname "$s")" "$(basename "$s")"
done

# Line ends the reader must get right: LF, CR LF, lone CR, Ctrl-Z inside a
# line and inside an include file, a last line without line end, lines longer
# than the reader's 64 KiB buffer and line ends right at its boundary.
edge="$tmp/edge"
mkdir -p "$edge"
python3 - "$edge" <<'EOF'
import sys
d = sys.argv[1]
def w(name, data):
    open(d + "/" + name, "wb").write(data)
w("ends.pic", b"\tNOP\n\tMOVLW 1\r\n\tMOV\rLW 2\r\r\n; x\r\n\n\r\nL1:\tGOTO L1\n\tMOVLW 3")
w("ctrlz.pic", b"\tNOP\r\n\tMOVLW 1\x1a\r\n\tMOVLW 2\r\n")
w("inc_z.inc", b"\tMOVLW 5\r\n\x1a\tMOVLW 6\r\n")
w("incz.pic", b"\tINCLUDE inc_z.inc\r\n\tMOVLW 7\r\n")
long_line = b"; " + b"x" * 200000 + b"\r\n"
w("long.pic", b"\tNOP\r\n" + long_line + b"\tMOVLW 1\r\n" + long_line)
for k, end in enumerate((b"\n", b"\r\n", b"\r")):
    for shift in range(-3, 3):
        pad = 65536 + shift - len(b"\tNOP\r\n")
        w("edge%d_%d.pic" % (k, shift + 3), b"\tNOP\r\n;" + b"y" * (pad - 1) + end + b"\tMOVLW 9\r\n")
EOF
for f in "$edge"/*.pic; do
  compare "$edge" "$(basename "$f")"
done
for p in "$@"; do
  compare "$(cd "$(dirname "$p")" && pwd)" "$(basename "$p")"
done

echo "$checked runs compared, $differ differ"
[ "$differ" -eq 0 ]
