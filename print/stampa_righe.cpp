// Pages, the column header and the rows of the grid: page breaks (also at each first-level group
// with "Livello 1"), the page header with date, page number and title, the "..." mark at the foot
// of a continued page, colours by row kind and level, and the page range.
#include <string>

#include "common/modello.h"
#include "common/stato.h"
#include "engine/stato_motore.h"
#include "platform/vb/vb.h"
#include "print/agganci_stampa.h"
#include "print/stampa_documento.h"
#include "print/stampa_interno.h"
#include "print/stampanti.h"
#include "print/stato_stampa.h"

namespace kyx {

namespace {

int32_t Colore(int Coppia, int Quale) { return Colori[static_cast<size_t>(2 * Coppia + Quale)]; }

// A level digit of the row key: its value, 0 for anything that is not a digit (as Val reads it).
int Cifra(char c) { return c >= '0' && c <= '9' ? c - '0' : 0; }

struct Colori_Riga {
  int32_t Testo;
  int32_t Sfondo;
};

Colori_Riga Alternati() { return Riga_Alternata ? Colori_Riga{Colore(6, 0), Colore(6, 1)} : Colori_Riga{Colore(7, 0), Colore(7, 1)}; }

// Colours of a result row by its kind and level. A level pair outside the table falls back to
// the alternating pair rather than reading past it.
Colori_Riga Colori_Di(const std::string& Chiave) {
  const char Tipo = Chiave.size() > 6 ? Chiave[6] : ' ';
  const char Livello = Chiave.size() > 7 ? Chiave[7] : ' ';
  const bool Con_12 = Chiave.size() > 11 && Chiave[11] != ' ';
  const int L12 = Con_12 ? Cifra(Chiave[11]) : 0;
  int Coppia_Livello = -1;
  switch (Tipo) {
    case '4':
      return {Colore(9, 0), Colore(9, 1)};
    case '1':
      Coppia_Livello = (Con_12 ? L12 : Cifra(Livello)) - 1;
      break;
    case '3':
      Coppia_Livello = (Con_12 ? L12 : 10 - Cifra(Livello)) + 8;
      break;
    default:
      if (!Con_12) return Alternati();
      Coppia_Livello = L12 - 1;
      break;
  }
  if (Coppia_Livello < 0 || 2 * Coppia_Livello + 1 >= static_cast<int>(Colori_Livello.size())) return Alternati();
  return {Colori_Livello[static_cast<size_t>(2 * Coppia_Livello)], Colori_Livello[static_cast<size_t>(2 * Coppia_Livello + 1)]};
}

}  // namespace

bool Stampa_Nuova_Pagina() {
  const int32_t Sinistro = Stampa_Margini[0];
  const int32_t Destro = Stampa_Margini[1];
  const int32_t Alto = Stampa_Margini[2];
  if (Stampa_Pagina_Attiva && Stampa_Pagina >= 1) {
    int32_t x = Sinistro;
    int32_t y = Stampa_Y + static_cast<int32_t>(vb::RoundHalfEven(Stampa_Altezza_Riga / 4.0));
    Stampanti_Testo(Stampa_DC, "...", x, y, 0, 0, Colore(6, 0), Colore(6, 1));
    Stampanti_Fine_Pagina(Stampa_DC);
  }
  ++Stampa_Pagina;
  Stampa_Pagina_Attiva =
      Stampa_Da_Pagina == 0 || (Stampa_Da_Pagina <= Stampa_Pagina && Stampa_Pagina <= Stampa_A_Pagina);
  if (Stampa_Pagina_Attiva) Stampanti_Inizio_Pagina(Stampa_DC);
  Stampanti_Seleziona(Stampa_DC, Stampa_Penna);
  Stampanti_Seleziona(Stampa_DC, Stampa_Font_Titolo);
  if (Stampa_Pagina_Attiva) {
    const int32_t x2 = Stampanti_Larghezza - Destro;
    const int32_t y2 = Alto + Stampa_Altezza_Testata;
    // Day, month, year, hours and minutes with "/" and ":" whatever the locale.
    const std::string Data = vb::FormatDate(vb::Now(), "dd\\/mm\\/yyyy\\ hh\\:nn") + "  Pag. " +
                             vb::Format(static_cast<int64_t>(Stampa_Pagina), "#0\\ ");
    Stampanti_Cella(Stampa_DC, Data, Sinistro, Alto, x2, y2, 38, Stampa_Margine_Cella, true, true, true, true,
                    Colore(6, 0), Colore(6, 1), true);
    const std::string Titolo_Griglia = agganci_stampa::Titolo_Griglia ? agganci_stampa::Titolo_Griglia() : "";
    const std::string Titolo = " " + Titolo_Programma + "  -  " + vb::Trim(Descrizione_Sistema) + "  -  " +
                               vb::Trim(Titolo_Griglia);
    Stampanti_Cella(Stampa_DC, Titolo, Sinistro, Alto, x2, y2, 36, Stampa_Margine_Cella, true, true, true, true,
                    Colore(6, 0), Colore(6, 1), false);
  }
  Stampanti_Seleziona(Stampa_DC, Stampa_Font_Dati);
  Stampa_Y = Alto + Stampa_Inizio_Corpo;
  return true;
}

bool Stampa_Intestazione() {
  const int32_t Altezza = Stampa_Altezza_Riga * Righe_Intestazione;
  if (Stampa_Pagina_Attiva) {
    for (int i = 0; i <= Numero_Colonne; ++i) {
      const size_t k = static_cast<size_t>(i);
      if (Col_Visibile[k] != 2) continue;
      if (i == Colonna_Ordinamento) Stampanti_Freccia(Stampa_DC, X_Colonna[k], Stampa_Y, Verso_Ordinamento);
      // Each "|" piece on a line of its own, as the header strip shows it: a piece wider than
      // its column is cut at the column's edge, not wrapped onto lines that belong to the next
      // pieces (the header is only as many lines high as the heading has pieces).
      const std::string Testo = vb::Replace(vb::Trim(Col_Intestazione[k]), "|", "\r\n");
      const int32_t Formato = Col_Allineamento[k] == 7 ? 2 : Col_Allineamento[k] == 4 ? 1 : 0;
      Stampanti_Cella(Stampa_DC, Testo, X_Colonna[k], Stampa_Y, X_Colonna[k + 1], Stampa_Y + Altezza, Formato,
                      Stampa_Margine_Cella, true, true, true, true, Colore(8, 0), Colore(8, 1), true);
    }
  }
  Stampa_Y += Altezza;
  return true;
}

namespace stampa {

void Stampa_Righe() {
  const bool Risultato_Mode = Modo_Griglia == 3;
  if (Stampa_Pagina == 0) Stampa_Nuova_Pagina();
  Stampa_Intestazione();
  Riga_Alternata = true;
  bool Primo_Livello = false;
  const bool Salto_Livello = Stampa_Livello_1 && Livelli_Visibili >= 1;
  const int64_t Righe = Rs_Griglia->RecordCount();
  int64_t Posizione = 0;
  Rs_Griglia->MoveFirst();
  while (!Rs_Griglia->AfterLast()) {
    ++Posizione;
    const data::Value& v0 = Rs_Griglia->Field(0);
    const std::string Chiave = v0.is_null() ? std::string() : v0.AsText();
    const char Tipo = Risultato_Mode && Chiave.size() > 6 ? Chiave[6] : ' ';
    const char Livello = Risultato_Mode && Chiave.size() > 7 ? Chiave[7] : ' ';

    const bool Confine = (Tipo == '1' && Livello == '1') || Tipo == '4';
    if (Stampa_Y + Stampa_Altezza_Riga_2 > Limite_Basso() || (Confine && Primo_Livello && Salto_Livello)) {
      Stampa_Nuova_Pagina();
      Stampa_Intestazione();
    }
    if (Tipo == '1' && Livello == '1' && Salto_Livello) Primo_Livello = true;

    const bool Ultima = Stampa_Y + Stampa_Altezza_Riga_3 > Limite_Basso() || Posizione == Righe;
    const bool Speciale = Risultato_Mode && (Tipo == '1' || Tipo == '3' || Tipo == '4');
    const Colori_Riga c = Risultato_Mode ? Colori_Di(Chiave) : Alternati();
    if (Speciale) Stampanti_Seleziona(Stampa_DC, Stampa_Font_Grassetto);
    if (Stampa_Pagina_Attiva) {
      for (int i = 0; i <= Numero_Colonne; ++i) {
        const size_t k = static_cast<size_t>(i);
        if (Col_Visibile[k] != 2) continue;
        std::string Testo;
        if (Col_Tipo[k] == 0 && Risultato_Mode && (Tipo == '1' || (Col_Totale[k] == 1 && Tipo != '2'))) {
          Testo = " ";
        } else {
          Testo = Testo_Cella(i, Rs_Griglia->Field(i));
        }
        const int32_t Formato = Col_Allineamento[k] == 7 ? 2 : Col_Allineamento[k] == 4 ? 1 : 0;
        Stampanti_Cella(Stampa_DC, Testo, X_Colonna[k], Stampa_Y, X_Colonna[k + 1], Stampa_Y + Stampa_Altezza_Riga,
                        Formato, Stampa_Margine_Cella, Speciale, true, Speciale || Ultima, true, c.Testo, c.Sfondo,
                        true);
      }
    }
    if (Speciale) Stampanti_Seleziona(Stampa_DC, Stampa_Font_Dati);
    Riga_Alternata = !Riga_Alternata;
    Stampa_Y += Stampa_Altezza_Riga;
    if (!Rs_Griglia->MoveNext().ok()) break;
  }
  Stampa_Y += Stampa_Altezza_Riga;
}

}  // namespace stampa
}  // namespace kyx
