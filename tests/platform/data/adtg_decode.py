#!/usr/bin/env python3
"""Independent decoder of a TableGram file, written from the published TableGram description
(the adtgTablegram of the RDS Transport Protocol description, [MS-ADTG]), not from our writer:

  2.2.3.14     adtgTablegram = header, handler options, all meta information, all row
               operations, done token
  2.2.3.14.1   adtgHeader: 0x01, BYTE size 7, "TG!", major and minor version, byte order,
               Unicode flag
  2.2.3.14.2   adtgHandlerOptions: 0x02, USHORT size, the recordset GUID, update kind
               (BYTE 1..3), original URL, update URL, friendly name (length-prefixed strings),
               async options (USHORT 1..3)
  2.2.3.14.3.1 adtgResultDescriptor: 0x03, USHORT size, GUID, reserved BYTE, cursor model
               (BYTE 0..3), normalization (BYTE 0..1), visible, total, computed, table and
               order-by column counts (USHORT each), row count (ULONG), optional property sets
  2.2.3.14.3.3 adtgTableDescriptor (0x05) and the result context (0x10): skipped by their size
  2.2.3.14.3.6 adtgColumnDescriptorCommon: 0x06, USHORT size, 3-byte presence map, ordinal,
               [friendly name], [base table ordinal], [base column ordinal], [base column
               name], DBTYPE, max length, precision, scale, flags, [base catalog name],
               [base schema name], ... , IsVisible (a 2-byte boolean, always last)
  2.2.3.14.4   adtgAllRowOperations, parent rows: unchanged (0x07 + row data), change
               (0x07 + row data, then 0x0A + row data after the change, 2.2.3.14.4.1),
               delete (0x07 + row data, then 0x0C, 2.2.3.14.4.2), insert (0x0D + row data,
               2.2.3.14.4.3)
  2.2.3.14.6   the constants (tokens, update kinds, async options, cursor models)

Row data: a null bitmap of ceil(visible columns / 8) bytes (bit i % 8 of byte i / 8 set: column i
is null and has no bytes), then each non-null value by its DBTYPE: 130 ULONG byte length + UTF-16LE,
2 / 3 / 5 / 20 little-endian, 131 precision, scale, sign, 16-byte magnitude, 12 a variant (USHORT
tag, then its value).

Prints one line per column ("col <name> <type> <max length> <precision> <scale> <flags>"), then
the recordset as a reader sees it with the pending operations applied (changed rows with their
new values, deleted rows gone, inserted rows where they stand), one line per row (values
separated by "|", NULL for a null, texts shown with repr of their Unicode form), then
"ops <unchanged> <changed> <deleted> <inserted>"; exits non-zero with a message when the file
does not follow the structure.
"""
import struct
import sys

GUID = bytes([0xB6, 0x92, 0xF2, 0x3F, 0x04, 0xB2, 0xCF, 0x11, 0x8D, 0x23, 0x00, 0xAA, 0x00, 0x5F, 0xFE, 0x58])


def fail(msg):
    print("BAD: " + msg)
    sys.exit(1)


class Reader:
    def __init__(self, data, what):
        self.d, self.i, self.what = data, 0, what

    def take(self, n):
        if self.i + n > len(self.d):
            fail("%s: truncated at %d" % (self.what, self.i))
        b = self.d[self.i:self.i + n]
        self.i += n
        return b

    def u8(self):
        return self.take(1)[0]

    def u16(self):
        return struct.unpack("<H", self.take(2))[0]

    def u32(self):
        return struct.unpack("<I", self.take(4))[0]

    def lps(self):  # LENGTH-PREFIXED-STRING: USHORT count of UTF-16 code units, then the units
        return self.take(2 * self.u16()).decode("utf-16-le")

    def left(self):
        return len(self.d) - self.i


def column_descriptor(body):
    r = Reader(body, "column descriptor")
    p1, p2, p3 = r.take(3)
    if p2 or p3 or p1 & 0x30:
        fail("column descriptor: optional properties %02x %02x %02x not decoded here" % (p1, p2, p3))
    ordinal = r.u16()
    name = r.lps() if p1 & 0x01 else None
    if p1 & 0x02:
        r.u16()  # base table ordinal
    if p1 & 0x04:
        r.u16()  # base column ordinal
    if p1 & 0x08:
        r.lps()  # base column name
    typ, max_length, precision, scale, flags = r.u16(), r.u32(), r.u32(), r.u32(), r.u32()
    if p1 & 0x40:
        r.lps()  # base catalog name
    if p1 & 0x80:
        r.lps()  # base schema name
    if r.left() != 2:
        fail("column descriptor of %r: %d bytes where the closing IsVisible (2 bytes) stands" % (name, r.left()))
    if r.u16() == 0:
        fail("column %r is not visible" % name)
    return ordinal, name, typ, max_length, precision, scale, flags


