#!/usr/bin/env bash
# The window programs on a headless machine.
#
# Linux: veltas (FLTK) under Xvfb, driven with xdotool: the window and its
# title, the run's output files, the idle wait, Enter / "OK" / close box,
# the path without arguments (search button or Alt+Q, the chooser, a file
# typed in), closing while waiting for a choice, a run-time I/O error; the
# FLTK window tests (veltas_window_tests) with a display.
#
# Windows: the MinGW-w64 cross build under Wine: VELTAS.EXE and
# veltas-cli.exe assemble every golden case (tests/golden) to the same
# .HEX/.PRN as the native build and as the case expects, and the window
# shows the case's status text; the window's class, title, styles, size and
# controls; Enter closes it with exit status 0; the file dialog; the I/O
# error box; the idle wait.
#
# VELTAS.EXE is always built for 32-bit Windows. Wine runs it where the
# kernel runs 32-bit programs; where it does not (ia32 emulation switched
# off), the same sources are built for 64-bit Windows and that build is run.
#
# Screenshots: docs/veltas-linux.png and docs/veltas-windows.png are made
# anew when VELTAS_SCREENSHOTS=1.
set -euo pipefail
cd "$(dirname "$0")/../.."
root="$PWD"
bash scripts/install-deps.sh build test window
jobs="$(nproc)"

