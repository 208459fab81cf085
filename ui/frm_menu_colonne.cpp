#include "ui/frm_menu_colonne.h"

#include <QFontMetrics>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>

#include "common/modello.h"
#include "common/stato.h"
#include "engine/agganci_motore.h"
#include "engine/stato_motore.h"
#include "platform/host/host.h"
#include "platform/ui/pointer.h"
#include "platform/ui/units.h"
#include "platform/ui/vb_events.h"
#include "platform/vb/vb.h"
#include "ui/agganci_base.h"
#include "ui/finestre.h"
#include "ui/frm_base.h"
#include "ui/stato_finestra.h"

namespace kyx {
namespace {

constexpr std::size_t kAperto = 1;  // this pop-up's entry of Form_Aperto
constexpr uint32_t kOmbra = 0x80000010;
constexpr uint32_t kLuce = 0x80000014;

const char* Immagine(uint8_t Visibile) { return Visibile == 2 ? "Colonna" : "Colonna1"; }

}  // namespace

FrmMenuColonne::FrmMenuColonne() : ui::KyForm("frmMenuColonne") {
  setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  SetCaption(" Colonne da visualizzare");
  twCol = new ui::KeyedTree(this);
  twCol->NodeClick = [this](ui::TreeNode& n) { twCol_NodeClick(n); };
  for (int i = 0; i < 4; ++i) {
    L_twCol[i] = new ui::LineControl(this);
    L_twCol[i]->SetBorderColor(i == 1 || i == 2 ? kLuce : kOmbra);
  }
}

void FrmMenuColonne::Carica() {
  frmBase->SetEnabled(false);
  Imposta_Puntatore(0);
  host::DoEvents();
  SetBackColor(static_cast<uint32_t>(Colore_Sfondo));
  L_twCol[1]->SetBorderColor(static_cast<uint32_t>(Colore_Bordo));
  L_twCol[2]->SetBorderColor(static_cast<uint32_t>(Colore_Bordo));

  // A result of no record or of one record has nothing to choose.
  if (frmBase->Grid1->Rows() <= 2) {
    Imposta_Puntatore(0);
    frmBase->SetEnabled(true);
    Unload();
    return;
  }

  twCol->setVisible(false);
  twCol->SetImageList(&frmBase->ImageList1);
  twCol->SetIndentation(6);
  twCol->Clear();
  // In a result column 0 is the row key; the lists show theirs from column 0.
  const int Prima = Modo_Griglia == 3 ? 1 : 0;
  int Nodi = 0;
  for (int i = Prima; i <= Numero_Colonne; ++i) {
    if (Col_Visibile[i] == 0) continue;
    twCol->Add("", ui::tvwLast, "C" + vb::Format(int64_t{i}, "000"), vb::Replace(Col_Intestazione[i], "|", " "),
               Immagine(Col_Visibile[i]));
    ++Nodi;
  }
  Dimensiona(Nodi);
  twCol->setVisible(true);
  Show(ui::vbModeless);
  Imposta_Finestra_Dialogo(hWnd());
  // The window frame is known only once the window is shown: size and place it again with it.
  Dimensiona(Nodi);
  Form_Aperto[kAperto] = true;
}

void FrmMenuColonne::Dimensiona(int Nodi) {
  // One line per column and one more, the frame and a margin of 255 twips; never taller than
  // the main window less 810 twips (the list scrolls then).
  const int Riga = twCol->view()->topLevelItemCount() > 0 ? twCol->view()->sizeHintForRow(0)
                                                           : QFontMetrics(twCol->view()->font()).height();
  const QRect Esterno = frameGeometry();
  const double Cornice =
      std::round(Esterno.height() - height() - (Esterno.width() - width()) / 2.0);
  double Altezza = (Riga * (Nodi + 1) + Cornice + Pixel_255_X) * Twips_Pixel_Y;
  const double Massima = frmBase->Height() - 810;
  if (Altezza > Massima) Altezza = Massima;
  int x = 0, y = 0;
  ui::GetCursorPos(x, y);
  Move((x - 14) * Twips_Pixel_X, (y - 14) * Twips_Pixel_Y, 5100, Altezza);
  Posiziona_Cornice(4, 4, ScaleWidth() - 8, ScaleHeight() - 8, *L_twCol[0], *L_twCol[1], *L_twCol[2], *L_twCol[3]);
  twCol->Move(6, 6, ScaleWidth() - 11, ScaleHeight() - 12);
}

void FrmMenuColonne::twCol_NodeClick(ui::TreeNode& Node) {
  Node.SetSelected(false);
  const int i = std::clamp(static_cast<int>(vb::Val(vb::Mid(Node.Key(), 2))), 0, 255);
  int Mostrate = 0;
  for (int k = 0; k <= Numero_Colonne; ++k) Mostrate += Col_Visibile[k] == 2 ? 1 : 0;
  // The last shown column stays.
  if (Col_Visibile[i] == 2 && Mostrate < 2) return;
  Col_Visibile[i] = Col_Visibile[i] != 2 ? 2 : 1;
  if (Modo_Griglia == 3 && agganci_motore::Salva_Layout) agganci_motore::Salva_Layout("VIS", static_cast<int16_t>(i));
  Node.SetImage(Immagine(Col_Visibile[i]));
  if (agganci_base::Visualizza_Griglia) agganci_base::Visualizza_Griglia();
  if (Grafico_Visibile && agganci_base::Visualizza_Grafico) agganci_base::Visualizza_Grafico();
  // The grid display gave the main window back; the chooser is still open.
  frmBase->SetEnabled(false);
  Show(ui::vbModeless);
}

void FrmMenuColonne::Form_QueryUnload(int16_t&, int UnloadMode) {
  Form_Aperto[kAperto] = false;
  if (UnloadMode == ui::vbFormControlMenu) {
    Imposta_Puntatore(0);
    frmBase->SetEnabled(true);
  }
}

void FrmMenuColonne::Form_Unload(int16_t&) {
  if (frmBase.Loaded()) frmBase->ZOrder(0);
}

}  // namespace kyx
