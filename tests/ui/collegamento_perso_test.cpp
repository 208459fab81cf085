// A remote action that finds the link to the data server lost: the program stops claiming a
// connection, the toolbar offers to connect again, and the user is told once, however many
// requests the action still had to make.
#include <vector>

#include "common/stato.h"
#include "engine/scambio_server.h"
#include "server/socket.h"
#include "tests/ui/ambiente_ui.h"

namespace kyx::test {
namespace {

using CollegamentoPerso = AmbienteUi;

TEST_F(CollegamentoPerso, IsSaidOnceAndLeavesTheToolbarDisconnected) {
  FrmBase& f = Carica();
  Password_Utente = "ALFA^^^^^^";
  Connesso = true;
  f.Imposta_Bar();
  ASSERT_EQ(f.Toolbar1->Buttons("Server").ImageKey(), "Stop");
  sock::reset();  // the link went while the program still says it is connected

  host.expect("Errore 023 - Richiesta_ESEGUI");
  EXPECT_TRUE(Valori_Chiave_Server("select k_007 FROM LIBVEN/KYX_D2_00F  group by k_007", 3).empty());
  EXPECT_TRUE(Valori_Chiave_Server("select k_008 FROM LIBVEN/KYX_D2_00F  group by k_008", 3).empty());
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(host.shown().size(), 1u);
  EXPECT_FALSE(Connesso);
  EXPECT_EQ(f.Toolbar1->Buttons("Server").ImageKey(), "Start");
  EXPECT_EQ(f.StatusBar1->Panels("Ambiente").Text(), " Locale ");
}

}  // namespace
}  // namespace kyx::test
