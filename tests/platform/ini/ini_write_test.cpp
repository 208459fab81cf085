#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/files/files.h"
#include "platform/ini/ini_file.h"
#include "tests/support/unprivileged.h"
#include "tests/support/temp_dir.h"

namespace kyx::ini {
namespace {

TEST(IniWrite, ChangesOnlyWhatItWritesAndKeepsEveryOtherLine) {
  test::TempDir dir;
  // Mixed line ends (LF-only lines too), comments, odd lines, blank lines and Windows-1252 bytes.
  dir.write("KYX.INI",
            "; Kyx \x80 impostazioni\n"
            "[OPZ]\r\n"
            "Lingua=IT\r\n"
            "  Font Size = 8  \n"
            "riga strana\r\n"
            "Lingua=doppia\r\n"
            "; fine OPZ\r\n"
            "\r\n"
            "\n"
            "[Generale]\n"
            "Descrizione=Citt\xE0 \xBF\n"
            "[001]\r\n"
            "Nome=VENDITE");  // no line end at the very end
  IniFile ini(dir.file("KYX.INI"));
  ASSERT_TRUE(ini.Write("opz", "LINGUA", "EN"));              // in place, the file's spelling
  ASSERT_TRUE(ini.Write("OPZ", "font size", "0009,50"));      // "Font Size = 8" replaced
  ASSERT_TRUE(ini.Write("OPZ", "Nuova", " con blank "));      // after the last non-blank line
  ASSERT_TRUE(ini.Write("Generale", "Principale", "001"));    // section followed by another
  ASSERT_TRUE(ini.Write("001", "Descrizione", "Vendite \xE8"));
  ASSERT_TRUE(ini.Write("Stampante", "Copie", "1"));           // a new section goes at the end
  EXPECT_EQ(dir.read("KYX.INI"),
            "; Kyx \x80 impostazioni\r\n"
            "[OPZ]\r\n"
            "Lingua=EN\r\n"
            "Font Size=0009,50\r\n"
            "riga strana\r\n"
            "Lingua=doppia\r\n"
            "; fine OPZ\r\n"
            "Nuova= con blank \r\n"
            "\r\n"
            "\r\n"
            "[Generale]\r\n"
            "Descrizione=Citt\xE0 \xBF\r\n"
            "Principale=001\r\n"
            "[001]\r\n"
            "Nome=VENDITE\r\n"
            "Descrizione=Vendite \xE8\r\n"
            "[Stampante]\r\n"
            "Copie=1\r\n");
  EXPECT_EQ(ini.Read("OPZ", "Nuova", "?"), "con blank");

  ASSERT_TRUE(ini.DeleteKey("OPZ", "Lingua"));  // the first one goes; the second shows through
  EXPECT_EQ(ini.Read("OPZ", "Lingua", "?"), "doppia");
  ASSERT_TRUE(ini.DeleteKey("OPZ", "Manca"));
  ASSERT_TRUE(ini.DeleteSection("generale"));
  EXPECT_EQ(ini.Read("Generale", "Principale", "?"), "?");
  EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"OPZ", "001", "Stampante"}));
}

