// Esporta_XLSX: the table as a one-sheet SpreadsheetML workbook. The eight parts are written as
// plain files into the work folder, each through a temporary file, and the folder is packed into
// the target only when every part is complete, so a failed export never yields a damaged workbook.
#include "export/esporta_xlsx.h"

#include <charconv>
#include <ctime>
#include <string>
#include <vector>

#include "common/modello.h"
#include "common/stato.h"
#include "engine/stato_motore.h"
#include "export/agganci_esporta.h"
#include "export/esporta_comune.h"
#include "export/esporta_xls.h"
#include "export/xlsx_stili.h"
#include "export/xlsx_zip.h"
#include "export/xml_codifica.h"
#include "platform/files/atomic_file.h"
#include "platform/files/files.h"
#include "platform/host/host.h"
#include "platform/vb/vb.h"

namespace kyx {
namespace {

constexpr const char* Dichiarazione = "<?xml version='1.0' encoding='UTF-8' standalone='yes'?>\r\n";
constexpr const char* Ns_Relazioni = "http://schemas.openxmlformats.org/package/2006/relationships";
constexpr const char* Tipo_Relazione = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
constexpr const char* Ns_Foglio =
    "<worksheet xmlns='http://schemas.openxmlformats.org/spreadsheetml/2006/main' "
    "xmlns:r='http://schemas.openxmlformats.org/officeDocument/2006/relationships'>";
constexpr int32_t Nessuna_Soglia = 999999999;

// One part of the package, written in pieces; Chiudi tells whether it is complete on disk.
class Parte {
 public:
  Parte(const std::string& Cartella, const std::string& Nome) {
    ok_ = file_.open(Cartella + Nome);
    Scrivi(Dichiarazione);
  }
  void Scrivi(const std::string& Testo) { ok_ = ok_ && file_.write(Testo); }
  bool Chiudi() { return ok_ && file_.commit(); }

