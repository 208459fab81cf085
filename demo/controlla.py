#!/usr/bin/env python3
"""Checks what the demo left: the picture of the main window, and the definitions and descriptions
databases of the data folder filled by the download.

Usage: controlla.py DATA_FOLDER PICTURE
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


def main():
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    data, picture = sys.argv[1], sys.argv[2]
    ok = True
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
