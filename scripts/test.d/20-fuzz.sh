#!/usr/bin/env bash
# Fuzzes the whole program for VELTAS_FUZZ_SECONDS (default 120) under
# AddressSanitizer and UndefinedBehaviorSanitizer, after the saved regression
# inputs. Seeds: fuzz/corpus and the golden main sources. Fails on any finding.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=build/fuzz
bash scripts/install-deps.sh fuzz
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELTAS_FUZZ=ON -DVELTAS_SANITIZE=ON -DVELTAS_TESTS=OFF >/dev/null
cmake --build "$build" --target veltas_fuzz -j"$(nproc)" >/dev/null
fuzzer="$build/fuzz/veltas_fuzz"

"$fuzzer" fuzz/regressions/* >/dev/null 2>"$build/regressions.log" ||
  { cat "$build/regressions.log"; echo "FAIL: a saved fuzz regression input fails again" >&2; exit 1; }

work="$build/run"
rm -rf "$work" && mkdir -p "$work/corpus" "$work/artifacts" && cp fuzz/corpus/* "$work/corpus/"
for f in tests/golden/*/main.pic; do [ ! -f "$f" ] || cp "$f" "$work/corpus/$(basename "$(dirname "$f")").pic"; done

status=0
"$fuzzer" "$work/corpus" -dict=fuzz/veltas.dict -max_total_time="${VELTAS_FUZZ_SECONDS:-120}" -timeout=10 \
  -rss_limit_mb=2048 -max_len=8192 -print_final_stats=1 -artifact_prefix="$work/artifacts/" >"$work/fuzz.log" 2>&1 ||
  status=$?
grep -E '^(stat::number_of_executed_units|Done)' "$work/fuzz.log" || true
if [ "$status" -ne 0 ] || [ -n "$(ls -A "$work/artifacts")" ]; then
  tail -n 40 "$work/fuzz.log"
  echo "FAIL: the fuzzer found a problem (exit $status): $(ls "$work/artifacts")" >&2
  exit 1
fi
echo "fuzz: no findings"