TEST(IniWrite, ManyWritesAtOnceAreAllOrNothing) {
  test::TempDir dir;
  const std::string start = "; note\r\n[OPZ]\r\nLingua=IT\r\n\r\n[001]\r\nNome=VENDITE\r\n";
  dir.write("A.INI", start);
  dir.write("B.INI", start);
  const std::vector<IniEntry> entries = {{"OPZ", "lingua", "EN"},      {"001", "Colore 0", "00000000-16777215"},
                                         {"Nuova", "Chiave", "uno"},   {"001", "Nome", "ACQUISTI\r\nNome=x"},
                                         {" opz ", " Nuova ", " v "},  {"001", "Colore 0", "00000001-16777215"}};
  // The same file as the writes one by one, in the same order.
  IniFile one_by_one(dir.file("A.INI"));
  for (const IniEntry& e : entries) ASSERT_TRUE(one_by_one.Write(e.section, e.key, e.value));
  IniFile at_once(dir.file("B.INI"));
  ASSERT_TRUE(at_once.WriteAll(entries));
  EXPECT_EQ(dir.read("B.INI"), dir.read("A.INI"));
  EXPECT_EQ(at_once.Read("001", "Nome", "?"), "ACQUISTI");

  // One entry that Write would refuse: nothing at all is written.
  const std::string before = dir.read("B.INI");
  EXPECT_FALSE(at_once.WriteAll({{"OPZ", "Lingua", "FR"}, {"OPZ", "[forged", "1"}}));
  EXPECT_FALSE(at_once.WriteAll({{"OPZ", "Lingua", "FR"}, {"Bad]", "k", "1"}}));
  EXPECT_EQ(dir.read("B.INI"), before);
  EXPECT_TRUE(at_once.WriteAll({}));
  EXPECT_EQ(dir.read("B.INI"), before);
}

TEST(IniWrite, NewFileAndLinesLongerThanAnyBuffer) {
  test::TempDir dir;
  IniFile ini(dir.file("NUOVO.INI"));
  ASSERT_TRUE(ini.DeleteKey("OPZ", "x"));  // nothing to delete: no file is made
  EXPECT_FALSE(files::file_exists(ini.path()));
  ASSERT_TRUE(ini.Write("OPZ", "Lingua", "IT"));
  EXPECT_EQ(dir.read("NUOVO.INI"), "[OPZ]\r\nLingua=IT\r\n");

  const std::string huge(200000, 'v');
  ASSERT_TRUE(ini.Write("OPZ", "Grande", huge));
  ASSERT_TRUE(ini.Write("OPZ", "Dopo", "1"));
  EXPECT_EQ(ini.Read("OPZ", "Grande", ""), huge.substr(0, 254));
  EXPECT_EQ(ini.Read("OPZ", "Dopo", ""), "1");
  EXPECT_NE(dir.read("NUOVO.INI").find(huge + "\r\n"), std::string::npos);  // stored whole
}

TEST(IniWrite, TextThatWouldForgeOtherLinesIsNotWritten) {
  test::TempDir dir;
  dir.write("KYX.INI", "[001]\r\nParametri=abc\r\n");
  IniFile ini(dir.file("KYX.INI"));
  // A value stops at its first line break: the rest cannot pose as a section or a key.
  ASSERT_TRUE(ini.Write("002", "Nome", "X\r\n[001]\r\nParametri=forged"));
  EXPECT_EQ(ini.Read("002", "Nome", "?"), "X");
  EXPECT_EQ(ini.ReadSection("001"), std::vector<std::string>{"Parametri=abc"});
  const std::string before = dir.read("KYX.INI");
  EXPECT_FALSE(ini.Write("001", "a=b", "1"));
  EXPECT_FALSE(ini.Write("001", "; x", "1"));
  EXPECT_FALSE(ini.Write("0]01", "a", "1"));
  EXPECT_FALSE(ini.Write("", "a", "1"));
  EXPECT_FALSE(ini.Write("001", " ", "1"));
  EXPECT_FALSE(ini.WriteSection("001", {"a=1", "[002]", "b=2"}));
  EXPECT_EQ(dir.read("KYX.INI"), before);
}

