#!/usr/bin/env bash
# The window programs as users see them, headless: veltas (FLTK) under Xvfb,
# driven with xdotool; the MinGW-w64 build under Wine (32-bit where the kernel
# runs 32-bit programs, else a 64-bit build of the same sources).
set -euo pipefail
cd "$(dirname "$0")/../.."
root="$PWD"
bash scripts/install-deps.sh build test window
lin=build/release winbuild=build/win32 wine=/usr/lib/wine/wine
mk() { cmake -S . -B "$1" -DCMAKE_BUILD_TYPE=Release "${@:3}" >/dev/null && cmake --build "$1" -j"$(nproc)" --target $2 >/dev/null; }
mk $lin "veltas veltas-cli veltas-xclose veltas_window_tests" -DVELTAS_TESTS=ON
windows=("veltas veltas-cli veltas-wincheck" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake)
mk $winbuild "${windows[@]}"
if ! "$wine" --version >/dev/null 2>&1; then
  echo "NOTE: this kernel runs no 32-bit programs; Wine runs a 64-bit build of the same sources"
  wine=/usr/lib/wine/wine64 winbuild=build/win64
  mk $winbuild "${windows[@]}" -DVELTAS_MINGW_ARCH=x86_64
fi

failed=0 work="$(mktemp -d)" pid="" xvfb=""
check() { if "${@:2}"; then echo "PASS: $1"; else echo "FAIL: $1" >&2 && failed=$((failed + 1)); fi; } # check WHAT COMMAND...
trap 'set +e; kill $pid $xvfb 2>/dev/null; [ -z "${WINEPREFIX:-}" ] || "$(dirname "$wine")/wineserver" -k; rm -rf "$work"' EXIT
launch() { (cd "$1" && exec "${@:2}") & pid=$!; } # launch DIR COMMAND...
wait_exit() { # waits up to $1 s for $pid to end, else ends it; its exit status in $rc
  for ((i = 0; i < $1 * 10; i++)); do kill -0 "$pid" 2>/dev/null && sleep 0.1 || break; done
  kill "$pid" 2>/dev/null || true # not yet waited for, so the id is still its own
  rc=0 && wait "$pid" || rc=$?
  pid=""
}
find_window() { # find_window PATTERN SECONDS [--class]: prints the id of a visible window whose name matches
  for ((i = 0; i < $2 * 10; i++)); do xdotool search --onlyvisible "${3:---name}" "$1" | head -n1 | grep . && return 0 || sleep 0.1; done 2>/dev/null
  return 1
}
wait_same() { for ((i = 0; i < $3 * 10; i++)); do cmp -s "$1" "$2" && return 0 || sleep 0.1; done; return 1; }
press() { xdotool windowfocus --sync "$1" 2>/dev/null || true && sleep 0.2 && xdotool key "$2"; } # press WINDOW KEY
demo() { mkdir -p "$1" && cp examples/demo.pic examples/demo.inc "$1/"; }
start() { d="$work/$1" && demo "$d" && launch "$d" "${@:2}"; } # start NAME COMMAND...: in $d, with the demo source
io_box() { # io_box NAME COMMAND...: the listing's name is a directory; a click (for the focus) and Enter on the box
  d="$work/$1" && demo "$d" && mkdir "$d/demo.PRN" && launch "$d" "${@:2}" demo.pic 2>"$d.err"
  if box="$(find_window "^Laufzeitfehler\$" 30)"; then xdotool mousemove --window "$box" 10 10 click 1 && press "$box" Return; fi
  wait_exit 20
}
ticks() { sed 's/.*) //' "/proc/$pid/stat" | awk '{print $12 + $13}'; } # processor time used so far
idles() { local t; t="$(ticks)" && press "$1" Escape && sleep 2 && kill -0 "$pid" && [ $(($(ticks) - t)) -lt 10 ]; }

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null & xvfb=$!
for ((i = 0; i < 100; i++)); do [ -s "$work/display" ] && break || sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
# The chooser keeps its settings in the home directory, and Wine links its
# user folders there: a home of their own that lasts as long as the prefix.
export HOME="$root/build/window-home" && mkdir -p "$HOME"
title="MicroChip PIC-Assembler V2.13 (32bit)"
demo "$work/native"
(cd "$work/native" && "$root/$lin/veltas-cli" -L demo.pic >/dev/null)

