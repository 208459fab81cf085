#!/usr/bin/env python3
"""Writes KYX.Tbl, the code table shared by the program and our data server.

The data server speaks an EBCDIC code; every character crossing the socket goes through this
table. Layout of the file: a 6-byte header (free text, ignored by the readers), then 256 bytes:
byte i is the Windows-1252 code of the character that wire byte i stands for.

The mapping is EBCDIC code page 1140 (code page 037 with the euro sign), which puts the digits at
F0-F9 (so zoned numbers read as digits), upper-case letters at C1-C9, D1-D9, E2-E9, lower case at
81-89, 91-99, A2-A9, the blank at 40, the punctuation at its usual EBCDIC places and the Italian
accented letters at theirs (a grave 44, e acute 51, e grave 54, i grave 58, o grave CD, u grave
DD, ...). Code page 1140 stands for Latin-1 characters; the 32 wire bytes that hold the C1
control codes U+0080..U+009F take the Windows-1252 bytes of the same number (where Windows-1252
keeps its typographic quotes, dashes and ellipsis), and U+0080 takes 0xA4 (the currency sign,
which code page 1140 gave up for the euro). The table is thus one-to-one: every Windows-1252 byte
has exactly one wire byte, and text survives the round trip unchanged.

Usage: make_tbl.py OUTPUT_FILE
"""
import sys

HEADER = b"KYXTBL"


def table():
    result = bytearray(256)
    for wire in range(256):
        char = bytes([wire]).decode("cp1140")
        code = ord(char)
        if code == 0x80:
            result[wire] = 0xA4
        elif 0x81 <= code <= 0x9F:
            result[wire] = code
        else:
            result[wire] = char.encode("cp1252")[0]
    return bytes(result)


def check(t):
    assert sorted(t) == list(range(256)), "the table must be one-to-one"
    for i, digit in enumerate(b"0123456789"):
        assert t[0xF0 + i] == digit
    for start, letters in ((0xC1, "ABCDEFGHI"), (0xD1, "JKLMNOPQR"), (0xE2, "STUVWXYZ")):
        for i, letter in enumerate(letters.encode()):
            assert t[start + i] == letter and t[start - 0x40 + i] == letter + 0x20
    assert t[0x40] == ord(" ") and t[0x9F] == 0x80  # blank; euro sign
    for letter in "àèéìòù":
        assert letter.encode("cp1252")[0] in t


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_tbl.py OUTPUT_FILE\n")
        return 2
    t = table()
    check(t)
    with open(argv[1], "wb") as out:
        out.write(HEADER + t)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
