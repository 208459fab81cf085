#!/bin/sh
# The elaboration engine against the sqlite3 shell's GROUP BY and pandas on the same data set:
# 5 rounds, alternated, then the medians (with min..max), the ratios and the memory peaks.
#
#   bench/engine/run.sh                  1,000,000 and 10,000,000 fact rows
#   bench/engine/run.sh 100000           another row count (several allowed)
#
# "ours" is Esegui_Elaborazione in "LOCALE" mode end to end: from the query texts to DATI with its
# subtotal and grand-total rows, Rs_Griglia open with its derived columns, and the elaboration
# saved into the history (layout file and saved result). Cold: the first run of the process, which
# builds the columnar copy of the data set from KYX_2.MDB; warm: the second run, on the copy.
# The data sets are kept under build-bench/engine-data (a real disk, not tmpfs) and reused.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build="$root/build-bench"
data="${KYX_BENCH_DATA:-$build/engine-data}"
rounds=5
command -v sqlite3 >/dev/null || { echo "the sqlite3 shell is needed (package sqlite3)" >&2; exit 1; }
if ! /usr/bin/python3 -c "import pandas" 2>/dev/null; then
  apt-get install -y python3-pandas >/dev/null
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target bench_engine >/dev/null
bin="$build/bench/engine/bench_engine"
[ $# -gt 0 ] || set -- 1000000 10000000

for rows in "$@"; do
  folder="$data/p$rows"
  [ -f "$folder/Dati/KYX_2.MDB" ] || "$bin" prepare "$folder" "$rows"
  log="$folder/figures.txt"
  : >"$log"
  i=1
  while [ $i -le $rounds ]; do
    "$bin" ours "$folder" >>"$log"
    "$bin" shell "$folder" >>"$log"
    /usr/bin/python3 "$root/bench/engine/pandas_pivot.py" "$folder/Dati/KYX_2.MDB" >>"$log"
    i=$((i + 1))
  done
  /usr/bin/python3 - "$log" "$rows" <<'PY'
import statistics, sys
figures = {}
for line in open(sys.argv[1]):
    name, value = line.split()
    figures.setdefault(name, []).append(float(value))
def med(n): return statistics.median(figures[n])
print(f"\n{int(sys.argv[2]):,} fact rows, {int(figures['result_rows'][0]):,} result rows, medians of {len(figures['shell'])} (min..max)")
for n, label in (("ours_cold", "ours, cold (builds the columnar copy)"), ("ours_warm", "ours, warm (columnar copy in memory)"),
                 ("shell", "sqlite3 shell GROUP BY"), ("pandas", "pandas pivot_table + subtotals + total")):
    print(f"  {label:42s} {med(n):8.3f} s  ({min(figures[n]):.3f}..{max(figures[n]):.3f})")
for n in ("ours_cold", "ours_warm"):
    print(f"  {n}: {med(n) / med('shell'):.2f} x sqlite3 GROUP BY (target <= 1.0), {med(n) / med('pandas'):.2f} x pandas (goal <= 1.0)")
print(f"  memory peak: ours {max(figures['peak_kb']) / 1024:.0f} MB, pandas {max(figures['pandas_peak_kb']) / 1024:.0f} MB")
PY
done
