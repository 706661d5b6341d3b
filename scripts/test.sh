#!/usr/bin/env bash
# Installs what the tests need (Debian packages, as root), builds the library
# and its tests in Debug and in Release with warnings as errors, and runs
# every test in both builds.
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