def value(r, typ):
    if typ == 130:
        n = r.u32()
        if n % 2:
            fail("odd UTF-16 byte length")
        return repr(r.take(n).decode("utf-16-le"))
    if typ == 2:
        return str(struct.unpack("<h", r.take(2))[0])
    if typ == 3:
        return str(struct.unpack("<i", r.take(4))[0])
    if typ == 5:
        return repr(struct.unpack("<d", r.take(8))[0])
    if typ == 131:
        _p, s, sign = r.take(3)
        m = int.from_bytes(r.take(16), "little")
        return ("" if sign else "-") + "%d/10^%d" % (m, s)
    if typ == 12:
        vt = r.u16()
        if vt == 20:
            return "i8:" + str(struct.unpack("<q", r.take(8))[0])
        if vt == 5:
            return "r8:" + repr(struct.unpack("<d", r.take(8))[0])
        if vt == 8:
            n = r.u32()
            return "bstr:" + repr(r.take(n).decode("utf-16-le"))
        if vt == 1:
            return "vnull"
        fail("variant tag %d" % vt)
    fail("type %d" % typ)


def row_data(r, cols):
    mask = r.take((len(cols) + 7) // 8)
    out = []
    for c, col in enumerate(cols):
        out.append("NULL" if mask[c // 8] >> (c % 8) & 1 else value(r, col[1]))
    return out


def main(path):
    r = Reader(open(path, "rb").read(), path)
    if r.u8() != 0x01 or r.u8() != 7 or r.take(3) != b"TG!":
        fail("header")
    _major, _minor, order, uni = r.take(4)
    if order != 0 or uni != 1:
        fail("byte order / unicode")

    tok = r.u8()
    if tok != 0x02:
        fail("the handler options do not follow the header (token %d)" % tok)
    h = Reader(r.take(r.u16()), "handler options")
    if h.take(16) != GUID:
        fail("handler options guid")
    if h.u8() not in (1, 2, 3):
        fail("update kind")
    h.lps(), h.lps(), h.lps()
    if h.u16() not in (1, 2, 3):
        fail("async options")
    if h.left():
        fail("%d bytes after the async options" % h.left())

    cols, visible, rowcount = [], None, None
    rows, originals = [], 0
    ops = {"unchanged": 0, "changed": 0, "deleted": 0, "inserted": 0}
    last = None  # the original row a change or delete may follow
    while True:
        tok = r.u8()
        if tok == 0x0F:
            break
        if tok in (0x07, 0x0A, 0x0C, 0x0D):
            if visible is None or len(cols) != visible:
                fail("row before the column descriptors")
            follows, last = last, None
            if tok in (0x0A, 0x0C):
                if follows is None:
                    fail("token %d does not follow an original row" % tok)
                ops["unchanged"] -= 1
                if tok == 0x0C:
                    rows[follows] = None
                    ops["deleted"] += 1
                else:
                    rows[follows] = row_data(r, cols)
                    ops["changed"] += 1
                continue
            rows.append(row_data(r, cols))
            if tok == 0x07:
                last = len(rows) - 1
                originals += 1
                ops["unchanged"] += 1
            else:
                ops["inserted"] += 1
            continue
        last = None
        if rows:
            fail("token %d among the rows" % tok)
        body = r.take(r.u16())
        if tok == 0x03:
            if visible is not None:
                fail("a second result descriptor")
            b = Reader(body, "result descriptor")
            if b.take(16) != GUID:
                fail("result descriptor guid")
            _reserved, cursor, normalization = b.take(3)
            if cursor > 3 or normalization > 1:
                fail("cursor model %d / normalization %d" % (cursor, normalization))
            visible, total, _computed, _tables, _order = (b.u16() for _ in range(5))
            rowcount = b.u32()
            if total < visible:
                fail("column counts")
        elif tok == 0x06:
            if visible is None:
                fail("column descriptor before the result descriptor")
            ordinal, *col = column_descriptor(body)
            if ordinal != len(cols) + 1 or col[0] is None:
                fail("column ordinal %d / name" % ordinal)
            cols.append(tuple(col))
        elif tok not in (0x05, 0x10):
            fail("token %d" % tok)
    if r.left():
        fail("bytes after the end token")
    effective = [row for row in rows if row is not None]
    if visible != len(cols) or rowcount not in (originals, len(effective)):
        fail("counts: %s columns declared, %d found; %s rows declared, %d original rows, %d in the end" %
             (visible, len(cols), rowcount, originals, len(effective)))
    for c in cols:
        print("col %s %d %d %d %d %d" % c)
    for row in effective:
        print("|".join(row))
    print("ops %d %d %d %d" % (ops["unchanged"], ops["changed"], ops["deleted"], ops["inserted"]))


if __name__ == "__main__":
    main(sys.argv[1])
