#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (in build-fuzz/) and runs one:
#   scripts/fuzz.sh <target> [seconds] [libFuzzer flags...]
# Seeds come from <lib>/tests/fuzz/corpus/<Stem>/ (or corpus/ when a folder
# holds one target); what the run finds stays in build-fuzz/corpus/<target>.
# Inputs may reach FUZZ_MAX_LEN bytes (256 KiB by default): libFuzzer's own
# limit (4 KiB, or the largest seed) never tries the large files that make a
# reader slow or greedy. The limit of a run starts at the largest input of the
# corpus and grows slowly from there, so a target's seeds hold one input of
# 10^5 bytes or more. Flags after the seconds go to libFuzzer as they are.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --fuzz
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVORN_FUZZ=ON -DVORN_SANITIZE=ON -DVORN_BUILD_TESTS=OFF
cmake --build build-fuzz -j "${FUZZ_JOBS:-3}"
target=${1:?name a fuzz target, e.g. fuzz_XMLNodeFuzz}
seconds=${2:-60}
stem=${target#fuzz_}
corpus=build-fuzz/corpus/$target
mkdir -p "$corpus"
seeds=()
src=$(find . -path ./build\* -prune -o -path '*/tests/fuzz/*' -name "$stem.cpp" -print | head -n1)
if [ -n "$src" ]; then
  dir=$(dirname "$src")/corpus
  if [ -d "$dir/$stem" ]; then seeds=("$dir/$stem"); elif [ -d "$dir" ]; then seeds=("$dir"); fi
fi
program=$(find build-fuzz -type f -name "$target" | head -n1)
if [ -z "$program" ]; then
  echo "No fuzz target '$target' was built; the targets are:" >&2
  find build-fuzz -type f -executable -name 'fuzz_*' -printf '  %f\n' | sort >&2
  exit 1
fi
"$program" -max_total_time="$seconds" -max_len="${FUZZ_MAX_LEN:-262144}" "${@:3}" "$corpus" "${seeds[@]}"