 private:
  files::AtomicFile file_;
  bool ok_ = false;
};

bool Scrivi_Parte(const std::string& Cartella, const std::string& Nome, const std::vector<std::string>& Pezzi) {
  Parte p(Cartella, Nome);
  for (const std::string& s : Pezzi) p.Scrivi(s);
  return p.Chiudi();
}

std::string Relazione(const char* Id, const std::string& Tipo, const char* Destinazione) {
  return std::string("<Relationship Id='") + Id + "' Type='" + Tipo + "' Target='" + Destinazione + "'/>";
}

// The present moment in UTC as yyyy-mm-ddThh:nn:ss.
std::string Adesso_Utc() {
  const std::time_t t = std::time(nullptr);
  std::tm u{};
  gmtime_r(&t, &u);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", &u);
  return buf;
}

bool Parti_Fisse(const std::string& W, const std::string& Stili) {
  const std::string titolo = XML_Codifica(Titolo_Programma);
  const std::string T = Adesso_Utc();
  const std::string rel = std::string("<Relationships xmlns='") + Ns_Relazioni + "'>";
  bool ok = Scrivi_Parte(
      W, "[Content_Types].xml",
      {"<Types xmlns='http://schemas.openxmlformats.org/package/2006/content-types'>",
       "<Default  Extension='rels'                     "
       "ContentType='application/vnd.openxmlformats-package.relationships+xml'/>",
       "<Default  Extension='xml'                      ContentType='application/xml'/>",
       "<Override PartName='/docProps/app.xml'         "
       "ContentType='application/vnd.openxmlformats-officedocument.extended-properties+xml'/>",
       "<Override PartName='/docProps/core.xml'        "
       "ContentType='application/vnd.openxmlformats-package.core-properties+xml'/>",
       "<Override PartName='/xl/styles.xml'            "
       "ContentType='application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml'/>",
       "<Override PartName='/xl/workbook.xml'          "
       "ContentType='application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml'/>",
       "<Override PartName='/xl/worksheets/sheet1.xml' "
       "ContentType='application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml'/>",
       "</Types>"});
  ok = Scrivi_Parte(W, "_rels/.rels",
                    {rel, Relazione("rId3", Tipo_Relazione + std::string("extended-properties"), "docProps/app.xml"),
                     Relazione("rId2", "http://schemas.openxmlformats.org/package/2006/relationships/metadata/"
                                       "core-properties",
                               "docProps/core.xml"),
                     Relazione("rId1", Tipo_Relazione + std::string("officeDocument"), "xl/workbook.xml"),
                     "</Relationships>"}) && ok;
  ok = Scrivi_Parte(
           W, "docProps/app.xml",
           {"<Properties xmlns='http://schemas.openxmlformats.org/officeDocument/2006/extended-properties' "
            "xmlns:vt='http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes'>",
            "<Application>Microsoft Excel</Application>", "<DocSecurity>0</DocSecurity>",
            "<ScaleCrop>false</ScaleCrop>", "<HeadingPairs>", "<vt:vector size='2' baseType='variant'>",
            "<vt:variant><vt:lpstr>Fogli di lavoro</vt:lpstr></vt:variant>",
            "<vt:variant><vt:i4>1</vt:i4></vt:variant>", "</vt:vector>", "</HeadingPairs>", "<TitlesOfParts>",
            "<vt:vector size='1' baseType='lpstr'>", "<vt:lpstr>Dati</vt:lpstr>", "</vt:vector>", "</TitlesOfParts>",
            "<Company>" + titolo + "</Company>", "<LinksUpToDate>false</LinksUpToDate>",
            "<SharedDoc>false</SharedDoc>", "<HyperlinksChanged>false</HyperlinksChanged>",
            "<AppVersion>12.0000</AppVersion>", "</Properties>"}) && ok;
  ok = Scrivi_Parte(
           W, "docProps/core.xml",
           {"<cp:coreProperties",
            " xmlns:cp='http://schemas.openxmlformats.org/package/2006/metadata/core-properties'",
            " xmlns:dc='http://purl.org/dc/elements/1.1/'", " xmlns:dcterms='http://purl.org/dc/terms/'",
            " xmlns:dcmitype='http://purl.org/dc/dcmitype/'",
            " xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance'>", "<dc:creator>" + titolo + "</dc:creator>",
            "<cp:lastModifiedBy>" + titolo + "</cp:lastModifiedBy>",
            "<dcterms:created  xsi:type='dcterms:W3CDTF'>" + T + "Z</dcterms:created>",
            "<dcterms:modified xsi:type='dcterms:W3CDTF'>" + T + "Z</dcterms:modified>", "</cp:coreProperties>"}) &&
       ok;
  ok = Scrivi_Parte(W, "xl/_rels/workbook.xml.rels",
                    {rel, Relazione("rId3", Tipo_Relazione + std::string("styles"), "styles.xml"),
                     Relazione("rId1", Tipo_Relazione + std::string("worksheet"), "worksheets/sheet1.xml"),
                     "</Relationships>"}) && ok;
  ok = Scrivi_Parte(W, "xl/styles.xml", {Stili}) && ok;
  ok = Scrivi_Parte(W, "xl/workbook.xml",
                    {"<workbook xmlns='http://schemas.openxmlformats.org/spreadsheetml/2006/main' "
                     "xmlns:r='http://schemas.openxmlformats.org/officeDocument/2006/relationships'>",
                     "<fileVersion appName='xl' lastEdited='4' lowestEdited='4' rupBuild='4505'/>", "<sheets>",
                     "<sheet name='Dati' sheetId='1' r:id='rId1'/>", "</sheets>", "</workbook>"}) && ok;
  return ok;
}

std::string Testo_Inline(const std::string& Testo) {
  return " t='inlineStr'><is><r><t>" + XML_Codifica(Testo) + "</t></r></is></c>";
}

// A number's plain decimal text with "." whatever the locale; "" for a null.
std::string Numero(const data::Value& v) {
  if (v.is_null()) return "";
  switch (v.kind()) {
    case data::Value::Kind::Integer: return std::to_string(v.integer());
    case data::Value::Kind::Double: {
      char buf[64];
      const auto r = std::to_chars(buf, buf + sizeof buf, v.real());
      return std::string(buf, r.ptr);
    }
    default: return vb::Replace(vb::Trim(v.AsText()), ",", ".");
  }
}

// The level from character 12 on of a row key, else (with Da_Otto) from character 8 on; kept
// within 1..9, the levels the styles provide.
int Livello(const std::string& Chiave, bool Da_Otto, bool Contato_Dall_Interno) {
  const std::string dodici = vb::Mid(Chiave, 12);
  int n;
  if (!vb::Trim(dodici).empty()) {
    n = static_cast<int>(vb::Val(dodici));
    if (Contato_Dall_Interno) n = 10 - n;
  } else {
    n = Da_Otto ? static_cast<int>(vb::Val(vb::Mid(Chiave, 8))) : 1;
  }
  return n < 1 ? 1 : (n > 9 ? 9 : n);
}

// The base style of a data row's cell in column position 1 (the other columns add 50 each), or
// -1 for the alternating detail style.
int Base_Riga(const std::string& Chiave) {
  if (Modo_Griglia != 3) return -1;
  const std::string tipo = Tipo_Riga(Chiave);
  const bool livello = !vb::Trim(vb::Mid(Chiave, 12)).empty();
  if (tipo == "2") return livello ? 26 + 4 * (Livello(Chiave, false, false) - 1) : -1;
  if (tipo == "4") return 24;
  if (tipo == "1") return 26 + 4 * (Livello(Chiave, true, false) - 1);
  return 28 + 4 * (Livello(Chiave, true, true) - 1);
}

class Foglio {
 public:
  Foglio(const std::string& W, int N) : p_(W, "xl/worksheets/sheet1.xml"), N_(N) {}

