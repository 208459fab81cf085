# Prints what an independent reader finds in an .xls workbook: one line per non-empty cell
# "r,c=value|number format|font rgb|bold|fill rgb" (rows and columns from 1), then the merged
# ranges "merge r1,c1:r2,c2" and the column widths "width c=w" (1/256 of a character).
import sys
import xlrd

book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
sheet = book.sheet_by_index(0)
def rgb(i):
    c = book.colour_map.get(i)
    return "%02X%02X%02X" % c if c else "-"
for r in range(sheet.nrows):
    for c in range(sheet.ncols):
        cell = sheet.cell(r, c)
        if cell.ctype == xlrd.XL_CELL_EMPTY or cell.ctype == xlrd.XL_CELL_BLANK:
            continue
        xf = book.xf_list[cell.xf_index]
        font = book.font_list[xf.font_index]
        fmt = book.format_map[xf.format_key].format_str
        fill = rgb(xf.background.pattern_colour_index) if xf.background.fill_pattern == 1 else "-"
        value = repr(cell.value) if cell.ctype == xlrd.XL_CELL_NUMBER else cell.value
        print("%d,%d=%s|%s|%s|%d|%s" % (r + 1, c + 1, value, fmt, rgb(font.colour_index), font.bold, fill))
for r1, r2, c1, c2 in sheet.merged_cells:
    print("merge %d,%d:%d,%d" % (r1 + 1, c1 + 1, r2, c2))
for c, info in sorted(sheet.colinfo_map.items()):
    print("width %d=%d" % (c + 1, info.width))
