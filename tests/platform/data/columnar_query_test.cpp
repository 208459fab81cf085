// The columnar copy of a data-set table against SQLite itself: random filters and layouts of the
// engine's query shapes give the same rows, in the same order, with the same Nulls, under the JET
// collation (case, trailing blanks, accented letters); a copy never answers from stale data; texts
// outside the grammar are left to SQLite.
#include "platform/data/columnar_query.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/data/catalog.h"
#include "platform/data/collation.h"
#include "platform/data/columnar_cache.h"
#include "platform/data/compaction.h"
#include "platform/data/sqlite_connection.h"
#include "platform/data/static_recordset.h"
#include "tests/support/temp_dir.h"

namespace kyx::data {
namespace {

using Rows = std::vector<std::vector<Value>>;

class ColumnarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ColumnarCache::Clear();
    ASSERT_TRUE(cn.Open(path, OpenMode::kCreate).ok());
    ASSERT_TRUE(Catalog(cn)
                    .CreateTable("KYX_D0_00F_S1", {Int32Field("IDX"), TextField("K_001", 6), TextField("K_002", 6),
                                                   TextField("K_003", 2), DoubleField("V_001_01"),
                                                   DoubleField("V_001_02")})
                    .ok());
  }
  void TearDown() override {
    ColumnarCache::Clear();
    ColumnarCache::SetRowsPerPart(250000);
  }

  void Insert(int idx, const Value& a, const Value& b, const Value& c, const Value& v1, const Value& v2) {
    std::unique_ptr<Statement> st;
    ASSERT_TRUE(cn.Prepare("INSERT INTO KYX_D0_00F_S1 VALUES (?,?,?,?,?,?)", &st).ok());
    const Value vals[] = {Value(idx), a, b, c, v1, v2};
    for (int i = 0; i < 6; ++i) ASSERT_TRUE(st->Bind(i + 1, vals[i]).ok());
    ASSERT_TRUE(st->Run().ok());
  }

  static Rows FromSqlite(Connection& c, const std::string& sql) {
    StaticRecordset rs;
    const Status s = rs.Open(c, sql);
    EXPECT_TRUE(s.ok()) << sql << ": " << s.ToString();
    Rows rows;
    if (rs.RecordCount() > 0 && rs.MoveFirst().ok()) {
      for (; !rs.AfterLast(); (void)rs.MoveNext()) {
        std::vector<Value> r;
        for (int i = 0; i < rs.FieldCount(); ++i) r.push_back(rs.Field(i));
        rows.push_back(r);
      }
    }
    return rows;
  }

  // Equal to the bit and the byte: the same kinds, numbers of the same bits (so added in the same
  // order), texts of the same bytes (a group spelt as its first row spells it), Null only
  // against Null.
  static void ExpectSame(const Rows& ours, const Rows& theirs, const std::string& sql) {
    ASSERT_EQ(ours.size(), theirs.size()) << sql;
    for (size_t r = 0; r < ours.size(); ++r) {
      ASSERT_EQ(ours[r].size(), theirs[r].size()) << sql;
      for (size_t i = 0; i < ours[r].size(); ++i) {
        const Value& a = ours[r][i];
        const Value& b = theirs[r][i];
        ASSERT_EQ(a.kind(), b.kind()) << sql << " row " << r << " item " << i;
        if (a.kind() == Value::Kind::Double) {
          uint64_t x = 0, y = 0;
          const double da = a.real(), db = b.real();
          std::memcpy(&x, &da, sizeof x);
          std::memcpy(&y, &db, sizeof y);
          ASSERT_EQ(x, y) << sql << " row " << r << " item " << i << ": " << da << " / " << db;
        } else if (a.kind() == Value::Kind::Integer) {
          ASSERT_EQ(a.integer(), b.integer()) << sql << " row " << r << " item " << i;
        } else if (a.kind() == Value::Kind::Text) {
          ASSERT_EQ(a.text(), b.text()) << sql << " row " << r << " item " << i;
        }
      }
    }
  }

  test::TempDir dir;
  std::string path = dir.file("KYX_2.MDB");
  SqliteConnection cn;
};

std::string Quote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("''") : std::string(1, c);
  return out + "'";
}

