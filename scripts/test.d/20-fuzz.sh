#!/usr/bin/env bash
# Fuzzes the whole program for a bounded time (VELTAS_FUZZ_SECONDS, default
# 120) under AddressSanitizer and UndefinedBehaviorSanitizer. Runs the saved
# regression inputs first, then libFuzzer over a scratch copy of the seed
# corpus (fuzz/corpus plus the sources under tests/). Fails on any crash,
# hang, leak or invariant violation.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds="${VELTAS_FUZZ_SECONDS:-120}"
build=build/fuzz

bash scripts/install-deps.sh fuzz
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELTAS_FUZZ=ON -DVELTAS_SANITIZE=ON -DVELTAS_TESTS=OFF >/dev/null
cmake --build "$build" --target veltas_fuzz -j"$(nproc)" >/dev/null
fuzzer="$build/fuzz/veltas_fuzz"

# Inputs that once failed must keep passing.
regressions=(fuzz/regressions/*)
if [ -e "${regressions[0]}" ]; then
  "$fuzzer" "${regressions[@]}" >/dev/null 2>"$build/regressions.log" || {
    cat "$build/regressions.log"
    echo "FAIL: a saved fuzz regression input fails again" >&2
    exit 1
  }
  echo "fuzz regressions: ${#regressions[@]} inputs pass"
fi

work="$build/run"
rm -rf "$work"
mkdir -p "$work/corpus" "$work/artifacts"
cp fuzz/corpus/* "$work/corpus/"
bash fuzz/collect-seeds.sh "$work/corpus"  # the golden and gpasm sources as they are now

status=0
"$fuzzer" "$work/corpus" \
  -dict=fuzz/veltas.dict \
  -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
  -print_final_stats=1 -artifact_prefix="$work/artifacts/" \
  >"$work/fuzz.log" 2>&1 || status=$?

grep -E '^(stat::|Done|#[0-9]+ +DONE)' "$work/fuzz.log" || true
findings=("$work"/artifacts/*)
if [ "$status" -ne 0 ] || [ -e "${findings[0]}" ]; then
  tail -n 60 "$work/fuzz.log"
  echo "FAIL: the fuzzer found a problem (exit $status); inputs: ${findings[*]}" >&2
  exit 1
fi
echo "fuzz: no findings in ${seconds}s"
