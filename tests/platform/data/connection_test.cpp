// Connections: the closed state, bad files, errors with number and text, transactions, prepared
// statements and the text encoding at the edge.
#include "platform/data/sqlite_connection.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/data/catalog.h"
#include "tests/platform/data/raw_sqlite.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unprivileged.h"

namespace kyx::data {
namespace {

using test::RawQuery;
using Rows = std::vector<std::vector<std::string>>;

TEST(Connection, ClosedStateIsVisibleAndEveryCallSaysSo) {
  SqliteConnection cn;
  EXPECT_FALSE(cn.IsOpen());
  EXPECT_EQ(cn.Execute("SELECT 1").number(), kNotOpen);
  std::unique_ptr<Statement> st;
  EXPECT_EQ(cn.Prepare("SELECT 1", &st).number(), kNotOpen);
  EXPECT_EQ(cn.BeginTransaction().number(), kNotOpen);
  EXPECT_TRUE(cn.Close().ok());
}

TEST(Connection, FilesThatAreNotDatabasesAreRefusedAndLeftUntouched) {
  test::TempDir dir;
  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"KYX_0.MDB", std::string("Standard Jet DB\0\0\0", 18) + std::string(2000, '\x55')},
      {"garbage.MDB", std::string(5000, '\xFF')},
      {"text.MDB", "not a database at all\r\n"},
  };
  for (const Case& c : cases) {
    dir.write(c.name, c.bytes);
    SqliteConnection cn;
    Status s = cn.Open(dir.file(c.name), OpenMode::kCreate);
    EXPECT_EQ(s.number(), kNotADatabase) << c.name << ": " << s.ToString();
    EXPECT_NE(s.description().find(c.name), std::string::npos);
    EXPECT_FALSE(cn.IsOpen());
    EXPECT_EQ(dir.read(c.name), c.bytes) << c.name;
  }
  SqliteConnection cn;
  EXPECT_EQ(cn.Open(dir.file("missing.MDB")).number(), kFileNotFound);
  EXPECT_EQ(dir.read("missing.MDB"), "");
}

TEST(Connection, ReadOnlyFolderGivesAClearError) {
  // Checked in a process that permissions bind (root writes anywhere).
  test::TempDir dir;
  ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
  ASSERT_EQ(::mkdir(dir.file("ro").c_str(), 0555), 0);
  const std::string path = dir.file("ro/KYX_3.MDB");
  EXPECT_EQ(test::run_unprivileged([&] {
              SqliteConnection cn;
              Status s = cn.Open(path, OpenMode::kCreate);
              return s.number() == kFileError && !cn.IsOpen();
            }),
            0);
}

TEST(Connection, ErrorsCarryTheEngineNumberAndDescription) {
  test::TempDir dir;
  SqliteConnection cn;
  ASSERT_TRUE(cn.Open(dir.file("KYX_0.MDB"), OpenMode::kCreate).ok());
  Status s = cn.Execute("SELECT * FROM NO_SUCH_TABLE");
  EXPECT_EQ(s.number(), 1);  // SQLITE_ERROR
  EXPECT_NE(s.description().find("NO_SUCH_TABLE"), std::string::npos);
  EXPECT_EQ(cn.Commit().number(), kNotSupported);
}

