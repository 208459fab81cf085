#!/usr/bin/env python3
"""Checks what the demo left: the picture of the main window, the definitions and descriptions
databases of the data folder filled by the download and, with --result, the elaboration the
headless demo ran ("Vendite per zona e agente": zones with their agents, a subtotal per zone and
the grand total): every subtotal must equal the sum of its zone's agents and the grand total the
sum of the subtotals, column by column, read from the work database; and the picture must show the
result's first data row whole, not covered by the header strip above it.

Usage: controlla.py DATA_FOLDER PICTURE [--result]
       controlla.py --check DATA_FOLDER downloaded|elaborated   (exit status only, for waiting)
       controlla.py --check DATA_FOLDER filtro=KEY:CODE|prodotto=CODE|descritti
         filtro: the user filter holds, for KEY, only the value "=" CODE (the raw code);
         prodotto: the result of "Prodotti per linea" is complete and its product rows are all CODE;
         descritti: the result of "Zone e agenti" is complete and every zone and agent on it has a
         description in the descriptions database (the grid would show "*** non codificato ***").
"""
import collections
import sqlite3
import subprocess
import sys


def count(path, table):
    con = sqlite3.connect("file:%s?mode=ro" % path, uri=True)
    # The tables declare the program's case-blind collation; a plain one serves for reading.
    con.create_collation("JET", lambda a, b: (a.lower() > b.lower()) - (a.lower() < b.lower()))
    try:
        return con.execute("SELECT COUNT(*) FROM %s" % table).fetchone()[0]
    finally:
        con.close()


# Columns of the result table for the demo's layout: c001 zone, c003 agent, then quantity,
# amount and the large-retail amount (c007 is a formula the grid computes). The row key c000
# carries the row kind in its 7th character: "2" detail, "3" subtotal, "4" grand total.
VALUE_COLUMNS = ("c005", "c006", "c008")


def rows(path, sql):
    con = sqlite3.connect("file:%s?mode=ro" % path, uri=True)
    con.create_collation("JET", lambda a, b: (a.lower() > b.lower()) - (a.lower() < b.lower()))
    try:
        return con.execute(sql).fetchall()
    finally:
        con.close()


def check_result(data):
    table = rows("%s/KYX_3.MDB" % data, "SELECT c000, c001, %s FROM DATI" % ", ".join(VALUE_COLUMNS))
    details, subtotals, totals = {}, {}, []
    for key, zone, *values in table:
        kind = key[6:7]
        values = [v or 0.0 for v in values]
        if kind == "2":
            acc = details.setdefault(zone, [0.0] * len(values))
            for i, v in enumerate(values):
                acc[i] += v
        elif kind == "3":
            subtotals[zone] = values
        elif kind == "4":
            totals.append(values)
    ok = bool(details) and len(totals) == 1 and set(details) == set(subtotals)
    for zone, expected in details.items():
        got = subtotals.get(zone)
        if got is None or any(abs(a - b) > 0.005 for a, b in zip(expected, got)):
            print("controlla: subtotal of %s is %s, its agents add up to %s" % (zone, got, expected),
                  file=sys.stderr)
            ok = False
    if totals:
        expected = [sum(v[i] for v in subtotals.values()) for i in range(len(VALUE_COLUMNS))]
        if any(abs(a - b) > 0.005 for a, b in zip(expected, totals[0])):
            print("controlla: grand total %s, subtotals add up to %s" % (totals[0], expected), file=sys.stderr)
            ok = False
    print("controlla: result with %d zones, %d agent rows, grand total %s"
          % (len(subtotals), sum(1 for r in table if r[0][6:7] == "2"), totals[0] if totals else None))
    if not ok:
        print("controlla: the elaboration's result is incomplete or its totals do not add up", file=sys.stderr)
    return ok


# The picture's pixels, read through ImageMagick (which took the picture) as a binary PPM.
def pixels(picture):
    ppm = subprocess.run(["convert", picture, "-depth", "8", "ppm:-"], check=True, capture_output=True).stdout
    fields, pos = [], 0
    while len(fields) < 4:  # "P6", width, height, maximum, each after blanks or comments
        while ppm[pos:pos + 1].isspace():
            pos += 1
        if ppm[pos:pos + 1] == b"#":
            pos = ppm.index(b"\n", pos)
            continue
        end = pos
        while not ppm[end:end + 1].isspace():
            end += 1
        fields.append(ppm[pos:end])
        pos = end
    width, height = int(fields[1]), int(fields[2])
    data = ppm[pos + 1:]
    return width, height, lambda x, y: data[3 * (y * width + x):3 * (y * width + x) + 3]


# A column two pixels inside the grid's first cell, for the main window's first placement on Xvfb
# (630 x 400 at the top left) with the fonts of .ci/install: the cell's left margin holds no text,
# so going down it crosses only backgrounds and the lines between rows.
PROBE_X = 168
TOP = 30      # below the toolbar
BOTTOM = 25   # above the status bar


