// A file written in pieces: a write that fails midway (here the process's file-size limit, as a
// full disk would) leaves the old file whole and no temporary file behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/files/atomic_file.h"
#include "platform/files/files.h"
#include "tests/support/temp_dir.h"

namespace kyx::files {
namespace {

TEST(AtomicFile, AFailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
  test::TempDir dir;
  const std::string path = dir.file("export.txt");
  dir.write("export.txt", "old");
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    AtomicFile file;
    bool ok = file.open(path);
    for (int i = 0; i < 100 && ok; ++i) ok = file.write(std::string(1000, 'x'));
    // open worked, the writes or the commit must fail
    ::_exit(file.commit() ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the commit must report the failed write";
  EXPECT_EQ(dir.read("export.txt"), "old");
  EXPECT_TRUE(list_files(dir.path(), ".*").empty());

  // Written whole, in many pieces, it replaces the old file; dropped, it leaves nothing.
  {
    AtomicFile file;
    ASSERT_TRUE(file.open(path));
    for (int i = 0; i < 100; ++i) ASSERT_TRUE(file.write(std::string(1000, static_cast<char>('a' + i % 26))));
    EXPECT_EQ(dir.read("export.txt"), "old") << "nothing shows before the commit";
    ASSERT_TRUE(file.commit());
  }
  EXPECT_EQ(dir.read("export.txt").size(), 100000u);
  {
    AtomicFile file;
    ASSERT_TRUE(file.open(path));
    ASSERT_TRUE(file.write("half"));
  }
  EXPECT_EQ(dir.read("export.txt").size(), 100000u);
  EXPECT_TRUE(list_files(dir.path(), ".*").empty());
}

}  // namespace
}  // namespace kyx::files
