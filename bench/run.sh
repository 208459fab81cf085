#!/bin/sh
# Builds the loading benchmarks (Release, in build-bench) and runs them, each printing our rate,
# the sqlite3 shell's rate on the same rows in the same run, and the ratio.
#   bench/run.sh            a million rows each
#   bench/run.sh 100000     another row count
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-bench"
rows="${1:-1000000}"
command -v sqlite3 >/dev/null || { echo "the sqlite3 shell is needed (package sqlite3)" >&2; exit 1; }
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target bench_aggiorna_sinf bench_descrizioni
echo
"$build/bench/bench_aggiorna_sinf" -n "$rows"
echo
"$build/bench/bench_descrizioni" -n "$rows"
