// The virtual grid: one page of the display recordset, the scroll bars, the cell rules, the
// frozen and scrolled columns, row colours and the highlight.
#include <string>
#include <vector>

#include "tests/views/ambiente_griglia.h"

namespace kyx::test {
namespace {

using Testi = std::vector<std::string>;

class Griglia : public AmbienteGriglia {};

TEST_F(Griglia, PagesAtTheTopTheMiddleAndTheEndWithThePartialRow) {
  Dettagli(500);
  Visualizza_Griglia();
  ASSERT_GT(Righe_Visibili, 3);
  const int pagina = Righe_Visibili + Riga_Parziale;
  EXPECT_EQ(grid->Rows(), 1 + pagina) << "the grid holds one page and its header";
  EXPECT_EQ(grid->TextMatrix(1, 1), "C1");
  EXPECT_EQ(grid->TextMatrix(pagina, 1), "C" + std::to_string(pagina));
  EXPECT_EQ(sv->Min(), 1);
  EXPECT_EQ(sv->Max(), 500 - Righe_Visibili + 1);
  EXPECT_EQ(sv->LargeChange(), Righe_Visibili);
  EXPECT_TRUE(sv->isEnabled());
  // The partial row is the row that does not fit whole: the rows shown fit the grid's height.
  const int altezza = grid->RowPixelHeight(0) + Righe_Visibili * Altezza_Riga;
  EXPECT_LE(altezza, grid->Height());

  for (int prima : {250, 500 - Righe_Visibili + 1}) {
    Prima_Riga = prima;
    Visualizza_Griglia();
    EXPECT_EQ(grid->TextMatrix(1, 1), "C" + std::to_string(prima));
    EXPECT_EQ(sv->Value(), prima);
  }
  EXPECT_EQ(grid->TextMatrix(Righe_Visibili, 1), "C500") << "the last page ends on the last record";
  EXPECT_EQ(grid->Rows(), 1 + Righe_Visibili) << "no partial row past the last record";

  // A first record past the last page (the window grew) comes back to the last page.
  Prima_Riga = 499;
  Visualizza_Griglia();
  EXPECT_EQ(Prima_Riga, 500 - Righe_Visibili + 1);
}

TEST_F(Griglia, AMillionRowsPageToTheirLastRecordHoldingOnePage) {
  constexpr int kRighe = 1000000;
  Dettagli(kRighe);
  Visualizza_Griglia();
  EXPECT_LE(grid->Rows(), Righe_Visibili + 2);
  EXPECT_EQ(sv->Max(), kRighe - Righe_Visibili + 1) << "the bar reaches the last record";
  for (int prima : {1, kRighe / 2, sv->Max()}) {
    Prima_Riga = prima;
    Visualizza_Griglia();
    EXPECT_EQ(grid->TextMatrix(1, 1), "C" + std::to_string(prima));
    EXPECT_LE(grid->Rows(), Righe_Visibili + 2);
  }
  EXPECT_EQ(grid->TextMatrix(grid->Rows() - 1, 1), "C1000000");
}

TEST_F(Griglia, EmptyAndSmallResultsDisableTheBars) {
  Risultato({});
  sv->SetEnabled(true);
  Visualizza_Griglia();
  EXPECT_EQ(grid->Rows(), 2);
  EXPECT_EQ(grid->RowHeight(1), 0) << "an invisible data row under the header";
  EXPECT_FALSE(sv->isEnabled());
  EXPECT_FALSE(so->isEnabled());

  Dettagli(3);
  Visualizza_Griglia();
  EXPECT_EQ(grid->Rows(), 4);
  EXPECT_EQ(sv->Max(), 1);
  EXPECT_FALSE(sv->isEnabled());
}

TEST_F(Griglia, CellsFollowTheRowKindAndTheColumnKind) {
  Col_Totale[2] = 1;  // column 2 has no totals
  Col_Chiave[3] = 4;  // the hidden column 3 is a key column: filled though not shown
  Risultato({"0000011", "0000012", "00000131", "9999994"});
  Visualizza_Griglia();
  EXPECT_EQ(grid->TextMatrix(0, 2), "Col 2");
  const std::vector<Testi> attese = {
      {"0000011", "C1", " ", " "},    // head row: no values
      {"0000012", "C2", "2", "-2"},   // detail
      {"00000131", "C3", " ", "-3"},  // subtotal: nothing in a column without totals
      {"9999994", "C4", " ", "-4"},
  };
  for (int r = 1; r <= 4; ++r) {
    for (int c = 0; c <= 3; ++c) EXPECT_EQ(grid->TextMatrix(r, c), attese[r - 1][c]) << r << "," << c;
  }
  EXPECT_EQ(grid->ColWidth(3), 0) << "a hidden column has no width";

  // A hidden column that is not a key column shows a blank; in a list every value is shown.
  Col_Chiave[3] = -1;
  Modo_Griglia = 1;
  Visualizza_Griglia();
  EXPECT_EQ(grid->TextMatrix(1, 3), " ");
  EXPECT_EQ(grid->TextMatrix(1, 2), "1");
}

TEST_F(Griglia, ACodesListFormatsEveryCodeWhateverItsSeventhCharacter) {
  // The codes list of a product key shown through #MID(3,6)#: field 0 is the code itself, so a
  // "4" or "3" at its 7th character is no grand-total or subtotal row.
  Modo_Griglia = 1;
  Col_Attributo[0] = "1";
  Col_Formato[0] = "#MID(3,6)#";
  Risultato({"LA000041", "LA000014", "LA000031", "LA000011"});
  Visualizza_Griglia();
  const Testi attesi = {"000041", "000014", "000031", "000011"};
  for (int r = 1; r <= 4; ++r) EXPECT_EQ(grid->TextMatrix(r, 0), attesi[r - 1]) << r;
}

TEST_F(Griglia, FrozenColumnsStayWhileTheOthersScrollOutByZeroWidths) {
  Numero_Colonne = 3;
  Col_Visibile[3] = 2;
  Col_Visibile[2] = 0;  // never shown
  Colonne_Bloccate = 1;
  Dettagli(5);
  Visualizza_Griglia();
  EXPECT_EQ(Numero_Colonne_Scorrevoli, 2);  // columns 1 and 3
  EXPECT_EQ(so->Max(), 2);
  EXPECT_TRUE(so->isEnabled());
  EXPECT_EQ(Colore(1, 0), "C8/C9") << "frozen columns carry colour pair 4";

  Scorrimento_Colonne = 2;
  Visualizza_Griglia();
  const std::vector<int> larghezze = {grid->ColWidth(0), grid->ColWidth(1), grid->ColWidth(2), grid->ColWidth(3)};
  EXPECT_EQ(larghezze, (std::vector<int>{1500, 0, 0, 1500}));

  // A width the user gave a shown column is read back; -1 (a new model) reads nothing.
  grid->SetColWidth(3, 2222);
  Visualizza_Griglia();
  EXPECT_EQ(Col_Larghezza[3], 2222);
  grid->SetColWidth(3, 999);
  Scorrimento_Colonne = -1;
  Visualizza_Griglia();
  EXPECT_EQ(Col_Larghezza[3], 2222);
  EXPECT_EQ(Scorrimento_Colonne, 1);

  // Nothing to scroll: the bar is disabled and the position 0.
  Colonne_Bloccate = 4;
  Visualizza_Griglia();
  EXPECT_EQ(Scorrimento_Colonne, 0);
  EXPECT_FALSE(so->isEnabled());
}

TEST_F(Griglia, HeadingsInThreeLinesLeaveRoomForFewerRows) {
  Dettagli(200);
  Visualizza_Griglia();
  const int righe_1 = Righe_Visibili;
  const int altezza_1 = grid->RowHeight(0);
  Col_Intestazione[2] = "Valore|in|euro";
  Righe_Intestazione = 3;
  Visualizza_Griglia();
  EXPECT_LT(Righe_Visibili, righe_1);
  EXPECT_EQ(grid->RowHeight(0), ((Altezza_Riga - 3) * 3 + 6) * 15);
  EXPECT_GT(grid->RowHeight(0), altezza_1);
  EXPECT_EQ(grid->TextMatrix(0, 2), "Valore|in|euro") << "the strip draws the lines";
}

TEST_F(Griglia, RowsAreColouredByKindAndLevel) {
  Colonne_Bloccate = 1;
  Risultato({"0000012", "0000012", "000001201003", "00000132", "000001310015", "00000111", "00000114",
             "9999994", "0000015", "00000130"});
  Visualizza_Griglia();
  struct Caso {
    int riga;
    std::string chiave_colonna_0, colonna_1;
  };
  const std::vector<Caso> casi = {
      {1, "C8/C9", "C0/C1"},     // detail at an odd position: pair 0; the frozen column keeps pair 4
      {2, "C8/C9", "C2/C3"},     // even position: pair 1
      {3, "C8/C9", "L40/L41"},   // detail with level digit 3 at the 12th character: pair 20
      {4, "L68/L69", "L68/L69"}, // subtotal, level 2 at the 8th: pair 26 + 10 - 2 = 34
      {5, "L62/L63", "L62/L63"}, // subtotal with 5 at the 12th: pair 31
      {6, "L36/L37", "L36/L37"}, // head row with level 1 at the 8th: pair 18
      {7, "L42/L43", "L42/L43"}, // head row with level 4: pair 21
      {8, "C6/C7", "C6/C7"},     // grand total: pair 3
      {9, "C0/C1", "C0/C1"},     // any other kind: pair 0 across the frozen column
      {10, "C0/C1", "C0/C1"},    // subtotal of level digit 0 would be pair 36, past the table: pair 0
  };
  for (const Caso& c : casi) {
    EXPECT_EQ(Colore(c.riga, 0), c.chiave_colonna_0) << c.riga;
    EXPECT_EQ(Colore(c.riga, 1), c.colonna_1) << c.riga;
  }
  // In a list the rows alternate by record position, so one record down swaps every colour.
  Modo_Griglia = 1;
  Dettagli(100);
  Visualizza_Griglia();
  EXPECT_EQ(Colore(4, 1), "C2/C3");
  Prima_Riga = 2;
  Visualizza_Griglia();
  EXPECT_EQ(Colore(4, 1), "C0/C1");
}

TEST_F(Griglia, TheHighlightFollowsItsRecordAcrossPagesButNeverTheGrandTotal) {
  Colonne_Bloccate = 1;
  std::vector<std::string> chiavi(300, "0000012");
  chiavi.back() = "9999994";
  Risultato(chiavi);
  Riga_Evidenziata = 3;
  Visualizza_Griglia();
  EXPECT_EQ(Colore(3, 1), "H/H");
  EXPECT_EQ(Colore(3, 0), "C8/C9") << "the highlight leaves the frozen columns alone";
  Prima_Riga = 2;
  Visualizza_Griglia();
  EXPECT_EQ(Colore(2, 1), "H/H");
  EXPECT_NE(Colore(3, 1), "H/H");
  Prima_Riga = 100;
  Visualizza_Griglia();
  for (int r = 1; r < grid->Rows(); ++r) EXPECT_NE(Colore(r, 1), "H/H") << r;

  Prima_Riga = 300;
  Visualizza_Griglia();
  const int ultima = 300 - Prima_Riga + 1;
  EXPECT_FALSE(Visualizza_Evidenzia_Riga(ultima)) << "the grand total is never highlighted";
  EXPECT_EQ(Colore(ultima, 1), "C6/C7");
  Modo_Griglia = 2;
  Visualizza_Griglia();
  EXPECT_TRUE(Visualizza_Evidenzia_Riga(ultima)) << "in a list every row can be";
}

}  // namespace
}  // namespace kyx::test
