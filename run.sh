#!/usr/bin/env bash
# Builds Vorn (Release, in build/) and starts it; an optional argument names a
# project file to open.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
# Configured exactly as ./test.sh configures build/ (tests included), so the
# two never reconfigure each other; only the program and its libraries are
# built here.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORN_BUILD_TESTS=ON
cmake --build build --target VornProgram
if [ ! -x build/vorn/Vorn ]; then
  echo "The program Vorn is not built yet: only its libraries are." >&2
  exit 1
fi
project=()
if [ $# -gt 0 ]; then project=("$(realpath "$1")"); fi
exec build/vorn/Vorn "${project[@]}"
