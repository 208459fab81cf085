// Compaction stopped after any step never loses the database.
#include "platform/data/compaction.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/data/catalog.h"
#include "platform/data/sqlite_connection.h"
#include "tests/platform/data/raw_sqlite.h"
#include "tests/support/temp_dir.h"

namespace kyx::data {
namespace {

using test::RawQuery;
using Rows = std::vector<std::vector<std::string>>;

class CompactionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SqliteConnection cn;
    ASSERT_TRUE(cn.Open(path, OpenMode::kCreate).ok());
    ASSERT_TRUE(Catalog(cn).CreateTable("KYX_DS_20F", {TextField("S_DS_STAT", 1), TextField("S_DS_CODI", 30)}).ok());
    ASSERT_TRUE(Catalog(cn).CreateIndex("KYX_DS_20F", "KYX_DS_21L", {"S_DS_CODI"}).ok());
    ASSERT_TRUE(cn.BeginTransaction().ok());
    std::unique_ptr<Statement> ins;
    ASSERT_TRUE(cn.Prepare("INSERT INTO KYX_DS_20F VALUES (?1, ?2)", &ins).ok());
    for (int i = 0; i < 2000; ++i) {
      ASSERT_TRUE(ins->Bind(1, Value(i % 2 ? "A" : " ")).ok());
      ASSERT_TRUE(ins->Bind(2, Value("CODE" + std::to_string(i))).ok());
      ASSERT_TRUE(ins->Run().ok());
    }
    ASSERT_TRUE(cn.Commit().ok());
    ASSERT_TRUE(cn.Execute("DELETE FROM KYX_DS_20F WHERE S_DS_STAT = 'A'").ok());
  }
  // The database opens through the layer and holds all its rows.
  void ExpectIntact() {
    SqliteConnection cn;
    ASSERT_TRUE(cn.Open(path).ok());
    cn.Close();
    EXPECT_EQ(RawQuery(path, "SELECT count(*) FROM KYX_DS_20F NOT INDEXED"), (Rows{{"1000"}}));
  }
  off_t Size(const std::string& p) {
    struct stat st;
    return ::stat(p.c_str(), &st) == 0 ? st.st_size : -1;
  }
  test::TempDir dir;
  std::string path = dir.file("KYX_1.MDB");
  std::string copy = dir.file("KYX_1_NEW.MDB");
};

TEST_F(CompactionTest, CompactsThroughTheNewCopyAndLeavesNoCopy) {
  off_t before = Size(path);
  ASSERT_TRUE(CompactDatabase(path).ok());
  EXPECT_LT(Size(path), before);
  EXPECT_EQ(Size(copy), -1);
  ExpectIntact();
  // Twice in a row gives the same database.
  ASSERT_TRUE(CompactDatabase(path).ok());
  ExpectIntact();
  SqliteConnection cn;
  ASSERT_TRUE(cn.Open(path).ok());
  std::vector<IndexInfo> indexes;
  ASSERT_TRUE(cn.ListIndexes("KYX_DS_20F", &indexes).ok());
  EXPECT_EQ(indexes, (std::vector<IndexInfo>{{"KYX_DS_21L", {"S_DS_CODI"}}}));
}

TEST_F(CompactionTest, StoppedAfterEachStepTheDatabaseIsThereAndTheNextRunFinishes) {
  for (CompactionStep stop : {CompactionStep::kLeftoverRemoved, CompactionStep::kCopied, CompactionStep::kReplaced}) {
    SCOPED_TRACE(static_cast<int>(stop));
    Status s = CompactDatabase(path, [&](CompactionStep step) { return step != stop; });
    EXPECT_FALSE(s.ok());
    ExpectIntact();
    EXPECT_TRUE(DatabaseFileExists(path));
    ASSERT_TRUE(CompactDatabase(path).ok());  // a leftover copy is replaced
    EXPECT_EQ(Size(copy), -1);
    ExpectIntact();
  }
}

TEST_F(CompactionTest, AMissingDatabaseIsRestoredFromItsCopyNeverRecreatedEmpty) {
  ASSERT_EQ(::rename(path.c_str(), copy.c_str()), 0);  // old file deleted, copy not yet renamed
  EXPECT_TRUE(DatabaseFileExists(path));
  EXPECT_EQ(Size(copy), -1);
  ExpectIntact();

  ASSERT_EQ(::rename(path.c_str(), copy.c_str()), 0);
  SqliteConnection cn;
  ASSERT_TRUE(cn.Open(path, OpenMode::kCreate).ok());  // even a create-mode open restores first
  cn.Close();
  ExpectIntact();
}

TEST_F(CompactionTest, ADamagedCopyIsNeitherRestoredNorReplacedByAnEmptyDatabase) {
  std::string bytes = dir.read("KYX_1.MDB");
  ASSERT_EQ(::unlink(path.c_str()), 0);
  dir.write("KYX_1_NEW.MDB", bytes.substr(0, 100));
  EXPECT_TRUE(DatabaseFileExists(path));  // so callers open (and report) instead of creating
  SqliteConnection cn;
  Status s = cn.Open(path, OpenMode::kCreate);
  EXPECT_EQ(s.number(), kNotADatabase) << s.ToString();
  EXPECT_FALSE(cn.IsOpen());
  EXPECT_EQ(Size(path), -1);
  EXPECT_EQ(dir.read("KYX_1_NEW.MDB"), bytes.substr(0, 100));
}

TEST(CompactionPath, NewCopyNameReplacesTheLastFourCharacters) {
  std::string copy;
  ASSERT_TRUE(CompactionCopyPath(" /d/KYX_0.MDB ", &copy).ok());
  EXPECT_EQ(copy, "/d/KYX_0_NEW.MDB");
  EXPECT_FALSE(CompactionCopyPath("abc", &copy).ok());
  EXPECT_EQ(CompactDatabase("/nonexistent/KYX_0.MDB").number(), kFileNotFound);
}

}  // namespace
}  // namespace kyx::data
