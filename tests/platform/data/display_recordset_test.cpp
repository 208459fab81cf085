// The client-side recordset as the grid uses it on large results: its sort order equals a stable
// sort by the recordset comparison (ties, Null, JET collation, trailing blanks, mixed kinds), its
// deletions mark rows and behave as erasing them would, edited cells read back, and a sorted,
// filtered, trimmed recordset saves exactly its visible rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "platform/data/criteria.h"
#include "platform/data/static_recordset.h"
#include "tests/platform/data/adtg_decoder.h"
#include "tests/support/temp_dir.h"

namespace kyx::data {
namespace {

// A fabricated recordset: field "id" (the row's number) and the given value columns.
void Fill(StaticRecordset& rs, const std::vector<std::vector<Value>>& rows, int columns) {
  rs.AppendField(Int32Field("id"));
  for (int c = 0; c < columns; ++c) rs.AppendField(FieldInfo{"v" + std::to_string(c), FieldType::Any, 0});
  ASSERT_TRUE(rs.OpenFabricated().ok());
  for (size_t i = 0; i < rows.size(); ++i) {
    ASSERT_TRUE(rs.AddNew().ok());
    ASSERT_TRUE(rs.Set(0, Value(static_cast<int64_t>(i))).ok());
    for (int c = 0; c < columns; ++c) ASSERT_TRUE(rs.Set(c + 1, rows[i][static_cast<size_t>(c)]).ok());
    ASSERT_TRUE(rs.Update().ok());
  }
}

std::vector<int64_t> Ids(StaticRecordset& rs) {
  std::vector<int64_t> ids;
  EXPECT_TRUE(rs.MoveFirst().ok());
  while (!rs.AfterLast()) {
    ids.push_back(rs.Field(0).AsInteger());
    EXPECT_TRUE(rs.MoveNext().ok());
  }
  return ids;
}

TEST(DisplaySort, EqualsAStableSortByTheRecordsetComparison) {
  // Small cases that name the rules: ties keep reading order, Null first (last descending), case
  // and trailing blanks ignored, an accented letter right after its plain one, numbers before
  // texts, -0 equal to 0.
  struct Case {
    std::vector<Value> values;
    const char* sort;
    std::vector<int64_t> ids;
  } cases[] = {
      {{"b", "A", "a  ", Value(), "\xC9", "e", "f", "ea"}, "v0", {3, 1, 2, 0, 5, 4, 7, 6}},
      {{"b", "A", "a  ", Value(), "\xC9", "e", "f", "ea"}, "v0 DESC", {6, 7, 4, 5, 0, 1, 2, 3}},
      {{"\xE9" "a", "eb", "EA", "ea "}, "v0", {2, 3, 0, 1}},  // plain letters first: \xE9a < eb
      {{"x", 2.5, Value(), int64_t{2}, -0.0, 0.0, "10"}, "v0 ASC", {2, 4, 5, 3, 1, 6, 0}},
      {{"ARTICOLO-00001b", "articolo-00001A", "ARTICOLO-00001\xE9", "articolo-00001E", "ARTICOLO-0000"}, "v0",
       {4, 1, 0, 3, 2}},
  };
  for (const Case& c : cases) {
    StaticRecordset rs;
    std::vector<std::vector<Value>> rows;
    for (const Value& v : c.values) rows.push_back({v});
    Fill(rs, rows, 1);
    ASSERT_TRUE(rs.SetSort(c.sort).ok());
    EXPECT_EQ(Ids(rs), c.ids) << c.sort << " on case with " << c.values.size() << " values";
  }

  // Random rows over a pool of such values, several keys: the order equals std::stable_sort with
  // CompareForSort, key by key.
  const std::vector<Value> pool = {Value(), 0.0, -0.0, int64_t{1}, 1.0, -3.5, 1e300, -std::numeric_limits<double>::infinity(),
                                   "", "   ", "abc", "ABC", "abc  ", "Abd", "\xE9" "clair", "Eclair", "eclairs", "fa",
                                   "ARTICOLO-000001x", "articolo-000001X", "ARTICOLO-000001\xC9", "ARTICOLO-000001e",
                                   std::string("a\0", 2), "a", "\x8Cuvre", "oeuvre", "Zz", "\x80uro"};
  std::mt19937 gen(7);
  std::vector<std::vector<Value>> rows(3000);
  for (auto& r : rows)
    for (int c = 0; c < 3; ++c) r.push_back(pool[gen() % pool.size()]);
  StaticRecordset rs;
  Fill(rs, rows, 3);
  for (const char* sort : {"v0", "v1 DESC", "v2 DESC, v0 ASC", "v0, v1 DESC, v2", "[v1] ASC, v2"}) {
    std::vector<SortKey> keys;
    ASSERT_TRUE(ParseSort(sort, [](std::string_view n) { return n[1] - '0' + 1; }, &keys).ok());
    std::vector<int64_t> want(rows.size());
    for (size_t i = 0; i < want.size(); ++i) want[i] = static_cast<int64_t>(i);
    std::stable_sort(want.begin(), want.end(), [&](int64_t a, int64_t b) {
      for (const SortKey& k : keys) {
        const int c = CompareForSort(rows[static_cast<size_t>(a)][static_cast<size_t>(k.field - 1)],
                                     rows[static_cast<size_t>(b)][static_cast<size_t>(k.field - 1)]);
        if (c != 0) return k.descending ? c > 0 : c < 0;
      }
      return false;
    });
    ASSERT_TRUE(rs.SetSort(sort).ok());
    EXPECT_EQ(Ids(rs), want) << sort;
  }
  ASSERT_TRUE(rs.SetSort("").ok());
  EXPECT_EQ(Ids(rs).front(), 0);
  EXPECT_FALSE(rs.SetSort("v9").ok());
}

// The recordset as it behaved when a deletion erased the row from the visible order: the model
// against which the marking one is checked.
struct ErasingModel {
  std::vector<int64_t> ids;
  int64_t pos = 0;
  bool deleted = false;
  int64_t n() const { return static_cast<int64_t>(ids.size()); }
  bool OnRow() const { return pos >= 0 && pos < n() && !deleted; }
  bool Bof() const { return n() == 0 || pos < 0; }
  bool Eof() const { return n() == 0 || pos >= n(); }
  void Land(int64_t p) {
    pos = std::clamp<int64_t>(p, -1, n());
    deleted = false;
  }
  int64_t Position() const { return pos < 0 || n() == 0 ? -2 : pos >= n() ? -3 : pos + 1; }
  void Find(int64_t above, int64_t skip, bool forward) {
    int64_t start = OnRow() ? pos : (forward ? (deleted ? pos : 0) : n() - 1);
    if (!OnRow() && forward && pos >= n()) start = n();
    start += forward ? skip : -skip;
    for (int64_t i = start; i >= 0 && i < n(); i += forward ? 1 : -1)
      if (ids[static_cast<size_t>(i)] > above) return Land(i);
    Land(forward ? n() : -1);
  }
};

TEST(DisplayDelete, MarkingBehavesAsErasingUnderRandomMovesAndFinds) {
  for (unsigned seed : {1u, 2u, 3u}) {
    std::mt19937 gen(seed);
    const int start_rows = 60;
    std::vector<std::vector<Value>> rows(start_rows, std::vector<Value>{Value("x")});
    StaticRecordset rs;
    Fill(rs, rows, 1);
    ErasingModel m;
    for (int i = 0; i < start_rows; ++i) m.ids.push_back(i);
    ASSERT_TRUE(rs.MoveFirst().ok());
    m.Land(0);
    int64_t next_id = start_rows;
    for (int step = 0; step < 400; ++step) {
      const int op = static_cast<int>(gen() % 9);
      std::string what;
      switch (op) {
        case 0:
          what = "MoveFirst";
          ASSERT_TRUE(rs.MoveFirst().ok());
          m.Land(m.n() == 0 ? m.n() : 0);
          break;
        case 1:
          what = "MoveLast";
          ASSERT_TRUE(rs.MoveLast().ok());
          m.Land(m.n() - 1);
          if (m.n() == 0) m.pos = 0;
          break;
        case 2:
        case 3:
          what = "MoveNext";
          EXPECT_EQ(rs.MoveNext().ok(), !m.Eof());
          if (!m.Eof()) m.Land(m.deleted ? m.pos : m.pos + 1);
          break;
        case 4:
          what = "MovePrevious";
          EXPECT_EQ(rs.MovePrevious().ok(), !m.Bof());
          if (!m.Bof()) m.Land(m.pos - 1);
          break;
        case 5:
        case 6:
          what = "Delete";
          EXPECT_EQ(rs.Delete().ok(), m.OnRow());
          if (m.OnRow()) {
            m.ids.erase(m.ids.begin() + m.pos);
            m.deleted = true;
          }
          break;
        case 7: {
          const int64_t above = static_cast<int64_t>(gen() % 70), skip = static_cast<int64_t>(gen() % 3);
          const bool forward = gen() % 2 == 0;
          what = "Find id > " + std::to_string(above) + " skip " + std::to_string(skip) + (forward ? " fwd" : " back");
          ASSERT_TRUE(rs.Find("id > " + std::to_string(above), skip, forward).ok());
          m.Find(above, skip, forward);
          break;
        }
        default:
          if (gen() % 4 == 0) {
            what = "AddNew";
            ASSERT_TRUE(rs.AddNew().ok());
            ASSERT_TRUE(rs.Set(0, Value(next_id)).ok());
            ASSERT_TRUE(rs.Update().ok());
            m.ids.push_back(next_id++);
            m.Land(m.n() - 1);
          } else if (m.n() > 0) {
            const int64_t p = 1 + static_cast<int64_t>(gen() % static_cast<unsigned>(m.n()));
            what = "AbsolutePosition " + std::to_string(p);
            ASSERT_TRUE(rs.SetAbsolutePosition(p).ok());
            m.Land(p - 1);
          }
      }
      SCOPED_TRACE("seed " + std::to_string(seed) + " step " + std::to_string(step) + ": " + what);
      ASSERT_EQ(rs.RecordCount(), m.n());
      ASSERT_EQ(rs.BeforeFirst(), m.Bof());
      ASSERT_EQ(rs.AfterLast(), m.Eof());
      ASSERT_EQ(rs.AbsolutePosition(), m.Position());
      ASSERT_EQ(rs.Field(0), m.OnRow() ? Value(m.ids[static_cast<size_t>(m.pos)]) : Value());
    }
    EXPECT_EQ(Ids(rs), m.ids);
    EXPECT_FALSE(rs.SetAbsolutePosition(m.n() + 1).ok());
    // A new sort or filter sees only the rows left.
    ASSERT_TRUE(rs.SetSort("id DESC").ok());
    std::vector<int64_t> desc(m.ids.rbegin(), m.ids.rend());
    EXPECT_EQ(Ids(rs), desc);
  }
}

TEST(DisplayDelete, DeletingEveryRowLeavesAnEmptyRecordset) {
  StaticRecordset rs;
  Fill(rs, std::vector<std::vector<Value>>(5, std::vector<Value>{Value(1.0)}), 1);
  // Always from the first row, the way a loop that empties a result goes.
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(rs.MoveFirst().ok());
    ASSERT_FALSE(rs.AfterLast());
    ASSERT_TRUE(rs.Delete().ok());
  }
  EXPECT_EQ(rs.RecordCount(), 0);
  EXPECT_TRUE(rs.BeforeFirst());
  EXPECT_TRUE(rs.AfterLast());
  EXPECT_FALSE(rs.Delete().ok());
  ASSERT_TRUE(rs.MoveLast().ok());
  EXPECT_TRUE(rs.AfterLast());
  EXPECT_EQ(rs.AbsolutePosition(), -2);
}

TEST(DisplayCells, EditsOfEveryKindReadBackAndResort) {
  StaticRecordset rs;
  Fill(rs, {{"long text of thirty characters"}, {"b"}, {2.0}, {Value()}}, 1);
  // Each edit: row (1-based position in reading order), new value.
  const std::vector<std::pair<int64_t, Value>> edits = {
      {1, "short"},                         // a shorter text over a longer one
      {2, "a much longer text than before"},  // a longer one
      {3, "c"},                             // a number becomes a text
      {1, Value(int64_t{-7})},              // a text becomes a number
      {4, std::string(300, 'z')},           // a null becomes a text longer than one length byte says
      {2, Value()},                         // a text becomes null
      {4, "zz"},
  };
  for (const auto& [row, value] : edits) {
    ASSERT_TRUE(rs.SetAbsolutePosition(row).ok());
    ASSERT_TRUE(rs.Set(1, value).ok());
    ASSERT_TRUE(rs.Update().ok());
  }
  const std::vector<Value> want = {Value(int64_t{-7}), Value(), "c", "zz"};
  ASSERT_TRUE(rs.MoveFirst().ok());
  for (const Value& w : want) {
    EXPECT_EQ(rs.Field(1), w);
    ASSERT_TRUE(rs.MoveNext().ok());
  }
  // The sort sees the edited values.
  ASSERT_TRUE(rs.SetSort("v0").ok());
  EXPECT_EQ(Ids(rs), (std::vector<int64_t>{1, 0, 2, 3}));
  ASSERT_TRUE(rs.SetFilter("v0 >= 'C'").ok());
  EXPECT_EQ(Ids(rs), (std::vector<int64_t>{2, 3}));
}

TEST(DisplaySave, TheVisibleRowsSaveInOrderAndReadBackEverywhere) {
  test::TempDir dir;
  StaticRecordset rs;
  rs.AppendField(TextField("c000", 12));
  rs.AppendField(DoubleField("c001"));
  ASSERT_TRUE(rs.OpenFabricated().ok());
  const std::vector<std::pair<const char*, Value>> rows = {
      {"0000012", 1.5}, {"0000022", Value()}, {"0000032", -2.0}, {"0000042", 40.0}, {"0000052", 3.0}};
  for (const auto& [key, value] : rows) {
    ASSERT_TRUE(rs.AddNew().ok());
    ASSERT_TRUE(rs.Set(0, Value(key)).ok());
    ASSERT_TRUE(rs.Set(1, value).ok());
    ASSERT_TRUE(rs.Update().ok());
  }
  ASSERT_TRUE(rs.SetSort("c001 DESC").ok());
  ASSERT_TRUE(rs.SetFilter("c000 <> '0000032'").ok());
  ASSERT_TRUE(rs.Find("c000 = '0000052'").ok());
  ASSERT_TRUE(rs.Delete().ok());
  ASSERT_TRUE(rs.Save(dir.file("r.dat")).ok());

  // An independent decoder of the published structure.
  const test::Decoded decoded = test::DecodeAdtg(dir.file("r.dat"));
  EXPECT_TRUE(decoded.ok) << decoded.out;
  EXPECT_EQ(decoded.out,
            "col c000 130 12 0 0 96\n"
            "col c001 5 8 15 0 112\n"
            "'0000042'|40.0\n"
            "'0000012'|1.5\n"
            "'0000022'|NULL\n"
            "ops 3 0 0 0\n");

  StaticRecordset back;
  ASSERT_TRUE(back.Load(dir.file("r.dat")).ok());
  EXPECT_EQ(back.RecordCount(), 3);
  ASSERT_TRUE(back.SetSort("c000").ok());
  std::vector<std::vector<Value>> got;
  ASSERT_TRUE(back.MoveFirst().ok());
  for (; !back.AfterLast(); (void)back.MoveNext()) got.push_back({back.Field(0), back.Field(1)});
  EXPECT_EQ(got, (std::vector<std::vector<Value>>{{"0000012", 1.5}, {"0000022", Value()}, {"0000042", 40.0}}));
}

}  // namespace
}  // namespace kyx::data
