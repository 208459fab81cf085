#!/usr/bin/env python3
"""Checks what the demo left: the picture of the main window, the definitions and descriptions
databases of the data folder filled by the download and, with --result, the elaboration the
headless demo ran ("Vendite per zona e agente": zones with their agents, a subtotal per zone and
the grand total): every subtotal must equal the sum of its zone's agents and the grand total the
sum of the subtotals, column by column, read from the work database.

Usage: controlla.py DATA_FOLDER PICTURE [--result]
       controlla.py --check DATA_FOLDER downloaded|elaborated   (exit status only, for waiting)
"""
import sqlite3
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


def ready(data, what):
    try:
        if what == "downloaded":
            return count("%s/KYX_0.MDB" % data, "LAYOUT") > 0 and count("%s/KYX_1.MDB" % data, "KYX_DS_20F") > 0
        if what == "elaborated":
            import glob
            return bool(glob.glob("%s/STORICO/KYX_E_*_2.DAT" % data)) and \
                bool(rows("%s/KYX_3.MDB" % data, "SELECT 1 FROM DATI WHERE substr(c000, 7, 1) = '4'"))
    except sqlite3.Error:
        return False
    return False


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
    for db, table in (("KYX_0.MDB", "SINF"), ("KYX_0.MDB", "CHIAVI"), ("KYX_0.MDB", "VALORI"),
                      ("KYX_0.MDB", "LAYOUT"), ("KYX_1.MDB", "KYX_DS_20F")):
        n = count("%s/%s" % (data, db), table)
        print("controlla: %s %s: %d rows" % (db, table, n))
        if n == 0:
            ok = False
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
