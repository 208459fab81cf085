"""The benchmark's pivot in pandas, from memory: the data set is read once (not timed), then the
cross-tab of area x agent by month of the sum of both slots, a subtotal per area and the grand
total are computed. Prints "pandas SECONDS" and the peak memory of the process.

    /usr/bin/python3 pandas_pivot.py KYX_2.MDB
"""
import resource
import sqlite3
import sys
import time

import pandas as pd

con = sqlite3.connect(sys.argv[1])
df = pd.read_sql_query("SELECT K_001 AS area, K_002 AS agent, K_003 AS month, V_001_01, V_001_02 FROM KYX_D0_00F_SI1", con)
con.close()

t0 = time.perf_counter()
df["v"] = df["V_001_01"] + df["V_001_02"]
pivot = df.pivot_table(index=["area", "agent"], columns="month", values="v", aggfunc="sum", fill_value=0)
subtotals = pivot.groupby(level="area").sum()
total = pivot.sum()
seconds = time.perf_counter() - t0
assert len(pivot) + len(subtotals) + 1 > 0 and total.size > 0
print(f"pandas {seconds:.4f}")
print(f"pandas_rows {len(pivot) + len(subtotals) + 1}")
print(f"pandas_peak_kb {resource.getrusage(resource.RUSAGE_SELF).ru_maxrss}")
