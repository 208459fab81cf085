// Table-direct recordsets: Seek and walks in index order, comparisons as the original engine
// made them, and the checks on every row written.
#include "platform/data/table_recordset.h"

#include <gtest/gtest.h>

#include "platform/data/catalog.h"
#include "platform/data/sqlite_connection.h"
#include "tests/platform/data/raw_sqlite.h"
#include "tests/support/temp_dir.h"

namespace kyx::data {
namespace {

using test::RawQuery;
using Rows = std::vector<std::vector<std::string>>;

class TableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(cn.Open(path, OpenMode::kCreate).ok());
    Catalog cat(cn);
    ASSERT_TRUE(cat.CreateTable("CHIAVI", {TextField("SINF", 10), Int16Field("IDX"), TextField("TESTO", 40)}).ok());
    ASSERT_TRUE(cat.CreateIndex("CHIAVI", "CHIAVI_01L", {"SINF", "IDX"}).ok());
  }
  void Add(const Value& sinf, const Value& idx, const Value& testo) {
    ASSERT_TRUE(rs.AddNew().ok());
    ASSERT_TRUE(rs.Set("SINF", sinf).ok());
    ASSERT_TRUE(rs.Set(1, idx).ok());  // by ordinal: creation order
    ASSERT_TRUE(rs.Set("testo", testo).ok());
    ASSERT_TRUE(rs.Update().ok());
  }
  // TESTO of every row from the current one to EOF.
  std::vector<std::string> WalkTexts() {
    std::vector<std::string> out;
    while (!rs.AfterLast()) {
      out.push_back(rs.Field("TESTO").AsText());
      EXPECT_TRUE(rs.MoveNext().ok());
    }
    return out;
  }
  test::TempDir dir;
  std::string path = dir.file("KYX_0.MDB");
  SqliteConnection cn;
  TableRecordset rs;
};

TEST_F(TableTest, EmptyTableIsBothBofAndEofAndSeekFindsNothing) {
  ASSERT_TRUE(rs.Open(cn, "CHIAVI", "CHIAVI_01L").ok());
  EXPECT_TRUE(rs.BeforeFirst());
  EXPECT_TRUE(rs.AfterLast());
  EXPECT_EQ(rs.RecordCount(), 0);
  ASSERT_TRUE(rs.Seek({Value("VEN")}).ok());
  EXPECT_TRUE(rs.AfterLast());
  EXPECT_TRUE(rs.Field("TESTO").is_null());
  EXPECT_EQ(rs.MoveNext().number(), kNoCurrentRecord);
}

TEST_F(TableTest, SeekOnAKeyPrefixFindsTheFirstInIndexOrderAndWalksOn) {
  ASSERT_TRUE(rs.Open(cn, "CHIAVI", "CHIAVI_01L").ok());
  Add("VEN", 3, "v3");
  Add("ACQ", 1, "a1");
  Add("VEN", 1, "v1");
  Add("ZZZ", 1, "z1");
  Add("VEN", 2, "v2");
  Add("VEN", 1, "v1 second");  // a duplicate key stays after the first
  ASSERT_TRUE(rs.Seek({Value("VEN")}).ok());
  EXPECT_FALSE(rs.BeforeFirst());
  EXPECT_EQ(WalkTexts(), (std::vector<std::string>{"v1", "v1 second", "v2", "v3", "z1"}));
  ASSERT_TRUE(rs.Seek({Value("VEN"), Value(2)}).ok());
  EXPECT_EQ(rs.Field("TESTO").AsText(), "v2");
  ASSERT_TRUE(rs.Seek({Value("VEN"), Value(9)}).ok());
  EXPECT_TRUE(rs.AfterLast());
  EXPECT_FALSE(rs.BeforeFirst());
  ASSERT_TRUE(rs.MoveLast().ok());
  EXPECT_EQ(rs.Field("TESTO").AsText(), "z1");
  ASSERT_TRUE(rs.MovePrevious().ok());
  EXPECT_EQ(rs.Field("TESTO").AsText(), "v3");
  ASSERT_TRUE(rs.MoveFirst().ok());
  ASSERT_TRUE(rs.MovePrevious().ok());
  EXPECT_TRUE(rs.BeforeFirst());
  EXPECT_FALSE(rs.AfterLast());
  EXPECT_EQ(rs.RecordCount(), 6);
}

