#!/usr/bin/env bash
# Installs into a temporary prefix and checks the installed files: the
# programs run, the manual pages render without warnings, the README and the
# definition files are there and the installed veltas-cli finds them. Then
# builds the Debian package and checks its contents and fields.
# Builds the installable programs alone, optimised, in build/install.
set -euo pipefail
cd "$(dirname "$0")/../.."
root="$PWD"
build="${VELTAS_INSTALL_BUILD:-build/install}"

bash scripts/install-deps.sh build cli
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVELTAS_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null

version="$(sed -n 's/^project(veltas VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
[ -n "$version" ] || { echo "FAIL: no project version in CMakeLists.txt" >&2; exit 1; }

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# --- install into a prefix ---------------------------------------------------
prefix="$tmp/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

programs=(veltas-cli veltas-header)
# The window program is installed where it is built.
[ -x "$build/veltas" ] && programs+=(veltas)

expected=(share/doc/veltas/README.md)
for p in "${programs[@]}"; do expected+=("bin/$p" "share/man/man1/$p.1"); done
for f in "$build"/devices/*.INC; do expected+=("share/veltas/devices/${f##*/}"); done
[ -f "$prefix/share/veltas/devices/P16F877A.INC" ] || fail "no definition file P16F877A.INC installed"
for f in "${expected[@]}"; do
  [ -f "$prefix/$f" ] || fail "not installed: $f"
done
for p in "${programs[@]}"; do [ -x "$prefix/bin/$p" ] || fail "not executable: bin/$p"; done
cmp -s README.md "$prefix/share/doc/veltas/README.md" || fail "installed README differs"
extra="$(cd "$prefix" && find . -type f | sed 's|^\./||' | sort | grep -vxF -f <(printf '%s\n' "${expected[@]}") || true)"
[ -z "$extra" ] || fail "unexpected files installed: $extra"

out="$("$prefix/bin/veltas-cli" --version)"
[ "$out" = "veltas-cli (Veltas) $version" ] || fail "installed veltas-cli --version says: $out"
out="$("$prefix/bin/veltas-header" --version)"
[ "$out" = "veltas-header (Veltas) $version" ] || fail "installed veltas-header --version says: $out"

# The installed program assembles the examples, blink.pic with the
# installed definition file.
mkdir "$tmp/demo"
cp examples/demo.pic examples/demo.inc "$tmp/demo/"
(cd "$tmp/demo" && "$prefix/bin/veltas-cli" --quiet --deps demo.d demo.pic) >"$tmp/demo.out" 2>&1 ||
  { cat "$tmp/demo.out"; fail "installed veltas-cli cannot assemble examples/demo.pic"; }
[ ! -s "$tmp/demo.out" ] || { cat "$tmp/demo.out"; fail "--quiet printed something on success"; }
[ -s "$tmp/demo/demo.HEX" ] || fail "no demo.HEX"
head -1 "$tmp/demo/demo.d" | grep -q '^demo\.HEX demo\.PRN: demo\.pic demo\.inc$' ||
  { cat "$tmp/demo/demo.d"; fail "unexpected dependency rule for the example"; }
cp examples/blink.pic "$tmp/demo/"
(cd "$tmp/demo" && "$prefix/bin/veltas-cli" --quiet --deps blink.d blink.pic) ||
  fail "installed veltas-cli cannot assemble examples/blink.pic"
grep -q "^blink\.HEX blink\.PRN: blink\.pic .*/share/veltas/devices/P16F877A\.INC$" "$tmp/demo/blink.d" ||
  { cat "$tmp/demo/blink.d"; fail "blink.pic did not read the installed P16F877A.INC"; }

# --- the manual pages ---------------------------------------------------------
for p in "${programs[@]}"; do
  page="$prefix/share/man/man1/$p.1"
  LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" >"$tmp/$p.txt" 2>"$tmp/$p.err" ||
    { cat "$tmp/$p.err"; fail "man -l $p.1 failed"; }
  [ ! -s "$tmp/$p.err" ] || { cat "$tmp/$p.err"; fail "man -l $p.1 gives warnings"; }
  title="$(echo "$p" | tr a-z A-Z)(1)"
  head -1 "$tmp/$p.txt" | grep -qF "$title" || fail "$p.1: no title line $title"
  tail -1 "$tmp/$p.txt" | grep -qF "Veltas $version" || fail "$p.1: footer does not name Veltas $version"
  for section in NAME "ÜBERSICHT" BESCHREIBUNG OPTIONEN EXIT-STATUS "SIEHE AUCH"; do
    grep -qx "$section" "$tmp/$p.txt" || fail "$p.1: no section $section"
  done
  ! grep -q '@[A-Z_]*@' "$tmp/$p.txt" || fail "$p.1: unreplaced placeholder"
done
# Every option of veltas-cli --help is described in its manual page.
for option in -L -I --quiet --deps --help --version; do
  grep -qE "^ +$option( |\$)" "$tmp/veltas-cli.txt" || fail "veltas-cli.1 does not describe $option"
done
for option in -d -o -l --help --version; do
  grep -qE "^ +$option( |\$)" "$tmp/veltas-header.txt" || fail "veltas-header.1 does not describe $option"
done

# --- the Debian package -------------------------------------------------------
(cd "$build" && cpack -G DEB -B "$tmp/pkg" >"$tmp/cpack.log" 2>&1) || { cat "$tmp/cpack.log"; fail "cpack -G DEB failed"; }
debs=("$tmp"/pkg/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one .deb, got: ${debs[*]}"
deb="${debs[0]}"
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./||' >"$tmp/deb.list"
for f in "${expected[@]}"; do
  grep -qxF "usr/$f" "$tmp/deb.list" || { cat "$tmp/deb.list"; fail "package lacks usr/$f"; }
done
[ "$(dpkg-deb -f "$deb" Package)" = veltas ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version: $(dpkg-deb -f "$deb" Version)"
[ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "package has no maintainer"
[ -n "$(dpkg-deb -f "$deb" Description)" ] || fail "package has no description"
depends="$(dpkg-deb -f "$deb" Depends)"
for lib in libc6 libstdc++6; do
  echo "$depends" | grep -q "$lib" || fail "package does not depend on $lib: $depends"
done
dpkg-deb -x "$deb" "$tmp/unpacked"
out="$("$tmp/unpacked/usr/bin/veltas-cli" --version)"
[ "$out" = "veltas-cli (Veltas) $version" ] || fail "packaged veltas-cli --version says: $out"

echo "install: ${#expected[@]} files installed and checked; package $(basename "$deb") checked"
cd "$root"
