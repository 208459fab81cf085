#include <gtest/gtest.h>

#include "platform/files/files.h"
#include "tests/support/temp_dir.h"

namespace kyx::files {
namespace {

TEST(MatchesPattern, WindowsWildcards) {
  struct Case {
    std::string name;
    const char* pattern;
    bool match;
  } cases[] = {
      {"KYX_E_000123_1.DAT", "KYX_E_*.DAT", true},
      {"kyx_e_000123_1.dat", "KYX_E_*.DAT", true},  // case does not count
      {"KYX_E_1.DATA", "KYX_E_*.DAT", false},
      {"KYX_L_001.DAT", "KYX_L_???.DAT", true},
      {"KYX_L_01.DAT", "KYX_L_???.DAT", false},
      {"KYX_L_0001.DAT", "KYX_L_???.DAT", false},
      {"\xC0NNO.TXT", "\xE0*.txt", true},           // À and à
      {"\x8A.TXT", "\x9A.txt", true},                // Š and š
      {"\xD7.TXT", "\xF7.TXT", false},               // × and ÷ are not letters
      {"README", "*.*", true},                       // "*.*" is every file
      {"KYX", "KYX.*", true},                        // ".*" also means no extension
      {"KYX.INI", "KYX.*", true},
      {"KYX.INI", "KYX", false},
      {"a.b.c", "*.c", true},
      {"abc", "a*b*c*d", false},
      {"", "*", true},
      {std::string(200, 'a'), "*a*a*a*a*a*a*a*a*a*b", false},  // no blow-up
  };
  for (const auto& c : cases) {
    EXPECT_EQ(matches_pattern(c.name, c.pattern), c.match) << c.name << " ~ " << c.pattern;
  }
}

class FolderListing : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"KYX_E_000002_1.DAT", "kyx_e_000001_2.dat", "KYX_E_000003_1.DATA",
                             "KYX.INI", ".KYX_E_hidden.DAT", "a.DAT", "\xE0.DAT", "Z.DAT"}) {
      dir.write(name, "x");
    }
    make_folder(dir.file("KYX_E_folder.DAT"));  // a folder is never listed
  }
  test::TempDir dir;
};

TEST_F(FolderListing, ListsMatchingFilesInByteOrder) {
  EXPECT_EQ(list_files(dir.path(), "KYX_E_*.DAT"),
            (std::vector<std::string>{"KYX_E_000002_1.DAT", "kyx_e_000001_2.dat"}));
  EXPECT_EQ(list_files(dir.path() + "/", "*.dat"),
            (std::vector<std::string>{"KYX_E_000002_1.DAT", "Z.DAT", "a.DAT",
                                      "kyx_e_000001_2.dat", "\xE0.DAT"}));
  EXPECT_EQ(list_files(dir.path(), ".*"),
            (std::vector<std::string>{".KYX_E_hidden.DAT"}));  // hidden only when asked for
  EXPECT_TRUE(list_files(dir.file("missing"), "*").empty());
  EXPECT_TRUE(list_files(dir.path(), "../*").empty());
}

TEST_F(FolderListing, RemovesOnlyMatchingFiles) {
  EXPECT_EQ(remove_files(dir.path(), "KYX_E_*.DAT"), 2);
  EXPECT_EQ(remove_files(dir.path(), "KYX_E_*.DAT"), 0);
  EXPECT_EQ(list_files(dir.path(), "*.*"),
            (std::vector<std::string>{"KYX.INI", "KYX_E_000003_1.DATA", "Z.DAT", "a.DAT",
                                      "\xE0.DAT"}));
  EXPECT_TRUE(folder_exists(dir.file("KYX_E_folder.DAT")));
  EXPECT_TRUE(file_exists(dir.file(".KYX_E_hidden.DAT")));
}

}  // namespace
}  // namespace kyx::files
