#!/usr/bin/env bash
# Throughput of veltas-cli -L against gpasm on the same generated PIC18
# program (bench/gen_program.py) of 100k, 1M and 2M lines.
#
# For every size it generates the program in both syntaxes, assembles it once
# with each assembler and checks that both HEX files hold the same program
# words (srec_cmp); then it times repeated runs and prints the medians: wall
# time, source lines per second, peak resident memory (/usr/bin/time -v) and
# how many times faster Veltas is. Both assemblers write a HEX file and a
# listing (gpasm also its .cod debug file, which it can't leave out).
#
# Usage: bench/run.sh [--quick] [--sizes "N ..."] [--runs N] [--gpasm-runs N]
#                     [--reuse-gpasm] [--cli PATH]
#   --quick        100k lines, one run each (a few seconds; includes the check)
#   --sizes        line counts to run (default "100000 1000000 2000000")
#   --runs         timed Veltas runs per size (default 5)
#   --gpasm-runs   timed gpasm runs per size (default 3 below 1M lines and 1
#                  from 1M lines on, where one gpasm run takes minutes)
#   --reuse-gpasm  take gpasm's HEX file and timings from an earlier run of
#                  this script on the same program, if there is one
#   --cli PATH     time this veltas-cli instead of building a Release one
# Work files go to build/bench-work (BENCH_WORK overrides); sources are kept
# between runs and regenerated when the generator changes.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
work="${BENCH_WORK:-$root/build/bench-work}"
sizes="100000 1000000 2000000"
runs=5
gpasm_runs=""
reuse_gpasm=0
cli=""

while [ $# -gt 0 ]; do
  case "$1" in
    --quick) sizes="100000"; runs=1; gpasm_runs=1 ;;
    --sizes) sizes="$2"; shift ;;
    --runs) runs="$2"; shift ;;
    --gpasm-runs) gpasm_runs="$2"; shift ;;
    --reuse-gpasm) reuse_gpasm=1 ;;
    --cli) cli="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"; shift ;;
    *) echo "run.sh: unknown argument $1" >&2; exit 2 ;;
  esac
  shift
done

fail() { echo "run.sh: $*" >&2; exit 1; }

bash "$root/scripts/install-deps.sh" build bench
for tool in gpasm srec_cmp python3; do
  command -v "$tool" >/dev/null || fail "$tool is missing"
done
[ -x /usr/bin/time ] || fail "/usr/bin/time is missing"

if [ -z "$cli" ]; then
  cmake -S "$root" -B "$root/build/bench-release" -DCMAKE_BUILD_TYPE=Release -DVELTAS_TESTS=OFF >/dev/null
  cmake --build "$root/build/bench-release" --target veltas-cli -j"$(nproc)" >/dev/null
  cli="$root/build/bench-release/veltas-cli"
fi
[ -x "$cli" ] || fail "no veltas-cli at $cli"

gen="$root/bench/gen_program.py"
gen_stamp="$(sha1sum "$gen" | cut -d' ' -f1)"
gpasm_version="$(gpasm -v 2>&1 | head -n1)"
mkdir -p "$work"

# Runs a command in a directory; prints "wall-seconds cpu-seconds peak-KiB"
# (CPU time is user + system time; on a busy machine it is the steadier
# number). Standard output and error go to the file named by $2.
measure() {
  local dir="$1" out="$2"
  shift 2
  local t0 t1 tv="$work/time.$$"
  t0=$(date +%s%N)
  (cd "$dir" && /usr/bin/time -v -o "$tv" "$@" >"$out" 2>&1) || {
    cat "$out" >&2
    fail "failed in $dir: $*"
  }
  t1=$(date +%s%N)
  awk -v ns=$((t1 - t0)) -F': *' '
    /User time/ { cpu += $2 } /System time/ { cpu += $2 } /Maximum resident set size/ { kib = $2 }
    END { printf "%.4f %.2f %d\n", ns / 1e9, cpu, kib }' "$tv"
  rm -f "$tv"
}

