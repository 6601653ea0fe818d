#!/usr/bin/env bash
# Installs what is missing, builds veltas-cli and assembles the example.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh build
cmake -S . -B build/demo -DCMAKE_BUILD_TYPE=Release -DVELTAS_TESTS=OFF >/dev/null
cmake --build build/demo --target veltas-cli -j"$(nproc)" >/dev/null
exec build/demo/veltas-cli -L examples/demo.pic
