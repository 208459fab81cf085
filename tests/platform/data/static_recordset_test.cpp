// Client-side recordsets: Sort, Filter, Find, positions, copy-only and written-back updates,
// fabricated recordsets, and Save/Load.
#include "platform/data/static_recordset.h"

#include <gtest/gtest.h>

#include "platform/data/catalog.h"
#include "platform/data/forward_recordset.h"
#include "platform/data/sqlite_connection.h"
#include "tests/platform/data/raw_sqlite.h"
#include "tests/support/temp_dir.h"

namespace kyx::data {
namespace {

using test::RawQuery;
using Rows = std::vector<std::vector<std::string>>;

class StaticTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(cn.Open(path, OpenMode::kCreate).ok());
    Catalog cat(cn);
    ASSERT_TRUE(cat.CreateTable("DATI", {TextField("c000", 12), TextField("c001", 20), DoubleField("c002"),
                                         TextField("c003", 5)})
                    .ok());
    // Rows in c000 order; c003 has ties so that stability shows.
    ASSERT_TRUE(cn.Execute("INSERT INTO DATI VALUES "
                           "('0000012', 'Rossi',   10.5, 'B'),"
                           "('0000022', 'bianchi', 20,   'A'),"
                           "('0000032', 'ROSSINI', NULL, 'B'),"
                           "('0000042', 'Verdi',   5,    'a'),"
                           "('0000052', 'Neri',    20,   'B'),"
                           "('9999994', 'totale',  55.5, NULL)")
                    .ok());
    ASSERT_TRUE(rs.Open(cn, "SELECT * FROM DATI ORDER BY c000").ok());
  }
  // Characters 5-6 of c000 of the visible rows, in order.
  std::string Keys() {
    std::string out;
    EXPECT_TRUE(rs.MoveFirst().ok());
    while (!rs.AfterLast()) {
      out += rs.Field(0).text().substr(4, 2) + " ";
      EXPECT_TRUE(rs.MoveNext().ok());
    }
    return out;
  }
  test::TempDir dir;
  std::string path = dir.file("KYX_3.MDB");
  SqliteConnection cn;
  StaticRecordset rs;
};

TEST_F(StaticTest, SortIsStableMultiKeyAndCaseBlind) {
  EXPECT_EQ(rs.RecordCount(), 6);
  struct Case {
    const char* sort;
    const char* keys;
  } cases[] = {
      {"c003 DESC, c000 ASC", "01 03 05 02 04 99 "},  // Null sorts first, so last when descending
      {"c003 ASC", "99 02 04 01 03 05 "},             // ties keep the reading order
      {"c002 DESC ", "99 02 05 01 04 03 "},
      {"[c001]", "02 05 01 03 99 04 "},
      {"", "01 02 03 04 05 99 "},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(rs.SetSort(c.sort).ok()) << c.sort;
    EXPECT_EQ(Keys(), c.keys) << c.sort;
    EXPECT_EQ(rs.Sort(), c.sort);
  }
  EXPECT_EQ(rs.SetSort("c999 ASC").number(), kBadCriteria);
  EXPECT_EQ(rs.SetSort("c001 c002").number(), kBadCriteria);
}

TEST_F(StaticTest, FilterWithAndOrLikeAndNumbers) {
  struct Case {
    const char* filter;
    const char* keys;
  } cases[] = {
      {"c001 LIKE '*ROSSI*'", "01 03 "},
      {"c001 LIKE 'ross%'", "01 03 "},
      {"c001>='B' AND c001<='N'", "02 "},
      {"c002>=10.000", "01 02 05 99 "},
      {"c002 >= 10 AND c002 <= 20 OR c003 = 'a'", "01 02 04 05 "},
      {"(c003 = 'b' OR c003 = 'A') AND c002 > 10", "01 02 05 "},
      {"c003 = NULL", "99 "},
      {"c001 = 'neri   '", "05 "},
      {"c001 = 'O''Brien'", ""},
      {"", "01 02 03 04 05 99 "},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(rs.SetFilter(c.filter).ok()) << c.filter;
    EXPECT_EQ(Keys(), c.keys) << c.filter;
    EXPECT_EQ(rs.RecordCount(), static_cast<int64_t>(std::string(c.keys).size() / 3)) << c.filter;
  }
  // Filter and sort combine.
  ASSERT_TRUE(rs.SetFilter("c003 = 'B'").ok());
  ASSERT_TRUE(rs.SetSort("c001 DESC").ok());
  EXPECT_EQ(Keys(), "03 01 05 ");
  // Text typed by a user that is not valid criteria is refused and the filter stays.
  for (const char* bad : {"c001 LIKE '*O'ROSSI*'", "c001 >=", "nope = 1", "(c001 = 'A'", "c001 = 'A' XOR"}) {
    EXPECT_EQ(rs.SetFilter(bad).number(), kBadCriteria) << bad;
    EXPECT_EQ(rs.Filter(), "c003 = 'B'");
  }
  // An empty filtered view is both BOF and EOF.
  ASSERT_TRUE(rs.SetFilter("c001 = 'nobody'").ok());
  EXPECT_TRUE(rs.BeforeFirst());
  EXPECT_TRUE(rs.AfterLast());
}

