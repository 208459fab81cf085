// The engine's way into the main window: after the program's installer every slot of a
// subsystem that exists is filled, and the slots act on the real window.
#include "ui/installa_motore.h"

#include <set>
#include <string>

#include "engine/agganci_motore.h"
#include "tests/ui/ambiente_ui.h"

namespace kyx::test {
namespace {

using Motore_Finestra = AmbienteUi;

// Slots whose subsystem is not part of the program yet: the grid's column fitting (views) and the
// history save (layouts).
const std::set<std::string> kSottosistemi_Mancanti = {"Visualizza_Larghezza_Colonne", "Salva_Layout"};

TEST_F(Motore_Finestra, EverySlotOfAnExistingSubsystemIsFilled) {
  agganci_motore::reset();
  Installa_Motore();
  for (const auto& a : agganci_motore::Agganci()) {
    if (kSottosistemi_Mancanti.count(a.nome)) continue;
    EXPECT_TRUE(a.pieno) << a.nome;
  }
  EXPECT_TRUE(agganci_base::Esegui_Elaborazione);
}

TEST_F(Motore_Finestra, ProgressBarSitsOverItsPanelAndTheTitleFillsBothLabels) {
  FrmBase& f = Carica();
  agganci_motore::reset();
  Installa_Motore();
  agganci_motore::Imposta_Progresso(53, 13);
  EXPECT_TRUE(f.ProgressBar1->isVisibleTo(&f));
  EXPECT_EQ(f.ProgressBar1->Max(), 53);
  EXPECT_EQ(f.ProgressBar1->Value(), 13);
  const ui::StatusPanel& p = f.StatusBar1->Panels("Progress");
  EXPECT_EQ(f.ProgressBar1->Left(), f.StatusBar1->Left() + p.Left() + 4);
  EXPECT_EQ(f.ProgressBar1->Width(), p.ShownWidth() - 8);
  agganci_motore::Completa_Progresso();
  EXPECT_EQ(f.ProgressBar1->Value(), 53);
  agganci_motore::Nascondi_Progresso();
  EXPECT_FALSE(f.ProgressBar1->isVisibleTo(&f));

  agganci_motore::Imposta_Titolo("Vendite \xE8 area");
  EXPECT_EQ(f.lbl_twE[0]->text(), QString::fromUtf8("Vendite è area"));
  EXPECT_EQ(f.lbl_twE[1]->text(), f.lbl_twE[0]->text());
  agganci_motore::reset();
}

}  // namespace
}  // namespace kyx::test
