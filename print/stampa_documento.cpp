// Stampa_Documento: the run's entry, its preparation (context, printer set-up, fonts, pen, line
// height, document) and its end. The column geometry is in stampa_colonne.cpp, the filter table
// in stampa_filtro.cpp, rows and pages in stampa_righe.cpp, the chart in stampa_grafico.cpp.
#include "print/stampa_documento.h"

#include <cmath>
#include <string>

#include "common/modello.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "engine/stato_motore.h"
#include "platform/gdi/gdi.h"
#include "platform/host/host.h"
#include "platform/vb/vb.h"
#include "print/agganci_stampa.h"
#include "print/stampa_interno.h"
#include "print/stampanti.h"
#include "print/stato_stampa.h"

namespace kyx {

namespace {

int32_t Altezza_Font(double Twips) {
  const double v = vb::RoundHalfEven(Twips / static_cast<double>(Stampanti_Twip_Punto_Y));
  return std::isfinite(v) && std::fabs(v) < 1e6 ? static_cast<int32_t>(v) : 0;
}

// "Errore 020 " and the code, as the set-up failure is reported; for the failures a user can
// act on, a second line says what happened.
void Errore_Stampante(int32_t Codice) {
  std::string Testo = "Errore 020 " + std::to_string(Codice);
  if (Codice == static_cast<int32_t>(gdi::kErrorInvalidPrinterName)) {
    if (gdi::Printers().empty()) {
      Testo += "\r\nNessuna stampante installata.";
    } else {
      Testo += "\r\nStampante non trovata: " +
               (vb::Trim(Stampa_Stampante).empty() ? std::string("(predefinita)") : vb::Trim(Stampa_Stampante));
    }
  } else if (Codice == static_cast<int32_t>(gdi::kErrorAccessDenied)) {
    Testo += "\r\nImpossibile scrivere il documento sulla stampante.";
  }
  host::MsgBox(Testo, host::vbCritical, Titolo_Programma);
}

void Elimina_Risorse(bool Risultato_Mode) {
  Stampanti_Elimina_DC(Stampa_DC);
  Stampanti_Elimina_Oggetto(Stampa_Font_Titolo);
  Stampanti_Elimina_Oggetto(Stampa_Font_Dati);
  if (Risultato_Mode) Stampanti_Elimina_Oggetto(Stampa_Font_Grassetto);
  Stampanti_Elimina_Oggetto(Stampa_Penna);
  Stampa_DC = Stampa_Font_Titolo = Stampa_Font_Dati = Stampa_Font_Grassetto = Stampa_Penna = 0;
}

}  // namespace

namespace stampa {

void Crea_Font_Dati(const std::string& Font, double Dimensione, bool Grassetto) {
  Stampa_Font_Dati = Stampanti_Crea_Font(Font, Altezza_Font(-15.0 * Dimensione), 0, 400, 0, 0);
  if (Grassetto) Stampa_Font_Grassetto = Stampanti_Crea_Font(Font, Altezza_Font(-15.0 * Dimensione), 0, 800, 0, 0);
}

void Calcola_Altezza_Riga() {
  Stampanti_Seleziona(Stampa_DC, Stampa_Font_Dati);
  Stampanti_Metriche(Stampa_DC);
  const gdi::TextMetric& m = Stampanti_Metriche_Testo;
  // The internal leading is counted twice (the height already holds it): the printed lines have
  // always been this tall.
  Stampa_Altezza_Riga = static_cast<int32_t>(vb::RoundHalfEven(
      (m.Height + m.ExternalLeading + m.InternalLeading) * static_cast<double>(Stampanti_Twip_Punto_Y) +
      2.0 * Stampa_Margine_Cella));
  Stampa_Altezza_Riga_2 = 2 * Stampa_Altezza_Riga;
  Stampa_Altezza_Riga_3 = 3 * Stampa_Altezza_Riga;
}

int32_t Limite_Basso() { return Stampanti_Altezza - Stampa_Margini[3]; }

}  // namespace stampa

bool Stampa_Documento() {
  // 1. An empty grid prints nothing.
  if (!Rs_Griglia || (Rs_Griglia->BeforeFirst() && Rs_Griglia->AfterLast())) return true;
  Rs_Griglia->MoveFirst();
  const bool Risultato_Mode = Modo_Griglia == 3;

  // 2. The layout's font.
  std::string Font = "Arial";
  double Dimensione = 0;
  if (Risultato_Mode) {
    if (!Rs_Layout || !Rs_Layout->IsOpen() || (Rs_Layout->BeforeFirst() && Rs_Layout->AfterLast())) return false;
    if (!Rs_Layout->Seek({data::Value(int64_t{Layout_Corrente})}).ok() || Rs_Layout->AfterLast() ||
        Rs_Layout->BeforeFirst()) {
      return false;
    }
    const data::Value& f = Rs_Layout->Field("FONT");
    Font = vb::Trim(f.is_null() ? std::string() : f.AsText());
    const data::Value& d = Rs_Layout->Field("DIM_F");
    Dimensione = d.is_null() ? 0.0 : d.AsDouble();
  }

  // 3. The printer's context, with the orientation and copies of the settings.
  Stampa_DC = Stampanti_Crea_DC(Stampa_Stampante);
  const int32_t hWnd = agganci_stampa::hWnd_Base ? agganci_stampa::hWnd_Base() : 0;
  int32_t Esito = Stampanti_Imposta(hWnd, Stampa_DC, Stampa_Stampante, Stampa_Verticale ? -1 : 0, Stampa_Copie);
  if (Esito == 0 && Stampa_DC == 0) {
    // The printer opened but its context did not: nothing could be printed on it.
    Esito = gdi::GetLastError() != 0 ? static_cast<int32_t>(gdi::GetLastError()) : -1;
  }
  if (Esito != 0) {
    Errore_Stampante(Esito);
    Stampanti_Elimina_DC(Stampa_DC);
    Stampa_DC = 0;
    return false;
  }

  // 4. - 5. Metrics, fonts, pen, line height.
  Stampanti_Caratteristiche(Stampa_DC);
  if (Risultato_Mode) {
    Stampa_Font_Titolo = Stampanti_Crea_Font(Font, Altezza_Font(-19.0 * Dimensione), 0, 800, 0, 0);
    stampa::Crea_Font_Dati(Font, Dimensione, true);
  } else {
    Stampa_Font_Titolo = Stampanti_Crea_Font("Arial", Altezza_Font(-190.0), 0, 800, 0, 0);
    Stampa_Font_Dati = Stampanti_Crea_Font("Arial", Altezza_Font(-150.0), 0, 400, 0, 0);
  }
  Stampa_Penna = Stampanti_Crea_Penna(gdi::PS_SOLID, Stampanti_Punto_Y(5), 0);
  stampa::Calcola_Altezza_Riga();
  Stampa_Altezza_Testata = Stampa_Altezza_Riga_2;
  Stampa_Inizio_Corpo = Stampa_Altezza_Riga_3;

  // 6. The document. A target that cannot take it (an unwritable file, a printer gone) is
  // reported instead of a run that seems to print.
  if (Stampanti_Inizio_Doc(Stampa_DC, Titolo_Programma) <= 0) {
    const uint32_t e = gdi::GetLastError();
    Errore_Stampante(e != 0 ? static_cast<int32_t>(e) : -1);
    Elimina_Risorse(Risultato_Mode);
    return false;
  }
  Stampa_Y = Stampanti_Altezza;
  Stampa_Pagina = 0;
  Stampa_Pagina_Attiva = false;
  bool Pagina_Fallita = false;

  // 7. The filter table.
  if (Stampa_Filtro && Risultato_Mode) stampa::Stampa_Filtro();

  // 8. - 10. The grid, unless only the chart is wanted.
  if (Stampa_Dati || !Grafico_Visibile || !Risultato_Mode) {
    const auto Larghezza_Misurata = stampa::Misura_Colonne();
    stampa::Calcola_Bordi(Larghezza_Misurata);
    if (Stampa_Adatta_Font && Risultato_Mode) stampa::Adatta_Font(Larghezza_Misurata, Font, Dimensione);
    stampa::Stampa_Righe();
  }

  // 11. The chart.
  if (Grafico_Visibile) Stampa_Grafico();

  // 12. The end.
  if (Stampa_Pagina_Attiva && Stampa_Pagina >= 1) Stampanti_Fine_Pagina(Stampa_DC);
  if (Stampanti_Fine_Doc(Stampa_DC) <= 0) Pagina_Fallita = true;
  const uint32_t Errore_Fine = gdi::GetLastError();
  Elimina_Risorse(Risultato_Mode);
  if (Pagina_Fallita) {
    Errore_Stampante(Errore_Fine != 0 ? static_cast<int32_t>(Errore_Fine) : -1);
    return false;
  }
  return true;
}

}  // namespace kyx