TEST_F(StaticTest, FindAndAbsolutePosition) {
  ASSERT_TRUE(rs.SetSort("c002 ASC").ok());  // 03(null) 04 01 02 05 99
  ASSERT_TRUE(rs.Find("c001 = 'ROSSI'").ok());
  EXPECT_EQ(rs.AbsolutePosition(), 3);
  ASSERT_TRUE(rs.Find("c002 = 20", 1).ok());  // skip the current row
  EXPECT_EQ(rs.Field("c001").text(), "bianchi");
  ASSERT_TRUE(rs.Find("c002 = 20", 1).ok());
  EXPECT_EQ(rs.Field("c001").text(), "Neri");
  ASSERT_TRUE(rs.Find("c002 = 20", 1).ok());
  EXPECT_TRUE(rs.AfterLast());
  EXPECT_EQ(rs.AbsolutePosition(), -3);
  ASSERT_TRUE(rs.MoveLast().ok());
  ASSERT_TRUE(rs.Find("c002 < 10", 0, false).ok());
  EXPECT_EQ(rs.Field("c001").text(), "Verdi");
  ASSERT_TRUE(rs.Find("c001 = 'x'", 0, false).ok());
  EXPECT_TRUE(rs.BeforeFirst());
  ASSERT_TRUE(rs.SetAbsolutePosition(6).ok());
  EXPECT_EQ(rs.Field("c001").text(), "totale");
  EXPECT_EQ(rs.SetAbsolutePosition(7).number(), kBadCriteria);
  EXPECT_EQ(rs.SetAbsolutePosition(0).number(), kBadCriteria);
  EXPECT_EQ(rs.Find("c001 ==").number(), kBadCriteria);
}

TEST_F(StaticTest, AfterDisconnectUpdatesChangeOnlyTheCopy) {
  rs.Disconnect();
  ASSERT_TRUE(rs.SetAbsolutePosition(1).ok());
  ASSERT_TRUE(rs.Set("c002", 99.0).ok());
  ASSERT_TRUE(rs.Update().ok());
  ASSERT_TRUE(rs.Delete().ok());  // deletes row 01 from the copy
  ASSERT_TRUE(rs.MoveNext().ok());
  EXPECT_EQ(rs.Field("c001").text(), "bianchi");  // the row after the deleted one
  ASSERT_TRUE(rs.AddNew().ok());
  ASSERT_TRUE(rs.Set("c000", "0000062").ok());
  EXPECT_EQ(rs.Set("c003", "TOOLONG").number(), kFieldTooSmall);
  ASSERT_TRUE(rs.Update().ok());
  EXPECT_EQ(rs.RecordCount(), 6);
  EXPECT_EQ(rs.AbsolutePosition(), 6);
  cn.Close();
  EXPECT_EQ(RawQuery(path, "SELECT count(*), sum(c002) FROM DATI"), (Rows{{"6", "111.0"}}));
}

TEST_F(StaticTest, WhileConnectedOptimisticChangesReachTheTable) {
  StaticRecordset list;
  ASSERT_TRUE(list.Open(cn, "SELECT c000 AS k, c001 AS name FROM DATI", LockMode::kOptimistic).ok());
  ASSERT_TRUE(list.Find("name = 'verdi'").ok());
  ASSERT_TRUE(list.Set("name", "Verdini").ok());
  ASSERT_TRUE(list.Update().ok());
  ASSERT_TRUE(list.Find("name = 'neri'", 0, true).ok());
  ASSERT_FALSE(list.AfterLast());  // found forward from the current row
  ASSERT_TRUE(list.Delete().ok());
  // Someone else removed the row this copy still shows: the change is refused, the copy kept.
  ASSERT_TRUE(cn.Execute("DELETE FROM DATI WHERE c001 = 'Rossi'").ok());
  ASSERT_TRUE(list.MoveFirst().ok());
  ASSERT_TRUE(list.Set("name", "Rossa").ok());
  EXPECT_EQ(list.Update().number(), kRowNotFound);
  list.CancelUpdate();
  EXPECT_EQ(list.Field("name").text(), "Rossi");
  // A read-only recordset refuses changes while connected.
  EXPECT_EQ(rs.MoveFirst().ok(), true);
  ASSERT_TRUE(rs.Set("c001", "x").ok());
  EXPECT_EQ(rs.Update().number(), kNotSupported);
  cn.Close();
  EXPECT_EQ(RawQuery(path, "SELECT c001 FROM DATI ORDER BY rowid"),
            (Rows{{"bianchi"}, {"ROSSINI"}, {"Verdini"}, {"totale"}}));
}

