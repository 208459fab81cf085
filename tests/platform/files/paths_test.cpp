#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>

#include "platform/files/files.h"
#include "tests/support/temp_dir.h"

namespace kyx::files {
namespace {

TEST(NativePath, TurnsWindowsSeparatorsAndKeepsSpelling) {
  struct Case {
    const char* stored;
    const char* native;
  } cases[] = {
      {"\\Dati\\STORICO\\", "/Dati/STORICO/"},
      {"/home/u/Dati\\STORICO\\KYX_E_1.DAT", "/home/u/Dati/STORICO/KYX_E_1.DAT"},
      {"/opt/kyx/\\Dati\\\\EXPORT//x", "/opt/kyx/Dati/EXPORT/x"},
      {"\\\\server\\share", "/server/share"},
      {"KYX_0.MDB", "KYX_0.MDB"},
      {"Caf\xE9\\Dati", "Caf\xE9/Dati"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(native_path(c.stored), c.native) << c.stored;
}

// Sets or clears KYX_HOME for one test and puts the old value back.
class HomeVariable {
 public:
  HomeVariable() {
    if (const char* v = std::getenv("KYX_HOME")) saved_ = v;
  }
  ~HomeVariable() {
    if (saved_) {
      ::setenv("KYX_HOME", saved_->c_str(), 1);
    } else {
      ::unsetenv("KYX_HOME");
    }
  }

 private:
  std::optional<std::string> saved_;
};

TEST(ProgramFolder, HomeVariableOrExecutableFolder) {
  HomeVariable keep;
  ::setenv("KYX_HOME", "/srv/kyx", 1);
  EXPECT_EQ(program_folder(), "/srv/kyx/");
  ::setenv("KYX_HOME", "/srv\\kyx\\", 1);
  EXPECT_EQ(program_folder(), "/srv/kyx/");

  ::unsetenv("KYX_HOME");
  char exe[4096] = {};
  ASSERT_GT(::readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
  std::string expected = exe;
  expected.resize(expected.rfind('/') + 1);
  EXPECT_EQ(program_folder(), expected);
  ::setenv("KYX_HOME", "", 1);  // empty counts as unset
  EXPECT_EQ(program_folder(), expected);
}

TEST(FileTests, ExistenceLengthFoldersAndRemoval) {
  test::TempDir dir;
  dir.write("KYX.DAT", std::string(100, 'x'));
  const std::string file = dir.file("KYX.DAT");
  EXPECT_TRUE(file_exists(file));
  EXPECT_FALSE(folder_exists(file));
  EXPECT_EQ(file_length(file), 100);
  EXPECT_FALSE(file_exists(dir.path()));
  EXPECT_TRUE(folder_exists(dir.path()));
  EXPECT_EQ(file_length(dir.path()), -1);
  EXPECT_EQ(file_length(dir.file("missing")), -1);

  // A stored folder text in Windows form works as a path.
  const std::string nested = dir.path() + "\\Dati\\STORICO\\";
  EXPECT_TRUE(make_folder(nested));
  EXPECT_TRUE(folder_exists(dir.file("Dati/STORICO")));
  EXPECT_TRUE(make_folder(nested));  // already there
  EXPECT_FALSE(make_folder(file + "/sub"));

  EXPECT_TRUE(rename_file(file, nested + "KYX.BAK"));
  EXPECT_FALSE(file_exists(file));
  EXPECT_TRUE(remove_file(nested + "KYX.BAK"));
  EXPECT_TRUE(remove_file(nested + "KYX.BAK"));  // gone is gone
  EXPECT_FALSE(remove_file(dir.file("Dati")));   // never a folder
  EXPECT_TRUE(folder_exists(dir.file("Dati")));
}

}  // namespace
}  // namespace kyx::files
