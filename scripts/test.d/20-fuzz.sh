#!/usr/bin/env bash
# Fuzzes the whole program for VELTAS_FUZZ_SECONDS (default 120), then the
# language server's message layer for VELTAS_FUZZ_LSP_SECONDS (default 120),
# under AddressSanitizer and UndefinedBehaviorSanitizer, each after its saved
# regression inputs. Seeds: fuzz/corpus and the golden main sources;
# fuzz/corpus_lsp. Fails on any finding.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=build/fuzz
bash scripts/install-deps.sh fuzz lsp
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELTAS_FUZZ=ON -DVELTAS_SANITIZE=ON -DVELTAS_TESTS=OFF >/dev/null
cmake --build "$build" --target veltas_fuzz veltas_fuzz_lsp -j"$(nproc)" >/dev/null

# Runs the saved inputs of REGRESSIONS, then prepares $build/NAME/corpus.
regressions() {
  [ -z "$(ls -A "$2" 2>/dev/null)" ] || "$build/fuzz/$1" "$2"/* >/dev/null 2>"$build/regressions.log" ||
    { cat "$build/regressions.log"; echo "FAIL: a saved fuzz regression input fails again ($1)" >&2; exit 1; }
  rm -rf "${build:?}/$1" && mkdir -p "$build/$1/corpus" "$build/$1/artifacts"
}
# fuzz NAME SECONDS [libFuzzer options]
fuzz() {
  local fuzzer="$build/fuzz/$1" work="$build/$1" seconds="$2" status=0
  shift 2
  "$fuzzer" "$work/corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$work/artifacts/" "$@" >"$work/fuzz.log" 2>&1 || status=$?
  grep -E '^(stat::number_of_executed_units|Done)' "$work/fuzz.log" || true
  if [ "$status" -ne 0 ] || [ -n "$(ls -A "$work/artifacts")" ]; then
    tail -n 40 "$work/fuzz.log"
    echo "FAIL: the fuzzer found a problem (exit $status): $(ls "$work/artifacts")" >&2
    exit 1
  fi
}

regressions veltas_fuzz fuzz/regressions
cp fuzz/corpus/* "$build/veltas_fuzz/corpus/"
for f in tests/golden/*/main.pic; do [ ! -f "$f" ] || cp "$f" "$build/veltas_fuzz/corpus/$(basename "$(dirname "$f")").pic"; done
fuzz veltas_fuzz "${VELTAS_FUZZ_SECONDS:-120}" -dict=fuzz/veltas.dict -max_len=8192

regressions veltas_fuzz_lsp fuzz/regressions_lsp
cp fuzz/corpus_lsp/* "$build/veltas_fuzz_lsp/corpus/"
fuzz veltas_fuzz_lsp "${VELTAS_FUZZ_LSP_SECONDS:-120}" -max_len=16384
echo "fuzz: no findings"