// Deleting profile 2 of 3 as the options dialog does: each later section moves down one place and
// the last one is left as an empty header.
TEST(IniWrite, WholeSectionReadAndReplace) {
  test::TempDir dir;
  dir.write("KYX.INI",
            "[001]\r\nNome=A\r\n\r\n"
            "[002]\r\nNome=B\r\n; nota\r\nCartella Dati=\\Dati2\\\r\n\r\n"
            "[003]\r\nNome = C \r\nriga strana\r\nDescrizione=\"Terzo\"\r\n\r\n"
            "[Generale]\r\nPrincipale=003\r\n");
  IniFile ini(dir.file("KYX.INI"));
  EXPECT_EQ(ini.ReadSection("002"),
            (std::vector<std::string>{"Nome=B", "Cartella Dati=\\Dati2\\"}));
  ASSERT_TRUE(ini.WriteSection("002", {}));
  const auto moved = ini.ReadSection("003");
  EXPECT_EQ(moved, (std::vector<std::string>{"Nome=C", "riga strana", "Descrizione=\"Terzo\""}));
  ASSERT_TRUE(ini.WriteSection("002", moved));
  ASSERT_TRUE(ini.WriteSection("003", {}));
  EXPECT_EQ(dir.read("KYX.INI"),
            "[001]\r\nNome=A\r\n\r\n"
            "[002]\r\nNome=C\r\nriga strana\r\nDescrizione=\"Terzo\"\r\n\r\n"
            "[003]\r\n\r\n"
            "[Generale]\r\nPrincipale=003\r\n");
  EXPECT_EQ(ini.Read("002", "Descrizione", "?"), "Terzo");
  EXPECT_TRUE(ini.ReadSection("003").empty());
  ASSERT_TRUE(ini.WriteSection("004", {"Nome=D", "", "Elenco=N"}));  // appended; blanks skipped
  EXPECT_EQ(ini.ReadSection("004"), (std::vector<std::string>{"Nome=D", "Elenco=N"}));
}

mode_t mode_of(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mode & 0777;
}

TEST(IniWrite, PrivateFileAndReadOnlyFolder) {
  test::TempDir dir;
  IniFile ini(dir.file("KYX.INI"));
  ini.set_private(true);
  ASSERT_TRUE(ini.Write("001", "Parametri", "segreto"));
  EXPECT_EQ(mode_of(ini.path()), 0600u);
  ini.set_private(false);
  ASSERT_TRUE(ini.Write("001", "Nome", "A"));
  EXPECT_EQ(mode_of(ini.path()), 0600u);  // an ordinary write does not open it up again

  // In a folder the program may not write to, a write fails and the file stays as it was.
  ::chmod(dir.path().c_str(), 0755);
  files::make_folder(dir.file("ro"));
  dir.write("ro/KYX.INI", "[OPZ]\r\nLingua=IT\r\n");
  test::give_to_child(dir.file("ro/KYX.INI"));
  ::chmod(dir.file("ro").c_str(), 0555);
  const std::string ro_path = dir.file("ro/KYX.INI");
  EXPECT_EQ(test::run_unprivileged([&] {
              IniFile ro(ro_path);
              return !ro.Write("OPZ", "Lingua", "EN") && !ro.DeleteSection("OPZ") &&
                     ro.Read("OPZ", "Lingua", "?") == "IT";
            }),
            0);
  EXPECT_EQ(dir.read("ro/KYX.INI"), "[OPZ]\r\nLingua=IT\r\n");
  EXPECT_EQ(files::list_files(dir.file("ro"), "*.*"), std::vector<std::string>{"KYX.INI"});
  EXPECT_TRUE(files::list_files(dir.file("ro"), ".*").empty());
}

}  // namespace
}  // namespace kyx::ini

namespace kyx::ini {
namespace {

// Two copies of the program saving at the same moment: neither loses the other's keys.
TEST(IniWrite, ConcurrentWritersLoseNothing) {
  test::TempDir dir;
  const std::string path = dir.file("KYX.INI");
  constexpr int kKeys = 60;
  pid_t children[2];
  for (int c = 0; c < 2; ++c) {
    children[c] = ::fork();
    ASSERT_GE(children[c], 0);
    if (children[c] == 0) {
      IniFile ini(path);
      bool ok = true;
      for (int i = 0; i < kKeys; ++i) {
        ok = ini.Write("OPZ", "P" + std::to_string(c) + "_" + std::to_string(i), "v") && ok;
      }
      ::_exit(ok ? 0 : 1);
    }
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  EXPECT_EQ(IniFile(path).ReadSection("OPZ").size(), 2u * kKeys);
}

}  // namespace
}  // namespace kyx::ini
