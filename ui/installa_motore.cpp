#include "ui/installa_motore.h"

#include <QString>
#include <string>

#include "common/stato.h"
#include "engine/agganci_motore.h"
#include "engine/elaborazione.h"
#include "platform/text/cp1252.h"
#include "ui/agganci_base.h"
#include "ui/frm_base.h"
#include "ui/stato_finestra.h"

namespace kyx {
namespace {

FrmBase* Finestra() { return frmBase.peek(); }

// ProgressBar1 over the status-bar panel "Progress": four pixels in from the panel's sides, six
// below the bar's top and ten shorter than the bar.
void Progresso(float Massimo, float Valore) {
  FrmBase* f = Finestra();
  if (!f) return;
  ui::StatusPanel& pannello = f->StatusBar1->Panels("Progress");
  f->ProgressBar1->SetMin(0);
  f->ProgressBar1->SetMax(Massimo);
  f->ProgressBar1->SetValue(Valore);
  f->ProgressBar1->Move(f->StatusBar1->Left() + pannello.Left() + 4, f->StatusBar1->Top() + 6,
                        pannello.ShownWidth() - 8, f->StatusBar1->Height() - 10);
  f->ProgressBar1->raise();
  f->ProgressBar1->SetVisible(true);
}

std::string Testo_Nodo(bool Padre) {
  FrmBase* f = Finestra();
  if (!f || Chiave_Layout.empty() || !f->twL->Exists(Chiave_Layout)) return "";
  ui::TreeNode& nodo = f->twL->Nodes(Chiave_Layout);
  if (!Padre) return nodo.Text();
  ui::TreeNode* padre = nodo.Parent();
  return padre ? padre->Text() : "";
}

}  // namespace

void Installa_Motore() {
  agganci_motore::Imposta_Bar = [] {
    if (FrmBase* f = Finestra()) f->Imposta_Bar();
  };
  agganci_motore::Ridimensiona = [] {
    if (FrmBase* f = Finestra()) f->Ridimensiona();
  };
  agganci_motore::Testo_Nodo_Layout = Testo_Nodo;
  agganci_motore::Imposta_Titolo = [](const std::string& Titolo) {
    FrmBase* f = Finestra();
    if (!f) return;
    const QString testo = QString::fromStdString(text::to_utf8(Titolo));
    f->lbl_twE[0]->setText(testo);
    f->lbl_twE[1]->setText(testo);
  };
  agganci_motore::Imposta_Progresso = Progresso;
  agganci_motore::Completa_Progresso = [] {
    if (FrmBase* f = Finestra()) f->ProgressBar1->SetValue(f->ProgressBar1->Max());
  };
  agganci_motore::Nascondi_Progresso = [] {
    if (FrmBase* f = Finestra()) f->ProgressBar1->SetVisible(false);
  };
  agganci_motore::Mostra_Banner = [] {
    FrmBase* f = Finestra();
    if (!f) return;
    f->TimerBeta.SetEnabled(true);
    f->Beta->SetVisible(true);
    f->Beta->raise();
  };
  agganci_base::Esegui_Elaborazione = [] { (void)Esegui_Elaborazione(); };
}

}  // namespace kyx
