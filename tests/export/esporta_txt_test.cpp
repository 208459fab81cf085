// The fixed-width text file of a real elaboration result, read back line by line.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "export/esporta_txt.h"
#include "tests/export/ambiente_esporta.h"

namespace kyx::test {
namespace {

using Txt = AmbienteEsporta;

TEST_F(Txt, AnElaborationResultGetsTitleFilterHeadingsAndColumnsAsWideAsTheirWidestText) {
  Elabora();
  Filtro();
  std::string file = dir.file("vendite.txt");
  Esporta_TXT(file);
  std::vector<std::string> righe = Righe_File(dir.read("vendite.txt"));
  ASSERT_FALSE(righe.empty());
  EXPECT_TRUE(std::regex_match(righe[0], std::regex(R"(Q-KRE  -  Vendite Italia  -  \d\d/\d\d/\d{4} \d\d:\d\d)")))
      << righe[0];
  righe.erase(righe.begin());
  // Agente's heading pieces " Agente " and " cod " count untrimmed (7 wide) but are written
  // trimmed; the column without totals is blank on subtotal and total rows but still counts them.
  // Key texts end in dots up to 30 characters, a longer one is cut; a range takes two lines.
  EXPECT_EQ(righe, (std::vector<std::string>{
                       "",
                       "Filtro",
                       "",
                       "Chiave                         Valore",
                       std::string(30, '-') + " " + std::string(40, '-'),
                       "Chiave 1 ..................... =  NORD NORD",
                       "Agente di vendita della zona c Da A01 A01",
                       "                               A  A09 A09",
                       "                               <> A05 A05",
                       "",
                       "",
                       "Vendite 01/2015: Nord|Sud",
                       "",
                       "Area Agente   Importo Senza",
                       "     cod         euro      ",
                       "---- ------- -------- -----",
                       "NORD A01     1,234.50  1235",
                       "NORD A03         4.00     4",
                       "NORD totale  1,238.50      ",
                       "SUD  A02        10.00    10",
                       "SUD  totale     10.00      ",
                       "---- ------- -------- -----",
                       "             1,248.50      ",
                   }));
  EXPECT_EQ(inizi, 1);
  EXPECT_EQ(host.panels().back(), "Stato=Salvataggio " + file + " completato");
  EXPECT_TRUE(Rs_Griglia->AfterLast());
}

TEST_F(Txt, OutsideAnElaborationResultThereIsNoFilterBlockNoTotalLineAndNoBlankCell) {
  Elabora();
  Filtro();
  Modo_Griglia = 2;
  std::string file = dir.file("elenco.txt");
  Esporta_TXT(file);
  const std::vector<std::string> righe = Righe_File(dir.read("elenco.txt"));
  ASSERT_EQ(righe.size(), 13u);
  EXPECT_EQ(std::vector<std::string>(righe.begin() + 1, righe.end()),
            (std::vector<std::string>{"", "Vendite 01/2015: Nord|Sud", "", "Area Agente   Importo Senza",
                                      "     cod         euro      ", "---- ------- -------- -----",
                                      "NORD A01     1,234.50  1235", "NORD A03         4.00     4",
                                      "NORD totale  1,238.50  1239", "SUD  A02        10.00    10",
                                      "SUD  totale     10.00    10", "             1,248.50     0"}))
      << "the grand total row, last, must follow the rows without a dash line";
}

TEST_F(Txt, CellTextKeepsItsWindowsBytesAndNothingIsCut) {
  titolo = "Quote \"<&>\" \xE8";
  Elabora("<&\"\xC3\xA9");  // the database holds UTF-8: the area code <&"é
  std::string file = dir.file("byte.txt");
  Esporta_TXT(file);
  const std::string bytes = dir.read("byte.txt");
  EXPECT_NE(bytes.find("\r\nQuote \"<&>\" \xE8\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("\r\n<&\"\xE9 A01     1,234.50  1235\r\n"), std::string::npos) << bytes;
}

TEST_F(Txt, LineBreaksAndTabsInsideTextsBecomeBlanksSoEveryRowKeepsOneLine) {
  titolo = "Vendite\tper\r\narea";
  Elabora("N\r\nX");  // an area code holding CR LF
  Col_Intestazione[2] = " Agente\t| cod ";
  std::string file = dir.file("righe.txt");
  Esporta_TXT(file);
  const std::vector<std::string> righe = Righe_File(dir.read("righe.txt"));
  // Title, blank, grid title, blank, two heading lines, dashes, six rows, dashes, the total.
  ASSERT_EQ(righe.size(), 15u) << dir.read("righe.txt");
  EXPECT_EQ(righe[2], "Vendite per  area");
  EXPECT_EQ(righe[4], "Area Agente    Importo Senza") << "the TAB counts one column";
  EXPECT_EQ(righe[7], "N  X A01      1,234.50  1235");
  EXPECT_EQ(righe[8], "N  X totale   1,234.50      ");
  for (const std::string& r : righe) EXPECT_EQ(r.find_first_of("\t\r"), std::string::npos) << r;
}

}  // namespace
}  // namespace kyx::test
