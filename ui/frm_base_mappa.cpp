// frmBase: the main window's rows 71 .. 96 of the context-help map, rebuilt from the window as it
// is laid out when context-help mode starts: one band per toolbar button across the toolbar, the
// two tree panels, the grid's header row and the rest of the right-hand area, everything below
// the panels, and a catch-all. Map units are pixels at 96 dots per inch (15 twips), measured from
// the outer top-left corner of the window.
#include <cmath>
#include <string_view>

#include "common/impostazioni.h"
#include "common/modello.h"
#include "common/stato.h"
#include "platform/ui/units.h"
#include "ui/frm_base.h"
#include "ui/mappa_aiuto.h"
#include "ui/stato_finestra.h"

namespace kyx {

namespace {

int32_t Arrotonda(double v) { return static_cast<int32_t>(std::lround(v)); }

std::string Riga_Composta(int32_t l, int32_t t, int32_t r, int32_t b, const std::string& Argomento) {
  return Numero_Cifre(l, 4) + "," + Numero_Cifre(t, 4) + "," + Numero_Cifre(r, 4) + "," + Numero_Cifre(b, 4) +
         "," + Argomento;
}

// The toolbar's buttons in their order, by key (separators have no row: they fall into the band
// of the button after them), with their rows and topics.
struct Banda {
  const char* Chiave;
  int16_t Riga;
  const char* Argomento;
};
constexpr Banda kBande[] = {
    {"Uscita", 72, "10002"},     {"SInf", 90, "10020"},        {"Server", 73, "10003"},
    {"DatiLocali", 74, "10004"}, {"Precedente", 75, "10005"},  {"Successivo", 76, "10006"},
    {"Preferiti", 77, "10007"},  {"Grafico", 78, "10008"},     {"Visualizza", 79, "10009"},
    {"Colonne", 80, "10010"},    {"FiltroPulizia", 81, "10011"}, {"FiltroTipo", 82, "10012"},
    {"MouseTipo", 71, "10021"},  {"Elabora", 83, "10013"},     {"SetStampa", 84, "10014"},
    {"Stampa", 85, "10015"},     {"Salva", 86, "10016"},       {"Opzioni", 87, "10017"},
    {"Help", 88, "10018"},       {"Help_1", 89, "10019"},
};

// The position of the button with that key in the toolbar (1 ..), 0 when there is none.
int16_t Indice_Pulsante(ui::KeyedToolbar& Barra, std::string_view Chiave) {
  for (int i = 1; i <= Barra.Count(); ++i) {
    if (Barra.Buttons(i).Key() == Chiave) return static_cast<int16_t>(i);
  }
  return 0;
}

}  // namespace

void FrmBase::Ridimensiona_Mappa_(int32_t& bx, int32_t& by, int32_t& Sinistra, int32_t& Destra, int32_t& A,
                                  int16_t& Pulsante, int16_t& Riga, std::string& Argomento) {
  Sinistra = Destra;
  ui::ToolbarButton& b = Toolbar1->Buttons(static_cast<int>(Pulsante));
  Destra = Arrotonda((Toolbar1->Left() + b.Left() + b.Width() + bx) * ui::Twips_Pixel_X() / 15.0);
  Mappa_Aiuto[static_cast<size_t>(Riga)] = Riga_Composta(Sinistra, by, Destra, A, Argomento);
}

void FrmBase::Ridimensiona_Mappa() {
  const double tx = ui::Twips_Pixel_X();
  const double ty = ui::Twips_Pixel_Y();
  // One side border, then the title bar and top border: where the inside begins.
  int32_t bx = Arrotonda((Width() - ScaleWidth() * tx) / 30.0);
  int32_t by = Arrotonda((Height() - ScaleHeight() * ty) / 15.0 - bx);
  int32_t A = Arrotonda(L_twL[1]->Y1() * ty / 15.0 + by);
  const int32_t B = Arrotonda(L_twL[1]->Y2() * ty / 15.0 + by);
  const int32_t C = Arrotonda(L_twF[1]->Y2() * ty / 15.0 + by);
  const int32_t X = Arrotonda(L_twL[0]->X2() * tx / 15.0 + bx);
  const int32_t G = Arrotonda(Grid1->Top() * ty / 15.0 + by);
  // A grid without rows has no header row to measure: it is given rows for the measure.
  int32_t Altezza_0 = 0;
  if (Grid1->Rows() == 0) {
    Grid1->SetRows(13);
    Altezza_0 = Grid1->RowHeight(0);
    Grid1->SetRows(0);
  } else {
    Altezza_0 = Grid1->RowHeight(0);
  }
  const int32_t H = G + Arrotonda(Altezza_0 / 15.0);

  int32_t Sinistra = 0, Destra = 0;
  for (const Banda& b : kBande) {
    int16_t Pulsante = Indice_Pulsante(*Toolbar1, b.Chiave), Riga = b.Riga;
    if (Pulsante == 0) continue;
    std::string Argomento = b.Argomento;
    Ridimensiona_Mappa_(bx, by, Sinistra, Destra, A, Pulsante, Riga, Argomento);
  }

  std::string Intestazione = "41000", Resto = "43000";
  if (Modo_Griglia == 1) {
    Resto = "42000";
  } else if (Modo_Griglia == 2) {
    Resto = "10401";
  } else if (Modo_Griglia == 3 && Grafico_Visibile) {
    Intestazione = "44000";
    Resto = "44000";
  }
  Mappa_Aiuto[91] = Riga_Composta(0, A, X, B, "20000");
  Mappa_Aiuto[92] = Riga_Composta(0, B, X, C, "30000");
  Mappa_Aiuto[93] = Riga_Composta(X, G, 9999, H, Intestazione);
  Mappa_Aiuto[94] = Riga_Composta(X, A, 9999, C, Resto);
  Mappa_Aiuto[95] = Riga_Composta(0, C, 9999, 9999, "50000");
  Mappa_Aiuto[96] = Riga_Composta(0, 0, 9999, 9999, "00000");
}

}  // namespace kyx
