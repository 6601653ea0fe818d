#!/usr/bin/env bash
# The Vim files (editors/vim, the syntax file as the build fills it) in
# headless Neovim: filetypes, syntax groups, and :make with veltas-cli.
set -euo pipefail
cd "$(dirname "$0")/../.."
root="$PWD"
bash scripts/install-deps.sh lsp
cmake --build build/release --target veltas_editors veltas-cli -j"$(nproc)" >/dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/rt"
cp -r editors/vim/ftdetect editors/vim/ftplugin editors/vim/compiler build/release/editors/vim/syntax "$work/rt/"
export XDG_CONFIG_HOME="$work/.xdg" XDG_DATA_HOME="$work/.xdg" XDG_CACHE_HOME="$work/.xdg" XDG_STATE_HOME="$work/.xdg"
rc=0
out="$(cd "$work" && PATH="$root/build/release:$PATH" timeout 60 \
  nvim --headless -u NONE -i NONE -n --cmd "set rtp^=$work/rt" -c "luafile $root/tests/editor/vim_check.lua" 2>&1)" || rc=$?
[ "$rc" = 0 ] && [[ $out == *PASS* ]] || { echo "$out" >&2; echo "FAIL: the Vim files in Neovim (status $rc)" >&2; exit 1; }
echo "PASS: the Vim files in Neovim 0.7: filetypes, syntax, :make into the quickfix list"
