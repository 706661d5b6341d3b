#!/usr/bin/env bash
# Builds the libFuzzer targets in fuzz/ with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and runs each for a bounded time:
#
#   scripts/fuzz.sh [seconds per target]     (default 300)
#
# Each target first replays its kept inputs (fuzz/regressions/<target>/, the
# inputs that once found a fault, and the seeds in fuzz/corpus/<target>/),
# then fuzzes from the seeds and the working corpus in build-fuzz/corpus/.
# An input that fails is written to build-fuzz/artifacts/. Installs clang-14
# and libclang-rt-14-dev with apt-get when they are missing (as root).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-300}
build=build-fuzz
targets=(fuzz_text fuzz_messages fuzz_exports)

missing=()
for p in clang-14 libclang-rt-14-dev cmake; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi

cmake -S fuzz -B "$build" -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake --build "$build" -j2 >/dev/null

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:print_stacktrace=1
passed=0 failed=0
for t in "${targets[@]}"; do
  seeds=fuzz/corpus/$t regressions=fuzz/regressions/$t work=$build/corpus/$t
  mkdir -p "$work" "$build/artifacts"
  log=$build/$t.log
  : >"$log"
  kept=$(find "$seeds" "$regressions" -type f 2>/dev/null | sort || true)
  ok=1
  if [ -n "$kept" ]; then
    # shellcheck disable=SC2086
    "$build/$t" -artifact_prefix="$build/artifacts/$t-" $kept >"$log" 2>&1 || ok=0
  fi
  if ((ok)); then
    dirs=("$work")
    [ -d "$seeds" ] && dirs+=("$seeds")
    "$build/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/artifacts/$t-" "${dirs[@]}" >>"$log" 2>&1 || ok=0
  fi
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | tail -n 1 | grep -o '[0-9]*$' || true)
  if ((ok)); then
    passed=$((passed + 1))
    echo "$t: ok, $(wc -w <<<"$kept") kept inputs replayed, then ${seconds} s: ${runs:-0} inputs run"
  else
    failed=$((failed + 1))
    echo "$t: FAILED (log: $log)"
    tail -n 30 "$log"
  fi
done
echo "$passed passed, $failed failed"
((failed == 0))
