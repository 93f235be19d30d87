#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (in build-fuzz/) and runs one:
#   scripts/fuzz.sh <target> [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --fuzz
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVORN_FUZZ=ON -DVORN_SANITIZE=ON -DVORN_BUILD_TESTS=OFF
cmake --build build-fuzz
target=${1:?name a fuzz target, e.g. fuzz_XMLNodeFuzz}
seconds=${2:-60}
corpus=build-fuzz/corpus/$target
mkdir -p "$corpus"
"$(find build-fuzz -type f -name "$target" | head -n1)" -max_total_time="$seconds" "$corpus"
