# Reads back a workbook with openpyxl and the styles part with an XML parser, and prints what the
# test compares as "key=value" lines.
import sys
import zipfile
import xml.etree.ElementTree as ET

import openpyxl

path = sys.argv[1]
ns = {"m": "http://schemas.openxmlformats.org/spreadsheetml/2006/main"}
with zipfile.ZipFile(path) as z:
    styles = ET.fromstring(z.read("xl/styles.xml"))
for tag in ("numFmts", "fonts", "fills", "borders", "cellXfs"):
    el = styles.find("m:" + tag, ns)
    print(f"{tag}={el.get('count')}/{len(el)}")
print("indexed=" + ",".join(c.get("rgb") for c in styles.findall("m:colors/m:indexedColors/m:rgbColor", ns)))

ws = openpyxl.load_workbook(path).active
for ref in ("A1", "B1", "A2", "B2"):
    c = ws[ref]
    print(f"{ref}.value={c.value}")
    print(f"{ref}.format={c.number_format}")
    print(f"{ref}.quote={bool(c.quotePrefix)}")
    print(f"{ref}.align={c.alignment.horizontal}")
    print(f"{ref}.font={c.font.name}|{c.font.sz}|{c.font.color.rgb}")
    print(f"{ref}.fill={c.fill.patternType}|{c.fill.fgColor.rgb}")
    b = c.border
    print(f"{ref}.border=" + "|".join(
        f"{s.style}:{s.color.rgb if s.color is not None else '-'}" for s in (b.left, b.right, b.top, b.bottom)))
