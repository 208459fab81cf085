// The program's wiring: every slot the layout files serve, and every main-window service they
// use, is filled at start-up.
#include <gtest/gtest.h>

#include "engine/agganci_motore.h"
#include "layouts/agganci_layout.h"
#include "layouts/installa/installa_layout.h"
#include "ui/agganci_base.h"
#include "ui/dialoghi/agganci_dialoghi.h"

namespace kyx::test {
namespace {

TEST(InstallaLayout, FillsEverySlotOfTheLayoutFiles) {
  agganci_layout::reset();
  agganci_base::reset();
  agganci_dialoghi::reset();
  agganci_motore::reset();
  Installa_Layout();
  EXPECT_TRUE(agganci_motore::Salva_Layout);
  EXPECT_TRUE(agganci_base::Carica_Layout);
  EXPECT_TRUE(agganci_dialoghi::Converti_Preferiti);
  EXPECT_TRUE(agganci_dialoghi::Opzioni.count("cmdPreferiti_Click"));
  EXPECT_TRUE(agganci_dialoghi::Opzioni.count("cmdAnnoRiferimento_Click"));
  EXPECT_TRUE(agganci_layout::Titolo_Elaborazione && agganci_layout::Leggi_Chiave_Layout &&
              agganci_layout::Imposta_Chiave_Layout && agganci_layout::Segna_Layout &&
              agganci_layout::Carica_Filtro_Modifica && agganci_layout::Carica_Albero_Chiavi &&
              agganci_layout::Carica_Albero_Struttura && agganci_layout::Ridimensiona);
  agganci_layout::reset();
  agganci_base::reset();
  agganci_dialoghi::reset();
  agganci_motore::reset();
}

}  // namespace
}  // namespace kyx::test