def first_row_whole(picture):
    """The result's first data row is whole: going down the first cell's margin, the bands of the
    title and of the header strip (the window's face colour, as the toolbar's background) are
    followed by row bands; the strip is no taller than one line of headings, and the first row is
    as tall as the second, starts right under the strip's edge and shows text (at least a third as
    much as the second)."""
    width, height, at = pixels(picture)
    face = collections.Counter(at(x, 2) for x in range(width)).most_common(1)[0][0]
    bands, y = [], TOP
    while y < height - BOTTOM:
        colour, start = at(PROBE_X, y), y
        while y < height - BOTTOM and at(PROBE_X, y) == colour:
            y += 1
        if y - start >= 3:
            bands.append((colour, start, y - start))
    heads = 0
    while heads < len(bands) and bands[heads][0] == face:
        heads += 1
    rows = bands[heads:heads + 2]
    if heads == 0 or len(rows) < 2:
        print("controlla: no header strip followed by two result rows in the picture", file=sys.stderr)
        return False
    strip_end = bands[heads - 1][1] + bands[heads - 1][2]

    def ink(band):
        return sum(1 for yy in range(band[1], band[1] + band[2]) for x in range(PROBE_X, width - 30)
                   if sum(at(x, yy)) < 3 * 96)

    (_, y1, h1), (_, _, h2) = rows
    strip = bands[heads - 1][2]
    # The demo's layout has one line of headings: a strip taller than a row and a half hides a row.
    ok = h1 == h2 and 2 * strip <= 3 * h1 and y1 - strip_end <= 2 and ink(rows[0]) * 3 >= ink(rows[1]) > 0
    print("controlla: header strip %d pixels high, ending at y %d; first row at y %d, %d pixels high (the next %d), "
          "%d dark pixels (the next %d)" % (strip, strip_end, y1, h1, h2, ink(rows[0]), ink(rows[1])))
    if not ok:
        print("controlla: the picture's first result row is not whole under the header strip", file=sys.stderr)
    return ok


def ready(data, what):
    try:
        if what == "downloaded":
            return count("%s/KYX_0.MDB" % data, "LAYOUT") > 0 and count("%s/KYX_1.MDB" % data, "KYX_DS_20F") > 0
        if what == "elaborated":
            import glob
            return bool(glob.glob("%s/STORICO/KYX_E_*_2.DAT" % data)) and \
                bool(rows("%s/KYX_3.MDB" % data, "SELECT 1 FROM DATI WHERE substr(c000, 7, 1) = '4'"))
        if what.startswith("filtro="):
            key, code = what[len("filtro="):].split(":")
            return rows("%s/KYX_0.MDB" % data, "SELECT OPER, VALO_1 FROM FILTRO WHERE KEY = %d" % int(key)) == \
                [("=", code)]
        if what.startswith("prodotto="):
            # Columns: c001 product line, c002 product; the row kind in the key's 7th character.
            table = rows("%s/KYX_3.MDB" % data, "SELECT substr(c000, 7, 1), c002 FROM DATI")
            products = {p for kind, p in table if kind == "2"}
            return ("4", " ") in table and products == {what[len("prodotto="):]}
        if what == "descritti":
            return described(data)
    except sqlite3.Error:
        return False
    return False


def described(data):
    # Outline rows: the row kind in the key's 7th character ("1" a zone, "2" an agent, "4" the
    # grand total), the key number in its 9th to 11th, the code in c001.
    table = rows("%s/KYX_3.MDB" % data, "SELECT c000, c001 FROM DATI")
    coded = [(int(k[8:11]), c.strip()) for k, c in table if k[6:7] in ("1", "2")]
    if not any(k[6:7] == "4" for k, _ in table) or {k for k, _ in coded} != {7, 8}:
        return False
    for key, code in coded:
        found = rows("%s/KYX_1.MDB" % data, "SELECT S_DS_STAT, S_DS_D_01 FROM KYX_DS_20F "
                     "WHERE S_DS_KEY = %d AND S_DS_CODI = '%s'" % (key, code.replace("'", "''")))
        if len(found) != 1 or found[0][0] == "A" or not (found[0][1] or "").strip():
            return False
    return True


def main():
    if len(sys.argv) == 4 and sys.argv[1] == "--check":
        return 0 if ready(sys.argv[2], sys.argv[3]) else 1
    if len(sys.argv) not in (3, 4) or (len(sys.argv) == 4 and sys.argv[3] != "--result"):
        print(__doc__, file=sys.stderr)
        return 2
    data, picture = sys.argv[1], sys.argv[2]
    ok = True
    if len(sys.argv) == 4:
        ok = check_result(data)
    with open(picture, "rb") as f:
        if f.read(8) != b"\x89PNG\r\n\x1a\n":
            print("controlla: %s is not a PNG picture" % picture, file=sys.stderr)
            ok = False
        elif len(sys.argv) == 4 and not first_row_whole(picture):
            ok = False
    for db, table in (("KYX_0.MDB", "SINF"), ("KYX_0.MDB", "CHIAVI"), ("KYX_0.MDB", "VALORI"),
                      ("KYX_0.MDB", "LAYOUT"), ("KYX_1.MDB", "KYX_DS_20F")):
        n = count("%s/%s" % (data, db), table)
        print("controlla: %s %s: %d rows" % (db, table, n))
        if n == 0:
            ok = False
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