TEST(Connection, TransactionsCommitOrRollBackWholeBlocksThroughReusedStatements) {
  test::TempDir dir;
  std::string path = dir.file("KYX_2.MDB");
  SqliteConnection cn;
  ASSERT_TRUE(cn.Open(path, OpenMode::kCreate).ok());
  ASSERT_TRUE(Catalog(cn).CreateTable("T", {Int32Field("IDX"), TextField("K", 10)}).ok());
  std::unique_ptr<Statement> ins;
  ASSERT_TRUE(cn.Prepare("INSERT INTO T VALUES (?1, ?2)", &ins).ok());
  for (bool commit : {true, false}) {
    ASSERT_TRUE(cn.BeginTransaction().ok());
    EXPECT_TRUE(cn.InTransaction());
    EXPECT_EQ(cn.BeginTransaction().number(), kNotSupported);
    for (int i = 0; i < 100; ++i) {
      ASSERT_TRUE(ins->Bind(1, Value(i)).ok());
      ASSERT_TRUE(ins->Bind(2, Value(commit ? "citt\xE0" : "gone")).ok());
      ASSERT_TRUE(ins->Run().ok());
      EXPECT_EQ(ins->ChangedRows(), 1);
    }
    ASSERT_TRUE(commit ? cn.Commit().ok() : cn.Rollback().ok());
  }
  // A failing row inside a block fails alone; the block can still be committed.
  ASSERT_TRUE(cn.BeginTransaction().ok());
  ASSERT_TRUE(ins->Bind(2, Value("far too wide")).ok());
  EXPECT_EQ(ins->Run().number(), kFieldTooSmall);
  ASSERT_TRUE(cn.Commit().ok());
  EXPECT_EQ(ins->Bind(3, Value(1)).number(), kItemNotFound);
  ins.reset();
  cn.Close();
  // cp1252 "à" (0xE0) is stored as UTF-8 (C3 A0) and read back as cp1252.
  EXPECT_EQ(RawQuery(path, "SELECT count(*) FROM T NOT INDEXED"), (Rows{{"100"}}));
  EXPECT_EQ(RawQuery(path, "SELECT hex(K) FROM T NOT INDEXED LIMIT 1"), (Rows{{"63697474C3A0"}}));
}

TEST(Connection, RebuiltDurabilityKeepsRollbackAndGoesBackToFull) {
  test::TempDir dir;
  std::string path = dir.file("KYX_0.MDB");
  SqliteConnection cn;
  ASSERT_TRUE(cn.Open(path, OpenMode::kCreate).ok());
  ASSERT_TRUE(Catalog(cn).CreateTable("T", {Int32Field("IDX")}).ok());
  auto pragma = [&](const char* name) {
    std::unique_ptr<Statement> st;
    EXPECT_TRUE(cn.Prepare(std::string("PRAGMA ") + name, &st).ok());
    bool row = false;
    EXPECT_TRUE(st->Step(&row).ok());
    return row ? st->Read(0).AsText() : std::string();
  };
  const std::string journal = pragma("journal_mode"), synchronous = pragma("synchronous");
  ASSERT_TRUE(cn.SetDurability(Durability::kRebuilt).ok());
  EXPECT_EQ(pragma("journal_mode"), "memory");
  EXPECT_EQ(pragma("synchronous"), "0");
  // Not in the middle of a transaction; a rolled-back block leaves nothing behind.
  ASSERT_TRUE(cn.BeginTransaction().ok());
  EXPECT_EQ(cn.SetDurability(Durability::kFull).number(), kNotSupported);
  ASSERT_TRUE(cn.Execute("INSERT INTO T VALUES (1)").ok());
  ASSERT_TRUE(cn.Rollback().ok());
  ASSERT_TRUE(cn.BeginTransaction().ok());
  ASSERT_TRUE(cn.Execute("INSERT INTO T VALUES (2)").ok());
  ASSERT_TRUE(cn.Commit().ok());
  // Asking twice keeps the full settings of before.
  ASSERT_TRUE(cn.SetDurability(Durability::kRebuilt).ok());
  ASSERT_TRUE(cn.SetDurability(Durability::kFull).ok());
  EXPECT_EQ(pragma("journal_mode"), journal);
  EXPECT_EQ(pragma("synchronous"), synchronous);
  ASSERT_TRUE(cn.SetDurability(Durability::kFull).ok());
  EXPECT_EQ(pragma("journal_mode"), journal);
  cn.Close();
  EXPECT_EQ(RawQuery(path, "SELECT group_concat(IDX) FROM T"), (Rows{{"2"}}));
}

}  // namespace
}  // namespace kyx::data