  void Apri_Riga(int r) { p_.Scrivi("<row r='" + XLSX_Cella(r, 0) + "' spans='1:" + std::to_string(N_) + "'>"); }
  void Chiudi_Riga() { p_.Scrivi("</row>"); }
  void Cella(int r, int c, const std::string& Resto) { p_.Scrivi("<c r='" + XLSX_Cella(r, c) + "'" + Resto); }
  // A row whose first cell holds Testo and whose other cells are empty, all of style s.
  void Riga_Unita(int r, const std::string& s, const std::string& Testo) {
    Apri_Riga(r);
    Cella(r, 1, s + Testo_Inline(Testo));
    for (int c = 2; c <= N_; ++c) Cella(r, c, s + "/>");
    Chiudi_Riga();
    Unisci(r, 1);
  }
  void Unisci(int r, int Da) {
    if (N_ > Da) unioni_.push_back(XLSX_Cella(r, Da) + ":" + XLSX_Cella(r, N_));
  }
  void Scrivi(const std::string& Testo) { p_.Scrivi(Testo); }
  bool Chiudi() {
    p_.Scrivi("</sheetData>");
    if (!unioni_.empty()) {
      p_.Scrivi("<mergeCells count='" + std::to_string(unioni_.size()) + "'>");
      for (const std::string& u : unioni_) p_.Scrivi("<mergeCell ref='" + u + "'/>");
      p_.Scrivi("</mergeCells>");
    }
    p_.Scrivi("</worksheet>");
    return p_.Chiudi();
  }