TEST_F(TableTest, SeekComparesWithoutCaseAndTrailingBlanks) {
  ASSERT_TRUE(rs.Open(cn, "CHIAVI", "CHIAVI_01L").ok());
  Add("ABC", 1, "upper");
  Add("perch\xE9", 1, "accent");  // cp1252 text inside the program
  struct Case {
    const char* key;
    const char* found;  // nullptr: EOF
  } cases[] = {
      {"abc", "upper"},
      {"ABC       ", "upper"},  // blank-padded as read from a work file
      {"aBc ", "upper"},
      {"PERCH\xC9", "accent"},  // É finds é
      {"perche", nullptr},      // but accents still count
      {" ABC", nullptr},        // leading blanks count
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(rs.Seek({Value(c.key), Value(1)}).ok());
    if (c.found) EXPECT_EQ(rs.Field("TESTO").AsText(), c.found) << c.key;
    else EXPECT_TRUE(rs.AfterLast()) << c.key;
  }
}

TEST_F(TableTest, SqlComparisonsAndOrderFollowTheSameRules) {
  ASSERT_TRUE(cn.Execute("INSERT INTO CHIAVI VALUES ('b', 1, 'x'), ('A', 1, 'x'), ('\xE9', 1, 'x'), "
                         "('e', 1, 'x'), ('C', 1, 'x'), ('f', 1, 'x')")
                  .ok());
  auto count = [&](const std::string& where) {
    std::unique_ptr<Statement> st;
    EXPECT_TRUE(cn.Prepare("SELECT count(*) FROM CHIAVI WHERE " + where, &st).ok());
    bool row = false;
    EXPECT_TRUE(st->Step(&row).ok());
    return st->Read(0).AsInteger();
  };
  EXPECT_EQ(count("SINF = 'B   '"), 1);
  EXPECT_EQ(count("SINF IN ('a', 'c ')"), 2);
  EXPECT_EQ(count("SINF BETWEEN 'a' AND 'C'"), 3);
  EXPECT_EQ(count("SINF = '\xC9'"), 1);  // É equals é
  EXPECT_EQ(count("SINF = 'E'"), 1);
  ASSERT_TRUE(rs.Open(cn, "CHIAVI", "CHIAVI_01L").ok());
  std::string order;
  while (!rs.AfterLast()) {
    order += rs.Field("SINF").text() + ",";
    ASSERT_TRUE(rs.MoveNext().ok());
  }
  EXPECT_EQ(order, "A,b,C,e,\xE9,f,");  // é after e, before f; case ignored
}

TEST_F(TableTest, DeletingDuringAWalkVisitsEveryOtherRowOnce) {
  ASSERT_TRUE(rs.Open(cn, "CHIAVI", "CHIAVI_01L").ok());
  ASSERT_TRUE(cn.BeginTransaction().ok());
  for (int i = 0; i < 3000; ++i) Add("S", Value(i % 1000), Value(std::to_string(i)));
  ASSERT_TRUE(cn.Commit().ok());
  // Walk the whole index (batches of growing size), deleting the odd keys.
  ASSERT_TRUE(cn.BeginTransaction().ok());
  ASSERT_TRUE(rs.MoveFirst().ok());
  int visited = 0, last_key = -1;
  while (!rs.AfterLast()) {
    int key = static_cast<int>(rs.Field("IDX").AsInteger());
    EXPECT_GE(key, last_key);
    last_key = key;
    ++visited;
    if (key % 2) {
      ASSERT_TRUE(rs.Delete().ok());
      EXPECT_TRUE(rs.Field("IDX").is_null());
    }
    ASSERT_TRUE(rs.MoveNext().ok());
  }
  EXPECT_EQ(visited, 3000);
  ASSERT_TRUE(cn.Commit().ok());
  cn.Close();
  EXPECT_EQ(RawQuery(path, "SELECT count(*), sum(IDX % 2) FROM CHIAVI"), (Rows{{"1500", "0"}}));
}

