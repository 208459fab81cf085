#!/usr/bin/env python3
"""Independent decoder of a TableGram file, written from the documented token layout.

Prints one line per column ("col <name> <type> <max length> <precision> <scale> <flags>") and
one line per row (values separated by "|", NULL for a null, texts shown with repr of their
Unicode form); exits non-zero with a message when the layout is not followed.
"""
import struct
import sys


def fail(msg):
    print("BAD: " + msg)
    sys.exit(1)


def main(path):
    d = open(path, "rb").read()
    i = 0

    def take(n):
        nonlocal i
        if i + n > len(d):
            fail("truncated at %d" % i)
        b = d[i:i + n]
        i += n
        return b

    def lps(b, j):
        n = struct.unpack_from("<H", b, j)[0]
        return b[j + 2:j + 2 + 2 * n].decode("utf-16-le"), j + 2 + 2 * n

    if take(1) != b"\x01" or take(1) != b"\x07" or take(3) != b"TG!":
        fail("header")
    _major, _minor, order, uni = take(4)
    if order != 0 or uni != 1:
        fail("byte order / unicode")
    guid = bytes([0xB6, 0x92, 0xF2, 0x3F, 0x04, 0xB2, 0xCF, 0x11, 0x8D, 0x23, 0x00, 0xAA, 0x00, 0x5F, 0xFE, 0x58])
    cols, rows, visible, rowcount = [], [], None, None
    while True:
        tok = take(1)[0]
        if tok == 0x0F:
            break
        if tok == 0x07:
            mask = take((visible + 7) // 8)
            vals = []
            for c, (name, typ, ml, prec, sc, fl) in enumerate(cols):
                if mask[c // 8] >> (c % 8) & 1:
                    vals.append("NULL")
                    continue
                if typ == 130:
                    n = struct.unpack("<I", take(4))[0]
                    vals.append(repr(take(n).decode("utf-16-le")))
                elif typ == 2:
                    vals.append(str(struct.unpack("<h", take(2))[0]))
                elif typ == 3:
                    vals.append(str(struct.unpack("<i", take(4))[0]))
                elif typ == 5:
                    vals.append(repr(struct.unpack("<d", take(8))[0]))
                elif typ == 131:
                    p, s, sign = take(3)
                    m = int.from_bytes(take(16), "little")
                    vals.append(("" if sign else "-") + "%d/10^%d" % (m, s))
                elif typ == 12:
                    vt = struct.unpack("<H", take(2))[0]
                    if vt == 20:
                        vals.append("i8:" + str(struct.unpack("<q", take(8))[0]))
                    elif vt == 5:
                        vals.append("r8:" + repr(struct.unpack("<d", take(8))[0]))
                    elif vt == 8:
                        n = struct.unpack("<I", take(4))[0]
                        vals.append("bstr:" + repr(take(n).decode("utf-16-le")))
                    elif vt == 1:
                        vals.append("vnull")
                    else:
                        fail("variant tag %d" % vt)
                else:
                    fail("type %d" % typ)
            rows.append(vals)
            continue
        size = struct.unpack("<H", take(2))[0]
        body = take(size)
        if tok == 0x02:
            if body[:16] != guid:
                fail("handler options guid")
        elif tok == 0x03:
            if body[:16] != guid or len(body) < 33:
                fail("result descriptor")
            visible, total, _comp, _tables, _order, rowcount = struct.unpack_from("<HHHHHI", body, 19)
            if total != visible:
                fail("column counts")
        elif tok == 0x06:
            if not body[0] & 1:
                fail("column without name")
            ordinal = struct.unpack_from("<H", body, 3)[0]
            if ordinal != len(cols) + 1:
                fail("column ordinal %d" % ordinal)
            name, j = lps(body, 5)
            typ, ml, prec, sc, fl = struct.unpack_from("<HIIII", body, j)
            if j + 18 != len(body):
                fail("column descriptor size")
            cols.append((name, typ, ml, prec, sc, fl))
        else:
            fail("token %d" % tok)
    if i != len(d):
        fail("bytes after the end token")
    if visible != len(cols) or rowcount != len(rows):
        fail("counts: %s columns declared, %d found; %s rows declared, %d found" % (visible, len(cols), rowcount, len(rows)))
    for c in cols:
        print("col %s %d %d %d %d %d" % c)
    for r in rows:
        print("|".join(vals for vals in r))


if __name__ == "__main__":
    main(sys.argv[1])
