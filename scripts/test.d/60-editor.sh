#!/usr/bin/env bash
# veltas-lsp in a real editor: headless Neovim opens a program of two files
# and checks diagnostics, hover, definition and a fix (tests/editor/).
set -euo pipefail
cd "$(dirname "$0")/../.."
root="$PWD"
bash scripts/install-deps.sh lsp
cmake --build build/release --target veltas-lsp -j"$(nproc)" >/dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp tests/editor/main.pic tests/editor/part.inc "$work/"
# Neovim's state and log go to the scratch folder, not the user's home.
export XDG_CONFIG_HOME="$work/.xdg" XDG_DATA_HOME="$work/.xdg" XDG_CACHE_HOME="$work/.xdg" XDG_STATE_HOME="$work/.xdg"
start=$SECONDS rc=0
out="$(cd "$work" && VELTAS_LSP="$root/build/release/veltas-lsp" timeout 120 \
  nvim --headless -u NONE -i NONE -n -c "luafile $root/tests/editor/nvim_lsp.lua" 2>&1)" || rc=$?
[ "$rc" = 0 ] && [[ $out == *PASS* ]] || { echo "$out" >&2; echo "FAIL: Neovim with veltas-lsp (status $rc)" >&2; exit 1; }
echo "PASS: Neovim 0.7 with veltas-lsp: diagnostics, hover, definition, fix ($((SECONDS - start)) s)"
