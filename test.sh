#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer (in
# build-test/) and runs every test; then builds the Release that ./run.sh
# ships (in build/) and runs every test that opens no window there too, so
# that what is shipped is what is tested (the optimiser of a Release build
# may compute differently). Windows go to a virtual display when there is no
# real one.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORN_SANITIZE=ON
cmake --build build-test
# The very configure line of ./run.sh: the two scripts share build/ without
# reconfiguring it back and forth; ./run.sh builds only the program's targets.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORN_BUILD_TESTS=ON
cmake --build build
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# Both runs report, whichever fails first.
status=0
ctest --test-dir build-test --output-on-failure -j "$(nproc)" || status=1
# The window tests run in the sanitizer build only.
ctest --test-dir build --output-on-failure -j "$(nproc)" -LE gui || status=1
exit "$status"
