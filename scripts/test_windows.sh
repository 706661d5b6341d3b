#!/usr/bin/env bash
# Builds the Windows library cxfun.dll for 32-bit and 64-bit x86 with
# Debian's MinGW-w64 cross compilers and checks it:
#   - the 32-bit DLL statically: export table (the ten names, ordinals 1 to
#     10 in alphabetical order, nothing else), the DLLs it imports (system
#     DLLs only), exports that leave the arguments to the caller, SSE2
#     double arithmetic; this machine cannot run 32-bit Windows programs;
#   - the 64-bit DLL under wine64: the process-level table in
#     tests/windows/process_cases.txt, compared byte for byte with the same
#     table run against the Linux libcxfun.so, and the message box of a
#     windowed host on a virtual display (Xvfb).
# Missing Debian packages are installed with apt-get.
#
# Usage: scripts/test_windows.sh [--build-type Release|Debug] [--linux-lib PATH]
#   --linux-lib  compare with this libcxfun.so instead of building one in
#                build-windows/linux
# Build directories: build-win32, build-win64, build-windows (Linux side,
# wine prefix, outputs). Ends with "N passed, M failed"; exits non-zero on any
# failure.
set -u

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_type=Release
linux_lib=
while [ $# -gt 0 ]; do
  case "$1" in
    --build-type) build_type=$2; shift 2 ;;
    --linux-lib) linux_lib=$(realpath "$2"); shift 2 ;;
    *) echo "usage: $0 [--build-type Release|Debug] [--linux-lib PATH]" >&2; exit 2 ;;
  esac
done

work=$root/build-windows
win32=$root/build-win32
win64=$root/build-win64
mkdir -p "$work"
passed=0
failed=0

