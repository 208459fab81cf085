#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "platform/zip/shell.h"
#include "tests/support/temp_dir.h"

namespace kyx::test {
namespace {

// The archive as an independent reader lists it: "name size" per entry, then each file's text.
std::string Elenco(const std::string& archive) {
  const std::string cmd = "/usr/bin/python3 -c \"import sys, zipfile\n"
                          "z = zipfile.ZipFile(sys.argv[1])\n"
                          "for i in z.infolist(): print(i.filename, i.file_size, z.read(i).decode() if not i.is_dir() else '')\" " +
                          archive + " 2>&1";
  std::string out;
  FILE* p = ::popen(cmd.c_str(), "r");
  if (!p) return "popen failed";
  char buf[512];
  while (std::fgets(buf, sizeof buf, p)) out += buf;
  ::pclose(p);
  return out;
}

TEST(ZipShell, FolderPackedUnderRelativePathsAndCountedAtTheTop) {
  TempDir dir;
  ::mkdir(dir.file("w").c_str(), 0755);
  ::mkdir(dir.file("w/xl").c_str(), 0755);
  ::mkdir(dir.file("w/xl/worksheets").c_str(), 0755);
  ::mkdir(dir.file("w/vuota").c_str(), 0755);
  dir.write("w/[Content_Types].xml", "tipi");
  dir.write("w/xl/workbook.xml", "cartella");
  dir.write("w/xl/worksheets/sheet1.xml", "foglio");
  // A stale archive of that name is replaced.
  dir.write("t.zip", "vecchio");

  std::string errore;
  ASSERT_TRUE(zip::PackFolder(dir.file("w"), dir.file("t.zip"), &errore)) << errore;
  EXPECT_EQ(Elenco(dir.file("t.zip")),
            "[Content_Types].xml 4 tipi\n"
            "vuota/ 0 \n"
            "xl/ 0 \n"
            "xl/workbook.xml 8 cartella\n"
            "xl/worksheets/ 0 \n"
            "xl/worksheets/sheet1.xml 6 foglio\n");
  EXPECT_EQ(zip::FolderItemCount(dir.file("w")), 3);
  EXPECT_EQ(zip::ArchiveItemCount(dir.file("t.zip")), 3);

  // An empty folder gives the empty archive; a missing one nothing at all.
  ::mkdir(dir.file("nulla").c_str(), 0755);
  ASSERT_TRUE(zip::PackFolder(dir.file("nulla"), dir.file("n.zip"), &errore)) << errore;
  EXPECT_EQ(dir.read("n.zip"), std::string("PK\x05\x06", 4) + std::string(18, '\0'));
  EXPECT_EQ(zip::ArchiveItemCount(dir.file("n.zip")), 0);
  EXPECT_FALSE(zip::PackFolder(dir.file("manca"), dir.file("m.zip"), &errore));
  EXPECT_NE(errore.find("manca"), std::string::npos);
  EXPECT_EQ(dir.read("m.zip"), "");
  EXPECT_EQ(zip::FolderItemCount(dir.file("manca")), -1);
  EXPECT_EQ(zip::ArchiveItemCount(dir.file("w/xl/workbook.xml")), -1);
}

}  // namespace
}  // namespace kyx::test
