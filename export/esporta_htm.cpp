// Esporta_HTM: the table as a web page whose style sheet reproduces the grid's look.
//
// The page is plain ASCII: texts from the data and the profile, and the writer's own prefixes,
// have "&", "<", ">" and '"' written as entities and every character beyond ASCII as a numeric
// character reference, so that a cell can neither break the page's markup nor be misread under
// whatever character set the browser assumes for a page that declares none. Control characters
// have no place in a page's text: each becomes a blank, as it would on a printed line.
#include "export/esporta_htm.h"

#include <string>
#include <vector>

#include "common/modello.h"
#include "common/stato.h"
#include "common/utilita.h"
#include "engine/stato_motore.h"
#include "export/agganci_esporta.h"
#include "export/esporta_comune.h"
#include "platform/text/cp1252.h"
#include "platform/vb/vb.h"

namespace kyx {
namespace {

std::string Testo_Html(const std::string& Testo) {
  std::string out;
  out.reserve(Testo.size());
  for (char c : Testo) {
    const auto b = static_cast<unsigned char>(c);
    const char32_t cp = text::code_point(b);
    if (cp < 0x20 || (cp >= 0x7F && cp <= 0x9F)) {
      out += ' ';
    } else if (c == '"') {
      out += "&quot;";
    } else if (c == '&') {
      out += "&amp;";
    } else if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else if (b >= 0x80) {
      out += "&#" + std::to_string(static_cast<uint32_t>(text::code_point(b))) + ";";
    } else {
      out += c;
    }
  }
  return out;
}

// A cell's text: an empty one becomes one blank, and every blank a non-breaking space.
std::string Testo_Cella_Html(const std::string& Testo) {
  return vb::Replace(Testo_Html(Testo.empty() ? std::string(" ") : Testo), " ", "&nbsp;");
}

// The font name goes inside a quoted style value: characters that would end the value or the
// style element are left out, and so are control characters.
std::string Nome_Font() {
  std::string out;
  for (char c : vb::Trim(Font_Nome)) {
    if (c != '\'' && c != '<' && c != '>' && c != '\\' && c != '{' && c != '}' && c != ';' &&
        static_cast<unsigned char>(c) >= 0x20 && c != 0x7F)
      out += c;
  }
  return out;
}

// The generic family that stands in for the font where the reader's machine lacks it (a browser
// would otherwise take its default serif face): fixed-pitch faces monospace, the faces with
// serifs serif, any other sans-serif.
std::string Famiglia_Font(const std::string& Font) {
  const std::string f = vb::LCase(Font);
  const auto ha = [&f](const char* parte) { return f.find(parte) != std::string::npos; };
  if (ha("courier") || ha("mono") || ha("consol") || ha("fixed") || ha("terminal") || ha("typewriter")) return "monospace";
  if (ha("sans")) return "sans-serif";
  if (ha("times") || ha("serif") || ha("georgia") || ha("garamond") || ha("bookman") || ha("roman") || ha("palatino") ||
      ha("cambria") || ha("century"))
    return "serif";
  return "sans-serif";
}

// A point size with one decimal and "." whatever the locale's separator.
std::string Dimensione(double Punti) {
  return vb::Replace(vb::Format(Punti, "#0.0"), Separatore_Decimale, ".");
}

std::string Colore(int32_t c) { return Colore_Html(c); }
std::string Colori_Classe(int32_t Fore, int32_t Back) {
  return "{color:#" + Colore(Fore) + "; background:#" + Colore(Back) + "}";
}
int32_t Colore_Livello(int Indice) { return Colori_Livello[static_cast<size_t>(Indice)]; }

// The class of a data cell of the current row, without its column suffixes.
std::string Classe_Cella(const std::string& Chiave) {
  const std::string alternata = Riga_Alternata ? "s00" : "s01";
  if (Modo_Griglia != 3) return alternata;
  const std::string tipo = Tipo_Riga(Chiave);
  if (tipo == "2") return Livello_Esteso(Chiave) ? "il" + Carattere_Chiave(Chiave, 12) : alternata;
  if (tipo == "4") return "s03";
  if (tipo == "1") return "il" + Livello_Riga(Chiave);
  // Subtotals count their level from the innermost one; the long keys count it from the outside.
  if (Livello_Esteso(Chiave)) {
    return "tl" + vb::Format(static_cast<int64_t>(10 - vb::Val(Carattere_Chiave(Chiave, 12))), "0");
  }
  return "tl" + Carattere_Chiave(Chiave, 8);
}

std::string Suffisso(size_t n, int c) {
  return std::string(n == 0 ? "s" : "") + (Col_Allineamento[static_cast<size_t>(c)] == 7 ? "r" : "");
}

void Scrivi_Stile(File_Esportazione& U) {
  const std::string F = Dimensione(Font_Dimensione);
  const std::string font = "'" + Nome_Font() + "', " + Famiglia_Font(Nome_Font());
  const int32_t griglia = agganci_esporta::Colore_Griglia ? agganci_esporta::Colore_Griglia() : 0xC0C0C0;
  const std::string ombra = Colore(Colore_OLE(0x80000010));
  const std::string luce = Colore(Colore_OLE(0x80000014));

  U.Riga("<HTML>");
  U.Riga("<STYLE>");
  U.Riga(".s00s, .s00, .s01s, .s01, .s03s, .s03, .s00sr, .s00r, .s01sr, .s01r, .s03sr, .s03r,");
  for (int i = 1; i <= 9; ++i) {
    const std::string il = ".il" + std::to_string(i), tl = ".tl" + std::to_string(10 - i);
    U.Riga(il + ", " + il + "s, " + tl + ", " + tl + "s, " + il + "r, " + il + "sr, " + tl + "r, " + tl + "sr" +
           (i < 9 ? "," : ""));
  }
  U.Riga(" {padding-right:2px; padding-left:3px; white-space:nowrap; border:.5pt solid #" + Colore(griglia) +
         "; border-top:none;");
  U.Riga(" font:" + F + "pt " + font + "}");
  U.Riga(".s00s, .s00, .s00sr, .s00r " + Colori_Classe(Colori[0], Colori[1]));
  U.Riga(".s01s, .s01, .s01sr, .s01r " + Colori_Classe(Colori[2], Colori[3]));
  U.Riga(".s03s, .s03, .s03sr, .s03r " + Colori_Classe(Colori[6], Colori[7]));
  U.Riga(".s00, .s00r, .s01, .s01r, .s03, .s03r {border-left:none}");
  U.Riga(".s00sr, .s00r, .s01sr, .s01r, .s03sr, .s03r {text-align: right}");
  for (int i = 1; i <= 9; ++i) {
    const int t = 10 - i;
    const std::string il = ".il" + std::to_string(i), tl = ".tl" + std::to_string(t);
    U.Riga(il + ", " + il + "s, " + il + "r, " + il + "sr " +
           Colori_Classe(Colore_Livello(2 * i + 34), Colore_Livello(2 * i + 35)));
    U.Riga(tl + ", " + tl + "s, " + tl + "r, " + tl + "sr " +
           Colori_Classe(Colore_Livello(72 - 2 * t), Colore_Livello(73 - 2 * t)));
    U.Riga(il + ", " + il + "r, " + tl + ", " + tl + "r  {border-left:none}");
    U.Riga(il + "r, " + il + "sr, " + tl + "r, " + tl + "sr {text-align: right}");
  }
  U.Riga(".s04, .s04a, .s04b, .s04c, .s04r, .s04ar, .s04br, .s04cr");
  U.Riga(" {color:#" + Colore(Colori[4]) + "; background:#" + Colore(Colori[5]) + ";");
  U.Riga(" padding-right:2px; padding-left:3px;");
  U.Riga(" border-right:.5pt  solid #" + ombra + ";");
  U.Riga(" border-bottom:.5pt solid #" + ombra + ";");
  U.Riga(" border-top:.5pt    solid #" + luce + ";");
  U.Riga(" border-left:.5pt   solid #" + luce + ";");
  U.Riga(" font:" + F + "pt " + font + "}");
  U.Riga(".s04a, .s04ar {border-bottom:none}");
  U.Riga(".s04b, .s04br {border-bottom:none; border-top:none}");
  U.Riga(".s04c, .s04cr {border-top:none}");
  U.Riga(".s04r, .s04ar, .s04br, .s04cr {text-align: right}");
  U.Riga("</STYLE>");
  U.Riga("<BODY>");
  U.Riga("<TABLE cellSpacing=0 cellPadding=0>");
}

void Scrivi_Filtro(File_Esportazione& U, const std::string& N, const std::string& N1, const std::string& F15) {
  const std::vector<Riga_Filtro> filtro = Leggi_Filtro(false);
  if (filtro.empty()) return;
  Riga_Alternata = true;
  U.Riga("<TR><TD class=s00 colSpan=" + N +
         " align=middle style='border-right:none; border-bottom:none; font-size:" + F15 + "pt'>Filtro</TD></TR>");
  U.Riga("<TR>");
  U.Riga("  <TD class=s04 align=left>Chiave</TD>");
  U.Riga("  <TD class=s04 align=left colSpan=" + N1 + ">Valore</TD>");
  U.Riga("</TR>");
  const auto P = [] { return std::string(Riga_Alternata ? "  <TD align=left class=s00" : "  <TD align=left class=s01"); };
  for (const Riga_Filtro& r : filtro) {
    U.Riga("<TR>");
    U.Riga(r.Prima_Della_Chiave ? P() + "s>" + Testo_Html(r.Testo_Chiave) + "&nbsp;</TD>" : P() + "s>&nbsp;</TD>");
    const char* prefisso = r.Operatore == 'N' ? "<> " : (r.Operatore == 'D' ? "Da " : "= ");
    U.Riga(P() + " colSpan=" + N1 + ">" + Testo_Html(prefisso + r.Valore_1) + "</TD>");
    if (r.Operatore == 'D') {
      U.Riga("</TR>");
      Riga_Alternata = !Riga_Alternata;
      U.Riga("<TR>");
      U.Riga(P() + "s>&nbsp;</TD>" + P() + " colSpan=" + N1 + ">" + Testo_Html("A " + r.Valore_2) + "</TD>");
    }
    U.Riga("</TR>");
    Riga_Alternata = !Riga_Alternata;
  }
  U.Riga("<TR><TD class=s00 style='border:none'>&nbsp;</TD></TR>");
}

}  // namespace

void Esporta_HTM(std::string& File) {
  File_Esportazione U;
  if (!U.Apri(File)) return;
  data::Recordset& Rs = *Rs_Griglia;
  const std::vector<int> colonne = Colonne_Scritte();
  // A single column gets a second, empty one so that the full-width rows have room.
  const int span = colonne.size() == 1 ? 2 : static_cast<int>(colonne.size());
  const std::string N = std::to_string(span), N1 = std::to_string(span - 1);
  const std::string F15 = Dimensione(double{Font_Dimensione} * 1.5);
  const double twips_pixel = Twips_Pixel_X > 0 ? Twips_Pixel_X : 15.0;

  Scrivi_Stile(U);
  for (int c : colonne) {
    const uint8_t a = Col_Allineamento[static_cast<size_t>(c)];
    U.Riga(std::string(a == 7 ? "  <col align=right" : (a == 4 ? "  <col align=center" : "  <col align=left")) +
           " width=" + vb::Format(Col_Larghezza[static_cast<size_t>(c)] / twips_pixel, "") + ">");
  }
  if (colonne.size() == 1) U.Riga("  <col align=left width=300>");

  // The title's items apart, each made safe, then joined by the separator in fixed blanks.
  const std::string Voci = Testo_Titolo("\x01");
  std::string Titolo;
  for (size_t Inizio = 0;;) {
    const size_t Fine = Voci.find('\x01', Inizio);
    Titolo += Testo_Html(Voci.substr(Inizio, Fine == std::string::npos ? std::string::npos : Fine - Inizio));
    if (Fine == std::string::npos) break;
    Titolo += "&nbsp;&nbsp;-&nbsp;&nbsp;";
    Inizio = Fine + 1;
  }
  U.Riga("<TR><TD class=s00 colSpan=" + N + " align=left style='border-right:none; border-bottom:none; font-size:" +
         F15 + "pt'>" + Titolo + "</TD></TR>");
  U.Riga("<TR><TD class=s00 style='border:none'>&nbsp;</TD></TR>");
  Scrivi_Filtro(U, N, N1, F15);
  U.Riga("<TR><TD class=s00 colSpan=" + N + " align=middle style='border-right:none; border-bottom:none; font-size:" +
         F15 + "pt'>" + Testo_Html(Titolo_Griglia()) + "</TD></TR>");

  for (int k = 1; k <= Righe_Intestazione; ++k) {
    const char* classe = Righe_Intestazione == 1 ? "  <TD class=s04"
                         : k == 1                ? "  <TD class=s04a"
                         : k == Righe_Intestazione ? "  <TD class=s04c"
                                                   : "  <TD class=s04b";
    U.Riga("<TR>");
    for (int c : colonne) {
      const std::string pezzo = Pezzo_Intestazione(c, k);
      U.Riga(classe + std::string(Col_Allineamento[static_cast<size_t>(c)] == 7 ? "r" : "") + ">" +
             (pezzo.empty() ? std::string("&nbsp;") : Testo_Html(pezzo)) + "</TD>");
    }
    U.Riga("</TR>");
  }

  Riga_Alternata = true;
  for (Rs.MoveFirst(); !Rs.AfterLast(); Rs.MoveNext()) {
    const std::string chiave = Rs.Field(0).AsText();
    const std::string classe = "  <TD class=" + Classe_Cella(chiave);
    U.Riga("<TR>");
    for (size_t n = 0; n < colonne.size(); ++n) {
      const int c = colonne[n];
      const std::string testo = Cella_Vuota(c, chiave) ? std::string(" ") : Testo_Cella(Rs, c, chiave);
      U.Riga(classe + Suffisso(n, c) + ">" + Testo_Cella_Html(testo) + "</TD>");
    }
    U.Riga("</TR>");
    Riga_Alternata = !Riga_Alternata;
  }
  U.Riga("</TABLE>");
  U.Riga("</BODY>");
  U.Riga("</HTML>");
  U.Chiudi();
}

}  // namespace kyx
