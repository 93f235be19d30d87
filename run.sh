#!/usr/bin/env bash
# Builds Vorn (Release, in build/) and starts it through the launch script:
# with an argument, that project file is opened; without, ~/Vorn/exemple.ovx,
# the copy of the sample project the launch script makes once.
set -euo pipefail
project=()
# The project's path is taken from the caller's folder, before the cd below.
if [ $# -gt 0 ]; then project=("$(realpath -m -- "$1")"); fi
cd "$(dirname "$0")"
scripts/install-deps.sh
# Configured exactly as ./test.sh configures build/ (tests included), so the
# two never reconfigure each other; only the program and its libraries are
# built here.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORN_BUILD_TESTS=ON
cmake --build build --target VornProgram
exec scripts/launch-vorn.sh "$PWD/build/vorn/Vorn" "${project[@]}"