TEST_F(TableTest, EditingTheCurrentRowAndMovingSavesItCancelRestores) {
  ASSERT_TRUE(rs.Open(cn, "CHIAVI", "CHIAVI_01L").ok());
  Add("A", 1, "one");
  Add("A", 2, "two");
  ASSERT_TRUE(rs.Seek({Value("A"), Value(1)}).ok());
  ASSERT_TRUE(rs.Set("TESTO", "changed").ok());
  ASSERT_TRUE(rs.MoveNext().ok());  // saves the change, as the original did
  EXPECT_EQ(rs.Field("TESTO").AsText(), "two");
  ASSERT_TRUE(rs.Set("TESTO", "not kept").ok());
  rs.CancelUpdate();
  EXPECT_EQ(rs.Field("TESTO").AsText(), "two");
  ASSERT_TRUE(rs.Update().ok());
  cn.Close();
  EXPECT_EQ(RawQuery(path, "SELECT TESTO FROM CHIAVI ORDER BY IDX"), (Rows{{"changed"}, {"two"}}));
}

// AddNew keeps the current row aside for CancelUpdate; after a Seek that found nothing there is
// none, and a cancelled new row leaves no current row and nothing written. Every new row starts
// all Null, whatever the row before it held.
TEST_F(TableTest, CancellingANewRowBringsBackTheRowThatWasCurrent) {
  ASSERT_TRUE(rs.Open(cn, "CHIAVI", "CHIAVI_01L").ok());
  Add("A", 1, "one");
  ASSERT_TRUE(rs.Seek({Value("A"), Value(1)}).ok());
  ASSERT_TRUE(rs.AddNew().ok());
  EXPECT_TRUE(rs.Field("TESTO").is_null());
  ASSERT_TRUE(rs.Set("TESTO", "not kept").ok());
  rs.CancelUpdate();
  EXPECT_EQ(rs.Field("TESTO").AsText(), "one");
  EXPECT_EQ(rs.Field("IDX"), Value(1));
  ASSERT_TRUE(rs.Seek({Value("B"), Value(1)}).ok());
  ASSERT_TRUE(rs.AfterLast());
  ASSERT_TRUE(rs.AddNew().ok());
  ASSERT_TRUE(rs.Set("TESTO", "not kept either").ok());
  rs.CancelUpdate();
  EXPECT_TRUE(rs.AfterLast());
  EXPECT_TRUE(rs.Field("TESTO").is_null());
  ASSERT_TRUE(rs.AddNew().ok());
  ASSERT_TRUE(rs.Set("SINF", "B").ok());
  ASSERT_TRUE(rs.Update().ok());
  EXPECT_TRUE(rs.Field("TESTO").is_null());
  ASSERT_TRUE(rs.MoveFirst().ok());
  EXPECT_EQ(WalkTexts(), (std::vector<std::string>{"one", ""}));
  cn.Close();
  EXPECT_EQ(RawQuery(path, "SELECT SINF, IDX, TESTO FROM CHIAVI ORDER BY rowid"),
            (Rows{{"A", "1", "one"}, {"B", "NULL", "NULL"}}));
}

// Fields are found by name in any order and any case.
TEST_F(TableTest, FieldsAreFoundByNameInAnyOrder) {
  ASSERT_TRUE(rs.Open(cn, "CHIAVI").ok());
  const std::pair<const char*, int> names[] = {{"SINF", 0}, {"idx", 1},  {"TESTO", 2}, {"SINF", 0}, {"testo", 2},
                                               {"IDX", 1},  {"IDX", 1},  {"NONE", -1}, {"Testo", 2}, {"", -1},
                                               {"sinf", 0}, {"SINF ", -1}};
  for (const auto& [name, expected] : names) EXPECT_EQ(rs.FieldIndex(name), expected) << name;
}

