#!/usr/bin/env bash
# The test command. Installs what the tests need (Debian packages, as root),
# then:
#   1. builds the library and its tests in Debug and in Release with warnings
#      as errors and runs every test in both;
#   2. runs the whole suite under AddressSanitizer and UndefinedBehaviorSanitizer,
#      the concurrency tests under ThreadSanitizer, and a smoke run of every
#      fuzz target (scripts/test_sanitizers.sh);
#   3. cross-builds cxfun.dll for 32-bit and 64-bit Windows, checks the 32-bit
#      export table and runs the process-level table under wine64 against the
#      Release libcxfun.so (scripts/test_windows.sh).
# Stops at the first failing step with a non-zero status.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake g++ make pkg-config binutils libgtest-dev libgmock-dev libbenchmark-dev
          libmpc-dev libmpfr-dev libgmp-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi

jobs=$(nproc)
for type in Debug Release; do
  dir=build-test-${type,,}
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE="$type" -DCXFUN_WERROR=ON
  cmake --build "$dir" -j"$jobs"
  ctest --test-dir "$dir" --output-on-failure -j"$jobs"
done

scripts/test_sanitizers.sh
scripts/test_windows.sh --linux-lib build-test-release/libcxfun.so
