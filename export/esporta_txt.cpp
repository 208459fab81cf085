// Esporta_TXT: the table as a fixed-width text file for any editor or a line printer.
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
  Uscita.Riga("Filtro");
  Uscita.Riga("");
  Uscita.Riga("Chiave" + std::string(25, ' ') + "Valore");
  Uscita.Riga(std::string(30, '-') + " " + std::string(40, '-'));
  for (const Riga_Filtro& r : filtro) {
    // The key's text and a row of dots to the value column, on the first row of each key.
    const std::string chiave =
        r.Prima_Della_Chiave ? text::fixed(r.Testo_Chiave + " " + std::string(29, '.'), 30) + " " : std::string(31, ' ');
    switch (r.Operatore) {
      case 'N': Uscita.Riga(chiave + "<> " + r.Valore_1); break;
      case 'D':
        Uscita.Riga(chiave + "Da " + r.Valore_1);
        Uscita.Riga(std::string(31, ' ') + "A  " + r.Valore_2);
        break;
      default: Uscita.Riga(chiave + "=  " + r.Valore_1); break;
    }
  }
  Uscita.Riga("");
  Uscita.Riga("");
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

  Uscita.Riga(Testo_Titolo("  -  "));
  Uscita.Riga("");
  Scrivi_Filtro(Uscita);
  Uscita.Riga(Titolo_Griglia());
  Uscita.Riga("");
  for (int i = 1; i <= Righe_Intestazione; ++i) {
    std::string riga;
    for (size_t n = 0; n < colonne.size(); ++n) {
      if (n) riga += ' ';
      riga += Allinea(vb::Trim(Pezzo_Intestazione(colonne[n], i)), colonne[n], larghezze[n]);
    }
    Uscita.Riga(riga);
  }
  const std::string trattini = Riga_Trattini(larghezze);
  Uscita.Riga(trattini);

  for (Rs.MoveFirst(); !Rs.AfterLast(); Rs.MoveNext()) {
    const std::string chiave = Rs.Field(0).AsText();
    // The grand total stands apart from the rows above it.
    if (Modo_Griglia == 3 && Tipo_Riga(chiave) == "4") Uscita.Riga(trattini);
    std::string riga;
    for (size_t n = 0; n < colonne.size(); ++n) {
      const int c = colonne[n];
      if (n) riga += ' ';
      riga += Allinea(Cella_Vuota(c, chiave) ? std::string() : Testo_Cella(Rs, c, chiave), c, larghezze[n]);
    }
    Uscita.Riga(riga);
  }
  Uscita.Chiudi();
}

}  // namespace kyx
