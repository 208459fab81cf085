#include "export/xlsx_stili.h"

#include "common/stato.h"
#include "common/utilita.h"
#include "export/xml_codifica.h"
#include "platform/text/cp1252.h"
#include "platform/vb/vb.h"

namespace kyx {

namespace {

// The palette the workbook starts from: the spreadsheet's 64 indexed colours.
constexpr std::array<const char*, 64> kTavolozza = {
    "00000000", "00FFFFFF", "00FF0000", "0000FF00", "000000FF", "00FFFF00", "00FF00FF", "0000FFFF",
    "00000000", "00FFFFFF", "00FF0000", "0000FF00", "000000FF", "00FFFF00", "00FF00FF", "0000FFFF",
    "00800000", "00008000", "00000080", "00808000", "00800080", "00008080", "00C0C0C0", "00808080",
    "009999FF", "00993366", "00FFFFCC", "00CCFFFF", "00660066", "00FF8080", "000066CC", "00CCCCFF",
    "00000080", "00FF00FF", "00FFFF00", "0000FFFF", "00800080", "00800000", "00008080", "000000FF",
    "0000CCFF", "00CCFFFF", "00CCFFCC", "00FFFF99", "0099CCFF", "00FF99CC", "00CC99FF", "00FFCC99",
    "003366FF", "0033CCCC", "0099CC00", "00FFCC00", "00FF9900", "00FF6600", "00666699", "00969696",
    "00003366", "00339966", "00FFFF6C", "00ACA899", "001F1F1F", "00ECE9D8", "00E1DCC1", "001503B8",
};

// System colours of the 3-D highlight and shadow (OLE system colours 20 and 16).
constexpr int32_t kLuce_3D = static_cast<int32_t>(0x80000014u);
constexpr int32_t kOmbra_3D = static_cast<int32_t>(0x80000010u);

std::string_view Trim(std::string_view s) { return text::trim_blanks(s); }

void Attributo(std::string& out, std::string_view nome, std::string_view valore) {
  valore = Trim(valore);
  if (valore.empty()) return;
  out += ' ';
  out += nome;
  out += "='";
  out += valore;
  out += '\'';
}

void Lato(std::string& out, std::string_view lato, std::string_view colore) {
  if (Trim(colore).empty()) {
    out += "<" + std::string(lato) + "/>";
  } else {
    out += "<" + std::string(lato) + " style='thin'><color rgb='" + std::string(colore) + "'/></" +
           std::string(lato) + ">";
  }
}

int Cifra(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return 0;
}

}  // namespace

std::string XLSX_Xf(std::string_view Allineamento, std::string_view numFmtId, std::string_view fontId,
                    std::string_view fillId, std::string_view borderId, std::string_view xfId,
                    std::string_view quotePrefix, std::string_view applyNumberFormat, std::string_view applyFont,
                    std::string_view applyFill, std::string_view applyBorder, std::string_view applyAlignment) {
  std::string out = "<xf";
  Attributo(out, "numFmtId", numFmtId);
  Attributo(out, "fontId", fontId);
  Attributo(out, "fillId", fillId);
  Attributo(out, "borderId", borderId);
  Attributo(out, "xfId", xfId);
  Attributo(out, "quotePrefix", quotePrefix);
  Attributo(out, "applyNumberFormat", applyNumberFormat);
  Attributo(out, "applyFont", applyFont);
  Attributo(out, "applyFill", applyFill);
  Attributo(out, "applyBorder", applyBorder);
  Attributo(out, "applyAlignment", applyAlignment);
  if (Trim(Allineamento).empty()) return out + "/>";
  return out + "><alignment horizontal='" + std::string(Trim(Allineamento)) + "'/></xf>";
}

std::string XLSX_Border(std::string_view Sinistra, std::string_view Destra, std::string_view Sopra,
                        std::string_view Sotto, std::string_view Diagonale) {
  std::string out = "<border>";
  Lato(out, "left", Sinistra);
  Lato(out, "right", Destra);
  Lato(out, "top", Sopra);
  Lato(out, "bottom", Sotto);
  Lato(out, "diagonal", Diagonale);
  return out + "</border>";
}

std::string XLSX_RgbColor(std::string_view Colore) { return "<rgbColor rgb='" + std::string(Trim(Colore)) + "'/>"; }

int32_t Esadecimale_Valore(std::string_view Testo) {
  if (Testo.size() != 8) return 0;
  const int r = Cifra(Testo[2]) * 16 + Cifra(Testo[3]);
  const int g = Cifra(Testo[4]) * 16 + Cifra(Testo[5]);
  const int b = Cifra(Testo[6]) * 16 + Cifra(Testo[7]);
  return r + g * 256 + b * 65536;
}

int32_t XLSX_Numero_Stile(int32_t Base, int32_t Riga, int32_t Colonna, int32_t Soglia_Riga, int32_t Soglia_Colonna) {
  int32_t n = Base;
  if (Colonna >= Soglia_Colonna) n += 1;
  if (Riga % 2 == 0) n += 2;
  if (Riga >= Soglia_Riga) n += 4;
  return n;
}

std::string XLSX_Stile(int32_t Base, int32_t Riga, int32_t Colonna, int32_t Soglia_Riga, int32_t Soglia_Colonna) {
  return " s='" + std::to_string(XLSX_Numero_Stile(Base, Riga, Colonna, Soglia_Riga, Soglia_Colonna)) + "'";
}

Colori_Xlsx XLSX_Colori() {
  Colori_Xlsx c;
  for (size_t i = 0; i < c.Tavolozza.size(); ++i) c.Tavolozza[i] = kTavolozza[i];

  std::array<int32_t, 46> Colore{};
  for (int i = 0; i < 4; ++i) {
    Colore[i] = Colori[2 * i];
    Colore[22 + i] = Colori[2 * i + 1];
  }
  for (int n = 1; n <= 9; ++n) {
    const int k = 2 * (n - 1);
    Colore[4 + k] = Colori_Livello[36 + k];      // level-n rows: level pair 17 + n
    Colore[5 + k] = Colori_Livello[54 + k];      // level-n subtotals: level pair 26 + n
    Colore[26 + k] = Colori_Livello[37 + k];
    Colore[27 + k] = Colori_Livello[55 + k];
  }
  Colore[44] = Colore_Reale(kLuce_3D);
  Colore[45] = Colore_Reale(kOmbra_3D);

  int Libera = 63;
  for (size_t s = 0; s < Colore.size(); ++s) {
    c.Slot[s] = Colore_Html(Colore[s]);
    const int32_t rgb = Colore_Reale(Colore[s]);
    bool Trovato = false;
    for (const std::string& voce : c.Tavolozza) {
      if (Distanza_Colore(rgb, Esadecimale_Valore(voce)) < Precisione_Colore) {
        Trovato = true;
        break;
      }
    }
    if (!Trovato) c.Tavolozza[Libera--] = "00" + c.Slot[s];
  }
  return c;
}

std::string XLSX_Stili(const Colori_Xlsx& Colori_X, const std::vector<Colonna_Xlsx>& Colonne) {
  auto Rgb = [&](int slot) { return "00" + Colori_X.Slot[slot]; };
  const std::string N = std::to_string(Colonne.size());
  std::string Dimensione = vb::Format(static_cast<double>(Font_Dimensione), "#0.0");
  // The one decimal separator of "#0.0" becomes the point that the file format wants.
  if (const size_t p = Separatore_Decimale.empty() ? std::string::npos : Dimensione.find(Separatore_Decimale);
      p != std::string::npos)
    Dimensione.replace(p, Separatore_Decimale.size(), ".");
  const std::string Nome = XML_Codifica(Trim(Font_Nome));

  std::string x = "<styleSheet xmlns='http://schemas.openxmlformats.org/spreadsheetml/2006/main'>";
  x += "<numFmts count='" + N + "'>";
  for (size_t c = 1; c <= Colonne.size(); ++c) {
    const Colonna_Xlsx& col = Colonne[c - 1];
    x += "<numFmt numFmtId='" + std::to_string(163 + c) + "' formatCode='" +
         (col.Tipo != 0 ? std::string("@") : XML_Codifica(col.Formato)) + "'/>";
  }
  x += "</numFmts>";

  auto Font = [&](bool grassetto, int slot) {
    return std::string(grassetto ? "<font><b/><sz val='" : "<font><sz val='") + Dimensione + "'/><color rgb='" +
           Rgb(slot) + "'/><name val='" + Nome + "'/></font>";
  };
  x += "<fonts count='24'>" + Font(false, 1) + Font(true, 1);
  for (int f = 2; f <= 23; ++f) x += Font(false, f - 2);
  x += "</fonts>";

  x += "<fills count='24'><fill><patternFill patternType='none'/></fill><fill><patternFill patternType='gray125'/></fill>";
  for (int f = 2; f <= 23; ++f)
    x += "<fill><patternFill patternType='solid'><fgColor rgb='" + Rgb(f + 20) + "'/></patternFill></fill>";
  x += "</fills>";

  // The borders of raised cells: light on the left and top, shadow on the right and bottom.
  const std::string L = Rgb(44), S = Rgb(45), _;
  x += "<borders count='11'>";
  x += XLSX_Border(_, _, _, _, _);
  x += XLSX_Border(L, _, L, S, _) + XLSX_Border(L, S, L, S, _);
  x += XLSX_Border(L, _, L, _, _) + XLSX_Border(L, S, L, _, _);
  x += XLSX_Border(L, _, _, _, _) + XLSX_Border(L, S, _, _, _);
  x += XLSX_Border(L, _, _, S, _) + XLSX_Border(L, S, _, S, _);
  x += XLSX_Border(L, _, _, L, _) + XLSX_Border(L, S, _, L, _);
  x += "</borders>";

  x += "<cellStyleXfs count='1'><xf numFmtId='0' fontId='0' fillId='0' borderId='0'/></cellStyleXfs>";
  x += "<cellXfs count='" + std::to_string(Colonne.size() * 50 + 12) + "'>";
  auto Xf = [&](std::string_view allineamento, int numero, int font, int fill, int bordo, std::string_view virgoletta) {
    return XLSX_Xf(allineamento, std::to_string(numero), std::to_string(font), std::to_string(fill),
                   std::to_string(bordo), "0", virgoletta, "", "", "", "", "");
  };
  x += Xf("left", 0, 1, 0, 0, "1") + Xf("center", 0, 1, 0, 0, "1");
  x += Xf("left", 0, 4, 4, 1, "1") + Xf("left", 0, 4, 4, 2, "1");
  for (int fill : {2, 3}) x += Xf("left", 0, fill, fill, 9, "1") + Xf("left", 0, fill, fill, 10, "1");
  for (int fill : {2, 3}) x += Xf("left", 0, fill, fill, 7, "1") + Xf("left", 0, fill, fill, 8, "1");

  for (size_t c = 1; c <= Colonne.size(); ++c) {
    const Colonna_Xlsx& col = Colonne[c - 1];
    const int numero = static_cast<int>(163 + c);
    const std::string_view al = col.Allineamento == 1   ? "left"
                                : col.Allineamento == 4 ? "center"
                                : col.Allineamento == 7 ? "right"
                                                        : "";
    const std::string_view Q = col.Tipo != 0 ? "1" : "";
    // A pair: the inner columns' format, then the last column's with the shadow on the right.
    auto Coppia = [&](int colore, int bordo, std::string_view virgoletta) {
      return Xf(al, numero, colore, colore, bordo, virgoletta) + Xf(al, numero, colore, colore, bordo + 1, virgoletta);
    };
    x += Coppia(4, 1, "1") + Coppia(4, 3, "1") + Coppia(4, 5, "1") + Coppia(4, 7, "1");
    x += Coppia(2, 9, Q) + Coppia(3, 9, Q) + Coppia(5, 7, Q);
    for (int n = 1; n <= 9; ++n) x += Coppia(2 * n + 4, 9, "1") + Coppia(2 * n + 5, 9, Q);
  }
  x += "</cellXfs>";

  x += "<cellStyles count='1'><cellStyle name='Normale' xfId='0' builtinId='0'/></cellStyles><dxfs count='0'/>"
       "<tableStyles count='0' defaultTableStyle='TableStyleMedium9' defaultPivotStyle='PivotStyleLight16'/>";
  x += "<colors><indexedColors>";
  for (const std::string& voce : Colori_X.Tavolozza) x += XLSX_RgbColor(voce);
  x += "</indexedColors></colors></styleSheet>";
  return x;
}

}  // namespace kyx
