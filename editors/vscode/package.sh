#!/usr/bin/env bash
# Builds the VS Code extension (.vsix) from a staging copy of this folder with
# the grammars the build generated. Usage: package.sh [BUILD_DIR] [OUTPUT]
# (defaults: build/release, veltas-VERSION.vsix here). Needs `npm ci` here
# first (for vsce) and the target veltas_editors built.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:-$here/../../build/release}" && pwd)"
version="$(node -p "require('$here/package.json').version")"
out="$(realpath -m "${2:-$here/veltas-$version.vsix}")"
grammars="$build/editors/vscode/syntaxes"
for g in veltas veltas-listing; do
  [ -f "$grammars/$g.tmLanguage.json" ] || { echo "package.sh: $grammars/$g.tmLanguage.json fehlt (Ziel veltas_editors bauen)" >&2; exit 1; }
done
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
cp "$here"/{package.json,package-lock.json,extension.js,language-configuration.json,README.md,.vscodeignore} "$stage/"
mkdir "$stage/syntaxes"
cp "$grammars"/*.tmLanguage.json "$stage/syntaxes/"
# The extension ships its run-time modules only; npm's cache holds them after `npm ci`.
(cd "$stage" && npm ci --omit=dev --ignore-scripts --no-audit --no-fund --prefer-offline >/dev/null)
(cd "$stage" && "$here/node_modules/.bin/vsce" package --skip-license --allow-missing-repository --out "$out")
