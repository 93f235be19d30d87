#!/usr/bin/env bash
# Builds the benchmarks (Release, in build-bench/) with their peer libraries
# and runs the ones named, or all of them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --bench
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORN_BUILD_TESTS=OFF -DVORN_BUILD_BENCH=ON
cmake --build build-bench
names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  mapfile -t names < <(find build-bench/bench -maxdepth 1 -type f -executable -name '*_bench' -printf '%f\n' | sort)
fi
# The benchmarks that draw open the program's main frame: without a display
# they run on a virtual one.
display=()
if [ -z "${DISPLAY:-}" ]; then
  display=(xvfb-run -a -s '-screen 0 1280x1024x24')
fi
for n in "${names[@]}"; do
  echo "== $n"
  case "$n" in
    view_bench|series_frame_bench)
      "${display[@]}" "build-bench/bench/$n" --benchmark_repetitions=3 --benchmark_enable_random_interleaving=true \
        --benchmark_report_aggregates_only=true ;;
    *)
      "build-bench/bench/$n" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true ;;
  esac
done
