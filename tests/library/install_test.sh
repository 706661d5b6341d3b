#!/usr/bin/env bash
# Installs the built library into a scratch prefix and builds two small C
# hosts against it, one through find_package(cxfun), one through pkg-config;
# both must run and print the square root of -4.
set -euo pipefail
build_dir=$1 consumer=$2 work=$3
rm -rf "$work"
mkdir -p "$work"
cmake --install "$build_dir" --prefix "$work/prefix" >/dev/null
libdir=$(dirname "$(find "$work/prefix" -name 'libcxfun.so' | head -n 1)")

cmake -S "$consumer" -B "$work/cmake" -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/cmake" >/dev/null
out=$(LD_LIBRARY_PATH="$libdir" "$work/cmake/consumer")
[ "$out" = "0 2" ] || { echo "find_package host printed '$out'"; exit 1; }

export PKG_CONFIG_PATH="$libdir/pkgconfig"
# shellcheck disable=SC2046
cc -o "$work/pkgconfig_host" "$consumer/main.c" $(pkg-config --cflags --libs cxfun)
out=$(LD_LIBRARY_PATH="$libdir" "$work/pkgconfig_host")
[ "$out" = "0 2" ] || { echo "pkg-config host printed '$out'"; exit 1; }
echo "installed library consumed through find_package and pkg-config"
