#!/usr/bin/env bash
# Configures and builds one tree: native, sanitize, tsan, win32 or win64.
#   scripts/build.sh KIND
set -euo pipefail
cd "$(dirname "$0")/.."
kind="$1"
args=(-G Ninja -DMARVOLEN_WERROR=ON)
case "$kind" in
  native) ;;
  # The sanitizer tree also holds the fuzzers; its tests include a short fuzz run.
  sanitize) args+=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
                   -DMARVOLEN_SANITIZE=address,undefined -DMARVOLEN_FUZZ=ON) ;;
  fuzz) args+=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DMARVOLEN_FUZZ=ON
               -DMARVOLEN_SANITIZE=address,undefined) ;;
  tsan) args+=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
               -DMARVOLEN_SANITIZE=thread) ;;
  win32) args+=(-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake) ;;
  win64) args+=(-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake) ;;
  *) echo "build: unknown kind '$kind'" >&2; exit 2 ;;
esac
cmake -S . -B "build/$kind" "${args[@]}" >/dev/null
cmake --build "build/$kind"