 private:
  Parte p_;
  int N_;
  std::vector<std::string> unioni_;
};

// The filter block's lines: key text and condition.
std::vector<std::pair<std::string, std::string>> Righe_Filtro() {
  std::vector<std::pair<std::string, std::string>> righe;
  for (const Riga_Filtro& f : Leggi_Filtro(false)) {
    const std::string chiave = f.Prima_Della_Chiave ? f.Testo_Chiave : "";
    switch (f.Operatore) {
      case '=': righe.emplace_back(chiave, "= " + f.Valore_1 + " "); break;
      case 'N': righe.emplace_back(chiave, "<> " + f.Valore_1 + " "); break;
      case 'D':
        righe.emplace_back(chiave, "Da " + f.Valore_1 + " ");
        righe.emplace_back("", "A " + f.Valore_2 + " ");
        break;
      default: righe.emplace_back(chiave, ""); break;
    }
  }
  return righe;
}

}  // namespace

std::string XLSX_Cella(int32_t Riga, int32_t Colonna) {
  std::string s;
  const int32_t q = (Colonna - 1) / 26;
  if (q > 0) s += static_cast<char>(q + 64);
  const int32_t r = Colonna - 26 * q;
  if (r > 0) s += static_cast<char>(r + 64);
  return s + std::to_string(Riga);
}

void Esporta_XLSX(std::string& File) {
  const std::string nome = vb::Trim(File);
  {
    files::AtomicFile prova;
    if (!Verifica_Destinazione(nome, prova)) return;
  }
  if (agganci_esporta::Segna_Inizio) agganci_esporta::Segna_Inizio();
  Stato_Esportazione("Salvataggio " + nome + " in corso ...");
  host::DoEvents();

  data::Recordset& Rs = *Rs_Griglia;
  const std::vector<int> colonne = Colonne_Scritte();
  const int N = static_cast<int>(colonne.size());

  // Column widths from the cells' texts and the header lines; the records are counted for the
  // sheet's dimension.
  std::vector<size_t> larghezza(colonne.size(), 3);
  const auto misura = [&](size_t n, const std::string& t) {
    if (t.size() + 1 > larghezza[n]) larghezza[n] = t.size() + 1;
  };
  int record = 0;
  for (Rs.MoveFirst(); !Rs.AfterLast(); Rs.MoveNext()) {
    ++record;
    const std::string chiave = Rs.Field(0).AsText();
    for (size_t n = 0; n < colonne.size(); ++n) {
      misura(n, Cella_Vuota(colonne[n], chiave) ? std::string() : Testo_Cella(Rs, colonne[n], chiave));
    }
  }
  for (int L = 1; L <= Righe_Intestazione; ++L) {
    for (size_t n = 0; n < colonne.size(); ++n) misura(n, vb::Trim(Pezzo_Intestazione(colonne[n], L)));
  }
  Rs.MoveFirst();

  std::vector<Colonna_Xlsx> stili_colonne;
  for (int c : colonne) {
    const auto i = static_cast<size_t>(c);
    stili_colonne.push_back({Col_Tipo[i], Col_Formato[i], Col_Allineamento[i]});
  }
  const std::string stili = XLSX_Stili(XLSX_Colori(), stili_colonne);

  const std::string W = Cartella_Programma + "per_xlsx/";
  files::remove_tree(W);
  bool ok = files::make_folder(W);
  for (const char* sotto : {"_rels", "docProps", "xl", "xl/_rels", "xl/worksheets"}) {
    ok = files::make_folder(W + sotto) && ok;
  }
  ok = ok && Parti_Fisse(W, stili);

  const auto filtro = Righe_Filtro();
  const int k = static_cast<int>(filtro.size());
  const int riga_titolo = k > 0 ? 6 + k : 3;
  const int ultima = riga_titolo + Righe_Intestazione + record;

  Foglio S(W, N);
  S.Scrivi(Ns_Foglio);
  S.Scrivi("<dimension ref='A1:" + XLSX_Cella(ultima, N) + "'/>");
  S.Scrivi("<sheetViews><sheetView tabSelected='1' workbookViewId='0'><selection activeCell='A2' sqref='A2'/>"
           "</sheetView></sheetViews><sheetFormatPr defaultRowHeight='10.5'/><cols>");
  for (int c = 1; c <= N; ++c) {
    const std::string cs = std::to_string(c);
    S.Scrivi("<col min='" + cs + "' max='" + cs + "' width='" + std::to_string(larghezza[static_cast<size_t>(c - 1)]) +
             "' style='0' bestFit='1' customWidth='1'/>");
  }
  S.Scrivi("</cols><sheetData>");

  S.Riga_Unita(1, " s='0'", Testo_Titolo("  -  "));
  if (k > 0) {
    S.Riga_Unita(3, " s='1'", "Filtro");
    S.Apri_Riga(4);
    S.Cella(4, 1, " s='2'" + Testo_Inline("Chiave"));
    if (N >= 2) S.Cella(4, 2, " s='3'" + Testo_Inline("Valore"));
    for (int c = 3; c <= N; ++c) S.Cella(4, c, " s='3'/>");
    S.Chiudi_Riga();
    if (N >= 3) S.Unisci(4, 2);
    for (int i = 1; i <= k; ++i) {
      const int r = 4 + i;
      const auto& [chiave, condizione] = filtro[static_cast<size_t>(i - 1)];
      S.Apri_Riga(r);
      for (int c = 1; c <= N; ++c) {
        const std::string s = XLSX_Stile(4, i, c, k, 2);
        if (c <= 2) {
          S.Cella(r, c, s + " t='inlineStr'><is><r><t>" + XML_Codifica(c == 1 ? chiave : condizione) + " </t></r></is></c>");
        } else {
          S.Cella(r, c, s + "/>");
        }
      }
      S.Chiudi_Riga();
      if (N > 2) S.Unisci(r, 2);
    }
  }
  S.Riga_Unita(riga_titolo, " s='1'", Titolo_Griglia());

  int r = riga_titolo;
  for (int L = 1; L <= Righe_Intestazione; ++L) {
    S.Apri_Riga(++r);
    for (int c = 1; c <= N; ++c) {
      // Every column takes the header format of its own group (its number format and alignment).
      const int base = (c - 1) * 50 + (Righe_Intestazione == 1 ? 12
                                       : L == 1                  ? 14
                                       : L == Righe_Intestazione ? 18
                                                                 : 16);
      const std::string pezzo = Pezzo_Intestazione(colonne[static_cast<size_t>(c - 1)], L);
      S.Cella(r, c, XLSX_Stile(base, 1, c, Nessuna_Soglia, N) + (pezzo.empty() ? "><v></v></c>" : Testo_Inline(pezzo)));
    }
    S.Chiudi_Riga();
  }

  int d = 0;
  for (Rs.MoveFirst(); !Rs.AfterLast(); Rs.MoveNext()) {
    ++d;
    S.Apri_Riga(++r);
    const std::string chiave = Rs.Field(0).AsText();
    const int base = Base_Riga(chiave);
    for (int c = 1; c <= N; ++c) {
      const int col = colonne[static_cast<size_t>(c - 1)];
      const std::string s = base < 0 ? XLSX_Stile((c - 1) * 50 + 20, d, c, Nessuna_Soglia, N)
                                     : XLSX_Stile((c - 1) * 50 + base, 1, c, Nessuna_Soglia, N);
      if (Col_Tipo[static_cast<size_t>(col)] != 0) {
        S.Cella(r, c, s + Testo_Inline(Testo_Cella(Rs, col, chiave)));
      } else if (Cella_Vuota(col, chiave)) {
        S.Cella(r, c, s + "><v></v></c>");
      } else {
        S.Cella(r, c, s + "><v>" + Numero(Rs.Field(col)) + "</v></c>");
      }
    }
    S.Chiudi_Riga();
  }
  ok = S.Chiudi() && ok;

  // An incomplete folder is not packed: it would make a damaged workbook under the target name.
  if (!ok) {
    host::MsgBox("Non \xE8 possibile preparare il file\r\n" + nome, host::vbCritical, Titolo_Programma);
  }
  const bool fatto = ok && Zip_Cartella(W, nome);
  Stato_Esportazione("Salvataggio " + nome + (fatto ? " completato" : " NON completato"));
}

}  // namespace kyx
