#!/usr/bin/env bash
# The VS Code extension: the generated grammars against the annotated samples
# in editors/vscode/test, and a .vsix that builds and names its grammars and
# the server setting. npm installs from the lock file.
set -euo pipefail
cd "$(dirname "$0")/../.."
root="$PWD" ext="$PWD/editors/vscode"
bash scripts/install-deps.sh vscode
command -v npm >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq npm >/dev/null
cmake --build build/release --target veltas_editors -j"$(nproc)" >/dev/null
(cd "$ext" && npm ci --ignore-scripts --no-audit --no-fund >/dev/null)
node --check "$ext/extension.js"
# Run where no package.json is, so that only the generated grammars count.
(cd build/release/editors/vscode && "$ext/node_modules/.bin/vscode-tmgrammar-test" \
  -g syntaxes/veltas.tmLanguage.json -g syntaxes/veltas-listing.tmLanguage.json "$ext/test/*")
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
bash "$ext/package.sh" "$root/build/release" "$work/veltas.vsix" >/dev/null
manifest="$(unzip -p "$work/veltas.vsix" extension/package.json)"
for want in '"./syntaxes/veltas.tmLanguage.json"' '"./syntaxes/veltas-listing.tmLanguage.json"' '"veltas.server.path"'; do
  [[ $manifest == *"$want"* ]] || { echo "FAIL: the .vsix manifest lacks $want" >&2; exit 1; }
done
files="$(unzip -l "$work/veltas.vsix")"
for g in veltas veltas-listing; do
  [[ $files == *"extension/syntaxes/$g.tmLanguage.json"* ]] || { echo "FAIL: the .vsix lacks $g.tmLanguage.json" >&2; exit 1; }
done
echo "PASS: VS Code grammars and .vsix ($(stat -c %s "$work/veltas.vsix") bytes)"
