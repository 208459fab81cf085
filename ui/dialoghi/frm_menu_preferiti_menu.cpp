#include "ui/dialoghi/frm_menu_preferiti_menu.h"

#include <QEvent>
#include <cmath>
#include <map>

#include "common/modello.h"
#include "common/stato.h"
#include "layouts/preferiti.h"
#include "platform/host/host.h"
#include "platform/ui/keyed_tree.h"
#include "platform/ui/pointer.h"
#include "platform/ui/simple_controls.h"
#include "platform/ui/units.h"
#include "platform/ui/vb_events.h"
#include "ui/dialoghi/frm_menu_preferiti.h"
#include "ui/dialoghi/frm_menu_preferiti_modifica.h"
#include "ui/agganci_base.h"
#include "ui/finestre.h"
#include "ui/frm_base.h"

namespace kyx {
namespace {

constexpr const char* kVoci[7] = {"Modifica", "Elimina", "Nuova cartella", "Aggiunta elaborazione",
                                  "Visualizza elaborazione", "Aggiorna elaborazione", "Aggiorna tutti"};
constexpr uint32_t kTestoNormale = 0x80000012;
constexpr uint32_t kSfondoAcceso = 0x8000000D;
constexpr uint32_t kTestoAcceso = 0x8000000E;

void Colloca(QWidget& w, double left, double top, double width, double height) {
  w.setGeometry(ui::twips_to_px_x(left), ui::twips_to_px_y(top), ui::twips_to_px_x(width), ui::twips_to_px_y(height));
}

}  // namespace

FrmMenuPreferitiMenu::FrmMenuPreferitiMenu() : ui::KyForm("frmMenuPreferitiMenu") {
  setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
  setFixedSize(ui::twips_to_px_x(1905), ui::twips_to_px_y(2100));
  setMouseTracking(true);
  SetKeyPreview(true);
  for (int i = 0; i < 7; ++i) {
    Item[i] = new ui::Label(this);
    Colloca(*Item[i], 0, 300.0 * i, 3915, 285);
    ItemX[i] = new ui::Label(this, kVoci[i]);
    Colloca(*ItemX[i], 60, 300.0 * i + 45, 3675, 195);
    for (ui::Label* l : {Item[i], ItemX[i]}) {
      l->setMouseTracking(true);
      l->installEventFilter(this);
      l->Click = [this, i] { Item_Click(i); };
    }
  }
  Timer1.SetInterval(120);
  Timer1.Timer = [this] { Timer1_Timer(); };
}

bool FrmMenuPreferitiMenu::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseMove) {
    for (int i = 0; i < 7; ++i) {
      if ((watched == Item[i] || watched == ItemX[i]) && static_cast<QWidget*>(watched)->isEnabled()) {
        Item_MouseMove(i);
      }
      // The move stays with the item: the window's background handler would put it out again.
      if (watched == Item[i] || watched == ItemX[i]) return true;
    }
  }
  return ui::KyForm::eventFilter(watched, event);
}

void FrmMenuPreferitiMenu::mouseMoveEvent(QMouseEvent*) { Form_MouseMove(); }

void FrmMenuPreferitiMenu::Colora(int Index, bool Acceso) {
  for (ui::Label* l : {Item[Index], ItemX[Index]}) {
    l->SetBackColor(Acceso ? kSfondoAcceso : static_cast<uint32_t>(Colore_Sfondo));
    l->SetForeColor(Acceso ? kTestoAcceso : kTestoNormale);
  }
}

void FrmMenuPreferitiMenu::Carica() {
  frmMenuPreferiti->SetEnabled(false);
  host::host().SetPointer(host::vbDefault);
  host::DoEvents();
  Imposta_Sfondo_Finestra(*this, Colore_Sfondo);
  for (int i = 0; i < 7; ++i) Colora(i, false);
  int x = 0, y = 0;
  ui::GetCursorPos(x, y);
  Move((x - 8) * ui::Twips_Pixel_X(), (y - 8) * ui::Twips_Pixel_Y());
  Evidenziato = -1;
  Tastiera = -1;
  Fuori = 0;

  ui::TreeNode& n = frmMenuPreferiti->Nodo();
  const std::string& t = n.Tag();
  const bool cartella = t == "R" || t == "C";
  const bool preferito = t == "F" || t == "L" || t == "A";
  ItemX[0]->SetCaption(cartella ? "Modifica cartella" : "Modifica elaborazione");
  ItemX[1]->SetCaption(cartella ? "Elimina cartella" : "Elimina elaborazione");
  const bool abilitato[7] = {t == "C" || preferito,
                             (t == "C" && n.Children() == 0) || preferito,
                             cartella,
                             cartella && Elaborazione_Corrente > 0,
                             preferito,
                             preferito,
                             true};
  for (int i = 0; i < 7; ++i) {
    Item[i]->setEnabled(abilitato[i]);
    ItemX[i]->setEnabled(Item[i]->isEnabled());
  }
  Show(ui::vbModeless);
}

