#include <gtest/gtest.h>

#include <functional>

#include "db/mdb0.h"
#include "db/mdb2.h"
#include "tests/db/ambiente_db.h"

namespace kyx::test {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// Definitions of two systems: VEN (keys of every kind, three values) and O'K (one key, one value).
class Mdb2 : public AmbienteDb {
 public:
  Mdb2() { Prepara(); }
  void Prepara() {
    ASSERT_TRUE(Apri_MDB0(false));
    Definizioni(
        "INSERT INTO SINF (SINF, IDX) VALUES ('VEN', 1), ('O''K', 2);"
        "INSERT INTO CHIAVI (SINF, IDX, LUN, KINDB) VALUES ('VEN', 1, 6, 'K'), ('VEN', 2, 3, 'I'), ('VEN', 3, 10, 'A'),"
        " ('VEN', 4, 2, 'a'), ('VEN', 12, 8, 'D'), ('O''K', 1, 4, 'K');"
        "INSERT INTO VALORI (SINF, IDX, ELEM) VALUES ('VEN', 3, 1), ('VEN', 1, 2), ('VEN', 5, 0), ('O''K', 2, 1);");
  }
  // Changes the definitions through Cn_MDB0 and puts the three recordsets on their first row, as
  // the loaders leave them.
  void Definizioni(const std::string& sql) {
    ASSERT_TRUE(Cn_MDB0->Execute(sql).ok()) << sql;
    for (auto* rs : {&Rs_Sinf, &Rs_Chiavi, &Rs_Valori}) ASSERT_TRUE((*rs)->MoveFirst().ok());
  }
  void Registro() {
    ASSERT_TRUE(Sql(Mdb(2), "INSERT INTO KYX_CARICATI (IDX, SINF) VALUES (1, 'VEN'), (2, 'O''K');"
                            "INSERT INTO \"KYX_D0_00F_VEN\" (IDX, K_001) VALUES (1, 'ROMA');")
                    .empty());
  }
};

TEST_F(Mdb2, BuildsOneValueTablePerSystemAndTheRegister) {
  ASSERT_TRUE(Apri_MDB2(false, false));
  ASSERT_TRUE(MDB2_Aperto());
    // Systems in the order of SINF's index.
  EXPECT_EQ(Tabelle(Mdb(2)), (std::vector<std::string>{"KYX_D0_00F_O'K", "KYX_D0_00F_VEN", "KYX_CARICATI"}));
  const std::string n = " NUMERIC_REAL(17,3)";
  EXPECT_EQ(Colonne(Mdb(2), "KYX_D0_00F_VEN"),
            "IDX INTEGER|K_001 TEXT(6)|K_003 TEXT(10)|K_012 TEXT(8)|V_001_01" + n + "|V_001_02" + n + "|V_003_01" + n);
  EXPECT_EQ(Indici(Mdb(2), "KYX_D0_00F_O'K"), (std::map<std::string, std::string>{{"KYX_D0_00FX__KYX_D0_00F_O'K", "IDX"}}));
  EXPECT_EQ(Colonne(Mdb(2), "KYX_CARICATI"),
            "IDX INTEGER|SINF TEXT(10)|DATAORA TEXT(20)|NUM_REC INTEGER|STATO TEXT(1)|FILTRO LONGTEXT(512)|"
            "FILTRO_SQL LONGTEXT(512)");
  EXPECT_EQ(Indici(Mdb(2), "KYX_CARICATI"), (std::map<std::string, std::string>{{"KYX_CARICATI_L__KYX_CARICATI", "IDX,SINF"}}));
  EXPECT_EQ(Rs_Caricati->index(), "KYX_CARICATI_L");

  // With Precisione_15 a rebuilt file has double value columns.
  Precisione_15 = true;
  ASSERT_TRUE(Apri_MDB2(true, false));
  EXPECT_EQ(Colonne(Mdb(2), "KYX_D0_00F_O'K"), "IDX INTEGER|K_001 TEXT(4)|V_002_01 DOUBLE");
}

TEST_F(Mdb2, IncompleteDefinitionsCreateNoFileAndLeaveTheDatabaseNotOpen) {
  Definizioni("DELETE FROM VALORI");
  EXPECT_TRUE(Apri_MDB2(false, false));
  EXPECT_FALSE(MDB2_Aperto());
  EXPECT_FALSE(Cn_MDB2);
  EXPECT_FALSE(files::file_exists(Mdb(2)));
  // The check compares (rather than answering 3) as soon as one table holds rows.
  EXPECT_EQ(Verifica_Struttura_MDB2(), 1);
}

TEST_F(Mdb2, DefinitionsNotOpenAreAnErrorNotASilentSuccess) {
  ASSERT_TRUE(Chiudi_MDB0());
  host.expect(Errore("Errore 018 ", data::kNotOpen));
  EXPECT_FALSE(Apri_MDB2(false, false));
  EXPECT_FALSE(MDB2_Aperto());
}

TEST_F(Mdb2, CompactionKeepsTheRowsAndRebuildDeletesThemWithoutCompacting) {
  ASSERT_TRUE(Apri_MDB2(false, false));
  Registro();
  Debug_Attivo = true;
  ASSERT_TRUE(Apri_MDB2(false, true));
  EXPECT_EQ(host.log().size(), 1u);
  EXPECT_EQ(Sql(Mdb(2), "SELECT count(*) FROM KYX_CARICATI"), (Rows{{"2"}}));
  ASSERT_TRUE(Apri_MDB2(true, true));
  EXPECT_EQ(host.log().size(), 1u);  // the file was gone: nothing to compact
  EXPECT_EQ(Sql(Mdb(2), "SELECT count(*) FROM KYX_CARICATI"), (Rows{{"0"}}));
  EXPECT_TRUE(MDB2_Aperto());
}

TEST_F(Mdb2, ARebuildThatCannotBeMadeKeepsTheOldFile) {
  ASSERT_TRUE(Apri_MDB2(false, false));
  Registro();
  // A half-built copy left by an interrupted rebuild is no obstacle.
  dir.write("Dati/KYX_2.MDB.nuovo", "half");
  ASSERT_TRUE(Apri_MDB2(true, false));
  EXPECT_EQ(Sql(Mdb(2), "SELECT count(*) FROM KYX_CARICATI"), (Rows{{"0"}}));
  EXPECT_FALSE(files::file_exists(Mdb(2) + ".nuovo"));
  Registro();
  // Without the definitions nothing can be built: the data loaded so far stay.
  ASSERT_TRUE(Chiudi_MDB0());
  host.expect(Errore("Errore 018 ", data::kNotOpen));
  EXPECT_FALSE(Apri_MDB2(true, false));
  EXPECT_EQ(Sql(Mdb(2), "SELECT count(*) FROM KYX_CARICATI"), (Rows{{"2"}}));
}

TEST_F(Mdb2, FileThatIsNotADatabaseIsReportedAndLeftAlone) {
  dir.write("Dati/KYX_2.MDB", "SQLite format 2\0garbage");
  host.expect(Errore("Errore 018 ", data::kNotADatabase));
  EXPECT_FALSE(Apri_MDB2(false, false));
  EXPECT_EQ(dir.read("Dati/KYX_2.MDB"), "SQLite format 2");
  EXPECT_EQ(Verifica_Struttura_MDB2(), 9);
}

struct Caso {
  const char* nome;
  std::function<void(Mdb2&)> prepara;
  int32_t esito;
  std::vector<std::string> tabelle;  // the tables afterwards; empty = unchanged
};

TEST_F(Mdb2, StructureCheckAnswersEachResult) {
  const std::vector<std::string> senza_ok{"KYX_D0_00F_VEN", "KYX_CARICATI"};
  const std::vector<Caso> casi = {
      {"fits", [](Mdb2&) {}, 0, {}},
      {"extra column after the expected ones",
       [](Mdb2& t) { Sql(t.Mdb(2), "ALTER TABLE KYX_D0_00F_VEN ADD ZZ TEXT(3)"); }, 0, {}},
      {"a key of kind I added", [](Mdb2& t) { t.Definizioni("INSERT INTO CHIAVI (SINF, IDX, LUN, KINDB) VALUES ('VEN', 7, 5, 'I')"); }, 0, {}},
      {"no file", [](Mdb2& t) { data::DeleteDatabaseFile(t.Mdb(2)); }, 1, {}},
      {"definitions empty", [](Mdb2& t) { t.Definizioni("DELETE FROM SINF; DELETE FROM CHIAVI; DELETE FROM VALORI"); }, 3, {}},
      {"system without table",
       [](Mdb2& t) { t.Definizioni("INSERT INTO SINF (SINF) VALUES ('NUOVO'); DELETE FROM CHIAVI WHERE SINF = 'O''K'"); }, 2, {}},
      {"key length changed", [](Mdb2& t) { t.Definizioni("UPDATE CHIAVI SET LUN = 7 WHERE SINF = 'VEN' AND IDX = 1"); }, 2, {}},
      {"key kind changed", [](Mdb2& t) { t.Definizioni("UPDATE CHIAVI SET KINDB = 'K' WHERE SINF = 'VEN' AND IDX = 4"); }, 2, {}},
      {"old single value table", [](Mdb2& t) { Sql(t.Mdb(2), "CREATE TABLE KYX_D0_00F (IDX INTEGER)"); }, 2, {}},
      {"register with a column more", [](Mdb2& t) { Sql(t.Mdb(2), "ALTER TABLE KYX_CARICATI ADD EXTRA TEXT(1)"); }, 2, {}},
      {"system left without keys and values is dropped",
       [](Mdb2& t) { t.Definizioni("DELETE FROM CHIAVI WHERE SINF = 'O''K'; DELETE FROM VALORI WHERE SINF = 'O''K'"); }, 0, senza_ok},
      {"dropped also when a value element no longer fits",
       [](Mdb2& t) {
         t.Definizioni("DELETE FROM CHIAVI WHERE SINF = 'O''K'; DELETE FROM VALORI WHERE SINF = 'O''K';"
                       "UPDATE VALORI SET ELEM = 3 WHERE SINF = 'VEN' AND IDX = 1");
       },
       2, senza_ok},
      {"definitions not open", [](Mdb2&) { Rs_Valori.reset(); }, 9, {}},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    stato_db::reset();
    data::DeleteDatabaseFile(Mdb(0));
    data::DeleteDatabaseFile(Mdb(2));
    Prepara();
    ASSERT_TRUE(Apri_MDB2(false, false));
    Registro();
    c.prepara(*this);
    EXPECT_EQ(Verifica_Struttura_MDB2(), c.esito);
    if (!c.tabelle.empty()) {
      EXPECT_EQ(Tabelle(Mdb(2)), c.tabelle);
      EXPECT_EQ(Sql(Mdb(2), "SELECT SINF FROM KYX_CARICATI"), (Rows{{"VEN"}}));
    } else if (c.esito != 1) {
      EXPECT_EQ(Sql(Mdb(2), "SELECT count(*) FROM KYX_CARICATI"), (Rows{{"2"}}));
    }
    // The check uses a connection of its own.
    EXPECT_TRUE(MDB2_Aperto() || c.esito == 1);
  }
}

}  // namespace
}  // namespace kyx::test