echo "== Linux window (FLTK) on $DISPLAY ($(date +%T))"
check "FLTK window test" "$lin/veltas_window_tests" --gtest_brief=1
# With a source: the outputs of veltas-cli; Enter, "OK", close box: status 0.
for how in Return OK closebox; do
  # A loaded machine's X server now and then refuses a connection: one more start.
  for try in 1 2; do
    start "$how" "$root/$lin/veltas" -L demo.pic
    win="$(find_window VELTASWND 20 --class)" && break
    wait_exit 1
  done
  [ -n "$win" ] || { check "Linux: a window of class VELTASWND" false && continue; }
  check "Linux: the HEX file as veltas-cli's" wait_same "$d/demo.HEX" "$work/native/demo.HEX" 10
  check "Linux: the listing as veltas-cli's" wait_same "$d/demo.PRN" "$work/native/demo.PRN" 10
  case $how in
    Return)
      check "Linux: the window title" test "$(xdotool getwindowname "$win")" = "$title"
      check "Linux: the waiting window uses no processor time, Escape leaves it open" idles "$win"
      press "$win" Return ;;
    OK) xdotool mousemove --window "$win" 509 255 click 1 ;; # the middle of "OK" (409, 240, 200 x 30)
    closebox) "$lin/veltas-xclose" "$win" ;;
  esac
  wait_exit 10
  check "Linux: $how ends veltas with status 0 (got $rc)" test "$rc" = 0
done

# Without arguments: the search button opens the chooser; the name typed
# after the chooser's directory (the current one) is assembled.
start search "$root/$lin/veltas"
if win="$(find_window VELTASWND 20 --class)"; then
  sleep 0.3 && xdotool mousemove --window "$win" 105 255 click 1 # "&Quelldatei suchen" (5, 240, 200 x 30)
  if chooser="$(find_window "Pic Quelldatei" 10)"; then press "$chooser" End && xdotool type --delay 50 demo.pic && xdotool key Return; fi
  check "Linux: search button, chooser \"Pic Quelldatei\", the chosen file assembled" \
    wait_same "$d/demo.HEX" "$work/native/demo.HEX" 10
  press "$win" Return
fi
wait_exit 10
check "Linux: then Enter ends veltas with status 0 (got $rc)" test "$rc" = 0
# Closed before a choice: the run goes on with ".PIC" (not found) and ends.
start alt-q "$root/$lin/veltas"
if win="$(find_window VELTASWND 20 --class)"; then
  press "$win" alt+q
  check "Linux: Alt+Q opens the chooser" find_window "Pic Quelldatei" 10
  "$lin/veltas-xclose" "$win"
fi
wait_exit 10
check "Linux: closing it without a choice ends veltas, status 0, no file written (got $rc)" \
  test "$rc:$(ls "$d" | xargs)" = "0:demo.inc demo.pic"

io_box io "$root/$lin/veltas"
check "Linux: a run-time I/O error: the box \"Laufzeitfehler\", status 2, the message on stderr (got $rc: $(cat "$work/io.err"))" test \
  "$rc:$(cat "$work/io.err")" = '2:Laufzeitfehler: kann Datei "demo.PRN" nicht anlegen (Is a directory)'

mkdir "$work/nodisplay" && echo "  NOP" >"$work/nodisplay/t.pic"
rc=0 && (cd "$work/nodisplay" && env -u DISPLAY "$root/$lin/veltas" t.pic >out 2>err) || rc=$?
check "Linux: without a display \"Ooops: kein Handle bekommen!\" on stderr, status 0, no output" \
  test "$rc:$(cat "$work/nodisplay/err"):$(ls "$work/nodisplay" | xargs)" = "0:Ooops: kein Handle bekommen!:err out t.pic"

