#!/bin/sh
# Builds the data-set download benchmark (Release, in build-bench) and runs it: a generated data
# set of a million records (both sample systems together) downloaded from our data server over
# loopback into the local data-set database, alternated with a plain client sending the same
# requests and storing nothing, the same rows inserted with one prepared statement in one
# transaction, and the sqlite3 shell importing them from CSV in one transaction (both under the
# same storage settings); medians of 5 runs each. Our client receives on one thread and stores
# on another, and gets the first two processors for them; the references are single-threaded on
# the first processor; the data server has the rest. The machine's load is printed first:
# figures taken on a busy machine say little.
#
#   bench/dataset/run.sh                    # a million records, 5 runs each
#   bench/dataset/run.sh -n 200000 --runs 7
#   bench/dataset/run.sh --client-processors 1   # our client's two threads on one processor
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build="$root/build-bench"
command -v sqlite3 >/dev/null || { echo "the sqlite3 shell is needed (package sqlite3)" >&2; exit 1; }
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --parallel 4 --target bench_dataset >/dev/null
echo "load: $(cut -d" " -f1-3 /proc/loadavg) on $(nproc) processors"
exec "$build/bench/dataset/bench_dataset" "$@"
