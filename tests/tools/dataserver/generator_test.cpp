// The sample generator: the same seed gives the same file, sizes scale, and the sample holds
// what the client's features need.
#include "tests/tools/dataserver/loopback.h"
#include "tools/dataserver/store.h"

namespace kyx::test {
namespace {

using namespace dataserver;

std::vector<std::string> Column(Store& store, const std::string& sql) {
  std::unique_ptr<data::Statement> st;
  EXPECT_TRUE(store.connection().Prepare(sql, &st).ok());
  std::vector<std::string> out;
  bool row = false;
  while (st && st->Step(&row).ok() && row) out.push_back(st->Read(0).AsText());
  return out;
}

TEST(Generator, SameSeedSameFileOtherSeedOtherFile) {
  TempDir dir;
  ASSERT_TRUE(GenerateSample(dir.file("a.db"), SizeOptions(SampleSize::kSmall, 42)).ok());
  ASSERT_TRUE(GenerateSample(dir.file("b.db"), SizeOptions(SampleSize::kSmall, 42)).ok());
  ASSERT_TRUE(GenerateSample(dir.file("c.db"), SizeOptions(SampleSize::kSmall, 43)).ok());
  const std::string a = dir.read("a.db");
  ASSERT_FALSE(a.empty());
  EXPECT_TRUE(a == dir.read("b.db"));
  EXPECT_FALSE(a == dir.read("c.db"));
  // Regenerating over an existing file replaces it.
  ASSERT_TRUE(GenerateSample(dir.file("c.db"), SizeOptions(SampleSize::kSmall, 42)).ok());
  EXPECT_TRUE(a == dir.read("c.db"));
}

TEST(Generator, SizesScale) {
  TempDir dir;
  int64_t small_rows = 0, medium_rows = 0, small_desc = 0, medium_desc = 0;
  {
    ASSERT_TRUE(GenerateSample(dir.file("s.db"), SizeOptions(SampleSize::kSmall, 1)).ok());
    Store s;
    ASSERT_TRUE(s.Open(dir.file("s.db")).ok());
    ASSERT_TRUE(s.Count("DATI_VENDITE", &small_rows).ok());
    ASSERT_TRUE(s.Count("DESCRIZIONI", &small_desc).ok());
  }
  {
    ASSERT_TRUE(GenerateSample(dir.file("m.db"), SizeOptions(SampleSize::kMedium, 1)).ok());
    Store m;
    ASSERT_TRUE(m.Open(dir.file("m.db")).ok());
    ASSERT_TRUE(m.Count("DATI_VENDITE", &medium_rows).ok());
    ASSERT_TRUE(m.Count("DESCRIZIONI", &medium_desc).ok());
  }
  EXPECT_EQ(small_rows, SizeOptions(SampleSize::kSmall, 1).sales_rows);
  EXPECT_EQ(medium_rows, SizeOptions(SampleSize::kMedium, 1).sales_rows);
  EXPECT_GT(medium_desc, 10 * small_desc);
  EXPECT_GT(SizeOptions(SampleSize::kLarge, 1).sales_rows, 1000000);
  SampleSize size;
  EXPECT_TRUE(ParseSize("medium", &size));
  EXPECT_EQ(size, SampleSize::kMedium);
  EXPECT_FALSE(ParseSize("huge", &size));
}

TEST(Generator, SampleHoldsWhatTheClientFeaturesNeed) {
  TempDir dir;
  ASSERT_TRUE(GenerateSample(dir.file("s.db"), SizeOptions(SampleSize::kSmall, 1)).ok());
  Store s;
  ASSERT_TRUE(s.Open(dir.file("s.db")).ok());
  EXPECT_EQ(Column(s, "SELECT GROUP_CONCAT(DISTINCT KINDB) FROM (SELECT KINDB FROM CHIAVI ORDER BY KINDB)"),
            std::vector<std::string>{"A,D,I,K"});
  EXPECT_EQ(Column(s, "SELECT GROUP_CONCAT(DISTINCT ATTR) FROM (SELECT ATTR FROM CHIAVI ORDER BY ATTR)"),
            std::vector<std::string>{"1,2,3,A,B,C,D,I,K"});
  EXPECT_FALSE(Column(s, "SELECT FORMATO FROM CHIAVI WHERE FORMATO LIKE '#MID(%'").empty());
  EXPECT_EQ(Column(s, "SELECT GROUP_CONCAT(DISTINCT STATO) FROM (SELECT STATO FROM DESCRIZIONI ORDER BY STATO)"),
            std::vector<std::string>{" ,A"});
  EXPECT_EQ(Column(s, "SELECT MAX(PROG) FROM DESCRIZIONI"), std::vector<std::string>{"16"});
  EXPECT_EQ(Column(s, "SELECT MAX(TEMPO) <= '" + std::string(sample::kLastChange) + "' FROM DESCRIZIONI"),
            std::vector<std::string>{"1"});
  // Two systems sharing part of their key map, both ways.
  EXPECT_EQ(Column(s, "SELECT COUNT(*) FROM MAPPA_CHIAVI WHERE SISTEMA <> ELENCATO"), std::vector<std::string>{"14"});
  // Layouts with levels, a column key, totals, a formula and drill rows.
  EXPECT_EQ(Column(s, "SELECT COUNT(*) FROM LAY_ELEM WHERE CALC LIKE '#L_(%' OR CALC LIKE '#R_(%'"),
            std::vector<std::string>{"14"});
  EXPECT_EQ(Column(s, "SELECT COUNT(*) FROM LAY_ELEM WHERE CALC LIKE '#C_(%'"), std::vector<std::string>{"2"});
  EXPECT_EQ(Column(s, "SELECT COUNT(*) FROM LAY_ELEM WHERE CALC LIKE 'c%' OR CALC LIKE '(c%'"),
            std::vector<std::string>{"2"});
  EXPECT_EQ(Column(s, "SELECT COUNT(*) FROM LAY_DRILL"), std::vector<std::string>{"2"});
  EXPECT_EQ(Column(s, "SELECT COUNT(*) FROM UTENTI"), std::vector<std::string>{"2"});
}

}  // namespace
}  // namespace kyx::test
