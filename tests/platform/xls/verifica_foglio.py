"""Reads a workbook written by the sheet test with xlrd and checks every cell against the rule
the test filled it by: row r (from 0), column c (from 0) holds the number r * 1000 + c + 0.5 in
the even columns and the text "R<r>C<c>" + "\u00e8" in the odd ones, with "\u20ac" in front on
every seventh row. Prints "righe R colonne C errori E difat D" and the first few differences;
D is the number of DIFAT sectors that the compound document's header announces."""
import struct
import sys

import xlrd

nome, righe, colonne = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
with open(nome, "rb") as f:
    testata = f.read(512)
difat = struct.unpack_from("<I", testata, 0x48)[0]
foglio = xlrd.open_workbook(nome, on_demand=True).sheet_by_index(0)
errori, esempi = 0, []
for r in range(min(righe, foglio.nrows)):
    valori = foglio.row_values(r)
    for c in range(colonne):
        atteso = r * 1000 + c + 0.5 if c % 2 == 0 else ("\u20ac" if r % 7 == 0 else "") + "R%dC%d\u00e8" % (r, c)
        trovato = valori[c] if c < len(valori) else None
        if trovato != atteso:
            errori += 1
            if len(esempi) < 5:
                esempi.append("%d,%d: %r invece di %r" % (r, c, trovato, atteso))
print("righe %d colonne %d errori %d difat %d" % (foglio.nrows, foglio.ncols, errori, difat))
for e in esempi:
    print(e)
