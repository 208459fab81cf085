// The program's wiring: the toolbar key "Salva" runs the export, and every main-window service
// the export uses is filled at start-up.
#include <gtest/gtest.h>

#include "export/agganci_esporta.h"
#include "export/installa/installa_esporta.h"
#include "ui/agganci_base.h"

namespace kyx::test {
namespace {

TEST(InstallaEsporta, FillsTheSaveKeyAndEverySlotOfTheExport) {
  agganci_base::reset();
  agganci_esporta::reset();
  Installa_Esporta();
  EXPECT_TRUE(agganci_base::Azioni.count("Salva") && agganci_base::Azioni["Salva"]);
  EXPECT_TRUE(agganci_esporta::Titolo_Griglia && agganci_esporta::Colore_Griglia && agganci_esporta::Segna_Inizio);
  agganci_base::reset();
  agganci_esporta::reset();
}

}  // namespace
}  // namespace kyx::test