passed=0
failed=0
pass() { echo "PASS: $*"; passed=$((passed + 1)); }
fail() { echo "FAIL: $*" >&2; failed=$((failed + 1)); }
check() { # check WHAT COMMAND...
  local what="$1"
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

work="$(mktemp -d)"
pids=() # programs started here and still running
xvfb_pid=""
twm_pid=""
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  if [ -n "${WINEPREFIX:-}" ] && [ -n "${wineserver:-}" ]; then "$wineserver" -k 2>/dev/null || true; fi
  [ -n "$twm_pid" ] && kill "$twm_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# ---------------------------------------------------------------- builds
echo "== building (Linux, Windows) ($(date +%T))"
lin=build/release
cmake -S . -B "$lin" -DCMAKE_BUILD_TYPE=Release -DVELTAS_TESTS=ON >/dev/null
cmake --build "$lin" -j"$jobs" --target veltas veltas-cli veltas-xclose veltas_window_tests >/dev/null

win32=build/win32
cmake -S . -B "$win32" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$win32" -j"$jobs" --target veltas veltas-cli veltas-wincheck >/dev/null

pe_is() { # pe_is FILE FORMAT SUBSYSTEM: objdump's file format and subsystem
  local dump
  dump="$(i686-w64-mingw32-objdump -p "$1")"
  grep -q "file format $2" <<<"$dump" && grep -q "^Subsystem.*($3)" <<<"$dump"
}
only_system_dlls() { # no DLL of the compiler's run-time: linked statically
  local dlls
  dlls="$(i686-w64-mingw32-objdump -p "$1" | grep -i 'DLL Name')"
  echo "   $(basename "$1") imports:" $(sed 's/.*DLL Name: //' <<<"$dlls")
  [ -n "$dlls" ] && ! grep -Eiq 'libgcc|libstdc|libwinpthread|mingw' <<<"$dlls"
}
check "VELTAS.EXE is a 32-bit Windows GUI program" pe_is "$win32/VELTAS.EXE" pei-i386 "Windows GUI"
check "veltas-cli.exe is a 32-bit Windows console program" pe_is "$win32/veltas-cli.exe" pei-i386 "Windows CUI"
check "VELTAS.EXE needs no MinGW DLLs" only_system_dlls "$win32/VELTAS.EXE"
check "veltas-cli.exe needs no MinGW DLLs" only_system_dlls "$win32/veltas-cli.exe"

if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  winbuild="$win32"
  wine=/usr/lib/wine/wine
else
  echo "NOTE: this kernel runs no 32-bit programs (no ia32 emulation); Wine runs the 64-bit build of the same sources"
  winbuild=build/win64
  wine=/usr/lib/wine/wine64
  cmake -S . -B "$winbuild" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake -DVELTAS_MINGW_ARCH=x86_64 \
    -DCMAKE_BUILD_TYPE=Release --no-warn-unused-cli >/dev/null
  cmake --build "$winbuild" -j"$jobs" --target veltas veltas-cli veltas-wincheck >/dev/null
fi

# ---------------------------------------------------------------- helpers
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  local i
  for i in $(seq 1 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
  done
  [ -s "$work/display" ] || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
  export DISPLAY=":$(head -n1 "$work/display")"
}

# Waits up to $2 seconds for a visible window whose name matches $1 (or
# whose class matches, with --class as $3); prints its id.
find_window() {
  local pattern="$1" seconds="$2" how="${3:---name}" i id
  for i in $(seq 1 $((seconds * 10))); do
    id="$(xdotool search --onlyvisible "$how" "$pattern" 2>/dev/null | head -n1 || true)"
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# Starts a program in the background (in directory $1); its id in $pid.
pid=""
launch() {
  local dir="$1"
  shift
  (cd "$dir" && exec "$@") &
  pid=$!
  pids+=("$pid")
}

# Waits up to $2 seconds for process $1 (started by launch) to end; its exit
# status in $rc. It is then forgotten, so that cleanup never signals an id
# that another process may have taken since.
rc=""
wait_exit() {
  local pid="$1" seconds="$2" i p rest=()
  for p in "${pids[@]}"; do [ "$p" = "$pid" ] || rest+=("$p"); done
  pids=("${rest[@]}")
  for i in $(seq 1 $((seconds * 10))); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    rc="timeout"
    return 0
  fi
  rc=0
  wait "$pid" || rc=$?
}

# Waits up to $3 seconds until files $1 and $2 are identical.
wait_same() {
  local i
  for i in $(seq 1 $(($3 * 10))); do
    cmp -s "$1" "$2" && return 0
    sleep 0.1
  done
  return 1
}

# Processor time (user + system, in clock ticks) a process has used.
cpu_ticks() { sed 's/.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'; }

# Fewer than 10 ticks (0.1 s at 100 Hz) in 3 seconds of waiting.
idles() {
  local before after
  before="$(cpu_ticks "$1")"
  sleep 3
  after="$(cpu_ticks "$1")"
  echo "   processor time while waiting 3 s: $((after - before)) ticks"
  [ $((after - before)) -lt 10 ]
}

press_enter() { # the window gets the keyboard focus, then Enter is typed
  xdotool windowfocus --sync "$1" 2>/dev/null || true
  sleep 0.2
  xdotool key Return
}

demo_dir() { # a directory with the demo source
  mkdir -p "$1"
  cp examples/demo.pic examples/demo.inc "$1/"
}

native_outputs() { # the native veltas-cli's outputs for the demo, with $2 as switches
  demo_dir "$1"
  (cd "$1" && "$root/$lin/veltas-cli" $2 demo.pic >/dev/null)
}

start_xvfb
# The toolkit's file chooser keeps its settings in the home directory, and
# Wine links its user folders there: a home of their own that lasts as long
# as the Wine prefix.
export HOME="$root/build/window-home"
mkdir -p "$HOME"
title="MicroChip PIC-Assembler V2.13 (32bit)"
title_re='^MicroChip PIC-Assembler V2\.13 \(32bit\)$' 

# ---------------------------------------------------------------- Linux
echo "== Linux window (FLTK) on $DISPLAY ($(date +%T))"
check "FLTK window tests with a display" "$lin/veltas_window_tests" --gtest_brief=1
native_outputs "$work/native-L" -L
native_outputs "$work/native" ""

# A run with arguments: window, title, outputs, idle wait, Enter.
demo_dir "$work/l1"
launch "$work/l1" "$root/$lin/veltas" -L demo.pic
if win="$(find_window VELTASWND 20 --class)"; then
  pass "Linux: the window appears (class VELTASWND)"
  check "Linux: the window has the title" test "$(xdotool getwindowname "$win")" = "$title"
  check "Linux: .HEX as the native veltas-cli writes it" wait_same "$work/l1/demo.HEX" "$work/native-L/demo.HEX" 10
  check "Linux: .PRN as the native veltas-cli writes it" wait_same "$work/l1/demo.PRN" "$work/native-L/demo.PRN" 10
  check "Linux: the waiting window uses no processor time" idles "$pid"
  press_enter "$win"
  wait_exit "$pid" 10
  check "Linux: Enter closes the window, exit status 0 (got $rc)" test "$rc" = 0
else
  fail "Linux: the window appears (class VELTASWND)"
fi

# "OK" by mouse.
demo_dir "$work/l2"
launch "$work/l2" "$root/$lin/veltas" demo.pic
if win="$(find_window VELTASWND 20 --class)"; then
  wait_same "$work/l2/demo.PRN" "$work/native/demo.PRN" 10 || true
  xdotool mousemove --window "$win" 509 255 click 1 # the middle of "OK" (409, 240, 200 x 30)
  wait_exit "$pid" 10
  check "Linux: \"OK\" by mouse closes the window, exit status 0 (got $rc)" test "$rc" = 0
else
  fail "Linux: the window appears for the \"OK\" test"
fi

# The close box (the window manager's WM_DELETE_WINDOW).
demo_dir "$work/l3"
launch "$work/l3" "$root/$lin/veltas" demo.pic
if win="$(find_window VELTASWND 20 --class)"; then
  wait_same "$work/l3/demo.PRN" "$work/native/demo.PRN" 10 || true
  "$lin/veltas-xclose" "$win"
  wait_exit "$pid" 10
  check "Linux: the close box closes the window, exit status 0 (got $rc)" test "$rc" = 0
else
  fail "Linux: the window appears for the close-box test"
fi

# Without arguments: the search button opens the chooser, a file typed into
# it is assembled, Enter closes the window.
demo_dir "$work/l4"
launch "$work/l4" "$root/$lin/veltas"
if win="$(find_window VELTASWND 20 --class)"; then
  sleep 0.3
  xdotool mousemove --window "$win" 105 255 click 1 # "&Quelldatei suchen" (5, 240, 200 x 30)
  if chooser="$(find_window "Pic Quelldatei" 10)"; then
    pass "Linux: the search button opens the chooser \"Pic Quelldatei\""
    xdotool windowfocus --sync "$chooser" 2>/dev/null || true
    sleep 0.3
    # The name field shows the chooser's directory (the current one); the
    # file's name is typed after it.
    xdotool key End
    xdotool type --delay 50 demo.pic
    xdotool key Return
    check "Linux: the chosen file is assembled" wait_same "$work/l4/demo.HEX" "$work/native/demo.HEX" 10
    press_enter "$win"
    wait_exit "$pid" 10
    check "Linux: after a chosen file Enter closes the window, exit status 0 (got $rc)" test "$rc" = 0
  else
    fail "Linux: the search button opens the chooser \"Pic Quelldatei\""
  fi
else
  fail "Linux: the window appears without arguments"
fi

# Without arguments: Alt+Q opens the chooser; the window is closed while it
# waits for a choice: the run goes on with an empty name (".PIC" is not
# found) and ends.
mkdir -p "$work/l5"
launch "$work/l5" "$root/$lin/veltas" >"$work/l5.out" 2>"$work/l5.err"
if win="$(find_window VELTASWND 20 --class)"; then
  xdotool windowfocus --sync "$win" 2>/dev/null || true
  sleep 0.3
  xdotool key alt+q
  if find_window "Pic Quelldatei" 10 >/dev/null; then
    pass "Linux: Alt+Q opens the chooser"
  else
    fail "Linux: Alt+Q opens the chooser"
  fi
  "$lin/veltas-xclose" "$win"
  wait_exit "$pid" 10
  check "Linux: closing the window while it waits for a choice ends the program, status 0 (got $rc)" test "$rc" = 0
  check "Linux: ... and writes no file" test -z "$(ls -A "$work/l5")"
else
  fail "Linux: the window appears without arguments (Alt+Q)"
fi

# A run-time I/O error (the listing can't be created): message box
# "Laufzeitfehler", exit status 2.
demo_dir "$work/l6"
mkdir "$work/l6/demo.PRN"
launch "$work/l6" "$root/$lin/veltas" demo.pic 2>"$work/l6.err"
if box="$(find_window Laufzeitfehler 20)"; then
  pass "Linux: a run-time I/O error shows the box \"Laufzeitfehler\""
  press_enter "$box"
  wait_exit "$pid" 10
  check "Linux: after the I/O error box the exit status is 2 (got $rc)" test "$rc" = 2
  check "Linux: the I/O error names the file" grep -q 'Laufzeitfehler: kann Datei "demo.PRN" nicht anlegen' "$work/l6.err"
else
  fail "Linux: a run-time I/O error shows the box \"Laufzeitfehler\""
fi

# ---------------------------------------------------------------- Windows
echo "== Windows build under Wine ($winbuild) ($(date +%T))"
export WINEPREFIX="$root/build/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
# A prefix made with another home has user folders that lead nowhere (the
# file dialog then never fills its lists): make it anew.
if [ -d "$WINEPREFIX" ] && ! grep -qsxF "$HOME" "$WINEPREFIX/.veltas-home"; then rm -rf "$WINEPREFIX"; fi
wineserver="$(dirname "$wine")/wineserver"
[ -x "$wineserver" ] || wineserver=wineserver
if [ ! -f "$WINEPREFIX/system.reg" ]; then echo "   creating the Wine prefix (once)"; fi
timeout 300 "$wine" wineboot -i >/dev/null 2>&1 || true
echo "$HOME" >"$WINEPREFIX/.veltas-home"
"$wineserver" -p 120 2>/dev/null || true # keep it up between the runs
exe="$root/$winbuild/VELTAS.EXE"
cli="$root/$winbuild/veltas-cli.exe"
wincheck="$root/$winbuild/veltas-wincheck.exe"

# The status text a case expects, as the window holds it: cp1252, CR LF.
expected_window_text() { iconv -f UTF-8 -t CP1252 "$1" | perl -pe 's/\n/\r\n/g'; }

# Every golden case: the native veltas-cli and veltas-cli.exe write the same
# files; VELTAS.EXE writes what the case expects and shows its status text.
golden_total=0
golden_bad=0
for case in tests/golden/*/; do
  name="$(basename "$case")"
  compgen -G "$case*.pass2" >/dev/null && continue # edited between the passes: memory only
  golden_total=$((golden_total + 1))
  args=(main.pic)
  [ -f "$case/args" ] && mapfile -t args <"$case/args"
  for kind in nat cli gui; do
    d="$work/golden/$name/$kind"
    mkdir -p "$d"
    find "$case" -maxdepth 1 -type f ! -name 'expected.*' ! -name README ! -name args ! -name from-repo \
      -exec cp {} "$d/" \;
    if [ -f "$case/from-repo" ]; then
      while read -r f; do [ -n "$f" ] && cp "$f" "$d/"; done <"$case/from-repo"
    fi
  done
  g="$work/golden/$name"
  (cd "$g/nat" && "$root/$lin/veltas-cli" "${args[@]}" >/dev/null 2>&1) || true
  (cd "$g/cli" && "$wine" "$cli" "${args[@]}" >/dev/null 2>&1) || true
  # Wine on a loaded machine now and then loses a start; a real difference
  # shows twice, so a case that fails is run once more before it counts.
  for attempt in 1 2; do
    rm -f "$g/gui/"*.HEX "$g/gui/"*.PRN "$g/gui/window.txt"
    launch "$g/gui" "$wine" "$exe" "${args[@]}"
    (cd "$g/gui" && "$wine" "$wincheck" -text window.txt -enter 30 2>/dev/null | tr -d "\r" >wincheck.txt) || true
    wait_exit "$pid" 20
    problems=""
    [ "$rc" = 0 ] || problems+=" exit=$rc"
    for ext in HEX PRN; do
      f="${args[-1]%.*}.$ext"
      if [ -f "$g/nat/$f" ] || [ -f "$g/cli/$f" ]; then
        cmp -s "$g/nat/$f" "$g/cli/$f" || problems+=" cli.exe:$ext"
      fi
      if [ -f "$case/expected.$ext" ]; then
        cmp -s "$case/expected.$ext" "$g/gui/$f" || problems+=" VELTAS.EXE:$ext"
      elif [ -f "$g/gui/$f" ]; then
        problems+=" VELTAS.EXE:$ext-written"
      fi
    done
    if [ -f "$case/expected.status" ]; then
      expected_window_text "$case/expected.status" >"$g/expected-window.txt"
      cmp -s "$g/expected-window.txt" "$g/gui/window.txt" || problems+=" window-text"
    fi
    [ -z "$problems" ] && break
    echo "   golden $name (attempt $attempt):$problems" >&2
  done
  if [ -n "$problems" ]; then golden_bad=$((golden_bad + 1)); fi
done
check "Windows: $golden_total golden cases, VELTAS.EXE and veltas-cli.exe as native and as expected ($golden_bad differ)" \
  test "$golden_bad" = 0

# The console status text of veltas-cli.exe is the native one (its line
# ends aside).
(cd "$work/native" && "$root/$lin/veltas-cli" demo.pic >stdout.txt)
demo_dir "$work/w0"
(cd "$work/w0" && "$wine" "$cli" demo.pic >stdout.txt 2>/dev/null) || true
check "Windows: veltas-cli.exe prints the native status text" \
  cmp -s "$work/native/stdout.txt" <(tr -d '\r' <"$work/w0/stdout.txt")

# The window: class, title, styles, size, controls; the idle wait; Enter.
demo_dir "$work/w1"
launch "$work/w1" "$wine" "$exe" -L demo.pic
(cd "$work/w1" && "$wine" "$wincheck" 30 2>/dev/null | tr -d "\r" >wincheck.txt) || true
has() { grep -qxF "$1" "$work/$2/wincheck.txt"; }
check "Windows: window class VELTASWND" has "class=VELTASWND" w1
check "Windows: window title" has "title=$title" w1
# 0x10CA0000 as created; the system adds WS_CLIPSIBLINGS (0x04000000) to
# every top-level window.
check "Windows: window style" has "style=14CA0000" w1
check "Windows: extended style" has "exstyle=00050100" w1
check "Windows: window size 620 x 300" has "size=620x300" w1
check "Windows: client area as the toolkit window's" has "client=614x275" w1
check "Windows: text area 101" grep -q "^control 101 class=Static style=50040000 rect=5,5,604,230 enabled=1 visible=1 text=" "$work/w1/wincheck.txt"
check "Windows: \"OK\" 100" has "control 100 class=Button style=50010001 rect=409,240,200,30 enabled=1 visible=1 text=OK" w1
check "Windows: no search button with arguments" test "$(grep -c '^control 102' "$work/w1/wincheck.txt")" = 0
check "Windows: .HEX as the native build" cmp -s "$work/w1/demo.HEX" "$work/native-L/demo.HEX"
check "Windows: .PRN as the native build" cmp -s "$work/w1/demo.PRN" "$work/native-L/demo.PRN"
check "Windows: the waiting window uses no processor time" idles "$pid"
if win="$(find_window "$title_re" 10)"; then
  xdotool mousemove --window "$win" 300 100 click 1 # activate it: no window manager here
  press_enter "$win"
  wait_exit "$pid" 20
  check "Windows: Enter closes the window, exit status 0 (got $rc)" test "$rc" = 0
else
  fail "Windows: the window is on the X display"
fi

# Without arguments: the search button, the dialog, a typed path.
demo_dir "$work/w2"
launch "$work/w2" "$wine" "$exe"
(cd "$work/w2" && "$wine" "$wincheck" 30 2>/dev/null | tr -d "\r" >wincheck.txt) || true
check "Windows: search button 102" has "control 102 class=Button style=50010000 rect=5,240,200,30 enabled=1 visible=1 text=&Quelldatei suchen" w2
if win="$(find_window "$title_re" 10)"; then
  xdotool mousemove --window "$win" 105 255 click 1
  if dialog="$(find_window "^Pic Quelldatei\$" 20)"; then
    pass "Windows: the search button opens the dialog \"Pic Quelldatei\""
    xdotool windowfocus --sync "$dialog" 2>/dev/null || true
    sleep 0.5
    xdotool key ctrl+a
    path="Z:$work/w2/demo.pic" # Wine's drive Z: is the root directory
    xdotool type --delay 20 "${path//\//\\}"
    # A freshly opened dialog may still be filling its lists and miss the
    # Enter: the name stays in its field, so Enter is given again.
    for attempt in 1 2 3 4; do
      xdotool windowfocus "$dialog" 2>/dev/null || true
      xdotool key Return
      wait_same "$work/w2/demo.HEX" "$work/native/demo.HEX" 5 && break
    done
    check "Windows: the chosen file is assembled" wait_same "$work/w2/demo.HEX" "$work/native/demo.HEX" 5
    mv "$work/w2/wincheck.txt" "$work/w2/wincheck-before.txt"
    (cd "$work/w2" && "$wine" "$wincheck" 10 2>/dev/null | tr -d "\r" >wincheck.txt) || true
    check "Windows: afterwards the search button is disabled and visible" \
      grep -q "^control 102 class=Button style=58010000 .* enabled=0 visible=1 " "$work/w2/wincheck.txt"
  else
    fail "Windows: the search button opens the dialog \"Pic Quelldatei\""
  fi
  xdotool mousemove --window "$win" 300 100 click 1
  press_enter "$win"
  wait_exit "$pid" 20
  check "Windows: without arguments the exit status is 0 (got $rc)" test "$rc" = 0
else
  fail "Windows: the window without arguments is on the X display"
fi

# A run-time I/O error: message box "Laufzeitfehler", exit status 2.
demo_dir "$work/w3"
mkdir "$work/w3/demo.PRN"
launch "$work/w3" "$wine" "$exe" demo.pic
if box="$(find_window "^Laufzeitfehler\$" 30)"; then
  pass "Windows: a run-time I/O error shows the box \"Laufzeitfehler\""
  xdotool mousemove --window "$box" 10 10 click 1
  press_enter "$box"
  wait_exit "$pid" 20
  check "Windows: after the I/O error box the exit status is 2 (got $rc)" test "$rc" = 2
else
  fail "Windows: a run-time I/O error shows the box \"Laufzeitfehler\""
fi

# ---------------------------------------------------------------- screenshots
if [ "${VELTAS_SCREENSHOTS:-0}" = 1 ]; then
  echo "== screenshots ($(date +%T))"
  # Linux, with a plain window manager for the title bar (its fonts: the
  # X server's built-in "fixed").
  for f in TitleFont MenuFont IconFont ResizeFont IconManagerFont; do echo "$f \"fixed\""; done >"$work/twmrc"
  twm -f "$work/twmrc" >/dev/null 2>&1 &
  twm_pid=$!
  demo_dir "$work/s1"
  launch "$work/s1" "$root/$lin/veltas" demo.pic
  if win="$(find_window VELTASWND 20 --class)"; then
    sleep 1.5
    import -window "$win" -frame docs/veltas-linux.png
    press_enter "$win"
    wait_exit "$pid" 10
  fi
  kill "$twm_pid" 2>/dev/null || true
  wait "$twm_pid" 2>/dev/null || true
  twm_pid=""
  # Windows, in a Wine desktop, which draws the window's caption itself.
  demo_dir "$work/s2"
  launch "$work/s2" "$wine" explorer /desktop=veltas,700x360 "$exe" demo.pic
  if desk="$(find_window "veltas - Wine desktop" 30)"; then
    # (The window lives in that desktop, out of the helper's sight.)
    wait_same "$work/s2/demo.PRN" "$work/native/demo.PRN" 30 || true
    sleep 2
    import -window "$desk" docs/veltas-windows.png
    xdotool mousemove --window "$desk" 350 150 click 1
    press_enter "$desk"
    wait_exit "$pid" 20
  fi
fi

echo "== done ($(date +%T))"
echo "window tests: $passed passed, $failed failed"
[ "$failed" = 0 ]
