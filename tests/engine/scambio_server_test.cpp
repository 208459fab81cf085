// The data-server side of an elaboration that needs no server: the layout record and the
// translation of another system's queries into its key numbers.
#include "engine/scambio_server.h"

#include <string>
#include <vector>

#include "db/mdb2.h"
#include "engine/elaborazione.h"
#include "engine/stato_motore.h"
#include "tests/engine/ambiente_motore.h"

namespace kyx::test {
namespace {

// SI1 (current): key 1 of 4 characters, key 2 of 3. SI2 knows key 1 as its key 5, not key 2.
class Traduzione : public Motore {
 protected:
  void SetUp() override {
    Motore::SetUp();
    Chiave(1, "K", 4);
    Chiave(2, "K", 3);
    Sistema("SI2", 9, 3, "LIB2");
    Riga("CHIAVI_EXT", {"SINF", "KEY_I", "KEY_E"}, {"SI2", 1, 5});
  }
};

struct Caso {
  const char* nome;
  const char* tipo;  // Tipo_DB_Server
  bool server;       // the data server's dialect
  const char* sql;
  const char* atteso;
  int32_t livello;   // what Livello holds afterwards (it starts at 0)
};

const Caso kCasi[] = {
    {"the unknown key's item, condition and grouping go, the known key takes its number", "4", false,
     "SELECT k_001,k_002,sum(V_001_01) FROM KYX_D0_00F where (k_002 in('A01')) and (k_001 in('NORD')) group by k_001,k_002",
     "SELECT k_005,'   ',sum(V_001_01) FROM KYX_D0_00F where(k_005 in('NORD')) group by k_005      ", 0},
    {"a later condition goes with the and before it", "4", false,
     "SELECT k_001,sum(V_001_01) FROM KYX_D0_00F where (k_001 in('NORD')) and ((k_002 in('A','B') or k_002 between 'C' and 'F')) group by k_001",
     "SELECT k_005,sum(V_001_01) FROM KYX_D0_00F where (k_005 in('NORD')) group by k_005", 0},
    {"the only condition takes the whole WHERE with it", "4", false,
     "SELECT k_001,sum(V_001_01) FROM KYX_D0_00F where (k_002 in('A01')) group by k_001",
     "SELECT k_005,sum(V_001_01) FROM KYX_D0_00F group by k_005", 0},
    {"a condition that never closes cannot be removed", "4", false,
     "SELECT k_001,sum(V_001_01) FROM KYX_D0_00F where (k_002 in('A01' group by k_001", "", 0},
    {"type 2: the system has the last level; the first is the one it lacks", "2", false,
     "SELECT k_002,k_001,sum(V_001_01) FROM KYX_D0_00F  group by k_002,k_001",
     "SELECT '\xBF\xBF\xBF',k_005,sum(V_001_01) FROM KYX_D0_00F  group by       k_005", 1},
    {"type 2 in the server's dialect", "2", true,
     "SELECT k_002,k_001,decimal(sum(V_001_01), 17, 3) FROM KYX_D0_00F  group by k_002,k_001",
     "SELECT CHAR('\xBF\xBF\xBF', 3),k_005,decimal(sum(V_001_01), 17, 3) FROM KYX_D0_00F  group by       k_005", 1},
    {"type 2: a lacking last level cannot be computed", "2", false,
     "SELECT k_001,k_002,sum(V_001_01) FROM KYX_D0_00F  group by k_001,k_002", "", 0},
    {"other types need every level", "1", false,
     "SELECT k_001,k_002,sum(V_001_01) FROM KYX_D0_00F  group by k_001,k_002", "", 0},
    {"every level known: only the numbers change", "1", true,
     "SELECT k_001,decimal(sum(V_001_01), 17, 3) FROM KYX_D0_00F where (k_001 in('NORD')) group by k_001",
     "SELECT k_005,decimal(sum(V_001_01), 17, 3) FROM KYX_D0_00F where (k_005 in('NORD')) group by k_005", 0},
    {"without WHERE the grouping keys are no levels", "2", false,
     "SELECT k_002,k_001,sum(V_001_01) FROM KYX_D0_00F group by k_002,k_001",
     "SELECT '\xBF\xBF\xBF',k_005,sum(V_001_01) FROM KYX_D0_00F group by       k_005", 1},
};

class Traduzioni : public Traduzione, public ::testing::WithParamInterface<Caso> {};

TEST_P(Traduzioni, RewriteAQueryForAnotherSystem) {
  const Caso& c = GetParam();
  Tipo_DB_Server = c.tipo;
  Connesso = c.server;
  int32_t livello = 0;
  EXPECT_EQ(Traduci_Chiavi_Server(c.sql, "SI2", livello), c.atteso);
  EXPECT_EQ(livello, c.livello);
}

INSTANTIATE_TEST_SUITE_P(Casi, Traduzioni, ::testing::ValuesIn(kCasi), [](const auto& info) {
  return "Case" + std::to_string(info.index);
});

TEST_F(Traduzione, TheCurrentSystemIsLeftAloneAndAnEmptyMapRunsNothing) {
  const std::string sql = "SELECT k_002,sum(V_001_01) FROM KYX_D0_00F  group by k_002";
  int32_t livello = 0;
  EXPECT_EQ(Traduci_Chiavi_Server(sql, "", livello), sql);
  ASSERT_TRUE(Cn_MDB0->Execute("DELETE FROM CHIAVI_EXT").ok());
  EXPECT_EQ(Traduci_Chiavi_Server(sql, "SI2", livello), "");
}

TEST_F(Traduzione, TheLayoutRecordPlacesEveryFieldAndCutsTheLongOnes) {
  Layout_Corrente = 12;
  Liv_Riga_Chiave[0] = 7;  // one row level, no column level
  Parametri_Valore[0] = "2024   ";
  Parametri_Valore[8] = std::string(40, 'P');
  Filtro_Completo = " and (k_001 in('" + std::string(4981, 'X') + "'))";
  ASSERT_EQ(Filtro_Completo.size(), 5000u);
  const std::string r = Record_Layout();
  ASSERT_EQ(r.size(), 4462u);
  EXPECT_EQ(r.substr(0, 11), "L0001200007");
  std::string livelli;
  for (int i = 0; i < 8; ++i) livelli += "-0000";
  EXPECT_EQ(r.substr(11, 40), livelli);
  EXPECT_EQ(r.substr(51, 45), std::string(45, '0'));
  EXPECT_EQ(r.substr(96, 30), "2024" + std::string(26, ' '));
  EXPECT_EQ(r.substr(96 + 240, 30), std::string(30, 'P'));
  EXPECT_EQ(r.substr(366), Filtro_Completo.substr(0, 4096));

  Liv_Colonna_Chiave[1] = 13;
  Liv_Colonna_Chiave[2] = 0;
  EXPECT_EQ(Record_Layout().substr(51, 15), "000000001300000");
}

TEST_F(Traduzione, AnotherSystemsQueryReadsItsOwnKeysOnTheLocalDataSets) {
  // SI2 has the area as its key 5 and the agent as its key 6.
  Chiave(5, "K", 4, "", "", "SI2");
  Chiave(6, "K", 3, "", "", "SI2");
  Riga("CHIAVI_EXT", {"SINF", "KEY_I", "KEY_E"}, {"SI2", 2, 6});
  Riga("VALORI", {"SINF", "IDX", "ELEM"}, {"SI1", 1, 3});
  Riga("VALORI", {"SINF", "IDX", "ELEM"}, {"SI2", 1, 3});
  Layout(3, "Vendite");
  Elementi({{.col = 1, .calc = "#L1(001)"}, {.col = 2, .calc = "#+V001#"}, {.col = 3, .calc = "#+V001#", .sinf = "SI2"}});
  Liv_Riga_Chiave[0] = 1;
  ASSERT_TRUE(Apri_MDB2(false, false));
  ASSERT_TRUE(Sql(Mdb(2), "INSERT INTO KYX_D0_00F_SI1 (IDX, K_001, K_002, V_001_01, V_001_02, V_001_03) VALUES "
                          "(1, 'NORD', 'A01', 1, 0, 0), (2, 'SUD ', 'A02', 2, 0, 0)").empty());
  ASSERT_TRUE(Sql(Mdb(2), "INSERT INTO KYX_D0_00F_SI2 (IDX, K_005, K_006, V_001_01, V_001_02, V_001_03) VALUES "
                          "(1, 'NORD', 'A01', 100, 0, 0), (2, 'SUD ', 'A09', 7, 0, 0)").empty());
  Esegui_Elaborazione();
  ASSERT_EQ(Numero_Query, 2);
  EXPECT_EQ(Sql(Mdb(3), "SELECT c001, c002, c003 FROM DATI ORDER BY c000, k001"),
            (std::vector<std::vector<std::string>>{{"NORD", "1.0", "100.0"}, {"SUD ", "2.0", "7.0"}, {" ", "0.0", "107.0"}}))
      << "the other system's column is summed again into the grand total";
}

}  // namespace
}  // namespace kyx::test