TEST_F(ColumnarTest, RandomQueriesOfTheEngineGiveSqlitesRows) {
  // Codes that the collation groups together or orders around accents, trailing blanks and case;
  // Null keys and values too.
  const std::vector<std::vector<std::string>> codes = {
      {"NORD", "nord", "Nord ", "SUD", "EST", "\xC9ST", "\xE9st", "O'V"},
      {"A01", "a01", "A02", "B10", "b10  ", "C3", "\xC0" "X"},
      {"01", "02", "03", "10", "11"}};
  std::mt19937 rng(12345);
  auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
  ASSERT_TRUE(cn.BeginTransaction().ok());
  for (int i = 1; i <= 3000; ++i) {
    Value k[3];
    for (int c = 0; c < 3; ++c) k[c] = pick(40) == 0 ? Value::Null() : Value(codes[c][pick(codes[c].size())]);
    const Value v1 = pick(30) == 0 ? Value::Null() : Value(static_cast<double>(pick(100000)) / 100.0);
    const Value v2 = pick(30) == 0 ? Value::Null() : Value(static_cast<double>(pick(1000)) - 300.0);
    Insert(i, k[0], k[1], k[2], v1, v2);
  }
  ASSERT_TRUE(cn.Commit().ok());
  // Read in four parts on connections of their own, whose dictionaries are merged.
  ColumnarCache::SetRowsPerPart(700);

  const std::vector<std::string> literals = {"NORD", "nord ", "\xE9ST", "A01", "b10", "02", "ZZZ", "O'V", "C", "A"};
  auto condition = [&](int key) {
    const std::string col = "k_00" + std::to_string(key + 1);
    auto list = [&] {
      std::string l;
      const size_t n = 1 + pick(3);
      for (size_t i = 0; i < n; ++i) l += (i ? "," : "") + Quote(pick(2) ? codes[static_cast<size_t>(key)][pick(codes[static_cast<size_t>(key)].size())] : literals[pick(literals.size())]);
      return l;
    };
    auto between = [&] {
      std::string a = literals[pick(literals.size())], b = literals[pick(literals.size())];
      return col + " between " + Quote(a) + " and " + Quote(b);
    };
    switch (pick(4)) {
      case 0: return "(" + col + " in(" + list() + "))";
      case 1: return "(" + col + " not in(" + list() + "))";
      case 2: return "((" + col + " in(" + list() + ") or " + between() + "))";
      default: return "((" + between() + ") and " + col + " not in(" + list() + "))";
    }
  };
  for (int round = 0; round < 300; ++round) {
    // Row levels: up to three keys in some order, maybe the slot placeholder among them.
    std::vector<int> keys = {0, 1, 2};
    std::shuffle(keys.begin(), keys.end(), rng);
    keys.resize(pick(4));
    std::string select, group;
    for (size_t i = 0; i < keys.size(); ++i) {
      const std::string col = "k_00" + std::to_string(keys[i] + 1);
      if (i == 1 && pick(3) == 0) select += "'ii',";
      select += col + ",";
      group += (group.empty() ? "" : ",") + col;
    }
    const bool only_keys = !keys.empty() && pick(5) == 0;  // a key element's query
    std::string items;
    if (only_keys) {
      items = select.substr(0, select.size() - 1);
    } else {
      items = select + (pick(2) ? "sum(V_001_01+V_001_02)" : "sum(V_001_01), sum(V_001_02),  0  ");
      if (pick(3) == 0) items += ",'\xBF\xBF'";
    }
    std::string where;
    for (int key = 0; key < 3; ++key)
      if (pick(3) == 0) where += (where.empty() ? "where " : " and ") + condition(key);
    const std::string head = only_keys ? "Select " : pick(2) ? "SELECT " : "sELECT ";
    std::string sql = head + items + " FROM KYX_D0_00F_S1 " + where + (group.empty() ? "" : " group by " + group);
    if (keys.size() == 1 && pick(2)) sql += " order by " + group;
    Rows ours;
    ASSERT_TRUE(AnswerFromColumnarCache(cn, sql, &ours)) << sql;
    ExpectSame(ours, FromSqlite(cn, sql), sql);
  }
}

