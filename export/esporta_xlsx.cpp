// Esporta_XLSX: the table as a one-sheet SpreadsheetML workbook. The parts are streamed into the
// archive as they are written (the sheet row by row, never whole in memory), the archive is
// built in a temporary file beside the target, and it replaces the target only when every part is
// complete: a failed export never yields a damaged workbook nor loses the old one. Each run has
// its own temporary file, so copies of the program exporting at the same time never meet.
#include "export/esporta_xlsx.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <vector>

#include "common/modello.h"
#include "common/stato.h"
#include "engine/stato_motore.h"
#include "export/agganci_esporta.h"
#include "export/esporta_comune.h"
#include "export/esporta_xls.h"
#include "export/xlsx_foglio.h"
#include "export/xlsx_larghezze.h"
#include "export/xlsx_parti.h"
#include "export/xlsx_stili.h"
#include "export/xlsx_zip.h"
#include "platform/host/host.h"
#include "platform/vb/vb.h"
#include "platform/zip/zip_writer.h"

namespace kyx {
namespace {

constexpr const char* Ns_Foglio =
    "<worksheet xmlns='http://schemas.openxmlformats.org/spreadsheetml/2006/main' "
    "xmlns:r='http://schemas.openxmlformats.org/officeDocument/2006/relationships'>";
constexpr int32_t Nessuna_Soglia = 999999999;
constexpr int Righe_Foglio = 1048576;
// The sheet is mostly numbers that deflate well at any level; the fastest level keeps the
// compressor from costing more than writing the cells (level 9 took most of the export's time).
constexpr int Livello_Compressione = 1;

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

// The digit at a position (from 1) of a row key; a blank, any other character or a short key
// counts 0. The level is one character: the characters after it (the key number that row-level
// layouts carry in 9-11) are no part of it.
int Cifra(const std::string& Chiave, size_t Posizione) {
  const std::string c = Carattere_Chiave(Chiave, Posizione);
  return !c.empty() && c[0] >= '0' && c[0] <= '9' ? c[0] - '0' : 0;
}

// A level kept within 1..9, the levels the styles provide.
int Entro_Livelli(int n) { return n < 1 ? 1 : (n > 9 ? 9 : n); }

// The base style of a data row's cell in column position 1 (the other columns add 50 each), or
// -1 for the alternating detail style. The row kinds and levels pick the same level pairs as the
// grid's row colours: head rows and levelled detail rows pair 17 + level, subtotals 26 + the
// level of character 12, or 26 + (10 - the level of character 8) when they count it from the
// innermost level as the short keys do.
int Base_Riga(const std::string& Chiave) {
  if (Modo_Griglia != 3) return -1;
  const std::string tipo = Tipo_Riga(Chiave);
  const bool esteso = Livello_Esteso(Chiave);
  const int d12 = Cifra(Chiave, 12), d8 = Cifra(Chiave, 8);
  if (tipo == "2") return esteso ? 26 + 4 * (Entro_Livelli(d12) - 1) : -1;
  if (tipo == "4") return 24;
  if (tipo == "1") return 26 + 4 * (Entro_Livelli(esteso ? d12 : d8) - 1);
  return 28 + 4 * (Entro_Livelli(esteso ? d12 : 10 - d8) - 1);
}

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

// Whether the formatted text of a value can only grow with its size, sign apart: a mask of digits,
// grouping and a fixed number of decimals ("#,##0.00", "0"). The widest text of such a column is
// then the text of its largest and of its most negative value.
bool Formato_Monotono(const std::string& Formato) {
  if (Formato.empty() || Formato.find_first_not_of("#0,.") != std::string::npos) return false;
  const size_t punto = Formato.find('.');
  return punto == std::string::npos || Formato.find_first_not_of('0', punto + 1) == std::string::npos;
}

// The extreme values of a value column whose mask is monotone.
struct Estremi {
  bool positivo = false, negativo = false;
  double massimo = 0, minimo = 0;
  void Aggiungi(double v) {
    if (v >= 0) {
      if (!positivo || v > massimo) massimo = v;
      positivo = true;
    } else {
      if (!negativo || v < minimo) minimo = v;
      negativo = true;
    }
  }
};

// The column widths (position 1 = index 0) for what the sheet's columns hold: the data cells as
// the spreadsheet shows them (a value in its column's format), the header lines and the filter
// block, whose conditions stand from column 2 across the columns merged for them. The records
// are counted on the way.
std::vector<int> Larghezze(data::Recordset& Rs, const std::vector<int>& colonne, int Celle,
                           const std::vector<std::pair<std::string, std::string>>& filtro, int& Record) {
  std::vector<int> larghezza(static_cast<size_t>(Celle), 3);
  const auto misura = [&](size_t n, std::string_view t) { larghezza[n] = std::max(larghezza[n], XLSX_Larghezza_Testo(t)); };
  std::vector<bool> monotona(colonne.size());
  std::vector<Estremi> estremi(colonne.size());
  for (size_t n = 0; n < colonne.size(); ++n) {
    const auto i = static_cast<size_t>(colonne[n]);
    monotona[n] = Col_Tipo[i] == 0 && Formato_Monotono(Col_Formato[i]);
  }
  Record = 0;
  for (Rs.MoveFirst(); !Rs.AfterLast(); Rs.MoveNext()) {
    ++Record;
    const std::string chiave = Rs.Field(0).AsText();
    for (size_t n = 0; n < colonne.size(); ++n) {
      if (Cella_Vuota(colonne[n], chiave)) continue;
      const data::Value& v = Rs.Field(colonne[n]);
      if (monotona[n] && v.kind() == data::Value::Kind::Double) {
        estremi[n].Aggiungi(v.real());
      } else if (monotona[n] && v.kind() == data::Value::Kind::Integer) {
        estremi[n].Aggiungi(static_cast<double>(v.integer()));
      } else {
        misura(n, Testo_Cella(Rs, colonne[n], chiave));
      }
    }
  }
  Rs.MoveFirst();
  for (size_t n = 0; n < colonne.size(); ++n) {
    const std::string& formato = Col_Formato[static_cast<size_t>(colonne[n])];
    if (estremi[n].positivo) misura(n, vb::Trim(vb::Format(estremi[n].massimo, formato)));
    if (estremi[n].negativo) misura(n, vb::Trim(vb::Format(estremi[n].minimo, formato)));
  }
  for (int L = 1; L <= Righe_Intestazione; ++L) {
    for (size_t n = 0; n < colonne.size(); ++n) misura(n, Pezzo_Intestazione(colonne[n], L));
  }
  if (!filtro.empty()) {
    misura(0, "Chiave");
    int condizione = XLSX_Larghezza_Testo("Valore");
    for (const auto& [chiave, testo] : filtro) {
      misura(0, chiave + " ");
      condizione = std::max(condizione, XLSX_Larghezza_Testo(testo + " "));
    }
    int unite = 0;
    for (size_t n = 1; n < larghezza.size(); ++n) unite += larghezza[n];
    if (unite < condizione) larghezza[1] += condizione - unite;
  }
  return larghezza;
}

// The worksheet part: every row from the title to the last record.
bool Scrivi_Foglio(zip::ZipWriter& Zip, data::Recordset& Rs, const std::vector<int>& colonne,
                   const std::vector<std::pair<std::string, std::string>>& filtro, std::string& Motivo) {
  const int N = static_cast<int>(colonne.size());
  const int k = static_cast<int>(filtro.size());
  // The filter block has its two columns, key and condition, even beside a single written column.
  const int NF = k > 0 ? std::max(N, 2) : N;
  const int riga_titolo = k > 0 ? 6 + k : 3;
  int record = 0;
  const std::vector<int> larghezza = Larghezze(Rs, colonne, NF, filtro, record);
  const int ultima = riga_titolo + Righe_Intestazione + record;
  // A worksheet holds at most 1,048,576 rows: a longer one would be refused by every reader.
  if (ultima > Righe_Foglio) {
    Motivo = "il foglio non contiene pi\xF9 di 1048576 righe";
    return false;
  }

  if (!XLSX_Apri_Parte(Zip, "xl/worksheets/sheet1.xml")) return false;
  Foglio_Xlsx S(Zip, NF);
  S.Scrivi(Ns_Foglio);
  S.Scrivi("<dimension ref='A1:" + XLSX_Cella(ultima, NF) + "'/>");
  S.Scrivi("<sheetViews><sheetView tabSelected='1' workbookViewId='0'><selection activeCell='A2' sqref='A2'/>"
           "</sheetView></sheetViews><sheetFormatPr defaultRowHeight='10.5'/><cols>");
  for (int c = 1; c <= NF; ++c) {
    const std::string cs = std::to_string(c);
    S.Scrivi("<col min='" + cs + "' max='" + cs + "' width='" + std::to_string(larghezza[static_cast<size_t>(c - 1)]) +
             "' style='0' bestFit='1' customWidth='1'/>");
  }
  S.Scrivi("</cols><sheetData>");

  // A row whose first cell holds Testo and whose other cells are empty, all of style s.
  const auto riga_unita = [&](int r, int s, const std::string& testo, int celle) {
    S.Apri_Riga(r, celle);
    S.Testo(r, 1, s, testo);
    for (int c = 2; c <= celle; ++c) S.Vuota(r, c, s);
    S.Chiudi_Riga();
    S.Unisci(r, 1, celle);
  };
  riga_unita(1, 0, Testo_Titolo("  -  "), N);
  if (k > 0) {
    riga_unita(3, 1, "Filtro", NF);
    S.Apri_Riga(4, NF);
    S.Testo(4, 1, 2, "Chiave");
    S.Testo(4, 2, 3, "Valore");
    for (int c = 3; c <= NF; ++c) S.Vuota(4, c, 3);
    S.Chiudi_Riga();
    if (NF >= 3) S.Unisci(4, 2, NF);
    for (int i = 1; i <= k; ++i) {
      const int r = 4 + i;
      const auto& [chiave, condizione] = filtro[static_cast<size_t>(i - 1)];
      S.Apri_Riga(r, NF);
      for (int c = 1; c <= NF; ++c) {
        const int32_t s = XLSX_Numero_Stile(4, i, c, k, 2);
        if (c <= 2) {
          S.Testo(r, c, s, c == 1 ? chiave : condizione, true);
        } else {
          S.Vuota(r, c, s);
        }
      }
      S.Chiudi_Riga();
      S.Unisci(r, 2, NF);
    }
  }
  riga_unita(riga_titolo, 1, Titolo_Griglia(), N);

  int r = riga_titolo;
  for (int L = 1; L <= Righe_Intestazione; ++L) {
    S.Apri_Riga(++r, N);
    for (int c = 1; c <= N; ++c) {
      // Every column takes the header format of its own group (its number format and alignment).
      const int base = (c - 1) * 50 + (Righe_Intestazione == 1 ? 12
                                       : L == 1                  ? 14
                                       : L == Righe_Intestazione ? 18
                                                                 : 16);
      const std::string pezzo = Pezzo_Intestazione(colonne[static_cast<size_t>(c - 1)], L);
      const int32_t s = XLSX_Numero_Stile(base, 1, c, Nessuna_Soglia, N);
      if (pezzo.empty()) {
        S.Valore_Vuoto(r, c, s);
      } else {
        S.Testo(r, c, s, pezzo);
      }
    }
    S.Chiudi_Riga();
  }

  int d = 0;
  for (Rs.MoveFirst(); !Rs.AfterLast(); Rs.MoveNext()) {
    ++d;
    S.Apri_Riga(++r, N);
    const std::string chiave = Rs.Field(0).AsText();
    const int base = Base_Riga(chiave);
    for (int c = 1; c <= N; ++c) {
      const int col = colonne[static_cast<size_t>(c - 1)];
      const int32_t s = base < 0 ? XLSX_Numero_Stile((c - 1) * 50 + 20, d, c, Nessuna_Soglia, N)
                                 : XLSX_Numero_Stile((c - 1) * 50 + base, 1, c, Nessuna_Soglia, N);
      if (Col_Tipo[static_cast<size_t>(col)] != 0) {
        S.Testo(r, c, s, Testo_Cella(Rs, col, chiave));
      } else if (Cella_Vuota(col, chiave)) {
        S.Valore_Vuoto(r, c, s);
      } else {
        S.Numero(r, c, s, Numero(Rs.Field(col)));
      }
    }
    S.Chiudi_Riga();
  }
  return S.Chiudi();
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
  std::vector<Colonna_Xlsx> stili_colonne;
  for (int c : colonne) {
    const auto i = static_cast<size_t>(c);
    stili_colonne.push_back({Col_Tipo[i], Col_Formato[i], Col_Allineamento[i]});
  }
  const std::string stili = XLSX_Stili(XLSX_Colori(), stili_colonne);

  zip::ZipWriter zip(Livello_Compressione);
  std::string motivo;
  bool ok = zip.Open(nome) && XLSX_Parti_Fisse(zip, stili) && Scrivi_Foglio(zip, Rs, colonne, Righe_Filtro(), motivo);
  ok = ok && zip.Commit();
  if (!ok) zip.Discard();
  const bool fatto = Apri_Cartella_Lavoro(ok, nome, motivo);
  Stato_Esportazione("Salvataggio " + nome + (fatto ? " completato" : " NON completato"));
}

}  // namespace kyx