TEST_F(TableTest, TooWideTextAndInt16OverflowAreRefusedByTheLayerAndBySql) {
  ASSERT_TRUE(rs.Open(cn, "CHIAVI", "CHIAVI_01L").ok());
  ASSERT_TRUE(rs.AddNew().ok());
  EXPECT_EQ(rs.Set("SINF", "ELEVENCHARS").number(), kFieldTooSmall);
  EXPECT_EQ(rs.Set("IDX", 32768).number(), kNumericOverflow);
  EXPECT_EQ(rs.Set("IDX", -32769).number(), kNumericOverflow);
  EXPECT_EQ(rs.Set("IDX", "abc").number(), kTypeMismatch);
  EXPECT_TRUE(rs.Set("IDX", -32768).ok());
  EXPECT_TRUE(rs.Set("IDX", "  12 ").ok());  // a numeric text is converted
  EXPECT_EQ(rs.Field("IDX"), Value(12));
  EXPECT_TRUE(rs.Set("SINF", "TENCHARS..").ok());
  ASSERT_TRUE(rs.Update().ok());

  Status wide = cn.Execute("INSERT INTO CHIAVI (SINF) VALUES ('ELEVENCHARS')");
  EXPECT_EQ(wide.number(), kFieldTooSmall) << wide.ToString();
  EXPECT_NE(wide.description().find("SINF"), std::string::npos);
  Status big = cn.Execute("UPDATE CHIAVI SET IDX = 40000");
  EXPECT_EQ(big.number(), kNumericOverflow) << big.ToString();
  cn.Close();
  EXPECT_EQ(RawQuery(path, "SELECT SINF, IDX FROM CHIAVI"), (Rows{{"TENCHARS..", "12"}}));
}

// A loader reuses its values and the recordset's row from one row to the next, and the
// statements read the row's texts in place: every row stored must still be exactly the one set,
// whether its texts changed in place (same length), grew, shrank, went Null or left ASCII.
TEST_F(TableTest, RowsSetFromReusedValuesAreStoredAsSetEachTime) {
  ASSERT_TRUE(rs.Open(cn, "CHIAVI", "CHIAVI_01L").ok());
  const std::vector<Value> testi = {Value("row 1"), Value("row 2"), Value("a much longer text of the row"), Value(),
                                    Value("caf\xE9"), Value("cafe"), Value(""), Value("row 3"), Value("row 4"),
                                    Value(std::string("nul\0in", 6))};
  Value chiave[2];
  ASSERT_TRUE(cn.BeginTransaction().ok());
  for (size_t i = 0; i < testi.size(); ++i) {
    chiave[0].AssignText(std::string("K") + static_cast<char>('0' + i));
    chiave[1].AssignInteger(static_cast<int64_t>(i));
    ASSERT_TRUE(rs.Seek(chiave, 2).ok());
    ASSERT_TRUE(rs.AfterLast()) << i;
    ASSERT_TRUE(rs.AddNew().ok());
    ASSERT_TRUE(rs.Set(0, chiave[0]).ok());
    ASSERT_TRUE(rs.Set(1, chiave[1]).ok());
    if (testi[i].is_null()) ASSERT_TRUE(rs.Set(2, testi[i]).ok());
    else ASSERT_TRUE(rs.SetText(2, testi[i].text()).ok());
    ASSERT_TRUE(rs.Update().ok());
  }
  // The same key values, changed in place, find each row again; changing a found row goes
  // through the same in-place reading.
  for (size_t i = 0; i < testi.size(); ++i) {
    chiave[0].AssignText(std::string("k") + static_cast<char>('0' + i));
    chiave[1].AssignInteger(static_cast<int64_t>(i));
    ASSERT_TRUE(rs.Seek(chiave, 2).ok());
    ASSERT_FALSE(rs.AfterLast()) << i;
    EXPECT_EQ(rs.Field(2), testi[i]) << i;
    if (i % 2 == 0) {
      ASSERT_TRUE(rs.SetText("TESTO", i == 4 ? std::string_view("CAF\xC9") : std::string_view("even")).ok());
      ASSERT_TRUE(rs.Update().ok());
    }
  }
  ASSERT_TRUE(cn.Commit().ok());
  cn.Close();
  EXPECT_EQ(RawQuery(path, "SELECT SINF, IDX, TESTO FROM CHIAVI ORDER BY rowid"),
            (Rows{{"K0", "0", "even"},
                  {"K1", "1", "row 2"},
                  {"K2", "2", "even"},
                  {"K3", "3", "NULL"},
                  {"K4", "4", "CAF\xC3\x89"},
                  {"K5", "5", "cafe"},
                  {"K6", "6", "even"},
                  {"K7", "7", "row 3"},
                  {"K8", "8", "even"},
                  {"K9", "9", "nul"}}));
  // A text holding a NUL is stored whole, not cut at the NUL.
  EXPECT_EQ(RawQuery(path, "SELECT hex(TESTO) FROM CHIAVI WHERE rowid = 10"), (Rows{{"6E756C00696E"}}));
}