TEST(Fabricated, AppendedFieldsFillAndSortWithoutAConnection) {
  StaticRecordset rs;
  ASSERT_TRUE(rs.AppendField(TextField("x000", 6)).ok());
  EXPECT_EQ(rs.AppendField(TextField("X000", 6)).number(), kAlreadyExists);
  EXPECT_EQ(rs.AddNew().number(), kNotOpen);
  ASSERT_TRUE(rs.OpenFabricated().ok());
  EXPECT_TRUE(rs.BeforeFirst() && rs.AfterLast());
  EXPECT_EQ(rs.AppendField(TextField("x001", 1)).number(), kNotSupported);
  for (const char* v : {"C", "a", "B"}) {
    ASSERT_TRUE(rs.AddNew().ok());
    ASSERT_TRUE(rs.Set(0, v).ok());
    ASSERT_TRUE(rs.Update().ok());
  }
  EXPECT_EQ(rs.RecordCount(), 3);
  ASSERT_TRUE(rs.SetSort("x000").ok());
  std::string seen;
  for (; !rs.AfterLast(); rs.MoveNext()) seen += rs.Field("x000").text();
  EXPECT_EQ(seen, "aBC");
}

TEST(ForwardOnly, ReadsEachRowOnceAndReleasesTheQueryAtTheEnd) {
  test::TempDir dir;
  SqliteConnection cn;
  ASSERT_TRUE(cn.Open(dir.file("KYX_0.MDB"), OpenMode::kCreate).ok());
  ASSERT_TRUE(Catalog(cn).CreateTable("AREE", {Int16Field("IDX"), TextField("AREA", 3)}).ok());
  ASSERT_TRUE(Catalog(cn).CreateTable("X", {Int16Field("A")}).ok());
  ForwardRecordset rs;
  ASSERT_TRUE(rs.Open(cn, "SELECT IDX, AREA FROM AREE").ok());
  EXPECT_TRUE(rs.BeforeFirst() && rs.AfterLast());
  ASSERT_TRUE(cn.Execute("INSERT INTO AREE VALUES (2, 'b'), (1, 'A')").ok());
  ASSERT_TRUE(rs.Open(cn, "SELECT IDX, AREA FROM AREE ORDER BY AREA").ok());
  EXPECT_EQ(rs.Fields()[1], TextField("AREA", 3));
  std::string seen;
  for (; !rs.AfterLast(); rs.MoveNext()) seen += rs.Field("area").text();
  EXPECT_EQ(seen, "Ab");
  EXPECT_EQ(rs.MoveNext().number(), kNoCurrentRecord);
  EXPECT_EQ(rs.MovePrevious().number(), kNotSupported);
  EXPECT_TRUE(Catalog(cn).DropTable("X").ok());  // nothing holds the connection
  EXPECT_FALSE(rs.Open(cn, "SELECT nope FROM AREE").ok());
}

}  // namespace
}  // namespace kyx::data

namespace kyx::data {
namespace {

// A numeric sort key takes a faster path than a mixed one: both give the same stable order, Null
// first ascending and last descending, equal values in the order they were added.
TEST(StaticSort, NumericKeysSortAsMixedOnes) {
  const std::vector<Value> valori = {Value(3.0), Value(), Value(int64_t{1}), Value(3.0), Value(-2.5), Value(), Value(1.0)};
  const auto ordine = [&](bool misto, const char* sort) {
    StaticRecordset rs;
    rs.AppendField(FieldInfo{"n", FieldType::Any, 0});
    rs.AppendField(Int32Field("i"));
    EXPECT_TRUE(rs.OpenFabricated().ok());
    for (size_t i = 0; i < valori.size() + (misto ? 1 : 0); ++i) {
      EXPECT_TRUE(rs.AddNew().ok());
      (void)rs.Set(0, i < valori.size() ? valori[i] : Value("zz"));  // a text forces the general path
      (void)rs.Set(1, Value(static_cast<int64_t>(i)));
      EXPECT_TRUE(rs.Update().ok());
    }
    EXPECT_TRUE(rs.SetSort(sort).ok());
    std::vector<int64_t> righe;
    for ((void)rs.MoveFirst(); !rs.AfterLast(); (void)rs.MoveNext())
      if (rs.Field(1).AsInteger() < static_cast<int64_t>(valori.size())) righe.push_back(rs.Field(1).AsInteger());
    return righe;
  };
  EXPECT_EQ(ordine(false, "n ASC"), (std::vector<int64_t>{1, 5, 4, 2, 6, 0, 3}));
  EXPECT_EQ(ordine(false, "n DESC"), (std::vector<int64_t>{0, 3, 2, 6, 4, 1, 5}));
  for (const char* sort : {"n ASC", "n DESC"}) EXPECT_EQ(ordine(false, sort), ordine(true, sort)) << sort;
}

}  // namespace
}  // namespace kyx::data