echo "== Windows build under Wine ($winbuild) ($(date +%T))"
pe() { i686-w64-mingw32-objdump -p "build/win32/$1" | grep -Ec "format pei-i386|^Subsystem.*\(Windows $2\)|DLL Name: .*(libgcc|libstdc|pthread)"; }
check "VELTAS.EXE and veltas-cli.exe: 32-bit Windows GUI and console programs that need no MinGW DLLs" \
  test "$(pe VELTAS.EXE GUI):$(pe veltas-cli.exe CUI)" = 2:2
# Wine takes Unix file names as UTF-8 and runs with the ANSI code page cp1252.
export LC_ALL=C.UTF-8 WINEPREFIX="$root/build/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
# A prefix made with another home has user folders that lead nowhere (the
# file dialog then never fills its lists): it is made anew.
grep -qsxF "$HOME" "$WINEPREFIX/.veltas-home" || rm -rf "$WINEPREFIX"
timeout 300 "$wine" wineboot -i >/dev/null 2>&1 || true
echo "$HOME" >"$WINEPREFIX/.veltas-home"
"$(dirname "$wine")/wineserver" -p 120 2>/dev/null || true # kept up between the runs
exe="$root/$winbuild/VELTAS.EXE" cli="$root/$winbuild/veltas-cli.exe" wincheck="$root/$winbuild/veltas-wincheck.exe"

# Source directory and arguments of each case: veltas-cli.exe writes and prints
# what veltas-cli does, VELTAS.EXE writes its outputs and shows its status text.
cases=("examples|-L demo.pic" "tests/golden/include_marks|-L main.pic" "tests/golden/core16_two_words|main.pic"
  "tests/golden/float_equ|-L main.pic" "tests/golden/error_pass2_code|-L main.pic"
  "tests/golden/error_pass1_in_include|main.pic")
for c in "${cases[@]}"; do
  src="${c%%|*}" g="$work/$(basename "${c%%|*}")"
  read -ra args <<<"${c#*|}"
  for kind in nat cli gui; do
    mkdir -p "$g/$kind" && find "$src" -maxdepth 1 \( -name '*.pic' -o -name '*.inc' \) -exec cp -t "$g/$kind" {} +
  done
  (cd "$g/nat" && "$root/$lin/veltas-cli" "${args[@]}" >out 2>err) || true
  (cd "$g/cli" && { "$wine" "$cli" "${args[@]}" >out 2>err || true; } && sed -i 's/\r$//' out err)
  for attempt in 1 2; do # Wine on a loaded machine now and then loses a start: a real difference shows twice
    rm -f "$g/gui/"*.HEX "$g/gui/"*.PRN
    launch "$g/gui" "$wine" "$exe" "${args[@]}"
    (cd "$g/gui" && "$wine" "$wincheck" 30 -enter | tr -d '\r' >wincheck) || true
    wait_exit 20
    bad="$([ "$rc" = 0 ] || echo " VELTAS.EXE-status=$rc")"
    [ "$(sed '1,/^text:$/d' "$g/gui/wincheck")" = "$(iconv -f UTF-8 -t CP1252 "$g/nat/out")" ] || bad+=" window-text"
    for f in out err "${args[-1]%.*}".{HEX,PRN}; do
      [ -f "$g/nat/$f" ] || [ ! -f "$g/cli/$f" ] || bad+=" veltas-cli.exe:$f-written"
      [ -f "$g/nat/$f" ] || continue
      cmp -s "$g/nat/$f" "$g/cli/$f" || bad+=" veltas-cli.exe:$f"
      [[ $f = out || $f = err ]] || cmp -s "$g/nat/$f" "$g/gui/$f" || bad+=" VELTAS.EXE:$f"
    done
    [ -z "$bad" ] && break
  done
  check "Windows: $src ${args[*]}, VELTAS.EXE and veltas-cli.exe as native:${bad:- same}" test -z "$bad"
done

