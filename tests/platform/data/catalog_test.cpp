// The catalog creates exactly the schema it is given, as the SQLite schema shows it.
#include "platform/data/catalog.h"

#include <gtest/gtest.h>

#include "platform/data/sqlite_connection.h"
#include "tests/platform/data/raw_sqlite.h"
#include "tests/support/temp_dir.h"

namespace kyx::data {
namespace {

using test::RawQuery;
using Rows = std::vector<std::vector<std::string>>;

class CatalogTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(cn.Open(path, OpenMode::kCreate).ok()); }
  test::TempDir dir;
  std::string path = dir.file("KYX_2.MDB");
  SqliteConnection cn;
  Catalog cat{cn};
};

TEST_F(CatalogTest, SchemaReadsBackExactlyFromTheFile) {
  ASSERT_TRUE(cat.CreateTable("KYX_CARICATI", {Int32Field("IDX"), TextField("SINF", 10), TextField("DATAORA", 20),
                                               Int32Field("NUM_REC"), TextField("STATO", 1),
                                               LongTextField("FILTRO", 512), LongTextField("FILTRO_SQL", 512)})
                  .ok());
  ASSERT_TRUE(cat.CreateIndex("KYX_CARICATI", "KYX_CARICATI_L", {"IDX", "SINF"}).ok());
  ASSERT_TRUE(cat.CreateTable("KYX_D0_00F_VEN", {Int32Field("IDX"), TextField("K_001", 6), Int16Field("K_002"),
                                                 NumericField("V_001_01"), DoubleField("V_002_01")})
                  .ok());
  ASSERT_TRUE(cat.CreateIndex("KYX_D0_00F_VEN", "KYX_D0_00FX", {"IDX"}).ok());
  ASSERT_TRUE(cat.CreateTable("KYX_D0_00F_ACQ", {Int32Field("IDX")}).ok());
  // The same index name on a second table: names are per table.
  ASSERT_TRUE(cat.CreateIndex("KYX_D0_00F_ACQ", "KYX_D0_00FX", {"IDX"}).ok());
  cn.Close();

  EXPECT_EQ(RawQuery(path, "SELECT type, name, tbl_name FROM sqlite_master ORDER BY rowid"),
            (Rows{{"table", "KYX_CARICATI", "KYX_CARICATI"},
                  {"index", "KYX_CARICATI_L__KYX_CARICATI", "KYX_CARICATI"},
                  {"table", "KYX_D0_00F_VEN", "KYX_D0_00F_VEN"},
                  {"index", "KYX_D0_00FX__KYX_D0_00F_VEN", "KYX_D0_00F_VEN"},
                  {"table", "KYX_D0_00F_ACQ", "KYX_D0_00F_ACQ"},
                  {"index", "KYX_D0_00FX__KYX_D0_00F_ACQ", "KYX_D0_00F_ACQ"}}));
  EXPECT_EQ(RawQuery(path, "SELECT name, type FROM pragma_table_info('KYX_D0_00F_VEN')"),
            (Rows{{"IDX", "INTEGER"},
                  {"K_001", "TEXT(6)"},
                  {"K_002", "SMALLINT"},
                  {"V_001_01", "NUMERIC_REAL(17,3)"},
                  {"V_002_01", "DOUBLE"}}));
  EXPECT_EQ(RawQuery(path, "SELECT name FROM pragma_index_info('KYX_CARICATI_L__KYX_CARICATI')"),
            (Rows{{"IDX"}, {"SINF"}}));
  // Text columns declare the JET collation; no index is unique.
  EXPECT_EQ(RawQuery(path, "SELECT count(*) FROM sqlite_master WHERE sql LIKE '%\"SINF\" TEXT(10) COLLATE JET%'"),
            (Rows{{"1"}}));
  EXPECT_EQ(RawQuery(path, "SELECT count(*) FROM sqlite_master WHERE sql LIKE '%UNIQUE%' OR sql LIKE '%PRIMARY%'"),
            (Rows{{"0"}}));

  // And the layer lists the same schema back.
  ASSERT_TRUE(cn.Open(path).ok());
  std::vector<std::string> tables;
  ASSERT_TRUE(cat.Tables(&tables).ok());
  EXPECT_EQ(tables, (std::vector<std::string>{"KYX_CARICATI", "KYX_D0_00F_VEN", "KYX_D0_00F_ACQ"}));
  std::vector<FieldInfo> cols;
  ASSERT_TRUE(cat.Columns("KYX_CARICATI", &cols).ok());
  std::vector<FieldInfo> by_name = {TextField("DATAORA", 20),        LongTextField("FILTRO", 512),
                                    LongTextField("FILTRO_SQL", 512), Int32Field("IDX"),
                                    Int32Field("NUM_REC"),           TextField("SINF", 10),
                                    TextField("STATO", 1)};
  EXPECT_EQ(cols, by_name);
  ASSERT_TRUE(cat.ColumnsInCreationOrder("KYX_D0_00F_VEN", &cols).ok());
  EXPECT_EQ(cols, (std::vector<FieldInfo>{Int32Field("IDX"), TextField("K_001", 6), Int16Field("K_002"),
                                          NumericField("V_001_01"), DoubleField("V_002_01")}));
  std::vector<IndexInfo> indexes;
  ASSERT_TRUE(cat.Indexes("KYX_D0_00F_ACQ", &indexes).ok());
  EXPECT_EQ(indexes, (std::vector<IndexInfo>{{"KYX_D0_00FX", {"IDX"}}}));
}

