// The Excel 97 workbook of a real elaboration result, read back by an independent reader.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include <algorithm>
#include <string>
#include <vector>

#include "common/modello.h"
#include "common/stato.h"
#include "export/esporta_xls.h"
#include "platform/files/files.h"
#include "tests/export/ambiente_esporta.h"

namespace kyx::test {
namespace {

class Xls : public AmbienteEsporta {
 protected:
  std::vector<std::string> Leggi(const std::string& file) { return Righe_Lettore(KYX_LEGGI_XLS, file); }
  static bool Ha(const std::vector<std::string>& righe, const std::string& r) {
    return std::find(righe.begin(), righe.end(), r) != righe.end();
  }
  void Layout_Xls(const std::string& std_, const std::string& run) {
    ASSERT_TRUE(Cn_MDB0->Execute("UPDATE LAYOUT SET XLSSTD='" + std_ + "', XLSRUN='" + run + "'").ok());
  }
};

// A workbook past the 109 FAT sectors the compound document's header can list (about 7 MB) is
// saved whole and reads back to its last row.
TEST_F(Xls, AWorkbookOfManyMegabytesIsSavedWhole) {
  const int righe = 30000;
  Risultato_Da_Chiavi(std::vector<std::string>(righe, "0000012"), std::string(250, 'x'));
  std::string file = dir.file("grande.xls");
  Esporta_XLS(file);
  ASSERT_TRUE(files::file_exists(file));
  EXPECT_GT(files::file_length(file), 8'000'000);
  int ultima = 0, testi = 0;
  for (const std::string& r : Leggi(file)) {
    const size_t virgola = r.find(',');
    if (virgola == std::string::npos || r.find('=') == std::string::npos) continue;
    ultima = std::max(ultima, std::atoi(r.substr(0, virgola).c_str()));
    testi += r.find("=" + std::string(250, 'x') + "|") != std::string::npos;
  }
  EXPECT_EQ(testi, righe);
  EXPECT_GE(ultima, righe);
}

TEST_F(Xls, AFormattedElaborationKeepsValuesFormatsColoursMergesAndWidths) {
  Layout_Xls("S", "");
  Elabora();
  Filtro();
  Colori[0] = 0x0000FF;  // red text on the first alternation
  Colori[1] = 0xFFFFFF;
  std::string file = dir.file("vendite.xls");
  Esporta_XLS(file);
  EXPECT_FALSE(files::file_exists(file + ".TMP"));
  const std::vector<std::string> r = Leggi(file);
  std::string tutto;
  for (const auto& x : r) tutto += x + "\n";
  // Row 1 is the title; the filter block with its range on two lines; values as numbers with
  // the column's format; headings and filter values kept as text.
  EXPECT_NE(tutto.find("1,1=Q-KRE  -  Vendite Italia  -  "), std::string::npos) << tutto;
  EXPECT_TRUE(Ha(r, "3,1=Filtro|@|FF0000|1|-")) << tutto;
  EXPECT_NE(tutto.find("5,2==  NORD NORD|@|"), std::string::npos) << tutto;
  EXPECT_NE(tutto.find("6,2=Da A01 A01|@|"), std::string::npos) << tutto;
  EXPECT_NE(tutto.find("7,2=A  A09 A09|@|"), std::string::npos) << tutto;
  EXPECT_NE(tutto.find("8,2=<> A05 A05|@|"), std::string::npos) << tutto;
  EXPECT_NE(tutto.find("10,1=Vendite 01/2015: Nord|Sud|@|FF0000|1|-"), std::string::npos) << tutto;
  EXPECT_NE(tutto.find("11,2=Agente |@|"), std::string::npos) << tutto;
  EXPECT_NE(tutto.find("13,1=NORD|@|FF0000|0|FFFFFF"), std::string::npos) << tutto;
  EXPECT_NE(tutto.find("13,3=1234.5|#,##0.00|FF0000|0|FFFFFF"), std::string::npos) << tutto;
  EXPECT_NE(tutto.find("14,3=4.0|#,##0.00|"), std::string::npos) << tutto;
  EXPECT_TRUE(Ha(r, "merge 1,1:1,4")) << tutto;
  EXPECT_TRUE(Ha(r, "merge 5,2:5,4")) << tutto;
  EXPECT_NE(tutto.find("width 1="), std::string::npos) << tutto;
}

TEST_F(Xls, WithoutTheLayoutsFormattingTheCodeRowAndColumnStayAndHostileTextIsIntact) {
  Layout_Xls("N", "");
  Elabora("=\"\tN");
  std::string file = dir.file("grezzo.xls");
  Esporta_XLS(file);
  const std::vector<std::string> r = Leggi(file);
  std::string tutto;
  for (const auto& x : r) tutto += x + "\n";
  EXPECT_NE(tutto.find("1,1=C-004|"), std::string::npos) << tutto;
  EXPECT_NE(tutto.find("4,1=D----|"), std::string::npos) << tutto;
  EXPECT_NE(tutto.find("7,1=D-2--|"), std::string::npos) << tutto;
  EXPECT_NE(tutto.find("7,2==  N|"), std::string::npos) << tutto;
}

TEST_F(Xls, LineBreaksInsideTextsBecomeBlanksAndEveryRowKeepsItsCells) {
  // Unformatted, so the row codes stay in column 1 and every staging line shows as one row.
  Layout_Xls("N", "");
  titolo = "Vendite\r\nper area";
  Elabora("N\r\nX");  // an area code holding CR LF
  Col_Intestazione[2] = "Agente\t|\"cod";
  Filtro();
  ASSERT_TRUE(Cn_MDB0->Execute("UPDATE CHIAVI SET TESTO='Chiave\r\nuno' WHERE IDX=1").ok());
  std::string file = dir.file("righe.xls");
  Esporta_XLS(file);
  const std::vector<std::string> r = Leggi(file);
  std::string tutto;
  for (const auto& x : r) tutto += x + "\n";
  // The first data row holds its area (CR and LF as blanks), agent and both values; the next row
  // is the area's subtotal, not the rest of a broken line.
  std::vector<std::string> dati;
  for (const std::string& x : r)
    if (x.rfind("14,", 0) == 0 || x.rfind("15,", 0) == 0) dati.push_back(x.substr(0, x.find('|')));
  EXPECT_EQ(dati, (std::vector<std::string>{"14,1=D-2--", "14,2=N  X", "14,3=A01", "14,4=1234.5", "14,5=1234.5",
                                            "15,1=D-3-1-", "15,2=N  X", "15,3=totale", "15,4=1234.5"}))
      << tutto;
  // The filter rows and the headings stay in their rows; their cells are then set as typed.
  for (const char* cella : {"6,1=F-RIG|", "6,2=Chiave\r\nuno|", "7,1=F-RIG|", "11,1=D----|", "12,3=Agente\t|", "13,3=\"cod|"})
    EXPECT_NE(tutto.find(std::string("\n") + cella), std::string::npos) << cella << "\n" << tutto;
}

TEST_F(Xls, AMacroThatCannotRunIsSaidAndTheWorkbookIsStillSaved) {
  Layout_Xls("S", "MACRO.XLS!Formatta");
  Elabora();
  host.expect("La macro MACRO.XLS!Formatta non pu\xF2 essere eseguita in questa versione: il file " +
              dir.file("m.xls") + " viene salvato senza eseguirla.");
  std::string file = dir.file("m.xls");
  Esporta_XLS(file);
  EXPECT_TRUE(files::file_exists(file));
}

TEST_F(Xls, WithExcelVisibleTheSavedWorkbookIsOpenedAndOtherwiseNot) {
  // The document opener records what it was asked to open.
  dir.write("apri.sh", "#!/bin/sh\necho \"$1\" >> " + dir.file("aperto") + "\n");
  ::chmod(dir.file("apri.sh").c_str(), 0755);
  setenv("KYX_OPEN_COMMAND", dir.file("apri.sh").c_str(), 1);
  Layout_Xls("S", "");
  Elabora();
  std::string nascosto = dir.file("nascosto.xls"), visibile = dir.file("visibile.xls");
  Visualizza_Excel = false;
  Esporta_XLS(nascosto);
  Visualizza_Excel = true;
  Esporta_XLS(visibile);
  for (int i = 0; i < 100 && dir.read("aperto").empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  unsetenv("KYX_OPEN_COMMAND");
  EXPECT_TRUE(files::file_exists(nascosto));
  EXPECT_EQ(dir.read("aperto"), visibile + "\n");
}

TEST_F(Xls, AStagingFileThatCannotBeReplacedStopsTheExportAndLeavesNothingBehind) {
  Layout_Xls("S", "");
  Elabora();
  std::string file = dir.file("bloccato.xls");
  ASSERT_TRUE(files::make_folder(file + ".TMP"));
  host.expect(file + ".TMP\r\xE8 utilizzato da un'altra applicazione.");
  Esporta_XLS(file);
  EXPECT_FALSE(files::file_exists(file));
  EXPECT_TRUE(files::folder_exists(file + ".TMP"));
  EXPECT_EQ(host.panels().back(), "Stato=Salvataggio non effettuato");
}

}  // namespace
}  // namespace kyx::test
