// The program's wiring of the elaboration engine: after start-up every slot through which the
// engine calls up into the main window is filled, and each one reaches the real window.
#include "ui/installa_motore.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/agganci_motore.h"
#include "tests/ui/ambiente_ui.h"

namespace kyx::test {
namespace {

using Installa = AmbienteUi;

TEST_F(Installa, EverySlotOfASubsystemThatExistsIsFilled) {
  agganci_motore::reset();
  agganci_base::Esegui_Elaborazione = nullptr;
  agganci_base::Record_Risultato = nullptr;
  Installa_Motore();
  namespace am = agganci_motore;
  const std::vector<std::pair<const char*, bool>> slot = {
      {"Imposta_Bar", bool(am::Imposta_Bar)},
      {"Ridimensiona", bool(am::Ridimensiona)},
      {"Testo_Nodo_Layout", bool(am::Testo_Nodo_Layout)},
      {"Imposta_Titolo", bool(am::Imposta_Titolo)},
      {"Imposta_Progresso", bool(am::Imposta_Progresso)},
      {"Completa_Progresso", bool(am::Completa_Progresso)},
      {"Nascondi_Progresso", bool(am::Nascondi_Progresso)},
      {"Mostra_Banner", bool(am::Mostra_Banner)},
      {"agganci_base::Esegui_Elaborazione", bool(agganci_base::Esegui_Elaborazione)},
      {"agganci_base::Record_Risultato", bool(agganci_base::Record_Risultato)},
  };
  for (const auto& [nome, pieno] : slot) EXPECT_TRUE(pieno) << nome;
  // The layouts fill the history save and the views the column widths (their own installers and
  // tests).
  agganci_motore::reset();
}

TEST_F(Installa, TheSlotsReachTheMainWindow) {
  FrmBase& f = Carica();
  Installa_Motore();
  agganci_motore::Imposta_Titolo("Vendite  Area Nord");
  EXPECT_EQ(f.lbl_twE[0]->text().toStdString(), "Vendite  Area Nord");
  EXPECT_EQ(f.lbl_twE[1]->text().toStdString(), "Vendite  Area Nord");
  agganci_motore::Imposta_Progresso(23, 13);
  EXPECT_TRUE(f.ProgressBar1->isVisibleTo(&f));
  EXPECT_EQ(f.ProgressBar1->Max(), 23.0f);
  EXPECT_EQ(f.ProgressBar1->Value(), 13.0f);
  agganci_motore::Completa_Progresso();
  EXPECT_EQ(f.ProgressBar1->Value(), 23.0f);
  agganci_motore::Nascondi_Progresso();
  EXPECT_FALSE(f.ProgressBar1->isVisibleTo(&f));
  agganci_motore::Mostra_Banner();
  EXPECT_TRUE(f.TimerBeta.Enabled());
  EXPECT_TRUE(f.Beta->isVisibleTo(&f));
  EXPECT_EQ(agganci_base::Record_Risultato(), -1) << "no result yet";
  agganci_motore::reset();
}

}  // namespace
}  // namespace kyx::test
