#!/bin/sh
# The elaboration engine against DuckDB (one thread), the sqlite3 shell and pandas, each doing the
# same pivot of the same fact rows: 5 rounds, the sides alternated within each round; the results
# compared cell for cell before any figure is printed; then the medians (min..max), the ratios
# against the targets, the memory peaks and the machine's load.
#
#   bench/engine/run.sh                  20,000, 1,000,000 and 10,000,000 fact rows
#   bench/engine/run.sh 100000           another row count (several allowed)
#   KYX_BENCH_ROUNDS=7 bench/engine/run.sh 20000
#
# The sides, all on one thread:
#   ours     Esegui_Elaborazione in "LOCALE" mode end to end: from the query texts to DATI with its
#            subtotal and grand-total rows, Rs_Griglia open with its derived columns, and the
#            elaboration saved into the history (layout file and saved result). Cold: the first
#            run of the process, which builds the columnar copy of the data set from KYX_2.MDB
#            (its load); warm: the second run, on the copy. The process keeps to one processor.
#   DuckDB   its node package (installed by this script from npm into build/bench-duckdb; skipped
#            with a message when npm is missing or the package cannot be installed), threads=1, an
#            in-memory database: the CSV file loaded into a table (load), then the pivot as one
#            GROUP BY ROLLUP with a FILTER sum per month, run twice (first and warm query), the
#            rows read into the script inside the clock.
#   sqlite3  the shell on KYX_2.MDB, the same pivot in one statement; its own timer, so the
#            start of the process is not counted (it reads the rows from the database: load and
#            query in one).
#   pandas   read_sql from KYX_2.MDB (load), then pivot_table, subtotals and total (query).
# The data sets (KYX_2.MDB and the same rows as facts.csv) are kept under build-bench/engine-data
# (a real disk, not tmpfs) and reused.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build="$root/build-bench"
data="${KYX_BENCH_DATA:-$build/engine-data}"
rounds="${KYX_BENCH_ROUNDS:-5}"
command -v sqlite3 >/dev/null || { echo "the sqlite3 shell is needed (package sqlite3)" >&2; exit 1; }
if ! /usr/bin/python3 -c "import pandas" 2>/dev/null; then
  apt-get install -y python3-pandas >/dev/null
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target bench_engine >/dev/null
bin="$build/bench/engine/bench_engine"

# DuckDB's node package ships its engine as a platform package on npm (no download from elsewhere).
duck="$root/build/bench-duckdb"
duckdb_version=1.5.6-r.1
have_duckdb=0
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  echo "DuckDB skipped: node and npm are needed for its package (@duckdb/node-api)"
else
  if [ ! -d "$duck/node_modules/@duckdb/node-api" ]; then
    mkdir -p "$duck"
    [ -f "$duck/package.json" ] || echo '{"private": true}' >"$duck/package.json"
    (cd "$duck" && npm install --no-audit --no-fund --silent "@duckdb/node-api@$duckdb_version" >/dev/null 2>&1) ||
      echo "DuckDB skipped: npm could not install @duckdb/node-api@$duckdb_version"
  fi
  if [ -d "$duck/node_modules/@duckdb/node-api" ]; then
    cp "$root/bench/engine/duckdb_pivot.mjs" "$duck/"
    have_duckdb=1
  fi
fi

[ $# -gt 0 ] || set -- 20000 1000000 10000000
for rows in "$@"; do
  folder="$data/p$rows"
  [ -f "$folder/Dati/KYX_2.MDB" ] && [ -f "$folder/facts.csv" ] || { rm -rf "$folder"; "$bin" prepare "$folder" "$rows"; }
  log="$folder/figures.txt"
  : >"$log"
  i=1
  while [ $i -le $rounds ]; do
    "$bin" ours "$folder" >>"$log"
    [ $have_duckdb = 0 ] || node "$duck/duckdb_pivot.mjs" "$folder/facts.csv" "$folder/result_duckdb.tsv" >>"$log"
    "$bin" shell "$folder" >>"$log"
    /usr/bin/python3 "$root/bench/engine/pandas_pivot.py" "$folder/Dati/KYX_2.MDB" "$folder/result_pandas.tsv" >>"$log"
    i=$((i + 1))
  done
  echo
  echo "$(printf "%'d" "$rows" 2>/dev/null || echo "$rows") fact rows"
  sides="ours=$folder/result_ours.tsv shell=$folder/result_shell.tsv pandas=$folder/result_pandas.tsv"
  [ $have_duckdb = 0 ] || sides="$sides duckdb=$folder/result_duckdb.tsv"
  # shellcheck disable=SC2086
  /usr/bin/python3 "$root/bench/engine/compare_results.py" $sides || { echo "  no figures: the results differ"; exit 1; }
  /usr/bin/python3 - "$log" "$rows" <<'PY'
import statistics, sys
figures = {}
for line in open(sys.argv[1]):
    name, value = line.split()
    figures.setdefault(name, []).append(float(value))
def med(n): return statistics.median(figures[n])
def row(label, n):
    if n in figures:
        print(f"  {label:58s} {med(n):8.4f} s  ({min(figures[n]):.4f}..{max(figures[n]):.4f})")
print(f"  {int(figures['result_rows'][0]):,} result rows, medians of {len(figures['ours_warm'])} alternated rounds (min..max)")
row("ours, cold: columnar copy + run (1 thread, 1 processor)", "ours_cold")
row("ours, warm: run incl. history save (1 thread)", "ours_warm")
row("DuckDB load: CSV into a table (1 thread)", "duckdb_load")
row("DuckDB first query (1 thread)", "duckdb_first")
row("DuckDB warm query (1 thread)", "duckdb_query")
row("sqlite3 shell: read + pivot in one statement (1 thread)", "shell")
row("pandas load: read_sql (1 thread)", "pandas_load")
row("pandas query: pivot_table + subtotals + total (1 thread)", "pandas_query")
if "duckdb_query" in figures:
    q, cold = med("duckdb_query"), med("duckdb_load") + med("duckdb_first")
    rows = int(sys.argv[2])
    limit = 0.3 if rows >= 10_000_000 else 1.0
    w = med("ours_warm") / q
    c = med("ours_cold") / cold
    print(f"  ours warm / DuckDB warm query            {w:6.2f}  (target <= {limit}: {'met' if w <= limit else 'NOT met'})")
    print(f"  ours cold / (DuckDB load + first query)  {c:6.2f}  (target <= 1.0: {'met' if c <= 1.0 else 'NOT met'})")
print(f"  ours warm / pandas query                 {med('ours_warm') / med('pandas_query'):6.2f}")
print(f"  ours cold / (pandas load + query)        {med('ours_cold') / (med('pandas_load') + med('pandas_query')):6.2f}")
print(f"  ours cold / sqlite3 shell                {med('ours_cold') / med('shell'):6.2f}")
print(f"  memory peak: ours {max(figures['peak_kb']) / 1024:.0f} MB, pandas {max(figures['pandas_peak_kb']) / 1024:.0f} MB")
PY
  echo "  load: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) processors"
done
