#include "platform/files/record_file.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/files/files.h"
#include "tests/support/temp_dir.h"

namespace kyx::files {
namespace {

TEST(RecordFile, RecordsCountFromOneAndShortTailIsNoRecord) {
  test::TempDir dir;
  const std::string path = dir.file("KYX_K.DAT");
  RecordFile f;
  ASSERT_TRUE(f.open(path, 4));
  EXPECT_TRUE(file_exists(path));  // created when missing
  EXPECT_EQ(f.record_count(), 0);
  std::string data = "stale";
  EXPECT_FALSE(f.read(1, data));
  EXPECT_TRUE(data.empty());

  ASSERT_TRUE(f.write(1, "AAAA"));
  ASSERT_TRUE(f.write(2, "BBBBBB"));  // cut to the record length
  ASSERT_TRUE(f.write(4, "D"));       // past the end: padded, the gap reads as NULs
  EXPECT_EQ(f.length(), 16);
  EXPECT_EQ(f.record_count(), 4);
  ASSERT_TRUE(f.read(2, data));
  EXPECT_EQ(data, "BBBB");
  ASSERT_TRUE(f.read(3, data));
  EXPECT_EQ(data, std::string(4, '\0'));
  ASSERT_TRUE(f.read(4, data));
  EXPECT_EQ(data, std::string("D\0\0\0", 4));
  EXPECT_FALSE(f.read(0, data));
  EXPECT_FALSE(f.read(5, data));
  EXPECT_FALSE(f.write(0, "x"));
  EXPECT_FALSE(f.write(INT64_MAX, "x"));  // offset beyond any file: refused, not wrapped

  ASSERT_TRUE(f.truncate(10));  // two records and a short tail
  EXPECT_EQ(f.record_count(), 2);
  EXPECT_FALSE(f.read(3, data));
  ASSERT_TRUE(f.write(1, "ZZZZ"));  // rewriting record 1 keeps the bytes after it
  EXPECT_EQ(f.length(), 10);
  f.close();
  EXPECT_EQ(dir.read("KYX_K.DAT"), std::string("ZZZZBBBB\0\0", 10));
}

TEST(RecordFile, ReadOnlyOpenNeverCreatesOrWrites) {
  test::TempDir dir;
  RecordFile f;
  EXPECT_FALSE(f.open(dir.file("missing.DAT"), 8, true));
  EXPECT_FALSE(f.error().empty());
  EXPECT_FALSE(file_exists(dir.file("missing.DAT")));
  EXPECT_FALSE(f.open(dir.file("x.DAT"), 0));
  EXPECT_FALSE(f.open(dir.path(), 8));  // a folder

  dir.write("KYX.DAT", "12345678abc");
  ASSERT_TRUE(f.open(dir.file("KYX.DAT"), 8, true));
  EXPECT_EQ(f.record_count(), 1);
  EXPECT_FALSE(f.write(1, "xxxxxxxx"));
  EXPECT_FALSE(f.error().empty());
  // Moving hands over the open file.
  RecordFile g = std::move(f);
  EXPECT_FALSE(f.is_open());
  std::string data;
  ASSERT_TRUE(g.read(1, data));
  EXPECT_EQ(data, "12345678");
  EXPECT_EQ(dir.read("KYX.DAT"), "12345678abc");
}

TEST(RecordFile, ExclusiveLockHoldsOffAnotherProcess) {
  test::TempDir dir;
  const std::string path = dir.file("KYX.DAT");
  RecordFile mine;
  ASSERT_TRUE(mine.open(path, 8));
  ASSERT_TRUE(mine.lock_exclusive());

  int to_child[2], from_child[2];
  ASSERT_EQ(::pipe(to_child), 0);
  ASSERT_EQ(::pipe(from_child), 0);
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    // The other process: a non-blocking try fails while the parent holds the lock; once told it
    // was released, the blocking lock succeeds.
    RecordFile other;
    char verdict = 'E';
    if (other.open(path, 8)) verdict = other.try_lock_exclusive() ? 'T' : 'F';
    char go;
    if (::write(from_child[1], &verdict, 1) != 1 || ::read(to_child[0], &go, 1) != 1) ::_exit(3);
    ::_exit(other.lock_exclusive() && other.write(1, "child") ? 0 : 1);
  }
  char verdict = 0;
  ASSERT_EQ(::read(from_child[0], &verdict, 1), 1);
  EXPECT_EQ(verdict, 'F');
  mine.unlock();
  ASSERT_EQ(::write(to_child[1], "g", 1), 1);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  for (int fd : {to_child[0], to_child[1], from_child[0], from_child[1]}) ::close(fd);
  std::string data;
  ASSERT_TRUE(mine.read(1, data));
  EXPECT_EQ(data, std::string("child\0\0\0", 8));
}

}  // namespace
}  // namespace kyx::files
