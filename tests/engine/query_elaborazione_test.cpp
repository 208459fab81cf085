// The SQL texts of an elaboration: row keys, value items, the list of queries and the
// transformations the execution applies to them.
#include "engine/query_elaborazione.h"

#include <string>
#include <vector>

#include "engine/elaborazione.h"
#include "tests/engine/ambiente_motore.h"

namespace kyx::test {
namespace {

const std::string kFiller4 = "\xBF\xBF\xBF\xBF";

class Query : public Motore {
 public:
  void SetUp() override {
    Motore::SetUp();
    Chiave(1, "K", 3, "", "23");
    Chiave(2, "A", 4, "", "2");
    Chiave(3, "K", 5);
    Chiave(7, "G", 2);
    Chiave(9, "I", 2);
    Valore(1);
    Valore(4);
    Layout(3);
  }
};

TEST_F(Query, TheSlotKeyHoldsItsPlaceInTheSelectListOnly) {
  Liv_Riga_Chiave[0] = 1;
  Liv_Riga_Chiave[1] = 9;
  Liv_Riga_Chiave[2] = 3;
  Liv_Riga_Chiave[4] = 7;  // a kind that cannot be grouped: skipped
  Sinf_Idx_Key = 9;
  Chiavi_Riga();
  EXPECT_EQ(Select_Chiavi, "k_001,'ii',k_003,");
  EXPECT_EQ(Group_By, " group by k_001,k_003");
  EXPECT_EQ(Numero_Livelli, 3);
  EXPECT_EQ(Livello_Indice, 2);
  EXPECT_EQ(Lunghezza_Livello[2], 2);
  EXPECT_EQ(Lunghezza_Livello[3], 5);

  Connesso = true;
  Chiavi_Riga();
  EXPECT_EQ(Select_Chiavi, "k_001,CHAR('ii', 2),k_003,");
  EXPECT_EQ(Group_By, " group by k_001,k_003");

  // The last level taken, not a count.
  Liv_Riga_Chiave.fill(-1);
  Liv_Riga_Chiave[3] = 2;
  Chiavi_Riga();
  EXPECT_EQ(Numero_Livelli, 4);
  EXPECT_EQ(Livello_Indice, 0);
}

TEST_F(Query, SumItemsInBothFormsAndDialects) {
  Col_Where_Flag[5].fill(0);
  Col_Where_Flag[5][0] = -1;
  Col_Where_Flag[5][2] = -1;
  const struct {
    bool server;
    int16_t slot, sommato;
    const char* atteso;
  } casi[] = {
      {false, 3, -1, "sum(V_001_01+V_001_03)"},
      {true, 3, -1, "decimal(sum(V_001_01+V_001_03), 17, 3)"},
      {false, 1, -1, "sum(V_001_01)"},
      {true, 1, -1, "decimal(sum(V_001_01), 17, 3)"},
      {false, 3, 0, "sum(V_001_01),  0, sum(V_001_03)  "},
      {true, 3, 0, "decimal(sum(V_001_01), 17, 3), decimal( 0, 17, 3), decimal(sum(V_001_03), 17, 3)  "},
      {false, 0, 0, ""},
  };
  for (const auto& c : casi) {
    Connesso = c.server;
    Campo_Somma(5, 1, c.slot, c.sommato);
    EXPECT_EQ(Col_Somma[5], c.atteso) << c.server << " " << c.slot << " " << c.sommato;
  }
  // No data-set slot let through: the constant 0, one numeric item of the record like any sum.
  Col_Where_Flag[5].fill(0);
  for (const bool server : {false, true}) {
    Connesso = server;
    Campo_Somma(5, 1, 3, -1);
    EXPECT_EQ(Col_Somma[5], server ? "decimal( 0, 17, 3)" : " 0");
    std::vector<int32_t> larghezze, posizioni{0};
    int16_t voci = 0;
    Analizza_Select("SELECT k_001," + Col_Somma[5] + ",sum(V_002_01) FROM KYX_D0_00F", larghezze, posizioni, voci);
    EXPECT_EQ(voci, 3);
  }
  Connesso = false;
}

TEST_F(Query, ValueElementsShareAQueryWhileConditionSystemAndSlotsAgree) {
  Liv_Riga_Chiave[0] = 1;
  Liv_Riga_Chiave[1] = 2;
  Elementi({{.col = 1, .calc = "#L1(001)"},
            {.col = 2, .calc = "#+V004#"},
            {.col = 3, .calc = "#+V001#"},
            {.col = 4, .calc = "#+V004#"},
            {.col = 5, .calc = "#+V001#"},
            {.col = 6, .calc = "#NR(003)"}});
  Filtro_Layout(3, 5, 3, "=", "O'Hara");  // the fifth element has a condition of its own
  Filtro_Utente(9, "=", "1");              // data-set slots 1 and 3 only
  Filtro_Utente(9, "=", "3");
  Esegui_Elaborazione();
  ASSERT_EQ(Numero_Query, 3);
  EXPECT_EQ(Query_Testo[0],
            "SELECT k_001,k_002,sum(V_004_01+V_004_03),sum(V_001_01+V_001_03),sum(V_004_01+V_004_03) FROM "
            "KYX_D0_00F  group by k_001,k_002");
  EXPECT_EQ(Query_Ultimo[0], 2);
  EXPECT_EQ(Query_Testo[1],
            "SELECT k_001,k_002,sum(V_001_01+V_001_03) FROM KYX_D0_00F where ((k_003 in('O''Hara'))) group by "
            "k_001,k_002");
  EXPECT_EQ(Query_Testo[2], "Select k_001,k_002,k_003 FROM KYX_D0_00F  group by k_001,k_002,k_003");
  // Where each item goes: columns 2, 3, 4 from the first query, 5 and 6 from the others.
  EXPECT_EQ(Query_Inizio[1], 3);
  EXPECT_EQ(Query_Inizio[2], 4);
  EXPECT_EQ((std::vector<int>{Query_Colonna[0], Query_Colonna[1], Query_Colonna[2], Query_Colonna[3],
                              Query_Colonna[4]}),
            (std::vector<int>{2, 3, 4, 5, 6}));
}

TEST_F(Query, SubtotalLevelsDropTheLastGroupKey) {
  const std::string sql = "SELECT k_001,k_002,sum(V_001_01) FROM KYX_D0_00F  group by k_001,k_002";
  EXPECT_EQ(Select_Subtotali(sql),
            "SELECT k_001,'" + kFiller4 + "',sum(V_001_01) FROM KYX_D0_00F  group by k_001");
  Connesso = true;
  EXPECT_EQ(Select_Subtotali(sql),
            "SELECT k_001,CHAR('" + kFiller4 + "', 4),sum(V_001_01) FROM KYX_D0_00F  group by k_001");
  EXPECT_EQ(Select_Subtotali(sql + " [1]"), sql);
  EXPECT_EQ(Select_Subtotali("SELECT k_001,sum(V_001_01) FROM KYX_D0_00F  group by k_001"), "");
  EXPECT_EQ(Select_Subtotali("SELECT k_001,k_008 FROM KYX_D0_00F  group by k_001,k_008"), "");  // unknown key
}

TEST_F(Query, ServerTableFollowsTheTotalTablesOfTheKeys) {
  std::string sql = "SELECT k_001,k_002,sum(V_001_01) FROM KYX_D0_00F  group by k_001,k_002";
  EXPECT_EQ(Scegli_Tabella(sql, ""), "SELECT k_001,k_002,sum(V_001_01) FROM LIB1/KYX_D2_00F  group by k_001,k_002");
  EXPECT_EQ(sql, "SELECT k_001,k_002,sum(V_001_01) FROM LIB1/KYX_D2_00F  group by k_001,k_002");
  std::string tre = "SELECT k_001,k_003 FROM KYX_D0_00F";
  EXPECT_EQ(Scegli_Tabella(tre, "SI1"), "SELECT k_001,k_003 FROM LIB1/KYX_D0_00F");
  std::string nessuna = "select sum(V_001_01) FROM KYX_D0_00F";  // no key: the system's keys count
  EXPECT_EQ(Scegli_Tabella(nessuna, ""), "select sum(V_001_01) FROM LIB1/KYX_D3_00F");
  std::string ignoto = "SELECT k_001 FROM KYX_D0_00F";
  EXPECT_EQ(Scegli_Tabella(ignoto, "SI9"), "");
  EXPECT_EQ(ignoto, "SELECT k_001 FROM KYX_D0_00F");
}

TEST_F(Query, RecordLayoutOfAResult) {
  std::vector<int32_t> larghezze, posizioni{0};
  int16_t n = 0;
  Analizza_Select("SELECT k_001, 'ii' ,sum(V_001_01+V_001_02), decimal( 0, 17, 3),k_002,k_008 FROM KYX_D0_00F group by x",
                  larghezze, posizioni, n);
  ASSERT_EQ(n, 5);  // k_008 is not a key of the system: no entry
  EXPECT_EQ(std::vector<int32_t>(larghezze.begin(), larghezze.begin() + 5), (std::vector<int32_t>{3, 2, 0, 0, 4}));
  EXPECT_EQ(std::vector<int32_t>(posizioni.begin(), posizioni.begin() + 6),
            (std::vector<int32_t>{0, 3, 5, 14, 23, 27}));
}

}  // namespace
}  // namespace kyx::test
