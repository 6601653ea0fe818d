#!/usr/bin/env bash
# cmake --install puts the programs, their German manual pages, the README,
# the definition files and the Vim files in place; the pages render without
# warnings; the installed veltas-cli finds the installed definition files;
# cpack builds a Debian package with the same files. Builds the installable programs in
# build/install.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=build/install
bash scripts/install-deps.sh build cli lsp
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVELTAS_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
version="$(sed -n 's/^project(veltas VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

programs=(veltas-cli veltas-header)
[ -x "$build/veltas" ] && programs+=(veltas) # the window program where it is built
[ -x "$build/veltas-lsp" ] && programs+=(veltas-lsp) # the language server where nlohmann-json is
expected=(share/doc/veltas/README.md)
for p in "${programs[@]}"; do expected+=("bin/$p" "share/man/man1/$p.1"); done
for root in vim/vimfiles nvim/site; do # the Vim files, for Vim and for Neovim
  for kind in ftdetect syntax ftplugin compiler; do expected+=("share/$root/$kind/veltas.vim"); done
done
for f in "$build"/devices/*.INC; do expected+=("share/veltas/devices/${f##*/}"); done
printf '%s\n' "${expected[@]}" | sort >"$tmp/expected"
grep -qx share/veltas/devices/P16F877A.INC "$tmp/expected" || fail "no definition file P16F877A.INC built"

cmake --install "$build" --prefix "$tmp/prefix" >/dev/null
(cd "$tmp/prefix" && find . -type f | sed 's|^\./||' | sort) | diff "$tmp/expected" - || fail "installed files differ"
cmp -s README.md "$tmp/prefix/share/doc/veltas/README.md" || fail "installed README differs"
! grep -q '@[A-Z_]*@' "$tmp/prefix/share/nvim/site/syntax/veltas.vim" || fail "Vim syntax file not filled in"
for p in "${programs[@]}"; do
  [ "$p" = veltas ] && continue # the window program takes no --version
  [ "$("$tmp/prefix/bin/$p" --version)" = "$p (Veltas) $version" ] || fail "installed $p --version"
done
cp examples/blink.pic "$tmp/"
(cd "$tmp" && prefix/bin/veltas-cli --quiet --deps blink.d blink.pic) || fail "installed veltas-cli and blink.pic"
grep -q "^blink\.HEX blink\.PRN: blink\.pic .*/share/veltas/devices/P16F877A\.INC$" "$tmp/blink.d" ||
  fail "blink.pic did not read the installed P16F877A.INC"

for p in "${programs[@]}"; do
  LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$tmp/prefix/share/man/man1/$p.1" >"$tmp/$p.txt" 2>"$tmp/$p.err" &&
    [ ! -s "$tmp/$p.err" ] || { cat "$tmp/$p.err"; fail "man $p.1 fails or warns"; }
  head -1 "$tmp/$p.txt" | grep -qF "${p^^}(1)" && tail -1 "$tmp/$p.txt" | grep -qF "Veltas $version" &&
    grep -qx BESCHREIBUNG "$tmp/$p.txt" && ! grep -q '@[A-Z_]*@' "$tmp/$p.txt" || fail "$p.1: title, footer or text"
done
for option in -L -I --quiet --max-errors --deps --help --version; do # every option of veltas-cli --help
  grep -qE "^ +$option( |\$)" "$tmp/veltas-cli.txt" || fail "veltas-cli.1 does not describe $option"
done

(cd "$build" && cpack -G DEB -B "$tmp/pkg" >"$tmp/cpack.log" 2>&1) || { cat "$tmp/cpack.log"; fail "cpack -G DEB"; }
deb="$(echo "$tmp"/pkg/*.deb)"
dpkg-deb -c "$deb" | awk '$6 !~ /\/$/ {sub(/^\.\/usr\//, "", $6); print $6}' | sort | diff "$tmp/expected" - ||
  fail "package files differ"
[ "$(dpkg-deb -f "$deb" Package Version | tr '\n' ' ')" = "Package: veltas Version: $version " ] || fail "package fields"
dpkg-deb -f "$deb" Depends | grep -q libc6 || fail "package depends on no libc6"
echo "install: ${#expected[@]} files installed and packaged; $(basename "$deb")"
