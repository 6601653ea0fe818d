#!/usr/bin/env bash
# Installs what is missing, builds veltas-cli and the chips' definition files,
# and assembles the examples: demo.pic with its symbol list, then blink.pic
# for the PIC16F877A, which includes the chip's definition file.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh build
cmake -S . -B build/demo -DCMAKE_BUILD_TYPE=Release -DVELTAS_TESTS=OFF >/dev/null
cmake --build build/demo --target veltas-cli veltas_devices -j"$(nproc)" >/dev/null
build/demo/veltas-cli -L examples/demo.pic
echo
exec build/demo/veltas-cli examples/blink.pic
