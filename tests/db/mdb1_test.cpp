#include <gtest/gtest.h>

#include "common/impostazioni.h"
#include "db/mdb1.h"
#include "tests/db/ambiente_db.h"

namespace kyx::test {
namespace {

using Rows = std::vector<std::vector<std::string>>;

class Mdb1 : public AmbienteDb {
 protected:
  Mdb1() { Ini("[001]\nData=20240101120000\n"); }
  std::string Data() const { return Leggi_Ini("001", "Data", "?"); }
  // A file of an older version: the old tables, optionally with the current one, and some rows.
  void File_Vecchio(bool con_20F) {
    std::string sql = "CREATE TABLE KYX_DS_00F (A TEXT); CREATE TABLE KYX_DS_10F (B TEXT);";
    if (con_20F) {
      ASSERT_TRUE(Apri_MDB1(false, false));
      ASSERT_TRUE(Chiudi_MDB1());
    }
    ASSERT_TRUE(Sql(Mdb(1), sql).empty());
  }
};

TEST_F(Mdb1, NewFileHasTheDescriptionsTableAndLeavesTheDataKeyAlone) {
  ASSERT_TRUE(Apri_MDB1(false, false));
  EXPECT_EQ(Tabelle(Mdb(1)), (std::vector<std::string>{"KYX_DS_20F"}));
  std::string attese = "S_DS_STAT TEXT(1)|S_DS_KEY SMALLINT|S_DS_CODI TEXT(30)";
  for (int j = 1; j <= 16; ++j) attese += std::string("|S_DS_D_") + (j < 10 ? "0" : "") + std::to_string(j) + " TEXT(40)";
  EXPECT_EQ(Colonne(Mdb(1), "KYX_DS_20F"), attese);
  EXPECT_EQ(Indici(Mdb(1), "KYX_DS_20F"),
            (std::map<std::string, std::string>{{"KYX_DS_21L__KYX_DS_20F", "S_DS_KEY,S_DS_CODI"}}));
  ASSERT_TRUE(Rs_Descrizioni && Rs_Descrizioni->IsOpen());
  EXPECT_EQ(Rs_Descrizioni->index(), "KYX_DS_21L");
  EXPECT_EQ(Data(), "20240101120000");
}

TEST_F(Mdb1, OldTablesAreDroppedAndAMissingCurrentTableAsksForAFullReload) {
  File_Vecchio(false);
  ASSERT_TRUE(Apri_MDB1(false, false));
  EXPECT_EQ(Tabelle(Mdb(1)), (std::vector<std::string>{"KYX_DS_20F"}));
  EXPECT_EQ(Data(), "20000101010101");
}

TEST_F(Mdb1, OldTablesBesideTheCurrentOneAreDroppedWithoutReload) {
  File_Vecchio(true);
  ASSERT_TRUE(Apri_MDB1(false, false));
  EXPECT_EQ(Tabelle(Mdb(1)), (std::vector<std::string>{"KYX_DS_20F"}));
  EXPECT_EQ(Data(), "20240101120000");
}

TEST_F(Mdb1, RowsMarkedAGoAtAnOpeningWithoutCompactionOnly) {
  ASSERT_TRUE(Apri_MDB1(false, false));
  ASSERT_TRUE(Chiudi_MDB1());
  ASSERT_TRUE(Sql(Mdb(1), "INSERT INTO KYX_DS_20F (S_DS_STAT, S_DS_KEY, S_DS_CODI) VALUES "
                          "('A', 1, 'X1'), ('a', 1, 'X2'), (' ', 1, 'X3'), ('A', 2, 'X4')").empty());
  // Compaction: no purge, no look at the tables, and the time of the copy in the debug log.
  Debug_Attivo = true;
  File_Vecchio(false);
  ASSERT_TRUE(Apri_MDB1(false, true));
  EXPECT_EQ(Sql(Mdb(1), "SELECT count(*) FROM KYX_DS_20F"), (Rows{{"4"}}));
  EXPECT_EQ(Tabelle(Mdb(1)).size(), 3u);
  ASSERT_EQ(host.log().size(), 1u);
  EXPECT_TRUE(vb::Like(host.log()[0], "#*.####")) << host.log()[0];
  EXPECT_FALSE(files::file_exists(Dati("KYX_1_NEW.MDB")));

  ASSERT_TRUE(Apri_MDB1(false, false));
  EXPECT_EQ(Sql(Mdb(1), "SELECT S_DS_CODI FROM KYX_DS_20F ORDER BY rowid"), (Rows{{"X2"}, {"X3"}}));
  EXPECT_EQ(Tabelle(Mdb(1)), (std::vector<std::string>{"KYX_DS_20F"}));
}

TEST_F(Mdb1, FileThatIsNotADatabaseIsReportedAndLeftAlone) {
  dir.write("Dati/KYX_1.MDB", std::string(4096, '\0'));
  for (bool compatta : {false, true}) {
    host.expect(Errore("Errore 017 ", data::kNotADatabase));
    EXPECT_FALSE(Apri_MDB1(false, compatta));
    EXPECT_FALSE(Rs_Descrizioni);
  }
  EXPECT_EQ(dir.read("Dati/KYX_1.MDB"), std::string(4096, '\0'));
  EXPECT_EQ(host.shown().back().text.substr(host.shown().back().text.rfind('\r')), "\rnel trattamento di MDB1");
}

}  // namespace
}  // namespace kyx::test
