#!/usr/bin/env bash
# Response times of veltas-lsp on a generated 10,000-line PIC18 program (the
# throughput benchmark's kind, bench/gen_program.py), through
# bench/lsp_driver.py: an edit until its diagnostics, an edit with a hover
# right after it, and hover and definition requests on the assembled program.
# Targets: at most 50 ms to assemble and publish, at most 10 ms per request.
#
# Usage: bench/lsp.sh [--lines N] [--runs N] [--lsp PATH]
#   --lines   program size (default 10000, the include file counted)
#   --runs    measurements of each kind (default 50)
#   --lsp     time this veltas-lsp instead of building a Release one in
#             build/bench-lsp
# Work files go to build/bench-lsp-work (BENCH_WORK overrides).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
work="${BENCH_WORK:-$root/build/bench-lsp-work}"
lines=10000
runs=50
lsp=""

while [ $# -gt 0 ]; do
  case "$1" in
    --lines) lines="$2"; shift ;;
    --runs) runs="$2"; shift ;;
    --lsp) lsp="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"; shift ;;
    *) echo "lsp.sh: unknown argument $1" >&2; exit 2 ;;
  esac
  shift
done

bash "$root/scripts/install-deps.sh" build lsp
command -v python3 >/dev/null || { echo "lsp.sh: python3 is missing" >&2; exit 1; }
if [ -z "$lsp" ]; then
  cmake -S "$root" -B "$root/build/bench-lsp" -DCMAKE_BUILD_TYPE=Release -DVELTAS_TESTS=OFF >/dev/null
  cmake --build "$root/build/bench-lsp" --target veltas-lsp -j"$(nproc)" >/dev/null
  lsp="$root/build/bench-lsp/veltas-lsp"
fi
[ -x "$lsp" ] || { echo "lsp.sh: no veltas-lsp at $lsp" >&2; exit 1; }

rm -rf "$work/$lines" && mkdir -p "$work"
python3 "$root/bench/gen_program.py" "$lines" "$work/$lines"
python3 "$root/bench/lsp_driver.py" "$lsp" "$work/$lines/veltas/prog.pic" "$runs"
echo "($(nproc) cores, load average $(cut -d' ' -f1 /proc/loadavg))"
