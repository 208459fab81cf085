# Checks that every cell of an exported workbook shows its text whole: the text as the spreadsheet
# displays it is measured with the font of the cell (the metric-compatible Liberation faces stand
# for Arial and Courier New) and compared with the width of its column, or of the columns it is
# merged across, in pixels as the file format defines them (ECMA-376 Part 1, 18.3.1.13: the
# width counts the maximum digit width of the default font, and a cell keeps 5 pixels of margin).
# Prints one line per cell that does not fit, then "fatto".
import sys

import openpyxl
from openpyxl.utils import get_column_letter
from PIL import ImageFont

FACES = {
    ("Arial", False): "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
    ("Arial", True): "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf",
    ("Courier New", False): "/usr/share/fonts/truetype/liberation2/LiberationMono-Regular.ttf",
    ("Courier New", True): "/usr/share/fonts/truetype/liberation2/LiberationMono-Bold.ttf",
}


def font(cell):
    size_px = float(cell.font.sz) * 96 / 72
    return ImageFont.truetype(FACES[(cell.font.name, bool(cell.font.b))], round(size_px))


def shown(cell):
    v = cell.value
    if isinstance(v, str):
        return v
    fmt = cell.number_format
    if fmt == "#,##0.00":
        return f"{v:,.2f}".replace(",", "\x00").replace(".", ",").replace("\x00", ".")
    if fmt == "0":
        return f"{v:.0f}"
    if fmt == "0.0":
        return f"{v:.1f}".replace(".", ",")
    return str(v)


path = sys.argv[1]
ws = openpyxl.load_workbook(path).active
merged = {}
for r in ws.merged_cells.ranges:
    merged[(r.min_row, r.min_col)] = r.max_col
    for c in range(r.min_col + 1, r.max_col + 1):
        merged[(r.min_row, c)] = None
for row in ws.iter_rows():
    for cell in row:
        if cell.value is None or merged.get((cell.row, cell.column), 0) is None:
            continue
        # The title, "Filtro" and the caption (the bold rows) run across the whole table: they are
        # no column's to fit.
        if cell.font.b:
            continue
        f = font(cell)
        mdw = round(max(f.getlength(d) for d in "0123456789"))
        last = merged.get((cell.row, cell.column)) or cell.column
        px = 0
        for c in range(cell.column, last + 1):
            w = ws.column_dimensions[get_column_letter(c)].width
            px += int(((256 * w + int(128 / mdw)) / 256) * mdw)
        need = f.getlength(shown(cell)) + 5
        if need > px:
            print(f"{cell.coordinate} {shown(cell)!r} needs {need:.0f} px, has {px}")
print("fatto")
