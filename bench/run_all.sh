#!/usr/bin/env bash
# Builds the benchmarks (Release, own build folder), writes the fixtures and runs every suite:
#   bench/run_all.sh [--sizes 100k,1M,4M] [--runs 5] [--big-runs 1] [--suites read,write,convert]
# Tables go to stdout and to <build>/bench-results.md. BENCH_BUILD picks the build folder
# (default build/bench), BENCH_FIXTURES the fixture folder (default <build>/bench-fixtures).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BENCH_BUILD:-$here/build/bench}
fixtures=${BENCH_FIXTURES:-$build/bench-fixtures}

sizes=100k,1M
args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --sizes) sizes=$2; shift 2 ;;
    *) args+=("$1"); shift ;;
  esac
done

cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DPELORIN_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target bench_make_fixtures bench_measure bench_run
"$build/bin/bench_make_fixtures" "$fixtures" ${sizes//,/ }
"$build/bin/bench_run" --fixtures "$fixtures" --work "$build/bench-work" --sizes "$sizes" "${args[@]}" |
  tee "$build/bench-results.md"
