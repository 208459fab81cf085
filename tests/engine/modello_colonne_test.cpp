// The column model from the layout's element rows.
#include "engine/modello_colonne.h"

#include <string>

#include "engine/elaborazione.h"
#include "tests/engine/ambiente_motore.h"

namespace kyx::test {
namespace {

class Modello : public Motore {
 public:
  void SetUp() override {
    Motore::SetUp();
    Chiave(1, "K", 3, "@@@");
    Chiave(2, "A", 12);
    Chiave(4, "I", 2);
    Chiave(5, "K", 6, "#MID(1,3)#");
    Chiave(6, "G", 4);
    Chiave(9, "I", 2);  // the data-set slot key
    Valore(1);
    Valore(2);
    Layout(3, "Vendite", 2, 0, "");
  }
};

TEST_F(Modello, LevelKeyColumnsTakeTheirWidthsAndAttributes) {
  Liv_Riga_Chiave[0] = 1;
  Liv_Riga_Chiave[1] = 2;
  Liv_Riga_Chiave[2] = 4;
  Liv_Riga_Chiave[3] = 6;
  Elementi({{.col = 1, .calc = "#L1(001)"},
            {.col = 2, .calc = "#L2(002)"},
            {.col = 3, .calc = "#R1(001)", .snint = "S", .sntot = "N"},
            {.col = 4, .calc = "#R3(004)", .formato = "00"},
            {.col = 5, .calc = "#L4(006)"},
            {.col = 6, .calc = "#L5(007)"}});
  Esegui_Elaborazione();
  EXPECT_EQ(Numero_Colonne, 6);
  EXPECT_EQ(Colonne_Bloccate, 3);
  // "L": at least 8 wide, the key's attributes and format.
  EXPECT_EQ(Col_Tipo[1], 8);
  EXPECT_EQ(Col_Chiave[1], 1);
  EXPECT_EQ(Col_Formato[1], "@@@");
  EXPECT_EQ(Col_Tipo[2], 12);
  // "R1": the 30-wide outline label, shown, remembered as the visible level column.
  EXPECT_EQ(Col_Tipo[3], 30);
  EXPECT_EQ(Col_Attributo[3], "*");
  EXPECT_EQ(Col_Visibile[3], 2);
  EXPECT_EQ(Livelli_Visibili, 3);
  EXPECT_EQ(Livelli_R, -1);
  EXPECT_EQ(Liv_Intestazione[0], "S");
  EXPECT_EQ(Liv_Subtotale[0], "N");
  EXPECT_EQ(Liv_Formato[0], "@@@");
  // A deeper "R" level is hidden; its key (kind "I") is two wide; the element's format wins.
  EXPECT_EQ(Col_Visibile[4], 0);
  EXPECT_EQ(Col_Tipo[4], 2);
  EXPECT_EQ(Liv_Formato[2], "00");
  // A key of kind "G", and a level without a chosen key, hide the column and give it no key.
  EXPECT_EQ(Col_Visibile[5], 0);
  EXPECT_EQ(Col_Chiave[5], -1);
  EXPECT_EQ(Col_Visibile[6], 0);
  // The sort starts on the visible "R" column.
  EXPECT_EQ(Colonna_Ordinamento, 3);
  EXPECT_EQ(Verso_Ordinamento, " ASC");
}

TEST_F(Modello, KeyCodeColumnsJoinTheQueryAndHideByLetter) {
  Elementi({{.col = 1, .calc = "#DE(005)"},
            {.col = 2, .calc = "#DR(001)"},
            {.col = 3, .calc = "#DD(002)"},
            {.col = 4, .calc = "#DE(004)"},  // kind "I": nothing more
            {.col = 5, .calc = "#+V001#"}});
  Esegui_Elaborazione();
  EXPECT_EQ(Col_Visibile[1], 2);
  EXPECT_EQ(Col_Visibile[2], 0);
  EXPECT_EQ(Col_Visibile[3], 0);
  EXPECT_EQ(Col_Tipo[1], 6);
  EXPECT_EQ(Col_Formato[1], "#MID(1,3)#");
  EXPECT_EQ(Col_Tipo[4], 1);
  EXPECT_EQ(Livello_Contatore_1, 3);
  EXPECT_EQ(Livello_Contatore_2, 2);
  EXPECT_EQ(Col_Lavoro_1[0], 5);
  EXPECT_EQ(Col_Lavoro_2[1], 2);
  EXPECT_EQ(Col_Lavoro_3[2], "D");
  ASSERT_EQ(Numero_Query, 1);
  EXPECT_EQ(Query_Testo[0],
            "SELECT k_005,k_001,k_002,sum(V_001_01+V_001_02+V_001_03) FROM KYX_D0_00F  group by k_005,k_001,k_002");
}

TEST_F(Modello, NumericColumnsTakeTheirFormatFromElementKeyOrDefault) {
  Liv_Colonna_Chiave[0] = 1;
  Elementi({{.col = 1, .calc = "#C1(001)#+V001#"},
            {.col = 2, .calc = "#+V002#"},
            {.col = 3, .calc = "#+V002#", .formato = "0.0"},
            {.col = 4, .calc = "(c2+c3)/2"},
            {.col = 5, .calc = "#@ testo"},
            {.col = 6, .calc = "#R1L"}});
  Esegui_Elaborazione();
  EXPECT_EQ(Col_Formato[1], "###,###,###,##0.000") << "the column key's format is its headings'";
  EXPECT_EQ(Col_VCK[1], 1);
  EXPECT_EQ(Lunghezza_VCK[1], 3);
  EXPECT_EQ(Col_Formato[2], "###,###,###,##0.000");
  EXPECT_EQ(Col_Formato[3], "0.0");
  for (int c : {1, 2, 3, 4}) {
    EXPECT_EQ(Col_Tipo[c], 0) << c;
    EXPECT_EQ(Col_Allineamento[c], 7) << c;
    EXPECT_EQ(Col_Valore[c], data::Value(0)) << c;
  }
  EXPECT_EQ(Col_Tipo[5], 40);
  EXPECT_EQ(Col_Formato[5], "");
  EXPECT_EQ(Col_Tipo[6], 255);
  EXPECT_EQ(Col_Ordine[6], 1);
  EXPECT_EQ(Col_Valore[0], data::Value("9999992"));
  EXPECT_EQ(Col_Tipo[0], 12);
  // The cross-tab element has its sum item, but its query belongs to the column-key step.
  EXPECT_EQ(Col_Somma[1], "sum(V_001_01+V_001_02+V_001_03)");
  ASSERT_EQ(Numero_Query, 1);
  EXPECT_EQ(Query_Testo[0], "SELECT sum(V_002_01+V_002_02+V_002_03),sum(V_002_01+V_002_02+V_002_03) FROM KYX_D0_00F ");
}

TEST_F(Modello, WidthsComeFromTheSettingsWhenPositive) {
  Profilo_Corrente = 2;
  Ini("[002]\nDim L003 001=2200\nDim L003 002=0\nDim L003 003=abc\nDim L003 004=99999\nDim L003 005=-5\n");
  Elementi({{.col = 1, .calc = "#+V001#", .dim_s = 900},
            {.col = 2, .calc = "#+V001#"},
            {.col = 3, .calc = "#+V001#"},
            {.col = 4, .calc = "#+V001#"},
            {.col = 5, .calc = "#+V001#"},
            {.col = 6, .calc = "#+V001#"}});
  Esegui_Elaborazione();
  EXPECT_EQ(Col_Larghezza[1], 2200);
  for (int c : {2, 3, 4, 5, 6}) EXPECT_EQ(Col_Larghezza[c], 1500) << c;
  EXPECT_EQ(Col_Larghezza_Stampa[1], 900);
  EXPECT_EQ(Col_Larghezza_Stampa[2], 1500);
}

TEST_F(Modello, HeadingsVisibilityAndTotalsFlags) {
  Anno_Riferimento = 2024;
  Elementi({{.col = 1, .calc = "#+V001#", .inte = "  Vendite|#A??  ", .vis = "V", .tot = "T"},
            {.col = 2, .calc = "#+V001#", .vis = "P", .tot = "S"},
            {.col = 3, .calc = "#+V001#", .vis = "X", .tot = "U"},
            {.col = 4, .calc = "#+V001#", .tot = "Q"}});
  Esegui_Elaborazione();
  EXPECT_EQ(Col_Intestazione[1], "Vendite|2024");
  EXPECT_EQ(Col_Visibile[1], 2);
  EXPECT_EQ(Col_Visibile[2], 1);
  EXPECT_EQ(Col_Visibile[3], 0);
  EXPECT_EQ(Col_Totale[1], 2);
  EXPECT_EQ(Col_Totale[2], 3);
  EXPECT_EQ(Col_Totale[3], 4);
  EXPECT_EQ(Col_Totale[4], 1);
}

TEST_F(Modello, RowsBelowTheHeadingRowsOnlyBringValueItems) {
  Elementi({{.rig = 2, .col = 3, .calc = "#+V001#", .inte = "X"},
            {.rig = 300, .col = 400, .calc = "#+V002#"},
            {.rig = 3, .col = 1, .calc = "#@ testo"}});
  Esegui_Elaborazione();
  EXPECT_EQ(Numero_Colonne, 253);
  EXPECT_EQ(Riga_Layout_Massima, 255);
  EXPECT_EQ(Elem_Riga[2], 255);
  EXPECT_EQ(Elem_Colonna[2], 253);
  for (int c : {1, 3, 253}) {
    EXPECT_EQ(Col_Tipo[c], 1) << c;
    EXPECT_EQ(Col_Intestazione[c], "") << c;
    EXPECT_EQ(Col_Ordine[c], 1) << c;
  }
  EXPECT_EQ(Col_Somma[1], "sum(V_001_01+V_001_02+V_001_03)");
  EXPECT_EQ(Col_Somma[2], "");  // joined the first query
  ASSERT_EQ(Numero_Query, 1);
  EXPECT_EQ(Query_Ultimo[0], 1);
  EXPECT_EQ(Query_Colonna[1], 253);
  EXPECT_EQ(Query_Riga[1], 255);
}

TEST_F(Modello, RowCountNeedsTheSlotKeyOutsideTheRowLevels) {
  Elementi({{.col = 1, .calc = "#NR(005)"}});
  Esegui_Elaborazione();
  EXPECT_EQ(Elem_Chiave[1], 5);
  EXPECT_EQ(Col_Somma[1], "k_005");
  ASSERT_EQ(Numero_Query, 1);
  EXPECT_EQ(Query_Testo[0], "Select k_005 FROM KYX_D0_00F  group by k_005");

  // With the slot key as a row level the token is an ordinary formula column.
  Liv_Riga_Chiave[0] = 9;
  Esegui_Elaborazione();
  EXPECT_EQ(Elem_Chiave[1], 0);
  EXPECT_EQ(Col_Somma[1], "");
  EXPECT_EQ(Col_Tipo[1], 0);
  EXPECT_EQ(Numero_Query, 0);
}

TEST_F(Modello, ChangedLevelKeysMarkTheLayoutAsChanged) {
  Liv_Riga_Chiave[0] = 1;
  Liv_Colonna_Chiave[0] = 2;
  Elementi({{.col = 1, .calc = "#L1(001)"}, {.col = 2, .calc = "#C1(002)#+V001#"}});
  // Seen through the remembered columns: a column the user hid stays hidden only while the layout
  // runs again with the same keys.
  Memorizza_Colonne = true;
  Layout_Precedente = 3;
  Esegui_Elaborazione();
  EXPECT_EQ(Layout_Precedente, 3) << "the end of the run makes this layout the previous one";
  const uint8_t proprio = Col_Visibile[1];
  Col_Visibile_Memoria[1] = 0;  // hidden by the user
  Esegui_Elaborazione();
  EXPECT_EQ(Col_Visibile[1], 0);  // the same keys again
  Liv_Colonna_Chiave[0] = 5;
  Esegui_Elaborazione();
  EXPECT_EQ(Col_Visibile[1], proprio);
}

TEST_F(Modello, DefaultSortAndCodeDescriptionPairs) {
  Riga("LAYOUT", {"IDX", "COL_O", "COL_OT"}, {4, 4, "D"});
  Liv_Riga_Chiave[0] = 1;
  Liv_Riga_Chiave[1] = 2;
  Elementi({{.col = 1, .calc = "#L1(001)"},
            {.col = 2, .calc = "#L2<01>"},
            {.col = 3, .calc = "#L2(002)", .sntot = "S"},
            {.col = 4, .calc = "#+V001#"},
            {.col = 5, .calc = "#L1<01>"}},
           4);
  Layout_Corrente = 4;
  Esegui_Elaborazione();
  EXPECT_EQ(Col_Tipo[2], 40);
  // Each description column points at its level's code column, where its cells read the code.
  EXPECT_EQ(Col_Descrizione[2], 3);
  EXPECT_EQ(Col_Descrizione[5], 1);
  for (int c : {1, 3, 4}) EXPECT_EQ(Col_Descrizione[c], -1) << c;
  // Subtotals of "L" levels: the upper level may not be sorted, by its code nor by its
  // description; the globals stay as they were.
  EXPECT_EQ(Subtotali_Richiesti, -1);
  EXPECT_EQ(Col_Ordine[1], 1);
  EXPECT_EQ(Col_Ordine[5], 1);
  EXPECT_EQ(Col_Ordine[3], 0);
  EXPECT_EQ(Col_Ordine[2], 0);
  // The layout's own sort column wins when sortable.
  EXPECT_EQ(Colonna_Ordinamento_Elaborazione, 4);
  EXPECT_EQ(Verso_Ordinamento_Elaborazione, " DESC");

  // Without row levels no column sorts and the layout's choice is not consulted.
  Liv_Riga_Chiave.fill(-1);
  Esegui_Elaborazione();
  for (int c = 1; c <= 4; ++c) EXPECT_EQ(Col_Ordine[c], 1) << c;
  EXPECT_EQ(Colonna_Ordinamento_Elaborazione, 0);
  EXPECT_EQ(Verso_Ordinamento_Elaborazione, " ASC");
}

}  // namespace
}  // namespace kyx::test
