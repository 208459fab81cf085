"""Reads an exported file with an independent reader and prints its rows, one line each, the
cells separated by a TAB: openpyxl for .xlsx, xlrd for .xls, Python's HTML parser for the web
page (the text of each table cell); with "lo-" before the format, LibreOffice headless opens the
workbook and saves its first sheet as text, which is read back. With "colori-" before the format it prints instead the
background colour of each row's first cell, RRGGBB ("-" for none): the fill of the sheet's
cell, or for the web page the background the style sheet gives the cell's class. In every cell a
backslash is written as two, a character below 0x20, DEL and the C1 controls as \\xHH and any
other character beyond ASCII as \\uHHHH, so that a cell's text survives the line format."""
import sys
from html.parser import HTMLParser


def codifica(testo):
    out = []
    for ch in testo:
        n = ord(ch)
        if ch == "\\":
            out.append("\\\\")
        elif n < 0x20 or 0x7F <= n <= 0x9F:
            out.append("\\x%02x" % n)
        elif n > 0x7E:
            out.append("\\u%04x" % n)
        else:
            out.append(ch)
    return "".join(out)


def foglio_xls(nome):
    import xlrd
    s = xlrd.open_workbook(nome).sheet_by_index(0)
    for r in range(s.nrows):
        yield [c if isinstance(c, str) else repr(c) for c in s.row_values(r)]


def colori_xls(nome):
    import xlrd
    b = xlrd.open_workbook(nome, formatting_info=True)
    s = b.sheet_by_index(0)
    for r in range(s.nrows):
        xf = b.xf_list[s.cell_xf_index(r, 0)]
        c = b.colour_map.get(xf.background.pattern_colour_index) if xf.background.fill_pattern == 1 else None
        yield ["%02X%02X%02X" % c if c else "-"]


def colori_xlsx(nome):
    import openpyxl
    s = openpyxl.load_workbook(nome).worksheets[0]
    for riga in s.iter_rows():
        f = riga[0].fill
        ok = f is not None and f.fill_type == "solid" and isinstance(f.fgColor.rgb, str)
        yield [f.fgColor.rgb[-6:].upper() if ok else "-"]


def foglio_xlsx(nome):
    import openpyxl
    s = openpyxl.load_workbook(nome, read_only=True).worksheets[0]
    for riga in s.iter_rows(values_only=True):
        yield ["" if c is None else c if isinstance(c, str) else repr(c) for c in riga]


def libreoffice(nome):
    import csv
    import os
    import subprocess
    import tempfile
    with tempfile.TemporaryDirectory() as d:
        # A profile of its own, so that runs side by side do not wait on each other's lock.
        subprocess.run(["soffice", "--headless", "-env:UserInstallation=file://" + d + "/profilo",
                        "--convert-to", "csv:Text - txt - csv (StarCalc):9,34,76,1", "--outdir", d, nome],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
        testo = os.path.join(d, os.path.splitext(os.path.basename(nome))[0] + ".csv")
        if not os.path.exists(testo):
            sys.exit("LibreOffice could not open " + nome)
        with open(testo, encoding="utf-8", newline="") as f:
            return list(csv.reader(f, delimiter="\t", quotechar='"'))


class Pagina(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.righe, self.riga, self.testo = [], None, None
        self.classi, self.stile, self.prime = [], None, []

    def handle_starttag(self, tag, attrs):
        if tag == "tr":
            self.riga = []
        elif tag == "td":
            self.testo = ""
            if not self.riga:
                self.prime.append(dict(attrs).get("class"))
        elif tag == "style":
            self.stile = ""

    def handle_endtag(self, tag):
        if tag == "style":
            self.classi, self.stile = self.stile, None
        elif tag == "td" and self.testo is not None:
            self.riga.append(self.testo)
            self.testo = None
        elif tag == "tr" and self.riga is not None:
            self.righe.append(self.riga)
            self.riga = None

    def handle_data(self, data):
        if self.stile is not None:
            self.stile += data
        elif self.testo is not None:
            self.testo += data


def leggi_pagina(nome):
    p = Pagina()
    p.feed(open(nome, "rb").read().decode("ascii"))
    p.close()
    return p


def pagina(nome):
    return leggi_pagina(nome).righe


def colori_htm(nome):
    import re
    p = leggi_pagina(nome)
    sfondo = {}
    for selettori, corpo in re.findall(r"([^{}]+)\{([^}]*)\}", p.classi):
        m = re.search(r"background:\s*#([0-9A-Fa-f]{6})", corpo)
        if m:
            for s in selettori.split(","):
                sfondo[s.strip().lstrip(".")] = m.group(1).upper()
    return [[sfondo.get(c, "-")] for c in p.prime]


tipo, nome = sys.argv[1], sys.argv[2]
righe = {"xls": foglio_xls, "xlsx": foglio_xlsx, "lo-xls": libreoffice, "lo-xlsx": libreoffice, "htm": pagina, "colori-xls": colori_xls,
         "colori-xlsx": colori_xlsx, "colori-htm": colori_htm}[tipo](nome)
sys.stdout.write("".join("\t".join(codifica(c) for c in r) + "\n" for r in righe))
