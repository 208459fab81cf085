// Esporta_TXT: the table as a fixed-width text file for any editor or a line printer.
//
// One table row is one line and every character one column: a TAB, CR or LF inside a text
// (which would move the columns or split the line) is written as a blank.
#include "export/esporta_txt.h"

#include <algorithm>
#include <vector>

#include "common/modello.h"
#include "common/stato.h"
#include "engine/stato_motore.h"
#include "export/esporta_comune.h"
#include "platform/text/cp1252.h"
#include "platform/vb/vb.h"

namespace kyx {
namespace {

// Writes a line of the file; the writer's own texts hold no TAB, CR or LF, so any there comes
// from the data and becomes a blank.
void Scrivi_Riga(File_Esportazione& Uscita, std::string Riga) {
  for (char& ch : Riga)
    if (ch == '\t' || ch == '\r' || ch == '\n') ch = ' ';
  Uscita.Riga(Riga);
}

// A text column is filled on the right; a value column is aligned to the right and keeps the
// last characters of a longer text.
std::string Allinea(const std::string& Testo, int c, size_t Larghezza) {
  if (Col_Tipo[static_cast<size_t>(c)] == 0) return text::fixed_right(Testo, Larghezza);
  return text::fixed(Testo, Larghezza);
}

std::string Riga_Trattini(const std::vector<size_t>& Larghezze) {
  std::string riga;
  for (size_t n = 0; n < Larghezze.size(); ++n) {
    if (n) riga += ' ';
    riga.append(Larghezze[n], '-');
  }
  return riga;
}

void Scrivi_Filtro(File_Esportazione& Uscita) {
  const std::vector<Riga_Filtro> filtro = Leggi_Filtro(true);
  if (filtro.empty()) return;
  Scrivi_Riga(Uscita, "Filtro");
  Scrivi_Riga(Uscita, "");
  Scrivi_Riga(Uscita, "Chiave" + std::string(25, ' ') + "Valore");
  Scrivi_Riga(Uscita, std::string(30, '-') + " " + std::string(40, '-'));
  for (const Riga_Filtro& r : filtro) {
    // The key's text and a row of dots to the value column, on the first row of each key.
    const std::string chiave =
        r.Prima_Della_Chiave ? text::fixed(r.Testo_Chiave + " " + std::string(29, '.'), 30) + " " : std::string(31, ' ');
    switch (r.Operatore) {
      case 'N': Scrivi_Riga(Uscita, chiave + "<> " + r.Valore_1); break;
      case 'D':
        Scrivi_Riga(Uscita, chiave + "Da " + r.Valore_1);
        Scrivi_Riga(Uscita, std::string(31, ' ') + "A  " + r.Valore_2);
        break;
      default: Scrivi_Riga(Uscita, chiave + "=  " + r.Valore_1); break;
    }
  }
  Scrivi_Riga(Uscita, "");
  Scrivi_Riga(Uscita, "");
}

}  // namespace

void Esporta_TXT(std::string& File) {
  File_Esportazione Uscita;
  if (!Uscita.Apri(File)) return;
  data::Recordset& Rs = *Rs_Griglia;
  const std::vector<int> colonne = Colonne_Scritte();

  // Widths, before anything of the table is written: the heading pieces as split, and every
  // cell as written (a value column counts its formatted text also where a row leaves it empty).
  std::vector<size_t> larghezze(colonne.size(), 0);
  for (int i = 1; i <= Righe_Intestazione; ++i) {
    for (size_t n = 0; n < colonne.size(); ++n) {
      larghezze[n] = std::max(larghezze[n], Pezzo_Intestazione(colonne[n], i).size());
    }
  }
  for (Rs.MoveFirst(); !Rs.AfterLast(); Rs.MoveNext()) {
    const std::string chiave = Rs.Field(0).AsText();
    for (size_t n = 0; n < colonne.size(); ++n) {
      larghezze[n] = std::max(larghezze[n], Testo_Cella(Rs, colonne[n], chiave).size());
    }
  }

  Scrivi_Riga(Uscita, Testo_Titolo("  -  "));
  Scrivi_Riga(Uscita, "");
  Scrivi_Filtro(Uscita);
  Scrivi_Riga(Uscita, Titolo_Griglia());
  Scrivi_Riga(Uscita, "");
  for (int i = 1; i <= Righe_Intestazione; ++i) {
    std::string riga;
    for (size_t n = 0; n < colonne.size(); ++n) {
      if (n) riga += ' ';
      riga += Allinea(vb::Trim(Pezzo_Intestazione(colonne[n], i)), colonne[n], larghezze[n]);
    }
    Scrivi_Riga(Uscita, riga);
  }
  const std::string trattini = Riga_Trattini(larghezze);
  Scrivi_Riga(Uscita, trattini);

  for (Rs.MoveFirst(); !Rs.AfterLast(); Rs.MoveNext()) {
    const std::string chiave = Rs.Field(0).AsText();
    // The grand total stands apart from the rows above it.
    if (Modo_Griglia == 3 && Tipo_Riga(chiave) == "4") Scrivi_Riga(Uscita, trattini);
    std::string riga;
    for (size_t n = 0; n < colonne.size(); ++n) {
      const int c = colonne[n];
      if (n) riga += ' ';
      riga += Allinea(Cella_Vuota(c, chiave) ? std::string() : Testo_Cella(Rs, c, chiave), c, larghezze[n]);
    }
    Scrivi_Riga(Uscita, riga);
  }
  Uscita.Chiudi();
}

}  // namespace kyx
