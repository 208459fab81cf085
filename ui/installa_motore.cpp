#include "ui/installa_motore.h"

#include <QString>
#include <algorithm>
#include <string>

#include "engine/agganci_motore.h"
#include "engine/elaborazione.h"
#include "engine/stato_motore.h"
#include "platform/text/cp1252.h"
#include "ui/agganci_base.h"
#include "ui/frm_base.h"
#include "ui/stato_finestra.h"

namespace kyx {
namespace {

// ProgressBar1 laid over the status-bar panel "Progress": panel left + 4, bar top + 6, panel width
// - 8, bar height - 10.
void Posiziona_Progresso(FrmBase& f) {
  const auto& pannello = f.StatusBar1->Panels("Progress");
  f.ProgressBar1->Move(f.StatusBar1->Left() + pannello.Left() + 4, f.StatusBar1->Top() + 6,
                       std::max(0, pannello.ShownWidth() - 8), std::max(0, f.StatusBar1->Height() - 10));
  f.ProgressBar1->raise();
}

}  // namespace

void Installa_Motore() {
  namespace am = agganci_motore;
  am::Imposta_Bar = [] { frmBase->Imposta_Bar(); };
  am::Ridimensiona = [] { frmBase->Ridimensiona(); };
  am::Testo_Nodo_Layout = [](bool Padre) -> std::string {
    FrmBase& f = *frmBase;
    if (Chiave_Layout.empty() || !f.twL->Exists(Chiave_Layout)) return "";
    ui::TreeNode& nodo = f.twL->Nodes(Chiave_Layout);
    if (!Padre) return nodo.Text();
    ui::TreeNode* padre = nodo.Parent();
    return padre ? padre->Text() : "";
  };
  am::Imposta_Titolo = [](const std::string& Titolo) {
    const QString testo = QString::fromStdString(text::to_utf8(Titolo));
    for (auto* etichetta : frmBase->lbl_twE) etichetta->setText(testo);
  };
  am::Imposta_Progresso = [](float Massimo, float Valore) {
    FrmBase& f = *frmBase;
    f.ProgressBar1->SetMin(0);
    f.ProgressBar1->SetMax(Massimo);
    f.ProgressBar1->SetValue(std::clamp(Valore, 0.0f, Massimo));
    Posiziona_Progresso(f);
    f.ProgressBar1->SetVisible(true);
  };
  am::Completa_Progresso = [] { frmBase->ProgressBar1->SetValue(frmBase->ProgressBar1->Max()); };
  am::Nascondi_Progresso = [] { frmBase->ProgressBar1->SetVisible(false); };
  am::Mostra_Banner = [] {
    FrmBase& f = *frmBase;
    f.TimerBeta.SetEnabled(true);
    f.Beta->SetVisible(true);
    f.Beta->raise();
  };

  agganci_base::Esegui_Elaborazione = [] { (void)Esegui_Elaborazione(); };
  agganci_base::Record_Risultato = [] { return Rs_Griglia && Rs_Griglia->IsOpen() ? Numero_Record : int32_t{-1}; };
}

}  // namespace kyx