# Medians of the three columns on standard input, each on its own.
median() {
  awk '{ for (c = 1; c <= 3; c++) v[c, NR] = $c }
    END {
      for (c = 1; c <= 3; c++) {
        for (i = 1; i <= NR; i++) a[i] = v[c, i]
        for (i = 2; i <= NR; i++) for (j = i; j > 1 && a[j - 1] > a[j]; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
        printf "%s%s", a[int((NR + 1) / 2)], (c < 3 ? " " : "\n")
      }
    }'
}

veltas_run() { measure "$1/veltas" "$1/veltas.out" "$cli" -L prog.pic; }
gpasm_run() { measure "$1/gpasm" "$1/gpasm.out" gpasm prog.asm; }

results=()
for n in $sizes; do
  dir="$work/$n"
  if [ "$(cat "$dir/stamp" 2>/dev/null)" != "$gen_stamp" ]; then
    echo "== generating $n lines" >&2
    rm -rf "$dir"
    python3 "$gen" "$n" "$dir"
    echo "$gen_stamp" >"$dir/stamp"
  fi

  # The equality check, which also warms the file cache.
  echo "== $n lines: checking that both assemble the same program words" >&2
  rm -f "$dir/veltas/prog.HEX" "$dir/veltas/prog.PRN"
  first_veltas="$(veltas_run "$dir")"
  gpasm_key="$gen_stamp $gpasm_version"
  gpasm_fresh=1
  if [ "$reuse_gpasm" = 1 ] && [ -s "$dir/gpasm/prog.hex" ] && [ -s "$dir/gpasm.times" ] &&
     [ "$(cat "$dir/gpasm.key" 2>/dev/null)" = "$gpasm_key" ]; then
    echo "   (gpasm: reusing the earlier run)" >&2
    gpasm_times="$(cat "$dir/gpasm.times")"
    gpasm_fresh=0
  else
    rm -f "$dir/gpasm/prog.hex" "$dir/gpasm/prog.lst" "$dir/gpasm/prog.cod" "$dir/gpasm.times" "$dir/gpasm.key"
    [ "$n" -ge 1000000 ] && echo "   (gpasm takes minutes here)" >&2
    gpasm_times="$(gpasm_run "$dir")"
  fi
  [ "$gpasm_fresh" = 1 ] && [ -s "$dir/gpasm.out" ] && { cat "$dir/gpasm.out" >&2; fail "gpasm reported messages"; }
  [ -s "$dir/veltas/prog.PRN" ] || fail "veltas-cli wrote no listing"
  [ -s "$dir/gpasm/prog.lst" ] || fail "gpasm wrote no listing"
  srec_cmp "$dir/veltas/prog.HEX" -intel "$dir/gpasm/prog.hex" -intel ||
    fail "$n lines: the HEX files differ (srec_cmp above)"

  echo "== $n lines: timing" >&2
  veltas_times="$first_veltas"
  [ "$runs" -gt 1 ] && for ((i = 1; i < runs; i++)); do veltas_times+=$'\n'"$(veltas_run "$dir")"; done
  want=$gpasm_runs
  [ -z "$want" ] && { if [ "$n" -ge 1000000 ]; then want=1; else want=3; fi; }
  have=$(printf '%s\n' "$gpasm_times" | wc -l)
  for ((i = have; i < want; i++)); do gpasm_times+=$'\n'"$(gpasm_run "$dir")"; done
  printf '%s\n' "$gpasm_times" >"$dir/gpasm.times"
  echo "$gpasm_key" >"$dir/gpasm.key"

  read -r vt vc vm < <(printf '%s\n' "$veltas_times" | median)
  read -r gt gc gm < <(printf '%s\n' "$gpasm_times" | median)
  results+=("$n $vt $vc $vm $gt $gc $gm $(printf '%s\n' "$veltas_times" | wc -l) $(printf '%s\n' "$gpasm_times" | wc -l)")
done

echo
echo "veltas-cli -L vs gpasm $(gpasm -v 2>&1 | head -n1 | cut -d' ' -f1 | sed 's/gpasm-//'): medians of the runs;" \
  "$(nproc) cores, load average $(cut -d' ' -f1 /proc/loadavg)"
printf '%-8s | %-34s | %-34s | %s\n' "" "Veltas" "gpasm" "Veltas faster"
printf '%-8s | %-8s %-6s %-10s %-7s | %-8s %-6s %-10s %-7s | %-6s %-6s %s\n' lines "wall s" "CPU s" "lines/s" "MiB" \
  "wall s" "CPU s" "lines/s" "MiB" "wall" "CPU" runs
for r in "${results[@]}"; do
  read -r n vt vc vm gt gc gm vr gr <<<"$r"
  awk -v n="$n" -v vt="$vt" -v vc="$vc" -v vm="$vm" -v gt="$gt" -v gc="$gc" -v gm="$gm" -v vr="$vr" -v gr="$gr" 'BEGIN {
    printf "%-8d | %-8.3f %-6.2f %-10.0f %-7.1f | %-8.2f %-6.2f %-10.0f %-7.1f | %-6s %-6s %d/%d\n",
      n, vt, vc, n / vt, vm / 1024, gt, gc, n / gt, gm / 1024, sprintf("%.0fx", gt / vt),
      (vc > 0 ? sprintf("%.0fx", gc / vc) : "-"), vr, gr }'
done
echo "(lines/s from the wall time; the line count includes the include file)"

# The targets: 2M lines/s and < 64 MiB at 1M lines; 2M lines in at most 2.2
# times the 1M-line time.
t1m="" t2m="" c1m="" c2m=""
for r in "${results[@]}"; do
  read -r n vt vc vm _ <<<"$r"
  if [ "$n" = 1000000 ]; then
    t1m=$vt c1m=$vc
    awk -v t="$vt" -v c="$vc" -v m="$vm" 'BEGIN {
      printf "1M lines: %.2f M lines/s by wall time, %.2f M by CPU time (target >= 2); peak %.1f MiB (target < 64)\n",
        1 / t, (c > 0 ? 1 / c : 0), m / 1024 }'
  fi
  [ "$n" = 2000000 ] && t2m=$vt c2m=$vc
done
if [ -n "$t1m" ] && [ -n "$t2m" ]; then
  awk -v a="$t1m" -v b="$t2m" -v ca="$c1m" -v cb="$c2m" 'BEGIN {
    printf "2M lines take %.2f times the 1M-line wall time, %.2f times its CPU time (target <= 2.2)\n", b / a, (ca > 0 ? cb / ca : 0) }'
fi
