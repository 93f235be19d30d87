#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer (in
# build-test/) and runs every test; windows go to a virtual display when
# there is no real one.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORN_SANITIZE=ON
cmake --build build-test
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
run=(ctest --test-dir build-test --output-on-failure -j "$(nproc)")
if [ -z "${DISPLAY:-}" ]; then
  xvfb-run -a -s '-screen 0 1280x1024x24' "${run[@]}"
else
  "${run[@]}"
fi