TEST_F(CatalogTest, AppendColumnGoesToTheEndAndExistingRowsHoldNull) {
  ASSERT_TRUE(cat.CreateTable("LAY_ELEM", {Int16Field("LAY"), TextField("SNTOT", 1)}).ok());
  ASSERT_TRUE(cn.Execute("INSERT INTO LAY_ELEM (LAY) VALUES (1)").ok());
  ASSERT_TRUE(cat.AppendColumn("LAY_ELEM", TextField("VIS2", 60)).ok());
  // A column that already exists is an error (the upgrade relies on this).
  Status dup = cat.AppendColumn("LAY_ELEM", TextField("SNTOT", 1));
  EXPECT_FALSE(dup.ok());
  EXPECT_NE(dup.description().find("SNTOT"), std::string::npos) << dup.ToString();
  std::vector<FieldInfo> cols;
  ASSERT_TRUE(cat.ColumnsInCreationOrder("LAY_ELEM", &cols).ok());
  EXPECT_EQ(cols, (std::vector<FieldInfo>{Int16Field("LAY"), TextField("SNTOT", 1), TextField("VIS2", 60)}));
  cn.Close();
  EXPECT_EQ(RawQuery(path, "SELECT LAY, VIS2 FROM LAY_ELEM"), (Rows{{"1", "NULL"}}));
}

TEST_F(CatalogTest, DropTableAndIndexRemoveThemAndMissingOnesAreErrors) {
  ASSERT_TRUE(cat.CreateTable("FILTRO", {Int16Field("KEY"), TextField("OPER", 1)}).ok());
  ASSERT_TRUE(cat.CreateIndex("FILTRO", "FILTRO_01L", {"KEY", "OPER"}).ok());
  EXPECT_TRUE(cat.HasTable("FILTRO"));
  ASSERT_TRUE(cat.DropIndex("FILTRO", "FILTRO_01L").ok());
  std::vector<IndexInfo> indexes;
  ASSERT_TRUE(cat.Indexes("FILTRO", &indexes).ok());
  EXPECT_TRUE(indexes.empty());
  ASSERT_TRUE(cat.DropTable("FILTRO").ok());
  EXPECT_FALSE(cat.HasTable("FILTRO"));
  EXPECT_FALSE(cat.DropTable("FILTRO").ok());
  EXPECT_FALSE(cat.CreateIndex("NOPE", "X", {"A"}).ok());
  std::vector<FieldInfo> cols;
  EXPECT_EQ(cat.Columns("NOPE", &cols).number(), kItemNotFound);
}

TEST_F(CatalogTest, NumericColumnsKeepDoublesSoDivisionIsNotIntegral) {
  ASSERT_TRUE(cat.CreateTable("T", {NumericField("A"), NumericField("B")}).ok());
  ASSERT_TRUE(cn.Execute("INSERT INTO T VALUES (7, 2)").ok());
  cn.Close();
  EXPECT_EQ(RawQuery(path, "SELECT typeof(A), A / B FROM T"), (Rows{{"real", "3.5"}}));
}

TEST(CatalogClosed, EveryCallOnAClosedConnectionSaysSo) {
  SqliteConnection cn;
  Catalog cat(cn);
  EXPECT_EQ(cat.CreateTable("T", {Int16Field("A")}).number(), kNotOpen);
  EXPECT_EQ(cat.AppendColumn("T", Int16Field("B")).number(), kNotOpen);
  std::vector<std::string> tables;
  EXPECT_EQ(cat.Tables(&tables).number(), kNotOpen);
}

}  // namespace
}  // namespace kyx::data
