#include "ui/dialoghi/frm_menu_preferiti.h"

#include <cmath>
#include <cstdlib>

#include "common/modello.h"
#include "common/stato.h"
#include "engine/stato_motore.h"
#include "layouts/layout.h"
#include "layouts/preferiti.h"
#include "platform/host/host.h"
#include "platform/ui/keyed_tree.h"
#include "platform/ui/line_control.h"
#include "platform/ui/pointer.h"
#include "platform/ui/units.h"
#include "platform/ui/vb_events.h"
#include "platform/vb/vb.h"
#include "ui/agganci_base.h"
#include "ui/dialoghi/frm_menu_preferiti_menu.h"
#include "ui/finestre.h"
#include "ui/frm_base.h"
#include "ui/stato_finestra.h"

namespace kyx {

std::string Nodo_Preferito;

namespace {
constexpr std::size_t kFormAperto = 5;  // frmMenuPreferiti among the pop-ups' open flags
}  // namespace

FrmMenuPreferiti::FrmMenuPreferiti() : ui::KyForm("frmMenuPreferiti") {
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
  SetCaption(" Preferiti");
  for (auto*& l : L_tw) l = new ui::LineControl(this);
  L_tw[0]->SetBorderColor(0x80000010);
  L_tw[3]->SetBorderColor(0x80000010);
  twP = new ui::KeyedTree(this);
  twP->MouseDown = [this](int b, int s, float x, float y) { twP_MouseDown(b, s, x, y); };
  twP->MouseMove = [this](int b, int s, float x, float y) { twP_MouseMove(b, s, x, y); };
  twP->MouseUp = [this](int b, int s, float x, float y) { twP_MouseUp(b, s, x, y); };
  twP->DragOver = [this](float x, float y) { twP_DragOver(x, y); };
  twP->DragDrop = [this](float x, float y) { twP_DragDrop(x, y); };
  setFixedSize(ui::twips_to_px_x(4710), ui::twips_to_px_y(4320));
}

void FrmMenuPreferiti::Carica() {
  frmBase->SetEnabled(false);
  host::host().SetPointer(host::vbDefault);
  host::DoEvents();
  Imposta_Sfondo_Finestra(*this, Colore_Sfondo);
  L_tw[1]->SetBorderColor(static_cast<uint32_t>(Colore_Bordo));
  L_tw[2]->SetBorderColor(static_cast<uint32_t>(Colore_Bordo));
  for (const char* p : {"Stato", "Progress", "Numero"}) host::host().SetPanel(p, "");

  Ultimo_Preferito = 0;
  Chiave_Premuta.clear();
  Tag_Premuto.clear();
  Ultimo_Nodo = nullptr;
  twP->setVisible(false);
  twP->SetImageList(&frmBase->ImageList1);
  twP->SetIndentation(6);
  twP->SetLineStyle(1);
  twP->Clear();
  std::string radice = Cartella_Preferiti;
  if (!radice.empty() && (radice.back() == '\\' || radice.back() == '/')) radice.pop_back();
  ui::TreeNode& r = twP->Add("", ui::tvwLast, radice, "Preferiti", "Preferiti", "Preferiti1");
  r.SetTag("R");
  r.SetExpanded(true);
  Nodo_Preferito = radice;
  Carica_Cartella(radice);
  twP->setVisible(true);

  const double W = std::round(ScaleWidth() - 8.0);
  const double H = std::round(ScaleHeight() - 8.0);
  Posiziona_Cornice(4, 4, W, H, *L_tw[0], *L_tw[1], *L_tw[2], *L_tw[3]);
  twP->setGeometry(6, 6, static_cast<int>(W - 3), static_cast<int>(H - 4));

  int x = 0, y = 0;
  ui::GetCursorPos(x, y);
  Move((x - 14) * ui::Twips_Pixel_X(), (y - 14) * ui::Twips_Pixel_Y());
  Show(ui::vbModeless);
  Imposta_Finestra_Dialogo(hWnd());
  Form_Aperto[kFormAperto] = true;
}

void FrmMenuPreferiti::Carica_Cartella(const std::string& Cartella) {
  // The scan lists every folder below, depth first, with the favourites after the sub-folders.
  for (const Voce_Preferito& v : Elenco_Preferiti(Cartella)) {
    if (v.Tag == 'C') {
      twP->Add(v.Padre, ui::tvwChild, v.Chiave, v.Testo, "Chiavi", "Chiavi1").SetTag("C");
      continue;
    }
    twP->Add(v.Padre, ui::tvwChild, v.Chiave, v.Testo, "Esegui").SetTag("F");
    twP->Add(v.Chiave, ui::tvwChild, v.Chiave + "LNK", v.Link, "Link").SetTag("L");
    if (Anno_In_Uso) twP->Add(v.Chiave, ui::tvwChild, v.Chiave + "ANN", v.Anno, "AnnoRiferimento").SetTag("A");
  }
}

ui::TreeNode& FrmMenuPreferiti::Nodo() {
  if (twP->Exists(Nodo_Preferito)) return twP->Nodes(Nodo_Preferito);
  return twP->Nodes(1);
}

std::string FrmMenuPreferiti::File_Del_Nodo(const ui::TreeNode& Nodo) {
  const std::string& k = Nodo.Key();
  if ((Nodo.Tag() == "L" || Nodo.Tag() == "A") && k.size() >= 3) return k.substr(0, k.size() - 3);
  return k;
}

void FrmMenuPreferiti::twP_MouseDown(int, int, float X, float Y) {
  Chiave_Premuta.clear();
  Tag_Premuto.clear();
  X_Premuto = X;
  Y_Premuto = Y;
  ui::TreeNode* n = twP->HitTest(X, Y);
  if (!n) n = &twP->Nodes(1);
  Nodo_Preferito = n->Key();
  Chiave_Premuta = n->Key();
  Tag_Premuto = n->Tag();
}

void FrmMenuPreferiti::twP_MouseMove(int Button, int, float X, float Y) {
  if (Button != ui::vbLeftButton || Tag_Premuto != "F") return;
  if (std::abs(X - X_Premuto) + std::abs(Y - Y_Premuto) <= 30) return;
  Nodo().SetSelected(true);
  twP->Drag();
}

void FrmMenuPreferiti::twP_MouseUp(int Button, int, float, float) {
  if (Chiave_Premuta.empty()) return;
  if (Button == ui::vbLeftButton && Tag_Premuto == "F") {
    SetEnabled(false);
    Apri_Preferito(Chiave_Premuta, Preferiti_Aggiorna, true);
    SetEnabled(true);
  } else if (Button == ui::vbRightButton) {
    frmMenuPreferitiMenu->Carica();
  }
}

void FrmMenuPreferiti::twP_DragOver(float X, float Y) {
  if (Tag_Premuto != "F") return;
  ui::TreeNode* n = twP->HitTest(X, Y);
  if (n == &Nodo() || n == Ultimo_Nodo) return;
  Ultimo_Nodo = n;
  twP->SetDropHighlight(nullptr);
  if (n && (n->Tag() == "R" || n->Tag() == "C") && n != Nodo().Parent()) twP->SetDropHighlight(n);
}

void FrmMenuPreferiti::twP_DragDrop(float, float) {
  ui::TreeNode* destinazione = twP->DropHighlight();
  if (Tag_Premuto == "F" && destinazione) {
    const std::string vecchio = Nodo().Key();
    std::string nuovo, messaggio;
    if (Sposta_Preferito(vecchio, destinazione->Key(), nuovo, messaggio)) {
      twP->SetKey(vecchio, nuovo);
      for (const char* s : {"LNK", "ANN"}) {
        if (twP->Exists(vecchio + s)) twP->SetKey(vecchio + s, nuovo + s);
      }
      twP->SetParent(nuovo, destinazione->Key());
      Nodo_Preferito = nuovo;
    } else {
      twP->SetDropHighlight(nullptr);
      host::MsgBox(messaggio, host::vbExclamation, Titolo_Programma);
    }
  }
  twP->SetDropHighlight(nullptr);
  Ultimo_Nodo = nullptr;
  Tag_Premuto.clear();
}

void FrmMenuPreferiti::Form_QueryUnload(int16_t&, int UnloadMode) {
  Form_Aperto[kFormAperto] = false;
  if (UnloadMode == ui::vbFormControlMenu) {
    host::host().SetPointer(host::vbDefault);
    frmBase->SetEnabled(true);
  }
  frmBase->Show();
}

bool Apri_Preferito(const std::string& File, bool Aggiorna, bool Numero) {
  const bool riuscito = Carica_Layout(0, File, Aggiorna);
  Prima_Riga = -1;
  Scorrimento_Colonne = -1;
  Prima_Colonna = -1;
  if (agganci_base::Visualizza_Griglia) agganci_base::Visualizza_Griglia();
  if (Numero && Grafico_Visibile && agganci_base::Visualizza_Grafico) agganci_base::Visualizza_Grafico();
  frmBase->SetEnabled(false);
  if (Numero && !vb::Trim(Chiave_Layout).empty() && Elaborazione_Corrente > 0 && Rs_Griglia) {
    host::host().SetPanel("Numero", vb::Format(static_cast<int64_t>(Rs_Griglia->RecordCount()), "\\ ###,###,###,##0\\ "));
  }
  return riuscito;
}

}  // namespace kyx