TEST_F(ColumnarTest, ManyGroupsAndGapsBetweenRowsGiveSqlitesRows) {
  // Over a million possible groups (kept in a hash rather than in place), and rows deleted here
  // and there so that the parallel ranges hold different numbers of rows.
  ASSERT_TRUE(cn.BeginTransaction().ok());
  for (int i = 1; i <= 2400; ++i) {
    const std::string a = "A" + std::to_string(i % 1200), b = "b" + std::to_string((i * 7) % 1100);
    Insert(i, Value(a), Value(b), i % 5 ? Value(std::to_string(i % 3)) : Value::Null(), Value(i * 0.25),
           i % 11 ? Value(1.0) : Value::Null());
  }
  ASSERT_TRUE(cn.Execute("DELETE FROM KYX_D0_00F_S1 WHERE IDX BETWEEN 100 AND 700 OR IDX % 13 = 0").ok());
  ASSERT_TRUE(cn.Commit().ok());
  ColumnarCache::SetRowsPerPart(400);
  for (const char* sql : {
           "SELECT k_001,k_002,sum(V_001_01+V_001_02) FROM KYX_D0_00F_S1 group by k_001,k_002",
           "sELECT k_002,k_001,k_003,sum(V_001_01),sum(V_001_02) FROM KYX_D0_00F_S1 where k_003 not in('1') "
           "group by k_002,k_001,k_003",
           "SELECT k_003,sum(V_001_02) FROM KYX_D0_00F_S1 group by k_003 order by k_003",
           "SELECT sum(V_001_01) FROM KYX_D0_00F_S1 where k_001 in('nothing')",
       }) {
    Rows ours;
    ASSERT_TRUE(AnswerFromColumnarCache(cn, sql, &ours)) << sql;
    ExpectSame(ours, FromSqlite(cn, sql), sql);
  }
}

TEST_F(ColumnarTest, TextsInAValueColumnAddAsSqliteAddsThem) {
  // A value column keeps a text that is not a number as it came; one that is a number becomes it.
  Insert(1, Value("NORD"), Value("A01"), Value("01"), Value("x"), Value(1.0));
  Insert(2, Value("NORD"), Value("A01"), Value("01"), Value(2.5), Value(1.0));
  Insert(3, Value("SUD"), Value("A01"), Value("01"), Value(" 3 "), Value::Null());
  Insert(4, Value("EST"), Value("A01"), Value("01"), Value("x"), Value(1.0));
  for (const char* sql : {"SELECT k_001,sum(V_001_01) FROM KYX_D0_00F_S1 group by k_001",
                          "SELECT k_001,sum(V_001_01+V_001_02) FROM KYX_D0_00F_S1 group by k_001"}) {
    Rows ours;
    ASSERT_TRUE(AnswerFromColumnarCache(cn, sql, &ours)) << sql;
    ExpectSame(ours, FromSqlite(cn, sql), sql);
  }
}

TEST_F(ColumnarTest, TextsOutsideTheGrammarAreLeftToSqlite) {
  Insert(1, Value("NORD"), Value("A01"), Value("01"), Value(1.0), Value(2.0));
  Rows rows;
  for (const char* sql : {
           "SELECT k_001, V_001_01 FROM KYX_D0_00F_S1",                       // a value outside a sum
           "SELECT k_001, sum(V_001_01) FROM KYX_D0_00F_S1",                  // a key not grouped by
           "SELECT k_001 FROM KYX_D0_00F_S1",                                 // rows, not groups
           "SELECT sum(V_001_01) FROM KYX_D0_00F_S1 where k_001 = 'NORD'",    // another operator
           "SELECT sum(V_001_01) FROM KYX_D0_00F_S1 where k_001 in('A') or k_002 in('B')",  // or across keys
           "SELECT sum(V_009_01) FROM KYX_D0_00F_S1",                         // no such column
           "SELECT sum(V_001_01) FROM OTHER_TABLE",                           // no such table
           "SELECT sum(V_001_01) FROM KYX_D0_00F_S1 group by k_001 order by k_002",
           "SELECT k_001, sum(V_001_01) FROM KYX_D0_00F_S1 group by k_001 order by k_001 DESC",
           "SELECT sum(V_001_01) FROM KYX_D0_00F_S1 where k_001 in('A",       // an open literal
       })
    EXPECT_FALSE(AnswerFromColumnarCache(cn, sql, &rows)) << sql;
  ColumnarCache::SetEnabled(false);
  EXPECT_FALSE(AnswerFromColumnarCache(cn, "SELECT sum(V_001_01) FROM KYX_D0_00F_S1", &rows));
  ColumnarCache::SetEnabled(true);
}

