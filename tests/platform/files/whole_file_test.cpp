#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files/files.h"
#include "tests/support/unprivileged.h"
#include "tests/support/temp_dir.h"

namespace kyx::files {
namespace {

mode_t mode_of(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mode & 0777;
}

TEST(WholeFile, AtomicWriteReplacesAndLeavesNoTemporaryFile) {
  test::TempDir dir;
  const std::string path = dir.file("KYX.INI");
  std::string bytes(1 << 20, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
  ASSERT_TRUE(write_file_atomic(path, bytes));
  std::string back;
  ASSERT_TRUE(read_file(path, back));
  EXPECT_EQ(back, bytes);

  ASSERT_TRUE(write_file_atomic(path, "new", true));
  EXPECT_EQ(dir.read("KYX.INI"), "new");
  EXPECT_EQ(mode_of(path), 0600u);
  // A later ordinary write keeps the file private: it holds what it held.
  ASSERT_TRUE(write_file_atomic(path, "newer"));
  EXPECT_EQ(mode_of(path), 0600u);
  ::chmod(path.c_str(), 0640);
  ASSERT_TRUE(write_file_atomic(path, "newest"));
  EXPECT_EQ(mode_of(path), 0640u);

  EXPECT_EQ(list_files(dir.path(), ".*"), std::vector<std::string>{});
  EXPECT_FALSE(read_file(dir.file("missing"), back));
  EXPECT_TRUE(back.empty());
  EXPECT_FALSE(read_file(dir.path(), back));  // a folder is not a file
  EXPECT_FALSE(write_file_atomic(dir.file("no/such/folder/x"), "x"));
  EXPECT_FALSE(write_file_atomic(dir.path(), "x"));
}

TEST(WholeFile, WriteThroughSymbolicLinkReplacesTheTarget) {
  test::TempDir dir;
  make_folder(dir.file("real"));
  dir.write("real/KYX.INI", "old");
  ASSERT_EQ(::symlink("real/KYX.INI", dir.file("KYX.INI").c_str()), 0);
  ASSERT_TRUE(write_file_atomic(dir.file("KYX.INI"), "new"));
  EXPECT_EQ(dir.read("real/KYX.INI"), "new");
  struct stat st {};
  ASSERT_EQ(::lstat(dir.file("KYX.INI").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST(WholeFile, ReadOnlyFileOrFolderIsNotReplaced) {
  test::TempDir dir;
  ::chmod(dir.path().c_str(), 0755);
  make_folder(dir.file("open"));
  ::chmod(dir.file("open").c_str(), 0777);  // the folder would allow a rename over the file
  dir.write("open/KYX.INI", "keep");
  ::chmod(dir.file("open/KYX.INI").c_str(), 0444);
  test::give_to_child(dir.file("open/KYX.INI"));
  make_folder(dir.file("closed"));
  dir.write("closed/KYX.INI", "keep");
  test::give_to_child(dir.file("closed/KYX.INI"));
  ::chmod(dir.file("closed").c_str(), 0555);

  EXPECT_EQ(test::run_unprivileged([&] { return write_file_atomic(dir.file("open/KYX.INI"), "x"); }), 1);
  EXPECT_EQ(test::run_unprivileged([&] { return write_file_atomic(dir.file("closed/KYX.INI"), "x"); }), 1);
  EXPECT_EQ(dir.read("open/KYX.INI"), "keep");
  EXPECT_EQ(dir.read("closed/KYX.INI"), "keep");
  EXPECT_EQ(list_files(dir.file("open"), "*"), std::vector<std::string>{"KYX.INI"});
  EXPECT_EQ(list_files(dir.file("open"), ".*"), std::vector<std::string>{});
}

}  // namespace
}  // namespace kyx::files