# The window's make-up (first case): style 0x10CA0000 plus WS_CLIPSIBLINGS
# (0x04000000, added by the system); controls placed from the client area W x H.
w="$work/examples/gui/wincheck"
read -r W H < <(sed -n 's/^client=\([0-9]*\)x\([0-9]*\)$/\1 \2/p' "$w") || true
for fact in class=VELTASWND "title=$title" style=14CA0000 exstyle=00050100 size=620x300 \
  "control 101 class=Static style=50040000 rect=5,5,$((W - 10)),$((H - 45)) enabled=1 text=" \
  "control 100 class=Button style=50010001 rect=$((W - 205)),$((H - 35)),200,30 enabled=1 text=OK"; do
  check "Windows: the window has $fact" grep -qF "$fact" "$w"
done

# Without arguments: search button, dialog, a typed path; then the button is
# disabled (style 0x50010000 plus WS_DISABLED, 0x08000000).
search() {
  start w-search "$wine" "$exe"
  win="$(find_window "^MicroChip PIC-Assembler" 30)" && sleep 1 && xdotool mousemove --window "$win" 105 255 click 1
  if dialog="$(find_window "^Pic Quelldatei\$" 20)"; then
    path="Z:$d/demo.pic" # Wine's drive Z: is the root directory
    press "$dialog" ctrl+a && xdotool type --delay 20 "${path//\//\\}"
    # A freshly opened dialog may still be filling its lists and miss Enter;
    # an Enter after it has closed would close the status window.
    for attempt in 1 2 3 4; do press "$dialog" Return && sleep 3 && find_window "^Pic Quelldatei\$" 1 >/dev/null || break; done
  fi
  wait_same "$d/demo.HEX" "$work/native/demo.HEX" 20
}
# Wine on a loaded machine now and then misses the click: one more start.
search || { wait_exit 5 && rm -rf "$work/w-search" && search; } && found=0 || found=1
check "Windows: search button, dialog \"Pic Quelldatei\", the chosen file assembled" test "$found" = 0
(cd "$d" && "$wine" "$wincheck" 10 -enter | tr -d '\r' >after) || true
check "Windows: then the search button 102 is disabled" grep -qxF \
  "control 102 class=Button style=58010000 rect=5,$((H - 35)),200,30 enabled=0 text=&Quelldatei suchen" "$d/after"
wait_exit 20
check "Windows: Enter ends VELTAS.EXE with status 0 (got $rc)" test "$rc" = 0

io_box w-io "$wine" "$exe"
check "Windows: a run-time I/O error: the box \"Laufzeitfehler\", status 2 (got $rc)" test "$rc" = 2

# veltas-cli.exe prints UTF-8 only: names such as prüf.pic (ANSI code page on
# Windows) in the status text, the error line, the I/O message with the
# program's cp1252 words ("öffnen": the file is held open) and option errors.
d="$work/utf8" && mkdir "$d" && printf '  NOP\n  MOVLW 300\n' >"$d/prüf.pic"
(cd "$d" && { "$wine" "$cli" prüf.pic >out 2>err; "$wine" "$wincheck" -hold prüf.pic "$cli" prüf.pic >/dev/null 2>>err
  "$wine" "$cli" --prüf 2>&1 | head -n1 >>err; "$wine" "$cli" --quiet grün 2>>err; sed -i 's/\r$//' out err; } || true)
check "Windows: veltas-cli.exe prints status text, error line, I/O message, option errors in UTF-8" \
  test "$(grep -e ^übersetze -e Zeile "$d/out"; cat "$d/err")" = "$(printf '%s\n' \
  'übersetze prüf.pic nach prüf.HEX (HEX-Datei)  +  prüf.PRN (AssemblerListe)' '"prüf.pic"  Zeile 2 bei Pos 12' \
  'prüf.pic:2:12: error: Wert außerhalb des zulässigen Bereiches' \
  'Laufzeitfehler: kann Datei "prüf.pic" nicht öffnen (Permission denied)' \
  'veltas-cli: unbekannte Option "--prüf"' 'veltas-cli: Datei grün.PIC nicht gefunden')"

echo "== done ($(date +%T)): $failed failed"
[ "$failed" = 0 ]
