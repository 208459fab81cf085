// The description update from KYX_DS_00F of the master database: only rows changed since the
// last update, the rules of deletion and of the description columns, and the new time taken
// before the query.
#include <gtest/gtest.h>

#include <string>

#include "common/impostazioni.h"
#include "common/stato_db.h"
#include "platform/vb/vb.h"
#include "server/master_sql.h"
#include "tests/server/sql/ambiente_sql.h"

namespace kyx {
namespace {

using DescrizioniSql = test::AmbienteSql;

TEST_F(DescrizioniSql, AppliesTheRowsChangedSinceTheLastUpdateByTheirRules) {
  Profilo_Sql();
  ASSERT_TRUE(Accedi());
  const auto riga = test::Sql(Mdb(1), "SELECT S_DS_KEY, S_DS_CODI, S_DS_D_01 FROM KYX_DS_20F ORDER BY rowid LIMIT 1");
  ASSERT_EQ(riga.size(), 1u);
  const std::string chiave = riga[0][0], codice = riga[0][1];
  const std::string righe_prima = Db1("SELECT COUNT(*) FROM KYX_DS_20F");

  // Changed after the last update: a new code, the second description of a known code deleted,
  // a progressive beyond the sixteen columns. Changed before it: a row that is not asked for.
  const std::string dopo = "'99991231235959'";
  ASSERT_EQ(pg_.Query("KYXMASTER",
                      "INSERT INTO kyx_ds_00f VALUES (' ', " + chiave + ", 'NUOVO', 1, 'Nuovo', " + dopo + "), ('A', " +
                          chiave + ", '" + codice + "', 2, 'ignorata', " + dopo + "), (' ', " + chiave + ", '" +
                          codice + "', 17, 'oltre', " + dopo + "), (' ', " + chiave +
                          ", 'VECCHIO', 1, 'Vecchio', '20000101000000')"),
            "");
  const std::string inizio = vb::FormatDate(vb::Now(), "yyyymmddhhnnss");
  ASSERT_TRUE(Aggiorna_Descrizioni_SQL("Numero"));
  const std::string fine = vb::FormatDate(vb::Now(), "yyyymmddhhnnss");
  EXPECT_TRUE(host.shown().empty());
  EXPECT_FALSE(Cn_SQL) << "the update closes the database it opened";

  EXPECT_EQ(Db1("SELECT S_DS_STAT, S_DS_D_01 FROM KYX_DS_20F WHERE S_DS_CODI = 'NUOVO'"), " |Nuovo");
  EXPECT_EQ(Db1("SELECT S_DS_D_01, S_DS_D_02 FROM KYX_DS_20F WHERE S_DS_KEY = " + chiave + " AND S_DS_CODI = '" + codice +
                "'"),
            riga[0][2] + "| ");
  EXPECT_EQ(Db1("SELECT COUNT(*) FROM KYX_DS_20F WHERE S_DS_CODI = 'VECCHIO'"), "0");
  EXPECT_EQ(Db1("SELECT COUNT(*) FROM KYX_DS_20F"), std::to_string(std::stoi(righe_prima) + 1));
  EXPECT_EQ(host.panels().back(), "Numero= 3 ");
  EXPECT_GE(Data_Descrizioni, inizio);
  EXPECT_LE(Data_Descrizioni, fine);
  EXPECT_EQ(Leggi_Ini("001", "Data", ""), Data_Descrizioni);
}

// A master database whose codes are wider than the local code column: the rows of such codes are
// left out and counted in one warning, never cut onto each other.
TEST_F(DescrizioniSql, CodesLongerThanTheLocalColumnAreLeftOutWithOneCountedWarning) {
  Profilo_Sql();
  ASSERT_TRUE(Accedi());
  const std::string prima = Db1("SELECT COUNT(*) FROM KYX_DS_20F");
  const std::string lungo(30, 'L'), dopo = "'99991231235959'";
  ASSERT_EQ(pg_.Query("KYXMASTER", "ALTER TABLE kyx_ds_00f ALTER COLUMN s_ds_codi TYPE VARCHAR(60)"), "");
  ASSERT_EQ(pg_.Query("KYXMASTER", "INSERT INTO kyx_ds_00f VALUES (' ', 1, '" + lungo + "A', 1, 'Prima', " + dopo +
                                       "), (' ', 1, '" + lungo + "B', 1, 'Seconda', " + dopo + "), (' ', 1, '" + lungo +
                                       "', 1, 'Giusta', " + dopo + ")"),
            "");
  host.expect("Descrizioni non memorizzate: 2\r");
  EXPECT_TRUE(Aggiorna_Descrizioni_SQL("Numero"));
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(Db1("SELECT S_DS_D_01 FROM KYX_DS_20F WHERE S_DS_KEY = 1 AND S_DS_CODI LIKE '" + lungo + "%'"), "Giusta");
  EXPECT_EQ(Db1("SELECT COUNT(*) FROM KYX_DS_20F"), std::to_string(std::stoi(prima) + 1));
}

TEST_F(DescrizioniSql, AMissingTableSaysSoAndKeepsTheTimeOfTheLastUpdate) {
  Profilo_Sql();
  ASSERT_TRUE(Accedi());
  const std::string data = Leggi_Ini("001", "Data", "");
  ASSERT_EQ(pg_.Query("KYXMASTER", "DROP TABLE kyx_ds_00f"), "");
  host.expect("Errore nell'aggiornamento\rdelle Descrizioni\r");
  EXPECT_FALSE(Aggiorna_Descrizioni_SQL("Numero"));
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(Leggi_Ini("001", "Data", ""), data);
  EXPECT_FALSE(Cn_SQL);
}

}  // namespace
}  // namespace kyx
