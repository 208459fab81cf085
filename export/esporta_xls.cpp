// Esporta_XLS: the table as an Excel 97 workbook. The rows go first into a tab-separated staging
// file next to the target, each line led by a row code; the sheet is read from it, given the
// grid's look by row code and saved under the chosen name.
//
// A staging line is one sheet row and a field one cell: in every text written there, the TAB,
// CR and LF (which would end the field or the line) and the double quote (which would end a
// quoted field) become a blank.
#include <string>
#include <vector>

#include "common/modello.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "engine/campi.h"
#include "engine/stato_motore.h"
#include "export/esporta_comune.h"
#include "export/esporta_xls.h"
#include "export/esporta_xls_foglio.h"
#include "platform/files/atomic_file.h"
#include "platform/files/files.h"
#include "platform/host/host.h"
#include "platform/zip/shell.h"
#include "platform/vb/vb.h"

namespace kyx {
namespace {

std::string Citato(const std::string& Testo) { return "\"" + Testo + "\""; }

// A text as a staging field: it stays in its row and its column.
std::string Campo(std::string Testo) {
  for (char& ch : Testo)
    if (ch == '\t' || ch == '\r' || ch == '\n' || ch == '"') ch = ' ';
  return Testo;
}

std::string Testo_Staging(const std::string& Testo) { return Citato(Campo(Testo)); }

std::string Cella_Staging(const data::Recordset& Rs, int c, const std::string& Chiave) {
  const auto i = static_cast<size_t>(c);
  if (Col_Tipo[i] == 0) {
    if (Cella_Vuota(c, Chiave)) return "";
    const data::Value& v = Rs.Field(c);
    if (v.is_null()) return "";
    const double d = v.kind() == data::Value::Kind::Integer ? static_cast<double>(v.integer())
                     : v.kind() == data::Value::Kind::Double ? v.real()
                                                              : vb::Val(v.text());
    return vb::Trim(vb::Format(d, "#0.0#####"));
  }
  return Testo_Staging(Testo_Cella(Rs, c, Chiave));
}

std::string Codice_Riga(const std::string& Chiave) {
  return Citato("D-" + Carattere_Chiave(Chiave, 7) + "-" + Carattere_Chiave(Chiave, 8) + "-" +
                Carattere_Chiave(Chiave, 12));
}

void In_Uso(const std::string& Nome) {
  host::MsgBox(vb::Trim(Nome) + "\r\xE8 utilizzato da un'altra applicazione.", host::vbCritical, Titolo_Programma);
  Stato_Esportazione("Salvataggio non effettuato");
}

}  // namespace

void Esporta_XLS(std::string& File) {
  std::string xlsstd, xlsrun;
  if (Modo_Griglia == 3) {
    if (motore::Vuota(Rs_Layout.get()) || !motore::Cerca(Rs_Layout.get(), {int64_t{Layout_Corrente}})) return;
    xlsstd = vb::Trim(motore::Testo(*Rs_Layout, "XLSSTD"));
    xlsrun = motore::Testo(*Rs_Layout, "XLSRUN");
  }
  File_Esportazione Uscita;
  if (!Uscita.Apri(File)) return;
  const std::string staging = vb::Trim(File) + ".TMP";
  if (files::file_exists(staging) && !files::remove_file(staging)) return In_Uso(staging);

  data::Recordset& Rs = *Rs_Griglia;
  Foglio_Esportato F;
  F.Colonne = Colonne_Scritte();
  F.n = static_cast<int>(F.Colonne.size());
  F.H = Righe_Intestazione;
  {
    files::AtomicFile t;
    if (!t.open(staging)) return In_Uso(staging);
    auto riga = [&t](const std::string& s) { t.write(s + "\r\n"); };
    std::string linea = Citato("C-" + vb::Format(F.n, "000"));
    for (int c : F.Colonne) linea += "\t" + (Col_Tipo[static_cast<size_t>(c)] == 0 ? Col_Formato[static_cast<size_t>(c)] : "@");
    riga(linea);
    riga(Citato("A----") + "\t" + Testo_Staging(Testo_Titolo("  -  ")));
    riga("");
    const std::vector<Riga_Filtro> filtro = Leggi_Filtro(false);
    if (!filtro.empty()) {
      riga(Citato("F----") + "\tFiltro");
      riga(Citato("F-INT") + "\tChiave\tValore");
      for (const Riga_Filtro& f : filtro) {
        const std::string chiave = f.Prima_Della_Chiave ? Campo(f.Testo_Chiave) : "";
        switch (f.Operatore) {
          case 'N': riga("F-RIG\t" + chiave + "\t<> " + Campo(f.Valore_1)); ++F.r; break;
          case 'D':
            riga("F-RIG\t" + chiave + "\tDa " + Campo(f.Valore_1));
            riga("F-RIG\t\tA  " + Campo(f.Valore_2));
            F.r += 2;
            break;
          default: riga("F-RIG\t" + chiave + "\t=  " + Campo(f.Valore_1)); ++F.r; break;
        }
      }
      riga("");
    }
    riga(Citato("D----"));
    for (int h = 1; h <= F.H; ++h) {
      linea = "D-INT";
      for (int c : F.Colonne) linea += "\t" + Campo(Pezzo_Intestazione(c, h));
      riga(linea);
    }
    for (Rs.MoveFirst(); !Rs.AfterLast(); Rs.MoveNext()) {
      const std::string chiave = Rs.Field(0).AsText();
      linea = Codice_Riga(chiave);
      for (int c : F.Colonne) linea += "\t" + Cella_Staging(Rs, c, chiave);
      riga(linea);
      ++F.R;
    }
    if (!t.commit()) return In_Uso(staging);
  }
  host::DoEvents();

  // The sheet: value columns read as numbers, the row codes and text columns as text.
  std::vector<int> tipi(256, 2);
  for (size_t i = 0; i < F.Colonne.size() && i + 1 < tipi.size(); ++i)
    if (Col_Tipo[static_cast<size_t>(F.Colonne[i])] == 0) tipi[i + 1] = 1;
  xls::Libro libro;
  std::string errore;
  const bool letto = libro.Apri_Testo(staging, '\t', vb::locale().decimal, tipi, errore);
  files::remove_file(staging);
  if (!letto) {
    host::MsgBox(vb::Trim(File) + "\r" + errore + ": il file non \xE8 stato salvato.", host::vbCritical, Titolo_Programma);
    Stato_Esportazione("Salvataggio non effettuato");
    return;
  }

  // Cells kept as typed: a filter value starting with "=" is no formula, a heading no number.
  F.Base = F.r > 0 ? F.r + 7 : 4;
  {
    int r = 0;
    for (const Riga_Filtro& f : Leggi_Filtro(false)) {
      if (f.Prima_Della_Chiave) libro.Valore(r + 6, 2, "'" + f.Testo_Chiave);
      switch (f.Operatore) {
        case 'N': libro.Valore(r + 6, 3, "'<> " + f.Valore_1); ++r; break;
        case 'D':
          libro.Valore(r + 6, 3, "'Da " + f.Valore_1);
          ++r;
          libro.Valore(r + 6, 3, "'A  " + f.Valore_2);
          ++r;
          break;
        default: libro.Valore(r + 6, 3, "'=  " + f.Valore_1); ++r; break;
      }
    }
  }
  libro.Valore(F.Base, 2, "'" + Titolo_Griglia());
  for (int h = 1; h <= F.H; ++h) {
    for (int i = 1; i <= F.n; ++i) {
      const std::string pezzo = Pezzo_Intestazione(F.Colonne[static_cast<size_t>(i - 1)], h);
      libro.Valore(F.Base + h, i + 1, pezzo.empty() ? "" : "'" + pezzo);
    }
  }

  if (Modo_Griglia != 3 || xlsstd == "S") Formatta_XLS(libro, F);

  if (Modo_Griglia == 3 && !vb::Trim(xlsrun).empty()) {
    const size_t p = xlsrun.find('!');
    if (p != std::string::npos && p > 0) {
      // Macros of another workbook cannot run here: the workbook is saved without it.
      host::MsgBox("La macro " + vb::Trim(xlsrun) + " non pu\xF2 essere eseguita in questa versione: il file " +
                       vb::Trim(File) + " viene salvato senza eseguirla.",
                   host::vbExclamation, Titolo_Programma);
    }
  }

  // The workbook goes to the file as it is made; a failed write is reported when the file closes.
  errore.clear();
  if (!libro.Componi([&Uscita](std::string_view b) { return Uscita.Scrivi(b); }, errore) && !errore.empty()) {
    host::MsgBox(vb::Trim(File) + "\r" + errore + ": il file non \xE8 stato salvato.", host::vbCritical, Titolo_Programma);
    Stato_Esportazione("Salvataggio non effettuato");
    return;
  }
  // "Excel visibile": the saved workbook is shown in the desktop's spreadsheet program.
  if (Uscita.Chiudi() && Visualizza_Excel) {
    std::string Errore;
    if (!zip::OpenDocument(vb::Trim(File), &Errore)) {
      host::MsgBox(vb::Trim(File) + "\r" + Errore, host::vbExclamation, Titolo_Programma);
    }
  }
}

}  // namespace kyx