TEST_F(TableTest, SetTextChecksAsSetDoes) {
  ASSERT_TRUE(rs.Open(cn, "CHIAVI", "CHIAVI_01L").ok());
  EXPECT_EQ(rs.SetText("SINF", "A").number(), kNoCurrentRecord);
  ASSERT_TRUE(rs.AddNew().ok());
  EXPECT_EQ(rs.SetText("SINF", "ELEVENCHARS").number(), kFieldTooSmall);
  EXPECT_EQ(rs.SetText("NONE", "A").number(), kItemNotFound);
  EXPECT_EQ(rs.SetText(7, "A").number(), kItemNotFound);
  EXPECT_EQ(rs.SetText("IDX", "abc").number(), kTypeMismatch);
  EXPECT_TRUE(rs.SetText("IDX", " 12 ").ok());  // a numeric text is converted
  EXPECT_EQ(rs.Field("IDX"), Value(12));
  EXPECT_TRUE(rs.SetText("SINF", "TENCHARS..").ok());
  ASSERT_TRUE(rs.Update().ok());
  cn.Close();
  EXPECT_EQ(RawQuery(path, "SELECT SINF, IDX, TESTO FROM CHIAVI"), (Rows{{"TENCHARS..", "12", "NULL"}}));
}

TEST_F(TableTest, NullsRoundTripAndNullKeysSortFirst) {
  ASSERT_TRUE(rs.Open(cn, "CHIAVI", "CHIAVI_01L").ok());
  Add("B", Value(), "null idx");
  Add(Value(), 5, "null sinf");
  Add("B", 1, "b1");
  ASSERT_TRUE(rs.MoveFirst().ok());
  EXPECT_EQ(WalkTexts(), (std::vector<std::string>{"null sinf", "null idx", "b1"}));
  ASSERT_TRUE(rs.Seek({Value("B"), Value()}).ok());
  EXPECT_EQ(rs.Field("TESTO").AsText(), "null idx");
  EXPECT_TRUE(rs.Field("IDX").is_null());
  ASSERT_TRUE(rs.MoveNext().ok());
  EXPECT_EQ(rs.Field("TESTO").AsText(), "b1");
  ASSERT_TRUE(rs.MovePrevious().ok());
  EXPECT_EQ(rs.Field("TESTO").AsText(), "null idx");
  ASSERT_TRUE(rs.MovePrevious().ok());
  EXPECT_EQ(rs.Field("TESTO").AsText(), "null sinf");
}

TEST_F(TableTest, BadRequestsGiveClearErrors) {
  EXPECT_EQ(rs.Open(cn, "NOPE", "").number(), kItemNotFound);
  EXPECT_FALSE(rs.IsOpen());
  EXPECT_EQ(rs.Open(cn, "CHIAVI", "NO_INDEX").number(), kItemNotFound);
  ASSERT_TRUE(rs.Open(cn, "CHIAVI", "CHIAVI_01L").ok());
  EXPECT_EQ(rs.Seek({Value("A"), Value(1), Value(2)}).number(), kBadCriteria);
  EXPECT_EQ(rs.Set("NOPE", 1).number(), kItemNotFound);
  EXPECT_EQ(rs.Set("TESTO", "x").number(), kNoCurrentRecord);  // empty table, no row
  EXPECT_EQ(rs.Delete().number(), kNoCurrentRecord);
  cn.Close();
  EXPECT_FALSE(rs.IsOpen());
  EXPECT_EQ(rs.MoveFirst().number(), kNotOpen);
  EXPECT_TRUE(rs.AfterLast());
}

TEST_F(TableTest, AnOpenRecordsetDoesNotBlockDroppingAnotherTable) {
  Catalog cat(cn);
  ASSERT_TRUE(cat.CreateTable("DATI2", {Int16Field("A")}).ok());
  ASSERT_TRUE(rs.Open(cn, "CHIAVI", "CHIAVI_01L").ok());
  Add("A", 1, "x");
  Add("A", 2, "y");
  ASSERT_TRUE(rs.MoveFirst().ok());
  EXPECT_TRUE(cat.DropTable("DATI2").ok());
  ASSERT_TRUE(rs.MoveNext().ok());
  EXPECT_EQ(rs.Field("TESTO").AsText(), "y");
}

}  // namespace
}  // namespace kyx::data
