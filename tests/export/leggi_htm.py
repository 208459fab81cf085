"""Reads an exported web page with Python's HTML parser and prints what a browser would lay out:
the col declarations, then one line per table row, each cell as class|colspan|text (texts with
their character references resolved, non-breaking spaces shown as "~"). The page must be ASCII."""
import sys
from html.parser import HTMLParser


class Pagina(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.out, self.riga, self.cella, self.testo = [], None, None, ""

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == "col":
            self.out.append("col %s %s" % (a.get("align"), a.get("width")))
        elif tag == "tr":
            self.riga = []
        elif tag == "td":
            self.cella, self.testo = a, ""

    def handle_endtag(self, tag):
        if tag == "td" and self.cella is not None:
            self.riga.append("%s|%s|%s" % (self.cella.get("class"), self.cella.get("colspan", ""),
                                           self.testo.replace("\xa0", "~")))
            self.cella = None
        elif tag == "tr" and self.riga is not None:
            self.out.append(" ^ ".join(self.riga))
            self.riga = None

    def handle_data(self, data):
        if self.cella is not None:
            self.testo += data


dati = open(sys.argv[1], "rb").read()
testo = dati.decode("ascii")
p = Pagina()
p.feed(testo)
p.close()
sys.stdout.buffer.write("\n".join(p.out).encode("utf-8"))
