#!/bin/sh
# The .xlsx and .xls exports against libxlsxwriter in its constant-memory mode writing the same
# cells (bench_export.cpp, rif_xlsxwriter.cpp): rounds alternated, then the medians (min..max) of
# the cells per second and of the memory, with the machine's load before and after.
#
#   bench/export/run.sh                 .xlsx at 100,000 and 50,000 rows, .xls at 65,536 and 32,768
#   ROUNDS=7 bench/export/run.sh        more rounds (at least 5)
#   KYX_BENCH_BUILD=build bench/export/run.sh   an existing build folder instead of build-bench
#
# Memory: "peak" is the resident peak of the process during the export (/proc/self/status VmHWM,
# restarted through /proc/self/clear_refs just before it), which for our side includes the result
# table the export reads; "export" is that peak less the resident memory at the start, what the
# export itself took. Flat memory shows as the same "export" figure at both row counts.
# libxlsxwriter-dev is installed here when missing (it is no dependency of the program or of CI).
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build="${KYX_BENCH_BUILD:-$root/build-bench}"
case "$build" in /*) ;; *) build="$root/$build" ;; esac
rounds="${ROUNDS:-5}"
[ "$rounds" -ge 5 ] || rounds=5
if ! pkg-config --exists xlsxwriter; then
  apt-get install -y -q libxlsxwriter-dev >/dev/null
fi
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake "$build" >/dev/null  # finds libxlsxwriter when it was just installed
cmake --build "$build" --target bench_export rif_xlsxwriter >/dev/null
ours="$build/bench/export/bench_export"
ref="$build/bench/export/rif_xlsxwriter"
work=$(mktemp -d "${TMPDIR:-/var/tmp}/kyx-bench-export.XXXXXX")
trap 'rm -rf "$work"' EXIT
log="$work/figures.txt"
: >"$log"

echo "load before: $(cat /proc/loadavg)"
i=1
while [ "$i" -le "$rounds" ]; do
  for rows in 100000 50000; do
    "$ours" xlsx "$rows" "$work/ours.xlsx" >>"$log"
    "$ref" "$rows" "$work/ref.xlsx" >>"$log"
  done
  for rows in 65536 32768; do
    # The sheet's title, caption and heading rows come before the data rows.
    "$ours" xls $((rows - 4)) "$work/ours.xls" >>"$log" || echo "ours_xls rows=$((rows - 4)) failed" >>"$log"
    "$ref" $((rows - 4)) "$work/ref.xlsx" >>"$log"
  done
  i=$((i + 1))
done
echo "load after:  $(cat /proc/loadavg)"

/usr/bin/python3 - "$log" "$rounds" <<'PY'
import statistics, sys
runs = {}
failed = []
for line in open(sys.argv[1]):
    parts = line.split()
    if "failed" in parts:
        failed.append(line.strip())
        continue
    fields = dict(p.split("=") for p in parts[1:])
    runs.setdefault((parts[0], int(fields["rows"])), []).append({k: float(v) for k, v in fields.items()})
def med(key, name):
    v = [r[name] for r in runs[key]]
    return statistics.median(v), min(v), max(v)
print(f"\n20 columns; medians of {sys.argv[2]} rounds (min..max)")
for key in sorted(runs, key=lambda k: (k[1], k[0])):
    c, cmin, cmax = med(key, "cells_per_s")
    s = med(key, "seconds")
    p = med(key, "peak_kb")
    x = med(key, "export_kb")
    b = med(key, "bytes")
    print(f"  {key[0]:15s} {key[1]:7d} rows  {c[0]:10,.0f} cells/s ({cmin:,.0f}..{cmax:,.0f})  {s[0]:6.3f} s"
          f"  peak {p[0] / 1024:6.1f} MB  export {x[0] / 1024:6.1f} MB ({x[1] / 1024:.1f}..{x[2] / 1024:.1f})"
          f"  file {b[0] / 1e6:5.1f} MB")
for fmt in ("ours_xlsx", "ours_xls"):
    for key in sorted(k for k in runs if k[0] == fmt):
        ref = ("ref_xlsxwriter", key[1])
        if ref in runs:
            print(f"  {fmt} / libxlsxwriter at {key[1]} rows: {med(key, 'cells_per_s')[0] / med(ref, 'cells_per_s')[0]:.2f} x the cells per second (target >= 1.00)")
for line in failed:
    print("  " + line)
PY
