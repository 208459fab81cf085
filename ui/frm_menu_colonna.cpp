#include "ui/frm_menu_colonna.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <algorithm>
#include <string>

#include "common/modello.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "engine/agganci_motore.h"
#include "engine/ricalcola_colonne.h"
#include "engine/stato_motore.h"
#include "platform/host/host.h"
#include "platform/ui/colours.h"
#include "platform/ui/units.h"
#include "platform/ui/pointer.h"
#include "platform/ui/vb_events.h"
#include "platform/vb/vb.h"
#include "ui/agganci_base.h"
#include "ui/finestre.h"
#include "ui/frm_base.h"
#include "ui/frm_menu_colonna4.h"
#include "ui/frm_menu_colonne.h"
#include "ui/frm_menu_filtro.h"
#include "ui/frm_menu_riga.h"
#include "ui/stato_finestra.h"

namespace kyx {
namespace {

constexpr const char* kVoci[8] = {"Ordimaneto crescente", "Ordimaneto decrescente", "Blocca", "Nascondi",
                                  "Filtro sulle righe",   "Ricerca riga",           "Adatta", "Filtro della colonna"};
constexpr const char* kVoci3[4] = {"Adatta colonna", "Adatta colonna (con intestazione)", "Adatta tutte le colonne",
                                   "Adatta tutte le colonne (con intestazione)"};
constexpr std::size_t kAperto = 0;  // this pop-up's entry of Form_Aperto

void Visualizza() {
  if (agganci_base::Visualizza_Griglia) agganci_base::Visualizza_Griglia();
}
void Salva(const char* Operazione, int16_t Colonna) {
  if (agganci_motore::Salva_Layout) agganci_motore::Salva_Layout(Operazione, Colonna);
}
bool Griglia_Vuota() { return !Rs_Griglia || (Rs_Griglia->BeforeFirst() && Rs_Griglia->AfterLast()); }

// The 16 x 16 pictures of the menu, drawn in the button-text colour on a clear ground. Sorts: an
// arrow beside three bars whose length grows in the sort's direction; the sub-menu mark: a small
// triangle pointing right, as a menu item that opens another menu shows it.
QPixmap Figura(int Tipo) {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  const QColor inchiostro = ui::ole_to_qcolor(0x80000012);
  p.setPen(inchiostro);
  p.setBrush(inchiostro);
  if (Tipo == 2) {
    p.drawPolygon(QPolygon({QPoint(6, 4), QPoint(10, 8), QPoint(6, 12)}));
    return pm;
  }
  const bool crescente = Tipo == 0;
  p.drawLine(3, 2, 3, 13);
  if (crescente) {
    p.drawPolygon(QPolygon({QPoint(0, 5), QPoint(3, 2), QPoint(6, 5)}));
  } else {
    p.drawPolygon(QPolygon({QPoint(0, 10), QPoint(3, 13), QPoint(6, 10)}));
  }
  for (int b = 0; b < 3; ++b) {
    const int lunghezza = crescente ? 3 + 3 * b : 9 - 3 * b;
    p.fillRect(QRect(8, 3 + 4 * b, lunghezza - 1, 2), inchiostro);
  }
  return pm;
}

// The end of every action: the main window back to the user, the menus gone.
void Fine_Azione() {
  Imposta_Puntatore(0);
  frmBase->SetEnabled(true);
  if (frmMenuColonna.Loaded()) frmMenuColonna->Unload();
}

}  // namespace

FrmMenuColonna::FrmMenuColonna() : MenuVoci("frmMenuColonna", 8, 165) {
  setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  for (int i = 0; i < 8; ++i) ItemX[i]->SetCaption(kVoci[i]);
  Image1 = new ui::VbControl<QLabel>(this);
  Image2 = new ui::VbControl<QLabel>(this);
  Image3 = new ui::VbControl<QLabel>(this);
  Image4 = new ui::VbControl<QLabel>(this);
  Image5 = new ui::VbControl<QLabel>(this);
  Image6 = new ui::VbControl<QLabel>(this);
  const std::array<ui::VbControl<QLabel>*, 6> figure = Figure();
  for (size_t k = 0; k < figure.size(); ++k) {
    figure[k]->setPixmap(Figura(k < 2 ? static_cast<int>(k) : 2));
    figure[k]->resize(16, 16);
    // A press on a picture is a press on its item.
    figure[k]->setAttribute(Qt::WA_TransparentForMouseEvents);
  }
  Line[0] = new ui::LineControl(this);
  Line[0]->SetBorderColor(0x80000014);
  Line[1] = new ui::LineControl(this);
  Line[1]->SetBorderColor(0x80000010);
  Colloca_Figure();
}

void FrmMenuColonna::Colloca_Figure() {
  // Shadow above highlight: a groove across the top of the client area.
  Line[1]->SetEnds(0, 0, width(), 0);
  Line[0]->SetEnds(0, 1, width(), 1);
  const std::array<ui::VbControl<QLabel>*, 6> figure = Figure();
  for (size_t k = 0; k < figure.size(); ++k) {
    // Items 0, 1 and 4 to 7; 15 twips below the item's top, 3 pixels inside the right border.
    const int i = k < 2 ? static_cast<int>(k) : static_cast<int>(k) + 2;
    figure[k]->Move(width() - 16 - 3, Item[i]->y() + ui::twips_to_px_y(15));
    figure[k]->raise();
  }
}

bool FrmMenuColonna::Bloccato() const { return In_Caricamento; }

void FrmMenuColonna::Carica() {
  frmBase->SetEnabled(false);
  Imposta_Puntatore(0);
  host::DoEvents();
  Azzera_Colori();
  int x = 0, y = 0;
  ui::GetCursorPos(x, y);
  const double Cornice = Cornice_Alto();
  const double Larghezza = 3225;
  double Left = (x - 14) * Twips_Pixel_X;
  const double Top = (y - 14) * Twips_Pixel_Y;
  FrmBase& b = *frmBase;
  const double Destra = b.Left() + b.Width() - Larghezza - 360;
  if (Left > Destra) Left = Destra;
  // The left limit wins over the right one: the menu never covers the tree pane's splitter.
  const double Sinistra = b.Left() + b.lblNS->width() * Twips_Pixel_X + 225;
  if (Left < Sinistra) Left = Sinistra;
  Move(Left, Top, Larghezza, Cornice + 2550);
  Voce_Evidenziata = -1;
  Voce_Tastiera = -1;
  Imposta_Voci();
  Show(ui::vbModeless);
  // The window frame is known only once the window is shown: place it again with its real frame.
  Move(Left, Top, Larghezza, Cornice_Alto() + 2550);
  Colloca_Figure();
  Form_Aperto[kAperto] = true;
}

void FrmMenuColonna::Imposta_Voci() {
  const int16_t c = Colonna_Corrente;
  SetCaption(vb::Trim(vb::Replace(Col_Intestazione[c], "|", " ")));
  Item[0]->setEnabled(Col_Ordine[c] == 0 && (Verso_Ordinamento != " ASC" || Colonna_Ordinamento != c));
  Item[1]->setEnabled(Col_Ordine[c] == 0 && (Verso_Ordinamento != " DESC" || Colonna_Ordinamento != c));
  Item[2]->setEnabled(false);
  if (c < Colonne_Bloccate) {
    Item[2]->setEnabled(true);
    ItemX[2]->SetCaption("Sblocca");
  } else if (c < Numero_Colonne) {
    Item[2]->setEnabled(true);
    ItemX[2]->SetCaption("Blocca");
  }
  if (Col_Visibile[c] != 2) {
    ItemX[3]->SetCaption("Scopri");
    Item[3]->setEnabled(true);
  } else {
    ItemX[3]->SetCaption("Nascondi");
    int Mostrate = 0;
    for (int k = 0; k <= Numero_Colonne; ++k) Mostrate += Col_Visibile[k] == 2 ? 1 : 0;
    Item[3]->setEnabled(Mostrate >= 2);
  }
  Item[4]->setEnabled(true);
  Item[5]->setEnabled(!Griglia_Vuota());
  Item[6]->setEnabled(!Griglia_Vuota());
  bool Filtro = !vb::Trim(Col_Where[c]).empty();
  for (int k = 1; !Filtro && k <= Sinf_Idx_Max && k <= 64; ++k) Filtro = Col_Where_Flag[c][k - 1] == 0;
  Item[7]->setEnabled(Filtro);
  for (int i = 0; i < 8; ++i) ItemX[i]->setEnabled(Item[i]->isEnabled());
  const std::array<ui::VbControl<QLabel>*, 6> figure = Figure();
  for (size_t k = 0; k < figure.size(); ++k) figure[k]->setEnabled(Item[k < 2 ? k : k + 2]->isEnabled());
  Imposta_Finestra_Dialogo(hWnd());
}

void FrmMenuColonna::Apri_Sottomenu(int Index) {
  if (Index == 4 || Index == 5) frmMenuColonna2->Carica(Index);
  if (Index == 6) frmMenuColonna3->Carica();
  if (Index == 7) frmMenuColonna4->Carica();
}

void FrmMenuColonna::Chiudi_Sottomenu(int Index) {
  if ((Index == 4 || Index == 5) && frmMenuColonna2.Loaded()) frmMenuColonna2->Unload();
  if (Index == 6 && frmMenuColonna3.Loaded()) frmMenuColonna3->Unload();
  if (Index == 7 && frmMenuColonna4.Loaded()) frmMenuColonna4->Unload();
}

void FrmMenuColonna::Item_Click(int Index) {
  if (Index < 0 || Index > 3 || !Item[Index]->isEnabled()) return;
  const int16_t c = Colonna_Corrente;
  if (Index <= 1) {
    Colonna_Ordinamento = c;
    Verso_Ordinamento = Index == 0 ? " ASC" : " DESC";
    Salva("ORD", 0);
    int16_t Modo = -1;
    Ricalcola_Colonne(Modo);
    Prima_Riga = -1;
    Riga_Evidenziata = -1;
    Visualizza();
  } else if (Index == 2) {
    Colonne_Bloccate = ItemX[2]->Caption() == "Blocca" ? static_cast<int16_t>(c + 1) : c;
    Salva("BLK", 0);
    Scorrimento_Colonne = -1;
    Visualizza();
  } else {
    Col_Visibile[c] = ItemX[3]->Caption() == "Nascondi" ? 1 : 2;
    Visualizza();
    if (Modo_Griglia == 3) Salva("VIS", c);
  }
  Fine_Azione();
}

void FrmMenuColonna::Altro_Tasto(int& KeyCode, int) {
  if (KeyCode != ui::vbKeyLeft && KeyCode != ui::vbKeyRight) return;
  const int Passo = KeyCode == ui::vbKeyRight ? 1 : -1;
  KeyCode = 0;
  // Hidden columns are stepped onto (they offer "Scopri"); columns never shown are skipped.
  int k = Colonna_Corrente + Passo;
  while (k >= 0 && k <= Numero_Colonne && Col_Visibile[k] == 0) k += Passo;
  if (k < 0 || k > Numero_Colonne) return;
  Colonna_Corrente = static_cast<int16_t>(k);
  Imposta_Voci();
  Form_MouseMove();
  Voce_Evidenziata = -1;
  if (Voce_Tastiera != -1) Vai_A_Voce(Voce_Tastiera);
}

void FrmMenuColonna::Form_QueryUnload(int16_t&, int UnloadMode) {
  Form_Aperto[kAperto] = false;
  if (UnloadMode == ui::vbFormControlMenu) {
    Imposta_Puntatore(0);
    frmBase->SetEnabled(true);
  }
}

void FrmMenuColonna::Form_Unload(int16_t&) {
  // The sub-menus are owned by this menu and go with it.
  if (frmMenuColonna2.Loaded()) frmMenuColonna2->Unload();
  if (frmMenuColonna3.Loaded()) frmMenuColonna3->Unload();
  if (frmMenuColonna4.Loaded()) frmMenuColonna4->Unload();
  if (frmBase.Loaded()) frmBase->ZOrder(0);
}

void Colloca_Sottomenu(ui::KyForm& Sottomenu, int Index, double Larghezza, double Altezza) {
  FrmMenuColonna& p = *frmMenuColonna;
  double Left = p.Left() + p.Width() - 60;
  const double Top = p.Top() + p.Cornice_Alto() + p.Item[Index]->y() * Twips_Pixel_Y - 90;
  FrmBase& b = *frmBase;
  if (b.Left() + b.Width() - Larghezza - 360 < Left) Left = p.Left() - Larghezza + 60;
  Sottomenu.Move(Left, Top, Larghezza, Altezza);
}

FrmMenuColonna3::FrmMenuColonna3() : MenuVoci("frmMenuColonna3", 4, 45) {
  setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
  for (int i = 0; i < 4; ++i) ItemX[i]->SetCaption(kVoci3[i]);
}

void FrmMenuColonna3::Carica() {
  In_Caricamento = true;
  Azzera_Colori();
  Colloca_Sottomenu(*this, 6, 3480, 1320);
  Voce_Evidenziata = -1;
  Voce_Tastiera = -1;
  Show(ui::vbModeless);
  Colloca_Sottomenu(*this, 6, 3480, 1320);
  In_Caricamento = false;
}

void FrmMenuColonna3::Item_Click(int Index) {
  if (Index < 0 || Index > 3) return;
  if (agganci_motore::Visualizza_Larghezza_Colonne) {
    agganci_motore::Visualizza_Larghezza_Colonne(Index <= 1 ? Colonna_Corrente : -1,
                                                 static_cast<int16_t>(Index == 1 || Index == 3 ? -1 : 0), -1);
  }
  Fine_Azione();
  if (frmMenuColonna3.Loaded()) frmMenuColonna3->Unload();
}

void FrmMenuColonna3::Altro_Tasto(int& KeyCode, int) {
  if (KeyCode == ui::vbKeyEscape || KeyCode == ui::vbKeyLeft || KeyCode == ui::vbKeyRight) {
    KeyCode = 0;
    Unload();
  }
}

void Installa_Popup() {
  agganci_base::frmMenuColonna_Carica = [] { frmMenuColonna->Carica(); };
  agganci_base::Popup[kAperto] = []() -> ui::KyForm* { return frmMenuColonna.peek(); };
  // The element card of a right press on a cell, and the column chooser of the toolbar.
  agganci_base::frmMenuRiga_Carica = [](int16_t Chiave, const std::string& Elemento) {
    frmMenuRiga->Carica(Chiave, Elemento);
  };
  agganci_base::Popup[6] = []() -> ui::KyForm* { return frmMenuRiga.peek(); };
  agganci_base::Azioni["Colonne"] = [] { frmMenuColonne->Carica(); };
  agganci_base::Popup[1] = []() -> ui::KyForm* { return frmMenuColonne.peek(); };
}

}  // namespace kyx
