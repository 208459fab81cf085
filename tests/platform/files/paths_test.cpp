#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

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

// Sets environment variables for one test and puts the old values back.
class Environment {
 public:
  void set(const char* name, const char* value) {
    if (!saved_.count(name)) {
      const char* old = std::getenv(name);
      saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    if (value) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~Environment() {
    for (const auto& [name, value] : saved_) {
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
  }

 private:
  std::map<std::string, std::optional<std::string>> saved_;
};

void set_time(const std::string& path, time_t t) {
  const timespec times[2] = {{t, 0}, {t, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

TEST(ProgramFolder, AnInstalledProgramKeepsItsFolderUnderTheUsersDataFolder) {
  test::TempDir dir;
  ASSERT_TRUE(make_folder(dir.file("prefix/bin")));
  ASSERT_TRUE(make_folder(dir.file("prefix/share/kyx")));
  ASSERT_TRUE(make_folder(dir.file("own")));
  const std::string bin = dir.file("prefix/bin");
  Environment env;
  env.set("KYX_HOME", nullptr);
  env.set("HOME", dir.path().c_str());
  struct Case {
    const char* xdg;
    std::string installed, own;
  } cases[] = {
      {nullptr, dir.file(".local/share/kyx/"), dir.file("own/")},
      {"", dir.file(".local/share/kyx/"), dir.file("own/")},
      {"relative/data", dir.file(".local/share/kyx/"), dir.file("own/")},  // not absolute: ignored
      {"/srv/data/", "/srv/data/kyx/", dir.file("own/")},
  };
  for (const Case& c : cases) {
    env.set("XDG_DATA_HOME", c.xdg);
    EXPECT_EQ(program_folder_for(bin), c.installed) << (c.xdg ? c.xdg : "unset");
    EXPECT_EQ(program_folder_for(bin + "/"), c.installed);
    // A folder of its own that the program may write stays its folder.
    EXPECT_EQ(program_folder_for(dir.file("own")), c.own);
  }
  EXPECT_EQ(shipped_folder_for(bin), bin + "/../share/kyx/");
  EXPECT_EQ(shipped_folder_for(dir.file("own")), dir.file("own/"));
  // KYX_HOME names the folder whatever the installation.
  env.set("KYX_HOME", "/srv/kyx");
  EXPECT_EQ(program_folder_for(bin), "/srv/kyx/");
}

TEST(ProgramFolder, TheUsersFolderIsCreatedWithTheShippedFilesAndKeepsNewerOnes) {
  test::TempDir dir;
  ASSERT_TRUE(make_folder(dir.file("prefix/bin")));
  ASSERT_TRUE(make_folder(dir.file("prefix/share/kyx")));
  const std::string bin = dir.file("prefix/bin");
  dir.write("prefix/share/kyx/KYX.Tbl", "table 1");
  dir.write("prefix/share/kyx/KYX.CHM", "help 1");
  set_time(dir.file("prefix/share/kyx/KYX.Tbl"), 1000000);
  set_time(dir.file("prefix/share/kyx/KYX.CHM"), 1000000);
  Environment env;
  env.set("KYX_HOME", nullptr);
  env.set("XDG_DATA_HOME", dir.file("data").c_str());
  std::string error;
  ASSERT_TRUE(prepare_program_folder(bin, error)) << error;
  const std::string own = dir.file("data/kyx/");
  EXPECT_EQ(dir.read("data/kyx/KYX.Tbl"), "table 1");
  EXPECT_EQ(dir.read("data/kyx/KYX.CHM"), "help 1");
  EXPECT_FALSE(exists(own + "Kyx_R.Tbl")) << "nothing shipped under that name";

  // A newer installation replaces the copies; a table the user put there later is kept.
  dir.write("prefix/share/kyx/KYX.Tbl", "table 2");
  dir.write("prefix/share/kyx/KYX.CHM", "help 2");
  set_time(dir.file("prefix/share/kyx/KYX.Tbl"), 2000000);
  set_time(dir.file("prefix/share/kyx/KYX.CHM"), 2000000);
  dir.write("data/kyx/KYX.Tbl", "the user's own table");
  set_time(own + "KYX.Tbl", 3000000);
  ASSERT_TRUE(prepare_program_folder(bin, error)) << error;
  EXPECT_EQ(dir.read("data/kyx/KYX.CHM"), "help 2");
  EXPECT_EQ(dir.read("data/kyx/KYX.Tbl"), "the user's own table");

  // A data folder that cannot be made is said.
  dir.write("blocked", "a file where the folder should be");
  env.set("XDG_DATA_HOME", dir.file("blocked").c_str());
  EXPECT_FALSE(prepare_program_folder(bin, error));
  EXPECT_NE(error.find(dir.file("blocked/kyx/")), std::string::npos) << error;

  // KYX_HOME and a folder of the program's own are left as they are.
  env.set("KYX_HOME", dir.file("home").c_str());
  EXPECT_TRUE(prepare_program_folder(bin, error));
  EXPECT_FALSE(exists(dir.file("home")));
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
