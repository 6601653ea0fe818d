#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once optimised and
# once under AddressSanitizer and UndefinedBehaviorSanitizer. Fails loudly.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/check-layers.sh
jobs="$(nproc)"

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DVELTAS_TESTS=ON
cmake --build build/release -j"$jobs"
ctest --test-dir build/release --output-on-failure -j"$jobs"

cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DVELTAS_SANITIZE=ON -DVELTAS_TESTS=ON
cmake --build build/sanitize -j"$jobs"
ctest --test-dir build/sanitize --output-on-failure -j"$jobs"

# Further suites (fuzzing, window programs, ...) that need more than ctest.
for suite in scripts/test.d/*.sh; do
  [ -e "$suite" ] || continue
  echo "== $suite"
  bash "$suite"
done

# The size of the tests against the code, by the project's shared tool: at
# most 40 %.
share_tool=../shared/tools/test-share.sh
if [ -f "$share_tool" ]; then
  line="$(bash "$share_tool")"
  echo "== $line"
  percent="${line##* }"
  [ "${percent%\%}" -le 40 ] || { echo "the tests are more than 40 % of the code" >&2; exit 1; }
fi
