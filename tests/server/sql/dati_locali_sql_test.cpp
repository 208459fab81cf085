// Local data sets copied from each system's own database in PostgreSQL over ODBC (the table
// KYX_D0_00F that our tool fills behind three fields of its own): the rows stored are the rows
// of the data server's data set, as the socket path delivers them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/stato_db.h"
#include "db/mdb0.h"
#include "db/mdb2.h"
#include "server/dati_locali.h"
#include "server/master_sql.h"
#include "tests/server/sql/ambiente_sql.h"
#include "tools/dataserver/queries.h"

namespace kyx {
namespace {

namespace ds = dataserver;

class DatiLocaliSql : public test::AmbienteSql {
 protected:
  void SetUp() override {
    AmbienteSql::SetUp();
    if (HasFatalFailure()) return;
    Profilo_Sql();
    ASSERT_TRUE(Accedi());
    ASSERT_TRUE(Apri_MDB0(false));
    ASSERT_TRUE(Apri_MDB2(false, false));
    // The sales are read from the master database, the orders from their own.
    ASSERT_TRUE(Cn_MDB0->Execute("UPDATE SINF SET DBSQL='KYXORD' WHERE SINF='ORDINI'").ok());
  }

  // A set registered (the sales under `filtro`, the orders whole) and downloaded.
  void Carica(int n, const std::string& filtro) {
    Menu_Dati m;
    m.Elemento_Nuovo = m.Elemento_Carica = n;
    m.Filtro = filtro;
    ASSERT_TRUE(Registra_Dati_Locali(m, [](const std::string&, const std::string&) { return std::string(); }));
    Carica_Dati_Locali(m);
  }

  // The rows of a data table, one text each, codes trimmed and numbers to thousandths (what the
  // socket path carries), in order; `dove` picks the rows.
  // The columns are those of the local table of `sistema`.
  std::vector<std::string> Righe(const std::string& db, const std::string& tabella, const std::string& sistema,
                                 const std::string& dove) const {
    std::string lista;
    for (const auto& c : test::Sql(Mdb(2), "PRAGMA table_info(\"KYX_D0_00F_" + sistema + "\")")) {
      if (c.size() < 2 || c[1] == "IDX") continue;
      lista += std::string(lista.empty() ? "" : " || '|' || ") +
               (c[1][0] == 'K' ? "rtrim(" + c[1] + ")" : "printf('%.3f', " + c[1] + ")");
    }
    std::vector<std::string> out;
    for (const auto& r : test::Sql(db, "SELECT " + lista + " AS r FROM \"" + tabella + "\" " + dove + " ORDER BY r"))
      out.push_back(r.empty() ? "" : r[0]);
    return out;
  }
  std::vector<std::string> Locali(const std::string& sistema, int n) const {
    return Righe(Mdb(2), "KYX_D0_00F_" + sistema, sistema, "WHERE IDX=" + std::to_string(n));
  }
  std::vector<std::string> Del_Server(const std::string& sistema, const std::string& libreria,
                                      const std::string& dove = "") const {
    return Righe(dir.file("server.db"), ds::DataSetTable(libreria), sistema, dove);
  }
  std::string Registro(int n, const std::string& sistema) const {
    const auto r = test::Sql(Mdb(2), "SELECT NUM_REC || '|' || STATO FROM KYX_CARICATI WHERE IDX=" + std::to_string(n) +
                                         " AND SINF='" + sistema + "'");
    return r.empty() || r[0].empty() ? "?" : r[0][0];
  }
};

TEST_F(DatiLocaliSql, EachSystemIsCopiedFromItsOwnDatabaseAsTheServerHoldsIt) {
  // A key code that the sales' data set holds, to filter on.
  const auto codici = test::Sql(dir.file("server.db"), "SELECT MIN(K_001) FROM \"" + ds::DataSetTable(ds::sample::kSalesLibrary) + "\"");
  ASSERT_FALSE(codici.empty());
  const std::string codice = codici[0][0];
  Carica(1, "where (K_001 <> '" + codice + "') ");
  EXPECT_TRUE(host.shown().empty());
  EXPECT_FALSE(Cn_SQL);
  for (const auto& q : server_->Requests()) EXPECT_NE(q.kind, ds::RequestKind::kDataSetFirst) << "asked the data server";

  const auto vendite = Locali(ds::sample::kSales, 1);
  const auto ordini = Locali(ds::sample::kOrders, 1);
  EXPECT_EQ(vendite, Del_Server(ds::sample::kSales, ds::sample::kSalesLibrary, "WHERE K_001 <> '" + codice + "'"));
  EXPECT_EQ(ordini, Del_Server(ds::sample::kOrders, ds::sample::kOrdersLibrary));
  EXPECT_GT(vendite.size(), 0u);
  EXPECT_LT(vendite.size(), Del_Server(ds::sample::kSales, ds::sample::kSalesLibrary).size());
  EXPECT_EQ(Registro(1, ds::sample::kSales), std::to_string(vendite.size()) + "| ");
  EXPECT_EQ(Registro(1, ds::sample::kOrders), std::to_string(ordini.size()) + "| ");

  // The orders' table gone from their database: the refresh says so and keeps the stored set.
  ASSERT_EQ(pg_.Query("KYXORD", "DROP TABLE IF EXISTS \"KYX_D0_00F\"; DROP TABLE IF EXISTS kyx_d0_00f").rfind("ERROR", 0),
            std::string::npos);
  host.expect("KYX_D0_00F dal database KYXORD");
  Menu_Dati r;
  r.Elemento = r.Elemento_Carica = 1;
  Carica_Dati_Locali(r);
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(Locali(ds::sample::kOrders, 1), ordini);
  EXPECT_EQ(Registro(1, ds::sample::kOrders), std::to_string(ordini.size()) + "| ");
  EXPECT_EQ(Locali(ds::sample::kSales, 1), vendite);
}

}  // namespace
}  // namespace kyx
