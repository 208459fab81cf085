#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "export/xlsx_zip.h"
#include "platform/files/files.h"
#include "platform/zip/shell.h"
#include "tests/common/ambiente.h"

namespace kyx::test {
namespace {

class XlsxZip : public Ambiente {
 protected:
  XlsxZip() {
    files::make_folder(dir.file("w"));
    files::make_folder(dir.file("w/xl"));
    dir.write("w/[Content_Types].xml", "tipi");
    dir.write("w/xl/workbook.xml", "cartella");
    // The document opener records what it was asked to open.
    dir.write("apri.sh", "#!/bin/sh\necho \"$1\" > " + dir.file("aperto") + "\n");
    ::chmod(dir.file("apri.sh").c_str(), 0755);
    setenv("KYX_OPEN_COMMAND", dir.file("apri.sh").c_str(), 1);
  }
  ~XlsxZip() override { unsetenv("KYX_OPEN_COMMAND"); }

  std::string Aperto() const {
    for (int i = 0; i < 100 && dir.read("aperto").empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return dir.read("aperto");
  }
};

TEST_F(XlsxZip, FolderBecomesTheTargetWhichIsOpened) {
  const std::string File = dir.file("Vendite.xlsx");
  dir.write("Vendite.xlsx", "vecchio");
  dir.write("Vendite.zip", "altro");  // a file of the user's, not the export's to delete

  EXPECT_TRUE(Zip_Cartella(dir.file("w"), File));
  EXPECT_EQ(dir.read("Vendite.zip"), "altro");
  EXPECT_EQ(zip::ArchiveItemCount(File), 2);
  EXPECT_EQ(Aperto(), File + "\n");
  EXPECT_TRUE(host.shown().empty());
}

TEST_F(XlsxZip, RefusedOrFailedPackingLeavesTheOldTarget) {
  // No folder, or a last "." before the fifth character: False, no message, nothing touched.
  dir.write("Vendite.xlsx", "vecchio");
  EXPECT_FALSE(Zip_Cartella(dir.file("manca"), dir.file("Vendite.xlsx")));
  EXPECT_FALSE(Zip_Cartella(dir.file("w"), "ab.x"));
  EXPECT_TRUE(host.shown().empty());
  EXPECT_EQ(dir.read("Vendite.xlsx"), "vecchio");

  // A part that cannot be read (a link to nothing): the message, and the old target stays.
  ASSERT_EQ(::symlink(dir.file("nessuno").c_str(), dir.file("w/xl/perso.xml").c_str()), 0);
  host.expect("Non \xE8 possibile preparare il file\r\n" + dir.file("Vendite.xlsx"));
  EXPECT_FALSE(Zip_Cartella(dir.file("w"), dir.file("Vendite.xlsx")));
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(host.shown().at(0).style, host::vbCritical);
  EXPECT_EQ(dir.read("Vendite.xlsx"), "vecchio");
  EXPECT_EQ(dir.read("aperto"), "");
}

}  // namespace
}  // namespace kyx::test