pass() { passed=$((passed + 1)); echo "PASS $1"; }
fail() { failed=$((failed + 1)); echo "FAIL $1"; [ $# -gt 1 ] && printf '%s\n' "${@:2}" | sed 's/^/     /'; }
finish() {
  [ -n "${wine_prefix_used:-}" ] && WINEPREFIX=$work/wineprefix "$wineserver" -k 2>/dev/null
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ] && exit 0 || exit 1
}
abort() { fail "$1" "${@:2}"; finish; }

# --- packages --------------------------------------------------------------
# wine64's own program lives in wine's library folder, not on the PATH.
find_wine() { dpkg -L wine64 2>/dev/null | grep -m1 '/wine64$'; }
needed=()
command -v i686-w64-mingw32-g++ >/dev/null || needed+=(g++-mingw-w64-i686)
command -v x86_64-w64-mingw32-g++ >/dev/null || needed+=(g++-mingw-w64-x86-64)
command -v i686-w64-mingw32-objdump >/dev/null || needed+=(binutils-mingw-w64-i686)
[ -n "$(find_wine)" ] || needed+=(wine64)
command -v cmake >/dev/null || needed+=(cmake)
command -v g++ >/dev/null || needed+=(g++)
command -v Xvfb >/dev/null || needed+=(xvfb)
command -v xdotool >/dev/null || needed+=(xdotool)
if [ ${#needed[@]} -gt 0 ]; then
  echo "installing ${needed[*]}"
  if ! { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${needed[@]}"; } \
      > "$work/apt.log" 2>&1; then
    abort "install ${needed[*]}" "$(tail -5 "$work/apt.log")"
  fi
fi
wine=$(find_wine)
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=$(dirname "$wine")/wineserver64

# --- builds ----------------------------------------------------------------
build() {  # name directory cmake-arguments...
  local name=$1 dir=$2 log
  shift 2
  log=$work/$(basename "$dir")
  if cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE="$build_type" -DCXFUN_WERROR=ON \
        -DCXFUN_BUILD_TOOLS=OFF "$@" > "$log.configure.log" 2>&1 &&
     cmake --build "$dir" -j2 > "$log.build.log" 2>&1; then
    pass "build $name"
  else
    abort "build $name" "see $log.configure.log and $log.build.log" \
      "$(tail -15 "$log.configure.log" "$log.build.log" 2>/dev/null)"
  fi
}
build "32-bit cxfun.dll" "$win32" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-w64-i686.cmake" \
  -DCXFUN_BUILD_TESTS=OFF
build "64-bit cxfun.dll and Windows hosts" "$win64" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-w64-x86_64.cmake"
if [ -z "$linux_lib" ]; then
  build "Linux libcxfun.so" "$work/linux" -DCXFUN_BUILD_TESTS=OFF
  linux_lib=$work/linux/libcxfun.so
fi
if cc -std=c11 -O2 -Wall -Wextra -Werror "$root/tests/windows/host_dll.c" -o "$work/host_dll" \
     -ldl -lm 2> "$work/host.log"; then
  pass "build Linux host"
else
  abort "build Linux host" "$(cat "$work/host.log")"
fi

# --- static checks of the 32-bit DLL ---------------------------------------
dll32=$win32/cxfun.dll
dump=$(i686-w64-mingw32-objdump -p "$dll32")
names="cxfun_acos cxfun_acosh cxfun_asin cxfun_asinh cxfun_atan cxfun_atanh cxfun_cdlog cxfun_ln cxfun_log cxfun_sqrt"

if grep -q 'file format pei-i386' <<< "$dump" && grep -q '^Magic[[:space:]]*010b' <<< "$dump" &&
   [ -f "$win32/libcxfun.dll.a" ]; then
  pass "32-bit: PE32 image for i386 with its import library"
else
  fail "32-bit: PE32 image for i386 with its import library" "$(grep -m2 -e 'file format' -e '^Magic' <<< "$dump")"
fi

# "ordinal name" lines from objdump -p output. The name table lists each
# name with its ordinal less the ordinal base in brackets.
export_table() {
  local base index name
  base=$(sed -n 's/^Ordinal Base[[:space:]]*//p' <<< "$1" | head -1)
  sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' <<< "$1" |
    sed -n 's/^[[:space:]]*\[[[:space:]]*\([0-9]*\)\] \(.*\)$/\1 \2/p' |
    while read -r index name; do echo "$((index + base)) $name"; done
}
exports=$(export_table "$dump")
expected=$(i=0; for n in $names; do i=$((i + 1)); echo "$i $n"; done)
counts=$(grep -c -e 'Export Address Table[[:space:]]*0000000a$' -e 'Name Pointer/Ordinal\] Table[[:space:]]*0000000a$' <<< "$dump")
if [ "$exports" = "$expected" ] && [ "$counts" = 2 ]; then
  pass "32-bit: exports are the ten names with ordinals 1 to 10 and nothing else"
else
  fail "32-bit: exports are the ten names with ordinals 1 to 10 and nothing else" "got:" "$exports"
fi

imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<< "$dump")
foreign=$(grep -v -i -x -e 'KERNEL32.dll' -e 'msvcrt.dll' -e 'ucrtbase.dll' -e 'USER32.dll' \
  -e 'api-ms-win-.*\.dll' <<< "$imports")
if [ -n "$imports" ] && [ -z "$foreign" ]; then
  pass "32-bit: imports only system DLLs ($(echo $imports))"
else
  fail "32-bit: imports only system DLLs" "imports:" "$imports"
fi

# The caller removes the arguments: every export returns with a plain "ret",
# never with "ret $n", which would pop them itself.
bad_calls=
for n in $names; do
  code=$(i686-w64-mingw32-objdump -d --no-show-raw-insn --disassemble="_$n" "$dll32" |
    sed -n '/^[0-9a-f]* <_'"$n"'>:/,/^$/p')
  if ! grep -q -w 'ret' <<< "$code" || grep -q -E 'ret[[:space:]]+\$' <<< "$code"; then
    bad_calls="$bad_calls $n"
  fi
done
if [ -z "$bad_calls" ]; then
  pass "32-bit: exports leave the arguments to the caller"
else
  fail "32-bit: exports leave the arguments to the caller" "offending:$bad_calls"
fi

# Doubles are computed in SSE2 registers: a build without -msse2
# -mfpmath=sse has no scalar SSE2 arithmetic at all.
sse2=$(i686-w64-mingw32-objdump -d --no-show-raw-insn "$dll32" | grep -c -E '\s(mulsd|addsd|divsd)\s')
if [ "$sse2" -gt 0 ]; then
  pass "32-bit: double arithmetic in SSE2 ($sse2 mulsd/addsd/divsd)"
else
  fail "32-bit: double arithmetic in SSE2" "no mulsd, addsd or divsd in the DLL"
fi

# The 64-bit DLL that the wine runs load must have the same export table.
exports64=$(export_table "$(x86_64-w64-mingw32-objdump -p "$win64/cxfun.dll")")
if [ "$exports64" = "$expected" ]; then
  pass "64-bit: same export table"
else
  fail "64-bit: same export table" "got:" "$exports64"
fi

# --- process table ---------------------------------------------------------
export WINEPREFIX=$work/wineprefix WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  WINEDLLOVERRIDES="mscoree,mshtml=" "$wine" wineboot -i > "$work/wineboot.log" 2>&1
fi
wine_prefix_used=1

# Runs a host and leaves exit status, standard output and standard error in
# $out_dir/<tag>.{status,out,err}.
out_dir=$work/out
rm -rf "$out_dir"
mkdir -p "$out_dir"
run() {  # tag directory program arguments...
  local tag=$1 dir=$2
  shift 2
  (cd "$dir" && timeout 120 "$@" > "$out_dir/$tag.out" 2> "$out_dir/$tag.err" < /dev/null)
  echo $? > "$out_dir/$tag.status"
}

# Compares a run with the row's expectations; prints problems.
check_run() {  # tag status stderr-escaped stdout-lines
  local tag=$1 status=$2 err=$3 lines=$4 line
  local got
  got=$(cat "$out_dir/$tag.status")
  [ "$got" = "$status" ] || echo "$tag: exit status $got, expected $status"
  if [ "$err" = "-" ]; then
    [ -s "$out_dir/$tag.err" ] && echo "$tag: unexpected standard error: $(od -c "$out_dir/$tag.err" | head -5)"
  elif ! cmp -s "$out_dir/$tag.err" <(printf '%b' "$err"); then
    echo "$tag: standard error differs: $(od -c "$out_dir/$tag.err" | head -6)"
  fi
  local text
  text=$(tr -d '\r' < "$out_dir/$tag.out")
  while [ -n "$lines" ]; do
    line=${lines%% ; *}
    [ "$line" = "$lines" ] && lines= || lines=${lines#* ; }
    grep -q -x -F -- "$line" <<< "$text" || echo "$tag: standard output lacks: [$line]"
  done
}

row=0
while IFS= read -r entry || [ -n "$entry" ]; do
  case "$entry" in '' | '#'*) continue ;; esac
  row=$((row + 1))
  rest=$entry
  name=${rest%% | *}; rest=${rest#* | }
  runs=${rest%% | *}; rest=${rest#* | }
  arguments=${rest%% | *}; rest=${rest#* | }
  status=${rest%% | *}; rest=${rest#* | }
  err=${rest%% | *}; rest=${rest#* | }
  lines=$rest
  read -r -a words <<< "$arguments"
  problems=
  case "$runs" in
    both)
      run "$row.linux" "$work" "$work/host_dll" "${words[@]/#LIB/$linux_lib}"
      run "$row.wine" "$win64" "$wine" host_dll.exe "${words[@]/#LIB/cxfun.dll}"
      problems=$(check_run "$row.linux" "$status" "$err" "$lines"; check_run "$row.wine" "$status" "$err" "$lines")
      # Windows text lines end in CR LF; otherwise the bytes must agree.
      if ! cmp -s "$out_dir/$row.wine.out" <(sed 's/$/\r/' "$out_dir/$row.linux.out"); then
        problems="$problems"$'\n'"standard output differs from Linux:"$'\n'"$(diff <(tr -d '\r' < "$out_dir/$row.wine.out") "$out_dir/$row.linux.out" | head -20)"
      fi
      ;;
    wine | wine-gui)
      host=host_dll.exe
      [ "$runs" = wine-gui ] && host=host_dll_gui.exe
      run "$row.wine" "$win64" "$wine" "$host" "${words[@]/#LIB/cxfun.dll}"
      problems=$(check_run "$row.wine" "$status" "$err" "$lines")
      if ! cmp -s "$out_dir/$row.wine.out" <(tr -d '\r' < "$out_dir/$row.wine.out" | sed 's/$/\r/'); then
        problems="$problems"$'\n'"standard output has a line that does not end in CR LF"
      fi
      ;;
    *) problems="unknown runs field '$runs'" ;;
  esac
  problems=$(sed '/^$/d' <<< "$problems")
  if [ -z "$problems" ]; then pass "wine64: $name"; else fail "wine64: $name" "$problems"; fi
done < "$root/tests/windows/process_cases.txt"

# --- the message box of a windowed host -------------------------------------
# On a virtual display the box appears with the caption "run-time error ",
# holds the process until it is answered, and nothing is written to standard
# error; after OK the process ends with status 3 through ordinary exit
# processing. (The box's text is not read back here.)
box_test() {
  local window status pid watchdog
  "$wine" host_dll_gui.exe cxfun.dll log:2:0:-2 > "$out_dir/box.out" 2> "$out_dir/box.err" &
  pid=$!
  window=$(timeout 60 xdotool search --sync --name '^run-time error $' 2>/dev/null | head -1)
  sleep 1
  if [ -n "$window" ] && kill -0 "$pid" 2>/dev/null; then echo "box shown, process waiting"; fi
  [ -n "$window" ] && xdotool key --window "$window" Return 2>/dev/null
  (sleep 30; kill "$pid" 2>/dev/null) &
  watchdog=$!
  wait "$pid"
  status=$?
  kill "$watchdog" 2>/dev/null
  echo "status $status"
  grep -q 'run-time error' "$out_dir/box.err" && echo "message also on standard error"
  tr -d '\r' < "$out_dir/box.out" | grep -q -x 'host: exit handler ran' && echo "exit handler ran"
}
# Wine's desktop process must start afresh to see the display.
"$wineserver" -k 2>/dev/null
"$wineserver" -w 2>/dev/null
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3> "$work/xvfb.display" 2> "$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/xvfb.display" ] && break; sleep 0.2; done
if [ -s "$work/xvfb.display" ]; then
  box=$(cd "$win64" && DISPLAY=:$(head -1 "$work/xvfb.display") box_test)
else
  box="Xvfb did not start: $(tail -3 "$work/xvfb.log")"
fi
"$wineserver" -k 2>/dev/null
"$wineserver" -w 2>/dev/null
kill "$xvfb_pid" 2>/dev/null
wait "$xvfb_pid" 2>/dev/null
if [ "$box" = $'box shown, process waiting\nstatus 3\nexit handler ran' ]; then
  pass "wine64: windowed host shows the message box"
else
  fail "wine64: windowed host shows the message box" "$box"
fi

finish
