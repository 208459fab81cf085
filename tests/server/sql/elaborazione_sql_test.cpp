// Elaborations in "SQL" mode: the queries run on the system's data table "KYX_D0_00F_" & system
// of the master database in PostgreSQL, and give the result that the same layout gives in
// "AS400" mode against our data server.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/stato.h"
#include "common/stato_db.h"
#include "engine/elaborazione.h"
#include "engine/modi_esecuzione.h"
#include "engine/stato_motore.h"
#include "server/collegamento.h"
#include "tests/server/sql/ambiente_sql.h"

namespace kyx {
namespace {

struct Forma {
  const char* nome;
  int16_t layout;
  std::vector<int16_t> righe, colonne;
};

const Forma kForme[] = {
    {"zones and agents on two row levels", 1, {7, 8}, {}},
    {"the slot key as the first row level", 1, {13, 7}, {}},
    {"months as generated columns", 2, {7}, {2}},
};

class ElaborazioneSql : public test::AmbienteSql, public ::testing::WithParamInterface<Forma> {
 protected:
  void Esegui(const Forma& f) { Elabora(f.layout, f.righe, f.colonne); }
};

TEST_P(ElaborazioneSql, GivesTheResultOfTheDataServer) {
  const Forma& f = GetParam();
  Connesso = Accedi();
  ASSERT_TRUE(Connesso);
  ASSERT_EQ(Modo_Esecuzione(), "AS400");
  Esegui(f);
  const auto server = Risultato();
  ASSERT_GE(server.size(), 3u);
  Connesso = Disconnetti();

  Profilo_Sql();
  Connesso = Accedi();
  ASSERT_TRUE(Connesso);
  ASSERT_EQ(Modo_Esecuzione(), "SQL");
  server_->ClearRequests();
  Esegui(f);
  EXPECT_TRUE(host.shown().empty());
  EXPECT_EQ(Risultato(), server);
  EXPECT_TRUE(server_->Requests().empty()) << "nothing is asked of the data server";
  ASSERT_TRUE(Cn_SQL && Cn_SQL->IsOpen()) << "the run opened the master database";
  Connesso = Disconnetti();
  EXPECT_FALSE(Cn_SQL);
}

INSTANTIATE_TEST_SUITE_P(Forme, ElaborazioneSql, ::testing::ValuesIn(kForme),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

}  // namespace
}  // namespace kyx
