#!/usr/bin/env bash
# The sanitizer runs of the test command:
#   1. the library and the whole test suite built with AddressSanitizer and
#      UndefinedBehaviorSanitizer (-fno-sanitize-recover=all), every test run;
#   2. the concurrency tests built with ThreadSanitizer;
#   3. a smoke run of every fuzz target (scripts/fuzz.sh, a few seconds each).
#
#   scripts/test_sanitizers.sh [fuzz seconds per target]     (default 5)
#
# Sanitizer reports abort the process that made them and are also written to
# build-asan/sanitizer-reports/; any file there fails the run, so a report
# never passes silently, even from a subprocess whose status a test ignores.
set -uo pipefail
cd "$(dirname "$0")/.."
fuzz_seconds=${1:-5}
passed=0 failed=0
step() {  # step NAME COMMAND...: runs the command and counts the result
  local name=$1
  shift
  echo "== $name"
  if "$@"; then
    passed=$((passed + 1))
    echo "== $name: ok"
  else
    failed=$((failed + 1))
    echo "== $name: FAILED"
  fi
}

missing=()
for p in cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev libmpc-dev \
         libmpfr-dev libgmp-dev clang-14 libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi

asan=build-asan
reports=$PWD/$asan/sanitizer-reports
flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
asan_suite() {
  cmake -S . -B "$asan" -DCMAKE_BUILD_TYPE=Debug -DCXFUN_WERROR=ON \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$flags" >/dev/null &&
    cmake --build "$asan" -j2 >/dev/null || return 1
  rm -rf "$reports" && mkdir -p "$reports"
  local status=0
  ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:log_path=$reports/asan" \
    UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1:log_path=$reports/ubsan" \
    ctest --test-dir "$asan" --output-on-failure -j2 -E '^library\.install_and_consume$' || status=1
  # The installed-library test builds plain, uninstrumented C hosts against the
  # instrumented libcxfun.so; the ASan run time then cannot be first in their
  # library list, which only this check of the load order objects to.
  ASAN_OPTIONS="verify_asan_link_order=0:detect_leaks=0:abort_on_error=1:log_path=$reports/asan" \
    UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1:log_path=$reports/ubsan" \
    ctest --test-dir "$asan" --output-on-failure -R '^library\.install_and_consume$' || status=1
  if [ -n "$(ls -A "$reports")" ]; then
    echo "sanitizer reports:"
    cat "$reports"/*
    status=1
  fi
  return $status
}

tsan=build-tsan
tsan_suite() {
  cmake -S . -B "$tsan" -DCMAKE_BUILD_TYPE=Debug -DCXFUN_WERROR=ON \
    -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" \
    -DCMAKE_C_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" >/dev/null &&
    cmake --build "$tsan" -j2 --target concurrency_test host_threads >/dev/null || return 1
  # The test sets TSAN_OPTIONS for each host it runs (halt_on_error, exitcode 66).
  ctest --test-dir "$tsan" --output-on-failure -R '^ConcurrencyTest\.'
}

step "AddressSanitizer and UndefinedBehaviorSanitizer: whole test suite" asan_suite
step "ThreadSanitizer: concurrency tests" tsan_suite
step "libFuzzer smoke run, $fuzz_seconds s per target" scripts/fuzz.sh "$fuzz_seconds"
echo "$passed passed, $failed failed"
((failed == 0))
