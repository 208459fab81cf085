#include <gtest/gtest.h>

#include "platform/ini/ini_file.h"
#include "tests/support/temp_dir.h"

namespace kyx::ini {
namespace {

const std::string kLong300 = std::string(250, 'x') + "ABCDEFGHIJ" + std::string(40, 'y');

// One file with every reading rule in it; some lines end in LF only.
std::string sample_file() {
  return "; impostazioni\r\n"
         "Orfana=fuori sezione\r\n"
         "[OPZ]\r\n"
         "Lingua=IT\r\n"
         "LINGUA=EN\r\n"
         "  Font Size = 8  \n"
         "Quoted=\"  spaced  \"\r\n"
         "Single='x'\r\n"
         "Unbalanced=\"abc\r\n"
         "Doubled=\"\"a\"\"\r\n"
         "Empty=\r\n"
         "Tabbed=\tvalue\t\n"
         "Formula=a=b\r\n"
         "Long=" + kLong300 + "\r\n"
         "riga senza uguale\r\n"
         "; Commento=1\r\n"
         "\r\n"
         "[ Generale ]\n"
         "Principale=002\n"
         "[opz]\r\n"
         "Lingua=DE\r\n"
         "SoloQui=1\r\n"
         "[\xC0rea \x8A]\r\n"           // "Àrea Š"
         "Citt\xE0=Bologna \xE8\r\n"    // "Città=Bologna è"
         "[Vuota]\r\n"
         "[Aperta\r\n"
         "Chiave=in una riga qualsiasi\r\n";
}

TEST(IniRead, PrivateProfileRules) {
  test::TempDir dir;
  dir.write("KYX.INI", sample_file());
  const IniFile ini(dir.file("KYX.INI"));
  struct Case {
    const char* section;
    const char* key;
    const char* def;
    std::string expected;
  } cases[] = {
      {"OPZ", "Lingua", "?", "IT"},
      {"opz", "LINGUA", "?", "IT"},                 // case-insensitive; first key wins
      {"OPZ", "Font Size", "?", "8"},               // blanks around the name and "="
      {" OPZ ", "  font size ", "?", "8"},          // blanks around the arguments
      {"OPZ", "Quoted", "?", "  spaced  "},         // one pair of quotes goes, blanks stay
      {"OPZ", "Single", "?", "x"},
      {"OPZ", "Unbalanced", "?", "\"abc"},
      {"OPZ", "Doubled", "?", "\"a\""},
      {"OPZ", "Empty", "?", ""},                    // present and empty is not missing
      {"OPZ", "Tabbed", "?", "value"},
      {"OPZ", "Formula", "?", "a=b"},
      {"OPZ", "Long", "?", kLong300.substr(0, 254)},
      {"OPZ", "riga senza uguale", "def", "def"},   // an odd line is no key
      {"OPZ", "; Commento", "def", "def"},
      {"OPZ", "SoloQui", "def", "def"},             // the second [opz] is never read
      {"OPZ", "Manca", "def  ", "def"},             // the default loses trailing blanks
      {"OPZ", "Manca", "  def", "  def"},
      {"OPZ", "Manca", kLong300.c_str(), kLong300.substr(0, 254)},
      {"OPZ", "", "def", "def"},
      {"", "Orfana", "def", "def"},                 // lines before any section belong to none
      {"Generale", "Principale", "001", "002"},     // "[ Generale ]"
      {"\xE0REA \x9A", "CITT\xC0", "?", "Bologna \xE8"},  // Windows-1252 letters fold too
      {"Vuota", "x", "def", "def"},
      {"Manca", "x", "def", "def"},
      {"Aperta", "Chiave", "def", "def"},           // "[Aperta" is not a header
  };
  // A snapshot answers every case as a read of the file does.
  const IniSnapshot snapshot(dir.file("KYX.INI"));
  for (const auto& c : cases) {
    EXPECT_EQ(ini.Read(c.section, c.key, c.def), c.expected) << c.section << " / " << c.key;
    EXPECT_EQ(snapshot.Read(c.section, c.key, c.def), c.expected) << "snapshot " << c.section << " / " << c.key;
  }
  EXPECT_EQ(ini.SectionNames(),
            (std::vector<std::string>{"OPZ", "Generale", "\xC0rea \x8A", "Vuota"}));
  EXPECT_EQ(ini.ReadSection("generale"), std::vector<std::string>{"Principale=002"});

  EXPECT_EQ(IniFile(dir.file("MANCA.INI")).Read("OPZ", "Lingua", "def"), "def");
  EXPECT_TRUE(IniFile(dir.file("MANCA.INI")).SectionNames().empty());
}

TEST(IniRead, EveryReadSeesTheFileAsItIsNow) {
  test::TempDir dir;
  const IniFile ini(dir.path() + "\\KYX.INI");  // the Windows form of the path works too
  EXPECT_EQ(ini.Read("OPZ", "Lingua", "def"), "def");
  dir.write("KYX.INI", "[OPZ]\r\nLingua=IT\r\n");
  EXPECT_EQ(ini.Read("OPZ", "Lingua", "def"), "IT");
  dir.write("KYX.INI", "[OPZ]\r\nLingua=EN\r\n");
  EXPECT_EQ(ini.Read("OPZ", "Lingua", "def"), "EN");
}

TEST(IniRead, SnapshotKeepsTheFileAsItWasWhenTaken) {
  test::TempDir dir;
  EXPECT_EQ(IniSnapshot(dir.file("KYX.INI")).Read("OPZ", "Lingua", "def "), "def");  // no file
  dir.write("KYX.INI", "[OPZ]\r\nLingua=IT\r\n");
  const IniSnapshot snapshot(dir.file("KYX.INI"));
  dir.write("KYX.INI", "[OPZ]\r\nLingua=EN\r\n");
  EXPECT_EQ(snapshot.Read("OPZ", "Lingua", "def"), "IT");
}

TEST(IniRead, GarbageFileReadsAsDefaultsAndStillTakesWrites) {
  test::TempDir dir;
  std::string garbage;
  unsigned seed = 12345;
  for (int i = 0; i < 65536; ++i) {
    seed = seed * 1103515245u + 12345u;
    char c = static_cast<char>(seed >> 16);
    if (c == '[') c = '\0';  // no accidental headers
    garbage += c;
  }
  garbage += std::string(100000, '=');  // one line longer than any buffer
  dir.write("KYX.INI", garbage);
  IniFile ini(dir.file("KYX.INI"));
  EXPECT_EQ(ini.Read("OPZ", "Lingua", "def"), "def");
  EXPECT_TRUE(ini.SectionNames().empty());
  EXPECT_TRUE(ini.ReadSection("OPZ").empty());

  ASSERT_TRUE(ini.Write("OPZ", "Lingua", "IT"));
  EXPECT_EQ(ini.Read("OPZ", "Lingua", "def"), "IT");
  EXPECT_GT(dir.read("KYX.INI").size(), garbage.size());  // the garbage is kept, not dropped

  // A value with a NUL in it ends there, as a C string would.
  dir.write("KYX.INI", std::string("[OPZ]\r\nLingua=I\0T\r\n", 19));
  EXPECT_EQ(ini.Read("OPZ", "Lingua", "def"), "I");
}

}  // namespace
}  // namespace kyx::ini