void FrmMenuPreferitiMenu::Item_MouseMove(int Index) {
  if (Index != Evidenziato) {
    if (Evidenziato >= 0) Colora(Evidenziato, false);
    Colora(Index, true);
    Evidenziato = Index;
  }
  Tastiera = Index;
}

void FrmMenuPreferitiMenu::Form_MouseMove() {
  if (Evidenziato >= 0) Colora(Evidenziato, false);
  Evidenziato = -1;
}

void FrmMenuPreferitiMenu::Form_KeyDown(int& KeyCode, int) {
  if (KeyCode == ui::vbKeyUp || KeyCode == ui::vbKeyDown) {
    Tastiera += KeyCode == ui::vbKeyUp ? -1 : 1;
    if (Tastiera < 0) Tastiera = 6;
    if (Tastiera > 6) Tastiera = 0;
    // The pointer goes to the middle of the item's bar; the move lights the item, as the
    // pointer's own move over it would.
    const double Esterno_Alto = Top() + Height() - ScaleHeight() * ui::Twips_Pixel_Y() -
                                (Width() - ScaleWidth() * ui::Twips_Pixel_X()) / 2;
    const double y = Esterno_Alto + 300.0 * Tastiera + 285.0 / 2;
    int px = 0, py = 0;
    ui::GetCursorPos(px, py);
    ui::SetCursorPos(px, static_cast<int>(std::lround(y / ui::Twips_Pixel_Y())));
    const int scelto = Tastiera;
    if (Item[scelto]->isEnabled()) Item_MouseMove(scelto);
  } else if (KeyCode == ui::vbKeyReturn) {
    if (Tastiera != -1 && Item[Tastiera]->isEnabled()) Item_Click(Tastiera);
  }
}

void FrmMenuPreferitiMenu::Timer1_Timer() {
  Timer1.SetEnabled(false);
  const QRect r = frameGeometry();
  int x = 0, y = 0;
  ui::GetCursorPos(x, y);
  if (x >= r.left() && x <= r.left() + r.width() && y >= r.top() && y <= r.top() + r.height()) {
    Fuori = 0;
    Timer1.SetEnabled(true);
  } else if (Fuori <= 10) {
    ++Fuori;
    Timer1.SetEnabled(true);
  } else {
    host::host().SetPointer(host::vbDefault);
    frmMenuPreferiti->SetEnabled(true);
    Unload();
  }
}

void FrmMenuPreferitiMenu::Item_Click(int Index) {
  if (!Enabled() || !Item[Index]->isEnabled()) return;
  SetEnabled(false);
  Timer1.SetEnabled(false);
  if (Index <= 3) {
    frmMenuPreferitiModifica->Carica(Index);
  } else if (Index <= 5) {
    const std::string file = FrmMenuPreferiti::File_Del_Nodo(frmMenuPreferiti->Nodo());
    Apri_Preferito(file, Index == 5, true);
    host::host().SetPointer(host::vbDefault);
    frmMenuPreferiti->SetEnabled(true);
  } else {
    // Every favourite of the tree in turn. One whose refresh does not go through keeps its saved
    // result and date; the others go on, and the user is told which ones failed.
    ui::KeyedTree& albero = *frmMenuPreferiti->twP;
    std::vector<std::string> elenco;
    std::map<std::string, std::string> titoli;
    for (int i = 1; i <= albero.Count(); ++i) {
      ui::TreeNode& n = albero.Nodes(i);
      if (n.Tag() != "F") continue;
      elenco.push_back(n.Key());
      titoli[n.Key()] = n.Text();
    }
    Falliti.clear();
    for (const std::string& f : Aggiorna_Preferiti(elenco, [] {
           Prima_Riga = -1;
           Scorrimento_Colonne = -1;
           Prima_Colonna = -1;
           if (agganci_base::Visualizza_Griglia) agganci_base::Visualizza_Griglia();
           frmBase->SetEnabled(false);
         })) {
      Falliti.push_back(titoli[f].empty() ? f : titoli[f]);
    }
    if (!Falliti.empty()) {
      std::string testo = "Elaborazioni non aggiornate (restano come erano state salvate):";
      for (const std::string& f : Falliti) testo += "\r" + f;
      host::MsgBox(testo, host::vbExclamation, Titolo_Programma);
    }
    host::host().SetPointer(host::vbDefault);
    frmMenuPreferiti->SetEnabled(true);
  }
  Unload();
}

}  // namespace kyx
