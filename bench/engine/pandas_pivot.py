"""The benchmark's pivot in pandas (one thread): the fact rows read from the data-set database
(timed apart as the load), then the cross-tab of area x agent by month of the sum of both slots, a
subtotal per area and the grand total. Prints "pandas_load S", "pandas_query S", the result rows
and the peak memory, and writes the result, one line per row (area, agent, the twelve months; "*"
for a rolled-up key), to OUT.

    /usr/bin/python3 pandas_pivot.py KYX_2.MDB OUT
"""
import resource
import sqlite3
import sys
import time

import pandas as pd

t0 = time.perf_counter()
con = sqlite3.connect(sys.argv[1])
df = pd.read_sql_query("SELECT K_001 AS area, K_002 AS agent, K_003 AS month, V_001_01, V_001_02 FROM KYX_D0_00F_SI1", con)
con.close()
load = time.perf_counter() - t0

t0 = time.perf_counter()
df["v"] = df["V_001_01"] + df["V_001_02"]
pivot = df.pivot_table(index=["area", "agent"], columns="month", values="v", aggfunc="sum", fill_value=0)
subtotals = pivot.groupby(level="area").sum()
total = pivot.sum()
query = time.perf_counter() - t0

months = [f"{m:02d}" for m in range(1, 13)]
with open(sys.argv[2], "w") as out:
    def line(area, agent, row):
        out.write("\t".join([area, agent] + [repr(float(row[m])) if m in row.index else "" for m in months]) + "\n")
    for (area, agent), row in pivot.iterrows():
        line(area, agent, row)
    for area, row in subtotals.iterrows():
        line(area, "*", row)
    line("*", "*", total)
print(f"pandas_load {load:.4f}")
print(f"pandas_query {query:.4f}")
print(f"pandas_rows {len(pivot) + len(subtotals) + 1}")
print(f"pandas_peak_kb {resource.getrusage(resource.RUSAGE_SELF).ru_maxrss}")
