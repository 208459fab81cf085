// The ODBC backend against a throw-away PostgreSQL cluster through psqlODBC: texts in the code
// page, raw bytes, numbers and Null both ways, transactions, errors with the driver's reason, and
// the connection string built from a profile.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/data/catalog.h"
#include "platform/data/forward_recordset.h"
#include "platform/data/odbc_connection.h"
#include "platform/data/static_recordset.h"
#include "tests/support/pg_cluster.h"

namespace kyx::data {
namespace {

TEST(OdbcConnectionString, BracesValuesThatTheSyntaxWouldMisread) {
  setenv("KYX_ODBC_DRIVER", "Kyx Driver", 1);
  setenv("KYX_ODBC_EXTRA", "Port=5433", 1);
  struct Caso {
    OdbcTarget t;
    std::string atteso;
  };
  const Caso casi[] = {
      {{"srv", "DB", "U", "P"}, "DRIVER={Kyx Driver};SERVER=srv;DATABASE=DB;UID=U;PWD=P;Port=5433;"},
      {{"srv", "", "U", ""}, "DRIVER={Kyx Driver};SERVER=srv;UID=U;Port=5433;"},
      {{"srv", "DB", "U", "a;b}c"}, "DRIVER={Kyx Driver};SERVER=srv;DATABASE=DB;UID=U;PWD={a;b}}c};Port=5433;"},
  };
  for (const Caso& c : casi) EXPECT_EQ(OdbcConnectionString(c.t), c.atteso);
  unsetenv("KYX_ODBC_EXTRA");
  unsetenv("KYX_ODBC_DRIVER");
  EXPECT_EQ(OdbcConnectionString({"s", "", "u", ""}), "DRIVER=FreeTDS;SERVER=s;UID=u;");
}

class Odbc : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string errore;
    ASSERT_TRUE(pg_.Start(&errore)) << errore;
    ASSERT_TRUE(pg_.CreateDatabase("PROVA", &errore)) << errore;
    const Status s = cn_.Open({"127.0.0.1", "PROVA", "kyx", "segreta"});
    ASSERT_TRUE(s.ok()) << s.ToString();
  }
  void TearDown() override { cn_.Close(); }

  test::PgCluster pg_{"kyx", "segreta"};
  OdbcConnection cn_;
};

// A test program that runs several clusters one after the other, each removed at its end: the
// driver registration, which the driver manager reads once per process, serves every one.
TEST(OdbcInOneProcess, ClustersOneAfterAnotherAllConnect) {
  for (int giro = 0; giro < 2; ++giro) {
    SCOPED_TRACE(giro);
    test::PgCluster pg{"kyx", "segreta"};
    std::string errore;
    ASSERT_TRUE(pg.Start(&errore)) << errore;
    ASSERT_TRUE(pg.CreateDatabase("PROVA", &errore)) << errore;
    OdbcConnection cn;
    const Status s = cn.Open({"127.0.0.1", "PROVA", "kyx", "segreta"});
    EXPECT_TRUE(s.ok()) << s.ToString();
    cn.Close();
  }
}