TEST_F(ColumnarTest, AChangedDataSetIsNeverAnsweredFromTheOldCopy) {
  const std::string sql = "SELECT k_001,sum(V_001_01) FROM KYX_D0_00F_S1 group by k_001";
  Insert(1, Value("NORD"), Value("A01"), Value("01"), Value(1.0), Value(0.0));
  auto total = [&](Connection& c) {
    Rows rows;
    bool built = false;
    EXPECT_TRUE(ColumnarCache::Get(c, "KYX_D0_00F_S1", &built) != nullptr);
    EXPECT_TRUE(AnswerFromColumnarCache(c, sql, &rows));
    double t = 0;
    for (auto& r : rows) t += r[1].AsDouble();
    return std::make_pair(t, built);
  };
  EXPECT_EQ(total(cn), std::make_pair(1.0, true));
  EXPECT_EQ(total(cn), std::make_pair(1.0, false)) << "unchanged: the copy is kept";

  // Rows added and deleted through the same connection.
  Insert(2, Value("SUD"), Value("A02"), Value("02"), Value(5.0), Value(0.0));
  EXPECT_EQ(total(cn), std::make_pair(6.0, true));
  ASSERT_TRUE(cn.Execute("DELETE FROM KYX_D0_00F_S1 WHERE IDX = 1").ok());
  EXPECT_EQ(total(cn).first, 5.0);

  // Through another connection on the same file.
  {
    SqliteConnection other;
    ASSERT_TRUE(other.Open(path).ok());
    ASSERT_TRUE(other.Execute("INSERT INTO KYX_D0_00F_S1 (IDX, K_001, V_001_01) VALUES (3, 'EST', 10)").ok());
  }
  EXPECT_EQ(total(cn).first, 15.0);

  // The file recreated with other rows, and opened again.
  ASSERT_TRUE(cn.Close().ok());
  ASSERT_TRUE(DeleteDatabaseFile(path).ok());
  ASSERT_TRUE(cn.Open(path, OpenMode::kCreate).ok());
  ASSERT_TRUE(Catalog(cn).CreateTable("KYX_D0_00F_S1", {Int32Field("IDX"), TextField("K_001", 6), TextField("K_002", 6),
                                                        TextField("K_003", 2), DoubleField("V_001_01"),
                                                        DoubleField("V_001_02")})
                  .ok());
  Insert(1, Value("NORD"), Value("A01"), Value("01"), Value(7.0), Value(0.0));
  EXPECT_EQ(total(cn).first, 7.0);

  // Inside an open transaction the table may hold rows that are not committed: no copy then.
  ASSERT_TRUE(cn.BeginTransaction().ok());
  EXPECT_EQ(ColumnarCache::Get(cn, "KYX_D0_00F_S1"), nullptr);
  ASSERT_TRUE(cn.Rollback().ok());
}

TEST_F(ColumnarTest, OnlyTheTwoCopiesUsedLastAreKept) {
  for (const char* t : {"KYX_D0_00F_S2", "KYX_D0_00F_S3"})
    ASSERT_TRUE(Catalog(cn).CreateTable(t, {TextField("K_001", 4), DoubleField("V_001_01")}).ok());
  const auto built = [&](const char* table) {
    bool b = false;
    EXPECT_NE(ColumnarCache::Get(cn, table, &b), nullptr);
    return b;
  };
  EXPECT_TRUE(built("KYX_D0_00F_S1"));
  EXPECT_TRUE(built("KYX_D0_00F_S2"));
  EXPECT_FALSE(built("KYX_D0_00F_S1"));
  EXPECT_TRUE(built("KYX_D0_00F_S3")) << "S2, used least lately, makes room";
  EXPECT_FALSE(built("KYX_D0_00F_S1"));
  EXPECT_TRUE(built("KYX_D0_00F_S2"));
}

}  // namespace
}  // namespace kyx::data
