# Reads back an exported workbook with openpyxl and prints, one per line: the sheet's dimension,
# the merged ranges, the column widths, then each non-empty row as
# "row: ref=value{number format}[fill colour]" cells joined by " ^ " (a cell without a value
# shows "~"; CR and LF inside a text show as \r and \n). Fails unless every part is ASCII.
import sys
import zipfile

import openpyxl

path = sys.argv[1]
with zipfile.ZipFile(path) as z:
    for name in z.namelist():
        z.read(name).decode("ascii")
ws = openpyxl.load_workbook(path).active
print("name=" + ws.title)
print("dimension=" + ws.dimensions)
print("merged=" + ",".join(str(r) for r in ws.merged_cells.ranges))
print("widths=" + ",".join(f"{k}:{v.width:g}" for k, v in sorted(ws.column_dimensions.items())))
for row in ws.iter_rows():
    cells = []
    for c in row:
        v = "~" if c.value is None else repr(c.value) if not isinstance(c.value, str) else c.value
        if isinstance(v, str):
            v = v.replace("\r", "\\r").replace("\n", "\\n")
        cells.append(f"{c.coordinate}={v}{{{c.number_format}}}[{c.fill.fgColor.index}]")
    print(" ^ ".join(cells))