TEST_F(Odbc, ValuesComeBackAsTheyWentInAndTheServerStoresTheTextAsUtf8) {
  EXPECT_EQ(cn_.dbms(), "PostgreSQL");
  Catalog catalogo(cn_);
  ASSERT_TRUE(catalogo.CreateTable("T_PROVA", {TextField("Testo", 10), Int16Field("Piccolo"), Int32Field("Intero"),
                                               DoubleField("Reale"), NumericField("Numero")})
                  .ok());
  ASSERT_TRUE(cn_.Execute("ALTER TABLE T_PROVA ADD Byte BYTEA").ok());
  std::string tutti;
  for (int b = 0; b < 256; ++b) tutti += static_cast<char>(b);
  std::unique_ptr<Statement> st;
  ASSERT_TRUE(cn_.Prepare("INSERT INTO T_PROVA VALUES (?, ?, ?, ?, ?, ?)", &st).ok());
  ASSERT_TRUE(st->Bind(1, Value("Citt\xE0 \xBF")).ok());
  ASSERT_TRUE(st->Bind(2, Value(-32768)).ok());
  ASSERT_TRUE(st->Bind(3, Value(int64_t{2147483647})).ok());
  ASSERT_TRUE(st->Bind(4, Value(0.1)).ok());
  ASSERT_TRUE(st->Bind(5, Value(1234.567)).ok());
  ASSERT_TRUE(BindOdbcBytes(*st, 6, tutti));
  ASSERT_TRUE(st->Run().ok());
  EXPECT_EQ(st->ChangedRows(), 1);
  ASSERT_TRUE(cn_.Execute("INSERT INTO T_PROVA (Testo) VALUES (NULL)").ok());

  // An independent reader sees UTF-8 text and the 256 bytes.
  EXPECT_EQ(pg_.Query("PROVA", "SELECT testo, length(byte), encode(byte, 'hex') = (SELECT string_agg(lpad(to_hex(g), "
                               "2, '0'), '' ORDER BY g) FROM generate_series(0, 255) g) FROM t_prova "
                               "WHERE testo IS NOT NULL"),
            "Citt\u00e0 \u00bf|256|t");

  StaticRecordset rs;
  ASSERT_TRUE(rs.Open(cn_, "SELECT * FROM T_PROVA ORDER BY Testo").ok());
  ASSERT_EQ(rs.RecordCount(), 2);
  EXPECT_EQ(rs.Field("Testo").text(), "Citt\xE0 \xBF");
  EXPECT_EQ(rs.Field("Piccolo").integer(), -32768);
  EXPECT_EQ(rs.Field("Intero").integer(), 2147483647);
  EXPECT_DOUBLE_EQ(rs.Field("Reale").real(), 0.1);
  EXPECT_DOUBLE_EQ(rs.Field("Numero").AsDouble(), 1234.567);
  EXPECT_EQ(rs.Field("Byte").text(), tutti);
  ASSERT_TRUE(rs.MoveNext().ok());
  EXPECT_TRUE(rs.Field("Testo").is_null());
  EXPECT_TRUE(rs.Field("Byte").is_null());

  std::vector<FieldInfo> colonne;
  ASSERT_TRUE(cn_.ListColumns("T_PROVA", &colonne).ok());
  ASSERT_EQ(colonne.size(), 6u);
  EXPECT_EQ(colonne[0].type, FieldType::Text);
  EXPECT_EQ(colonne[0].size, 10);
  EXPECT_EQ(colonne[2].type, FieldType::Int32);
}

TEST_F(Odbc, ARolledBackTransactionLeavesNothingAndErrorsCarryTheServersReason) {
  ASSERT_TRUE(cn_.Execute("CREATE TABLE T_TRANS (N INT)").ok());
  ASSERT_TRUE(cn_.BeginTransaction().ok());
  ASSERT_TRUE(cn_.Execute("INSERT INTO T_TRANS VALUES (1)").ok());
  ASSERT_TRUE(cn_.Rollback().ok());
  ASSERT_TRUE(cn_.BeginTransaction().ok());
  ASSERT_TRUE(cn_.Execute("INSERT INTO T_TRANS VALUES (2)").ok());
  ASSERT_TRUE(cn_.Commit().ok());
  EXPECT_EQ(pg_.Query("PROVA", "SELECT n FROM t_trans"), "2");

  ForwardRecordset rs;
  const Status s = rs.Open(cn_, "SELECT * FROM T_MANCANTE");
  EXPECT_FALSE(s.ok());
  EXPECT_NE(s.description().find("t_mancante"), std::string::npos) << s.description();

  OdbcConnection altro;
  const Status rifiuto = altro.Open({"127.0.0.1", "PROVA", "kyx", "sbagliata"});
  EXPECT_FALSE(rifiuto.ok());
  EXPECT_NE(rifiuto.description().find("password"), std::string::npos) << rifiuto.description();
  EXPECT_FALSE(altro.IsOpen());
  EXPECT_EQ(altro.Execute("SELECT 1").number(), kNotOpen);
}

}  // namespace
}  // namespace kyx::data
