#include "platform/zip/zip_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/support/temp_dir.h"

namespace kyx::test {
namespace {

// What Python's zipfile makes of an archive: the CRC check of every entry, then "name size"
// per entry and whether the big entry holds exactly the lines the test wrote.
std::string Lettura(const std::string& archive) {
  const std::string cmd = "/usr/bin/python3 -c \"import sys, zipfile\n"
                          "z = zipfile.ZipFile(sys.argv[1])\n"
                          "print('crc', z.testzip())\n"
                          "for i in z.infolist(): print(i.filename, i.file_size, i.compress_type)\n"
                          "big = ''.join('riga %d;' % n for n in range(300000)).encode()\n"
                          "print('grande', z.read('xl/grande.xml') == big)\n"
                          "print('piccola', z.read('piccola.txt'))\" " +
                          archive + " 2>&1";
  std::string out;
  FILE* p = ::popen(cmd.c_str(), "r");
  if (!p) return "popen failed";
  char buf[512];
  while (std::fgets(buf, sizeof buf, p)) out += buf;
  ::pclose(p);
  return out;
}

// The names in the folder, hidden ones included.
std::string Nomi(const std::string& folder) {
  std::string s;
  for (const auto& e : std::filesystem::directory_iterator(folder)) s += e.path().filename().string() + " ";
  return s;
}

TEST(ZipWriter, EntriesStreamedInPiecesReadBackWhole) {
  TempDir dir;
  zip::ZipWriter w(1);
  ASSERT_TRUE(w.Open(dir.file("a.xlsx")));
  ASSERT_TRUE(w.Begin("piccola.txt"));
  ASSERT_TRUE(w.Write("ciao"));
  ASSERT_TRUE(w.AddFolder("xl/"));
  ASSERT_TRUE(w.Begin("xl/grande.xml"));
  // About 3.5 MB in pieces of every size, larger than every buffer on the way.
  std::string pezzo;
  for (int n = 0; n < 300000; ++n) {
    pezzo += "riga " + std::to_string(n) + ";";
    if (pezzo.size() > static_cast<size_t>(n % 70000)) {
      ASSERT_TRUE(w.Write(pezzo));
      pezzo.clear();
    }
  }
  ASSERT_TRUE(w.Write(pezzo));
  ASSERT_TRUE(w.Begin("vuota.xml"));
  ASSERT_TRUE(w.Commit()) << w.error();
  EXPECT_EQ(Lettura(dir.file("a.xlsx")),
            "crc None\n"
            "piccola.txt 4 8\n"
            "xl/ 0 0\n"
            "xl/grande.xml 3488890 8\n"
            "vuota.xml 0 8\n"
            "grande True\n"
            "piccola b'ciao'\n");
  EXPECT_EQ(Nomi(dir.path()), "a.xlsx ");
}

TEST(ZipWriter, AnArchiveNotCompletedLeavesTheOldFileAlone) {
  TempDir dir;
  dir.write("a.xlsx", "vecchio");
  {
    zip::ZipWriter w(1);
    ASSERT_TRUE(w.Open(dir.file("a.xlsx")));
    ASSERT_TRUE(w.Begin("x.xml"));
    ASSERT_TRUE(w.Write(std::string(1 << 20, 'x')));
    // Dropped without Commit.
  }
  EXPECT_EQ(dir.read("a.xlsx"), "vecchio");
  {
    zip::ZipWriter w(1);
    ASSERT_TRUE(w.Open(dir.file("a.xlsx")));
    ASSERT_TRUE(w.Begin("x.xml"));
    w.Discard();
    EXPECT_FALSE(w.Write("x"));
    EXPECT_FALSE(w.Commit());
  }
  EXPECT_EQ(dir.read("a.xlsx"), "vecchio");
  EXPECT_EQ(Nomi(dir.path()), "a.xlsx ");

  // A folder where the archive should go: refused at once, with a reason.
  ::mkdir(dir.file("c.xlsx").c_str(), 0755);
  zip::ZipWriter w(1);
  EXPECT_FALSE(w.Open(dir.file("c.xlsx")));
  EXPECT_FALSE(w.error().empty());
  EXPECT_FALSE(w.Begin("x.xml"));
  EXPECT_FALSE(w.Commit());
}

}  // namespace
}  // namespace kyx::test
