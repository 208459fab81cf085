// Whole elaborations on the local data sets (not connected): the queries read KYX_2.MDB, their
// rows pass through DATI2 and are merged into DATI with zero, subtotal and grand-total rows; the
// column-key codes become generated columns, cut at column 252.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/modello.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "db/mdb2.h"
#include "engine/elaborazione.h"
#include "engine/modi_esecuzione.h"
#include "db/mdb1.h"
#include "engine/stato_motore.h"
#include "platform/data/static_recordset.h"
#include "platform/host/scripted_host.h"
#include "platform/vb/vb.h"
#include "tests/engine/ambiente_motore.h"

namespace kyx::test {
namespace {

using Righe = std::vector<std::vector<std::string>>;

// A sales system SI1: area (key 1, 4 characters), agent (key 2, 3 characters), amount (value 1
// over the three data-set slots of key 9).
class Locale : public Motore {
 protected:
  void SetUp() override {
    Motore::SetUp();
    Chiave(1, "K", 4);
    Chiave(2, "K", 3);
    Riga("VALORI", {"SINF", "IDX", "ELEM"}, {"SI1", 1, 3});
    Layout(3, "Vendite");
    Liv_Riga_Chiave[0] = 1;
    ASSERT_TRUE(Apri_MDB2(false, false));
    ASSERT_TRUE(MDB2_Aperto());
  }

  // One data-set row: area, agent and the amount of each slot.
  void Dato(const std::string& area, const std::string& agente, double s1, double s2 = 0, double s3 = 0) {
    const auto t = [](const std::string& s) { return "'" + s + "'"; };
    const std::string sql = "INSERT INTO KYX_D0_00F_SI1 (IDX, K_001, K_002, V_001_01, V_001_02, V_001_03) VALUES (" +
                            std::to_string(++righe_) + "," + t(area) + "," + t(agente) + "," + std::to_string(s1) +
                            "," + std::to_string(s2) + "," + std::to_string(s3) + ")";
    ASSERT_TRUE(Sql(Mdb(2), sql).empty()) << sql;
  }

  Righe Dati(const std::string& colonne) const {
    return Sql(Mdb(3), "SELECT " + colonne + " FROM DATI ORDER BY c000, k001");
  }

  int righe_ = 0;
};

TEST_F(Locale, APlainElaborationYieldsItsDetailRowsAndTheGrandTotal) {
  Elementi({{.col = 1, .calc = "#L1(001)"}, {.col = 2, .calc = "#+V001#", .tot = "T"}});
  Dato("NORD", "A01", 1, 2, 3);
  Dato("SUD", "A02", 10);
  Dato("NORD", "A03", 4);
  Dato("EST", "A04", 0);  // all zero: removed
  Riga_Comando = "/LOG";
  Esegui_Elaborazione();

  ASSERT_EQ(Numero_Query, 1);
  EXPECT_EQ(Dati("c000, c001, c002, k001"), (Righe{{"9999992", "NORD", "10.0", "NORD"},
                                                   {"9999992", "SUD", "10.0", "SUD "},
                                                   {"9999994", " ", "20.0", "-"}}));
  EXPECT_EQ(Totali[0][2], 20.0);
  // The query was run on the system's own data table, and logged with the mode.
  std::string log;
  ASSERT_TRUE(files::read_file(dir.path() + "/KYX.LOG", log));
  EXPECT_NE(log.find("LOCALE     - 000 - SELECT k_001,sum(V_001_01+V_001_02+V_001_03) FROM KYX_D0_00F_SI1  group by k_001"),
            std::string::npos)
      << log;
}

TEST_F(Locale, TwoRowLevelsGetTheSubtotalsOfTheOuterLevel) {
  Elementi({{.col = 1, .calc = "#L1(001)", .sntot = "S"},
            {.col = 2, .calc = "#L2(002)"},
            {.col = 3, .calc = "#+V001#", .tot = "T"}});
  Liv_Riga_Chiave[1] = 2;
  Dato("SUD", "A02", 10);
  Dato("NORD", "A03", 4);
  Dato("NORD", "A01", 1, 2);
  Dato("NORD", "A01", 0, 0, 3);  // the same codes: one row
  Esegui_Elaborazione();
  EXPECT_EQ(Dati("c000, c001, c002, c003"), (Righe{{"0000012", "NORD", "A01", "6.0"},
                                                   {"0000012", "NORD", "A03", "4.0"},
                                                   {"00000131", "NORD", "  totale", "10.0"},
                                                   {"0000022", "SUD", "A02", "10.0"},
                                                   {"00000231", "SUD", "  totale", "10.0"},
                                                   {"9999994", " ", " ", "20.0"}}));
  EXPECT_EQ(Sql(Mdb(3), "SELECT DISTINCT k001 FROM DATI WHERE c000 LIKE '%3_' OR c000 = '9999994'"), (Righe{{"-"}}))
      << "subtotal and total rows carry no codes";
}

TEST_F(Locale, AChangeOfAnOuterLevelClosesEveryInnerGroup) {
  Chiave(3, "K", 1);
  ASSERT_TRUE(Apri_MDB2(true, false));
  Elementi({{.col = 1, .calc = "#L1(001)", .sntot = "S"},
            {.col = 2, .calc = "#L2(002)", .sntot = "S"},
            {.col = 3, .calc = "#L3(003)"},
            {.col = 4, .calc = "#+V001#", .tot = "T"}});
  Liv_Riga_Chiave[1] = 2;
  Liv_Riga_Chiave[2] = 3;
  // The agent is the same on both sides of the change of area.
  ASSERT_TRUE(Sql(Mdb(2), "INSERT INTO KYX_D0_00F_SI1 (IDX, K_001, K_002, K_003, V_001_01, V_001_02, V_001_03) "
                          "VALUES (1, 'NORD', 'A01', 'X', 1, 0, 0), (2, 'SUD', 'A01', 'X', 10, 0, 0)").empty());
  Esegui_Elaborazione();
  EXPECT_EQ(Dati("c000, c001, c002, c003, c004"), (Righe{{"0000012", "NORD", "A01", "X", "1.0"},
                                                         {"00000131", "NORD", "A01", "  totale", "1.0"},
                                                         {"00000132", "NORD", "  totale", " ", "1.0"},
                                                         {"0000022", "SUD", "A01", "X", "10.0"},
                                                         {"00000231", "SUD", "A01", "  totale", "10.0"},
                                                         {"00000232", "SUD", "  totale", " ", "10.0"},
                                                         {"9999994", " ", " ", " ", "11.0"}}));
}

TEST_F(Locale, OutlineLevelsGetHeadAndSubtotalRowsAroundTheirGroups) {
  Elementi({{.col = 1, .calc = "#R1(001)"}, {.col = 2, .calc = "#R2(002)"}, {.col = 3, .calc = "#+V001#", .tot = "T"}});
  Liv_Riga_Chiave[1] = 2;
  Dato("SUD", "A02", 10);
  Dato("NORD", "A03", 4);
  Dato("NORD", "A01", 1, 2);
  Esegui_Elaborazione();
  // The database stores UTF-8, so the fillers read back as two bytes each.
  // Head rows take the number of their group's first detail, subtotals that of its last; the
  // outline column shows the group's key, or the detail's own.
  EXPECT_EQ(Dati("c000, c001, c003, k001"), (Righe{{"00000111001", "NORD", "0.0", "-"},
                                                   {"00000122002", "A01", "3.0", "NORDA01"},
                                                   {"00000222002", "A03", "4.0", "NORDA03"},
                                                   {"00000239001", "NORD", "7.0", "NORD\xC2\xBF\xC2\xBF\xC2\xBF"},
                                                   {"00000311001", "SUD", "0.0", "-"},
                                                   {"00000322002", "A02", "10.0", "SUD A02"},
                                                   {"00000339001", "SUD", "10.0", "SUD \xC2\xBF\xC2\xBF\xC2\xBF"},
                                                   {"9999994", " ", "17.0", "-"}}));
  EXPECT_EQ(Col_Chiave[1], -2) << "the outline columns are no plain key columns any more";
  EXPECT_EQ(Col_Chiave[2], -2);
}

TEST_F(Locale, AHiddenCodeBelowTheOutlineIsTheDetailLevel) {
  Elementi({{.col = 1, .calc = "#R1(001)"}, {.col = 2, .calc = "#DR(002)"}, {.col = 3, .calc = "#+V001#", .tot = "T"}});
  Dato("NORD", "A03", 4);
  Dato("NORD", "A01", 1);
  Esegui_Elaborazione();
  // No outline column for the details: they keep their 7-character keys. The subtotal's codes
  // fill the hidden level as wide as its code.
  EXPECT_EQ(Dati("c000, c001, c002, c003, k001"), (Righe{{"00000111001", "NORD", " ", "0.0", "-"},
                                                         {"0000012", "NORD", "A01", "1.0", "NORDA01"},
                                                         {"0000022", "NORD", "A03", "4.0", "NORDA03"},
                                                         {"00000239001", "NORD", " ", "5.0", "NORD\xC2\xBF\xC2\xBF\xC2\xBF"},
                                                         {"9999994", " ", " ", "5.0", "-"}}));
}

TEST_F(Locale, OneOutlineLevelHasNoGroupsAndKeysItsDetails) {
  Elementi({{.col = 1, .calc = "#R1(001)"}, {.col = 2, .calc = "#+V001#", .tot = "T"}});
  Dato("SUD", "A02", 10);
  Dato("NORD", "A03", 4);
  Esegui_Elaborazione();
  EXPECT_EQ(Dati("c000, c001, c002"),
            (Righe{{"00000121001", "NORD", "4.0"}, {"00000221001", "SUD", "10.0"}, {"9999994", " ", "14.0"}}));
}

TEST_F(Locale, KeepingZeroRowsAndNoQueryRows) {
  Elementi({{.col = 1, .calc = "#L1(001)"}, {.col = 2, .calc = "#+V001#"}});
  Dato("EST", "A04", 0);
  Righe_Zero = true;
  Esegui_Elaborazione();
  EXPECT_EQ(Dati("c000, c001, c002"), (Righe{{"9999992", "EST", "0.0"}, {"9999994", " ", "0.0"}}))
      << "kept, and a column without totals stays at its initial value in the total row";

  // No data at all: no row, so no grand total either.
  ASSERT_TRUE(Sql(Mdb(2), "DELETE FROM KYX_D0_00F_SI1").empty());
  Esegui_Elaborazione();
  EXPECT_TRUE(Dati("c000").empty());
}

TEST_F(Locale, TheSlotKeyAsARowLevelGivesOneRowPerSlot) {
  Chiave(9, "I", 2);
  Liv_Riga_Chiave[0] = 9;
  Liv_Riga_Chiave[1] = 1;
  Elementi({{.col = 1, .calc = "#L1(009)"}, {.col = 2, .calc = "#L2(001)"}, {.col = 3, .calc = "#+V001#", .tot = "T"}});
  Dato("NORD", "A01", 1, 2, 3);
  Dato("SUD", "A02", 10);
  Righe_Zero = true;
  Esegui_Elaborazione();
  ASSERT_EQ(Numero_Query, 1);
  EXPECT_EQ(Query_Testo[0], "SELECT 'ii',k_001,sum(V_001_01), sum(V_001_02), sum(V_001_03)   FROM KYX_D0_00F  group by k_001");
  EXPECT_EQ(Dati("c001, c002, c003, k001"), (Righe{{"01", "NORD", "1.0", "01NORD"},
                                                   {"01", "SUD", "10.0", "01SUD "},
                                                   {"02", "NORD", "2.0", "02NORD"},
                                                   {"02", "SUD", "0.0", "02SUD "},
                                                   {"03", "NORD", "3.0", "03NORD"},
                                                   {"03", "SUD", "0.0", "03SUD "},
                                                   {" ", " ", "16.0", "-"}}));
}

TEST_F(Locale, AnotherSystemsValuesArePutOffAndFillTheDetailRowsThatExist) {
  Sistema("SI2", 9, 3, "LIB2");
  Chiave(1, "K", 4, "", "", "SI2");
  Chiave(2, "K", 3, "", "", "SI2");
  Riga("VALORI", {"SINF", "IDX", "ELEM"}, {"SI2", 1, 3});
  // SI2 numbers both keys as SI1 does.
  Riga("CHIAVI_EXT", {"SINF", "KEY_I", "KEY_E"}, {"SI2", 1, 1});
  Riga("CHIAVI_EXT", {"SINF", "KEY_I", "KEY_E"}, {"SI2", 2, 2});
  ASSERT_TRUE(Apri_MDB2(true, false));
  ASSERT_TRUE(Cn_MDB0->Execute("UPDATE LAYOUT SET MODEST = '1'").ok());  // values per level from the server
  Liv_Riga_Chiave[1] = 2;
  Elementi({{.col = 1, .calc = "#L1(001)", .sntot = "S"},
            {.col = 2, .calc = "#L2(002)"},
            {.col = 3, .calc = "#+V001#", .tot = "T"},
            {.col = 4, .calc = "#+V001#", .sinf = "SI2"}});
  Dato("NORD", "A01", 1);
  Dato("SUD", "A02", 10);
  ASSERT_TRUE(Sql(Mdb(2), "INSERT INTO KYX_D0_00F_SI2 (IDX, K_001, K_002, V_001_01, V_001_02, V_001_03) VALUES "
                          "(1, 'NORD', 'A01', 100, 0, 0), (2, 'OVES', 'A07', 7, 0, 0)").empty());
  Riga_Comando = "/LOG";
  Esegui_Elaborazione();
  ASSERT_EQ(Numero_Query, 2);
  EXPECT_EQ(Query_Sistema[1], "SI2");
  // Only rows that exist take the other system's values; its own codes add no row. The column is
  // summed again at the end: its subtotals and grand total are the sums of its detail rows.
  EXPECT_EQ(Dati("c000, c001, c002, c003, c004"), (Righe{{"0000012", "NORD", "A01", "1.0", "100.0"},
                                                         {"00000131", "NORD", "  totale", "1.0", "100.0"},
                                                         {"0000022", "SUD", "A02", "10.0", "0.0"},
                                                         {"00000231", "SUD", "  totale", "10.0", "0.0"},
                                                         {"9999994", " ", " ", "11.0", "100.0"}}));
  // The put-off query ran in the second pass as built, then once with the last key dropped.
  std::string log;
  ASSERT_TRUE(files::read_file(dir.path() + "/KYX.LOG", log));
  EXPECT_NE(log.find("- 001 - SELECT k_001,k_002,sum(V_001_01+V_001_02+V_001_03) FROM KYX_D0_00F_SI2"), std::string::npos)
      << log;
  EXPECT_NE(log.find("- 001 - SELECT k_001,'\xBF\xBF\xBF',sum("), std::string::npos) << log;
}

TEST_F(Locale, ANullSumMakesTheCellNullAndLeavesTheTotalAlone) {
  Elementi({{.col = 1, .calc = "#L1(001)"}, {.col = 2, .calc = "#+V001#", .tot = "T"}});
  Dato("NORD", "A01", 2.5);
  ASSERT_TRUE(Sql(Mdb(2), "INSERT INTO KYX_D0_00F_SI1 (IDX, K_001, K_002) VALUES (99, 'OVES', 'A09')").empty());
  Righe_Zero = true;
  std::vector<std::pair<float, float>> progresso;
  agganci_motore::Imposta_Progresso = [&](float massimo, float valore) { progresso.emplace_back(massimo, valore); };
  Esegui_Elaborazione();
  EXPECT_EQ(Dati("c000, c001, c002"),
            (Righe{{"9999992", "NORD", "2.5"}, {"9999992", "OVES", "NULL"}, {"9999994", " ", "2.5"}}));
  // One query: the bar runs 0 .. 23, starts at 3 and takes one step of 10.
  EXPECT_EQ(progresso, (std::vector<std::pair<float, float>>{{23.0f, 3.0f}, {23.0f, 13.0f}}));
}

TEST_F(Locale, AFixedLayoutTakesEachValueIntoItsOwnRow) {
  Liv_Riga_Chiave[0] = -1;
  Elementi({{.rig = 1, .col = 1, .calc = "#@Ricavi#"},
            {.rig = 1, .col = 2, .calc = "#+V001#", .tot = "T"},
            {.rig = 2, .col = 1, .calc = "#@Ancora#"},
            {.rig = 2, .col = 2, .calc = "#+V001#", .tot = "T"}});
  Righe_Zero = true;
  ASSERT_TRUE(Sql(Mdb(2), "INSERT INTO KYX_D0_00F_SI1 (IDX, K_001, K_002, V_001_01, V_001_02, V_001_03) "
                          "VALUES (1, 'NORD', 'A01', 7, 0, 0), (2, 'SUD', 'A02', 5, 0, 0)").empty());
  Esegui_Elaborazione();
  ASSERT_EQ(Numero_Query, 1) << "both items in one query";
  EXPECT_EQ(Query_Ultimo[0], 1);
  EXPECT_EQ(Sql(Mdb(3), "SELECT c000, c001, c002 FROM DATI ORDER BY c000"),
            (Righe{{"0000012", "Ricavi", "12.0"}, {"0000022", "Ancora", "12.0"}, {"9999994", " ", "24.0"}}));
}

TEST_F(Locale, AColumnKeyBecomesOneColumnPerCodeAndLaterColumnsMoveRight) {
  Elementi({{.col = 1, .calc = "#L1(001)"},
            {.col = 2, .calc = "#C1(002)#+V001#"},
            {.col = 3, .calc = "#+V001#", .tot = "T"}});
  Liv_Colonna_Chiave[0] = 2;
  Dato("NORD", "A01", 1, 2, 3);
  Dato("NORD", "A03", 4);
  Dato("SUD", "A02", 10);
  Esegui_Elaborazione();
  EXPECT_EQ(Numero_Colonne, 5);
  EXPECT_EQ(Col_VCC[2], "A01");
  EXPECT_EQ(Col_VCC[3], "A02");
  EXPECT_EQ(Col_VCC[4], "A03");
  EXPECT_EQ(Col_VCK[5], 0) << "the value column moved from 3 to 5";
  EXPECT_EQ(Elem_Colonna[3], 5);
  ASSERT_EQ(Numero_Query, 2);
  EXPECT_EQ(Query_Testo[1],
            "sELECT k_001,k_002,sum(V_001_01+V_001_02+V_001_03) FROM KYX_D0_00F  group by k_001,k_002");
  EXPECT_EQ(Query_Ultimo[1], 2);
  EXPECT_EQ(Dati("c000, c001, c002, c003, c004, c005"),
            (Righe{{"9999992", "NORD", "6.0", "0.0", "4.0", "10.0"},
                   {"9999992", "SUD", "0.0", "10.0", "0.0", "10.0"},
                   {"9999994", " ", "0.0", "0.0", "0.0", "20.0"}}));
  EXPECT_FALSE(Troppe_Colonne);
}

// An agent column key shown through #MID(2,2)#: the generated columns' headings show each agent in
// that format, while their cells are amounts and keep the number format of the value element (or the
// default one when the element has none).
TEST_F(Locale, GeneratedColumnsHeadTheKeyValueInItsFormatAndKeepTheNumberFormat) {
  ASSERT_TRUE(Sql(Mdb(0), "UPDATE CHIAVI SET ATTR = '1', FORMATO = '#MID(2,2)#' WHERE IDX = 2").empty());
  Elementi({{.col = 1, .calc = "#L1(001)"},
            {.col = 2, .calc = "#C1(002)#+V001#", .inte = "Agente|#C1C"},
            {.col = 3, .calc = "#C1(002)#+V001#", .inte = "#C1C", .formato = "#,##0.00"}});
  Liv_Colonna_Chiave[0] = 2;
  Dato("NORD", "A10", 1);
  Dato("SUD", "A08", 10);
  Esegui_Elaborazione();
  ASSERT_EQ(Numero_Colonne, 5);
  const std::vector<std::string> intestazioni = {Col_Intestazione[2], Col_Intestazione[3], Col_Intestazione[4],
                                                 Col_Intestazione[5]};
  EXPECT_EQ(intestazioni, (std::vector<std::string>{"Agente|08", "Agente|10", "08", "10"}));
  for (int c : {2, 3}) EXPECT_EQ(Col_Formato[c], "###,###,###,##0.000") << c;
  for (int c : {4, 5}) EXPECT_EQ(Col_Formato[c], "#,##0.00") << c;
}

TEST_F(Locale, GeneratedColumnsEndAtColumn252) {
  Elementi({{.col = 1, .calc = "#L1(001)"}, {.col = 250, .calc = "#C1(002)#+V001#"}});
  Liv_Colonna_Chiave[0] = 2;
  for (int a = 1; a <= 10; ++a) Dato("NORD", "A" + std::to_string(10 + a), a);
  host.expect("L'elaborazione ha prodotto troppe colonne,\rle colonne eccedenti sono state eliminate.");
  Esegui_Elaborazione();
  EXPECT_TRUE(Troppe_Colonne);
  EXPECT_EQ(Numero_Colonne, 252);
  EXPECT_EQ(Col_VCC[250], "A11");
  EXPECT_EQ(Col_VCC[252], "A13");
  EXPECT_EQ(Query_Ultimo[Numero_Query - 1], 2);
  EXPECT_EQ(Dati("c250, c251, c252"), (Righe{{"1.0", "2.0", "3.0"}, {"0.0", "0.0", "0.0"}}));
  ASSERT_EQ(host.shown().size(), 1u);
  EXPECT_EQ(host.shown()[0].style, 48);
}

// Limits that leave columns at zero are told once per run, as the cut at column 252 is.
TEST_F(Locale, FormulasBeyondTheEvaluatorsLimitsAreToldOncePerRun) {
  // The layout's formulas are short; the parameters they name make them long or deep.
  Parametri_Valore[0] = "1";
  while (Parametri_Valore[0].size() <= 4096) Parametri_Valore[0] += "+1";
  Parametri_Valore[1] = std::string(600, '(') + "1" + std::string(600, ')');
  Elementi({{.col = 1, .calc = "#L1(001)"},
            {.col = 2, .calc = "#+V001#"},
            {.col = 3, .calc = "c2+#X1"},
            {.col = 4, .calc = "c2*#X2"},
            {.col = 5, .calc = "c2*2"}});
  Dato("NORD", "A01", 5);
  const std::string avviso = "Una formula supera i 4096 caratteri o i 500 livelli di parentesi,\r"
                             "le sue colonne sono rimaste a zero.";
  for (int run = 0; run < 2; ++run) {
    host.expect(avviso);
    Esegui_Elaborazione();
    // The formulas are computed on the displayed copy: its detail row comes first.
    ASSERT_TRUE(Rs_Griglia && Rs_Griglia->MoveFirst().ok());
    EXPECT_EQ(Rs_Griglia->Field(0).AsText(), "9999992");
    const std::vector<double> celle = {Rs_Griglia->Field(2).AsDouble(), Rs_Griglia->Field(3).AsDouble(),
                                       Rs_Griglia->Field(4).AsDouble(), Rs_Griglia->Field(5).AsDouble()};
    EXPECT_EQ(celle, (std::vector<double>{5, 0, 0, 10}));
    EXPECT_EQ(host.pending(), 0u);
    ASSERT_EQ(host.shown().size(), static_cast<size_t>(run + 1)) << "one message per run";
    EXPECT_EQ(host.shown().back().style, 48);
  }
  Parametri_Valore = {};
}

TEST_F(Locale, CrossTabItemsBeyondAFullItemMapAreToldOncePerRun) {
  // Forty value rows of a fixed layout take forty items; 230 agents would need 230 more.
  std::vector<E> righe = {{.col = 1, .calc = "#L1(001)"}, {.col = 2, .calc = "#C1(002)#+V001#"}};
  for (int r = 2; r <= 41; ++r) righe.push_back({.rig = r, .col = 1, .calc = "#+V001#"});
  Elementi(righe);
  Liv_Colonna_Chiave[0] = 2;
  for (int a = 100; a < 330; ++a) Dato("NORD", std::to_string(a), 1);
  host.expect("L'elaborazione richiede troppi valori per colonna,\rle colonne eccedenti sono rimaste a zero.");
  Esegui_Elaborazione();
  EXPECT_EQ(host.pending(), 0u);
  ASSERT_EQ(host.shown().size(), 1u);
  EXPECT_EQ(Numero_Colonne, 231);
  EXPECT_FALSE(Troppe_Colonne);
}

TEST_F(Locale, AQueryTheDatabaseRefusesIsReportedAndTheRunGoesOn) {
  // Key 5 came after the data sets were made: the table has no column for it.
  Chiave(5, "K", 2);
  Elementi({{.col = 1, .calc = "#L1(001)"},
            {.col = 2, .calc = "#C1(005)#+V001#"},
            {.col = 3, .calc = "#+V001#", .tot = "T"}});
  Liv_Colonna_Chiave[0] = 5;
  Dato("NORD", "A01", 1);
  // The code list of the column key fails: no generated column, the value query still runs.
  host.expect("Errore 027 - Richiesta_ESEGUI\r999\rselect k_005 FROM KYX_D0_00F_SI1");
  Esegui_Elaborazione();
  EXPECT_EQ(Dati("c000, c001, c003"), (Righe{{"9999992", "NORD", "1.0"}, {"9999994", " ", "1.0"}}));

  // Now the value query itself groups by the missing key: reported, and nothing is merged.
  Liv_Riga_Chiave[1] = 5;
  host.expect("Errore 027 - Richiesta_ESEGUI\r999\r");
  host.expect("Errore 027 - Richiesta_ESEGUI\r000\rSELECT k_001,k_005,sum(V_001_01+V_001_02+V_001_03) FROM KYX_D0_00F_SI1");
  Esegui_Elaborazione();
  EXPECT_TRUE(Dati("c000").empty());
  ASSERT_EQ(host.shown().size(), 3u);
  for (const auto& box : host.shown()) EXPECT_EQ(box.style, 16) << "critical icon";
  EXPECT_EQ(host.pending(), 0u);
}

TEST_F(Locale, ASkippedRowLevelTakesNoFieldOfTheWorkRows) {
  // Level 1 unset, level 2 on the area: the queries select one code, the merge reads one.
  Liv_Riga_Chiave[0] = -1;
  Liv_Riga_Chiave[1] = 1;
  Elementi({{.col = 1, .calc = "#L2(001)"}, {.col = 2, .calc = "#+V001#", .tot = "T"}});
  Dato("NORD", "A01", 1, 2);
  Dato("SUD", "A02", 10);
  Esegui_Elaborazione();
  EXPECT_EQ(Numero_Livelli, 2);
  EXPECT_EQ(Dati("c000, c001, c002, k001"),
            (Righe{{"9999992", "NORD", "3.0", "NORD"}, {"9999992", "SUD", "10.0", "SUD "}, {"9999994", " ", "13.0", "-"}}));
}

// The description columns of two levels show the descriptions of the codes beside them, found
// under the keys' description key; a subtotal row describes its own level only.
TEST_F(Locale, DescriptionColumnsDescribeTheCodesOfTheirLevels) {
  ASSERT_TRUE(Apri_MDB1(true, false));
  ASSERT_TRUE(Sql(Mdb(0), "UPDATE CHIAVI SET ATTR = '1', KEY_D = IDX + 6 WHERE IDX IN (1, 2)").empty());
  ASSERT_TRUE(Sql(Mdb(1), "INSERT INTO KYX_DS_20F (S_DS_STAT, S_DS_KEY, S_DS_CODI, S_DS_D_01) VALUES "
                          "(' ', 7, 'NORD', 'Nord Italia'), (' ', 8, 'A01', 'Rossi'), (' ', 2, 'A03', 'of key 2')")
                  .empty());
  Elementi({{.col = 1, .calc = "#L1(001)", .sntot = "S"},
            {.col = 2, .calc = "#L1<01>"},
            {.col = 3, .calc = "#L2(002)"},
            {.col = 4, .calc = "#L2<01>"},
            {.col = 5, .calc = "#+V001#", .tot = "T"}});
  Liv_Riga_Chiave[1] = 2;
  Dato("NORD", "A01", 1);
  Dato("NORD", "A03", 4);
  ASSERT_TRUE(Esegui_Elaborazione());
  EXPECT_EQ(Col_Descrizione[2], 1);
  EXPECT_EQ(Col_Descrizione[4], 3);
  std::vector<std::string> righe;
  auto* rs = dynamic_cast<data::StaticRecordset*>(Rs_Griglia.get());
  ASSERT_TRUE(rs && rs->IsOpen());
  for ((void)rs->MoveFirst(); !rs->AfterLast(); (void)rs->MoveNext()) {
    std::string r;
    for (int c = 1; c <= 4; ++c) r += vb::RTrim(rs->Field(c).AsText()) + "|";
    righe.push_back(r);
  }
  EXPECT_EQ(righe, (std::vector<std::string>{"NORD|Nord Italia|A01|Rossi|",
                                             "NORD|Nord Italia|A03|*** non codificato ***|",
                                             "NORD|Nord Italia|  totale||",
                                             "|Totale|||"}));
}

// The end of a run: the display recordset, the derived columns, the main window and the history.
TEST_F(Locale, AFinishedRunShowsItsResultAndSavesItAfterTheColumnsAreFitted) {
  Elementi({{.col = 1, .calc = "#L1(001)"},
            {.col = 2, .calc = "#+V001#", .tot = "T"},
            {.col = 3, .calc = "c2*2", .tot = "T"}});
  Dato("NORD", "A01", 1, 2);
  Dato("SUD", "A02", 10);
  std::vector<std::string> chiamate;
  agganci_motore::Visualizza_Larghezza_Colonne = [&](int32_t c, int16_t h, int16_t t) {
    chiamate.push_back("Larghezze " + std::to_string(c) + " " + std::to_string(h) + " " + std::to_string(t));
  };
  agganci_motore::Salva_Layout = [&](const std::string& op, int16_t c) {
    ASSERT_TRUE(Rs_Griglia && Rs_Griglia->IsOpen()) << "the result exists when it is saved";
    chiamate.push_back("Salva_Layout " + op + " " + std::to_string(c));
  };
  Adatta_Dopo_Elaborazione = 2;
  EXPECT_TRUE(Esegui_Elaborazione());
  EXPECT_EQ(chiamate, (std::vector<std::string>{"Larghezze 65535 -1 0", "Salva_Layout ADD 0"}));
  auto* rs = dynamic_cast<data::StaticRecordset*>(Rs_Griglia.get());
  ASSERT_TRUE(rs && rs->IsOpen());
  EXPECT_FALSE(rs->IsConnected()) << "sorts and updates work on the copy";
  EXPECT_EQ(Numero_Record, 3);
  EXPECT_EQ(Filtro_Griglia, "");
  std::vector<std::string> righe;
  for ((void)rs->MoveFirst(); !rs->AfterLast(); (void)rs->MoveNext())
    righe.push_back(rs->Field(1).AsText() + " " + rs->Field(3).AsText());
  EXPECT_EQ(righe, (std::vector<std::string>{"NORD 6", "SUD 20", "  26"})) << "formula on details and, kind T, on the total";
  EXPECT_EQ(Layout_Precedente, 3);

  // Without rows: the recordset still opens, empty, and the run is saved.
  chiamate.clear();
  ASSERT_TRUE(Sql(Mdb(2), "DELETE FROM KYX_D0_00F_SI1").empty());
  Adatta_Dopo_Elaborazione = 0;
  EXPECT_TRUE(Esegui_Elaborazione());
  EXPECT_EQ(chiamate, (std::vector<std::string>{"Salva_Layout ADD 0"}));
  ASSERT_TRUE(Rs_Griglia && Rs_Griglia->IsOpen());
  EXPECT_EQ(Numero_Record, 0);
}

TEST_F(Locale, TheSameLayoutAgainKeepsTheUsersColumnsAndSortAnotherInBetweenDoesNot) {
  Elementi({{.col = 1, .calc = "#L1(001)"}, {.col = 2, .calc = "#+V001#", .tot = "T"}});
  Layout(4, "Altro");
  Elementi({{.col = 1, .calc = "#L1(001)"}, {.col = 2, .calc = "#+V001#"}}, 4);
  Dato("NORD", "A01", 1);
  Dato("SUD", "A02", 10);
  Memorizza_Colonne = true;
  Esegui_Elaborazione();
  const uint8_t proprio = Col_Visibile[2];
  const int16_t bloccate = Colonne_Bloccate;
  const auto utente = [] {  // what the views record when the user hides, freezes and sorts
    Col_Visibile_Memoria[2] = 0;
    Colonne_Bloccate_Memoria = 2;
    Colonna_Ordinamento_Memoria = 2;
    Verso_Ordinamento_Memoria = " DESC";
  };
  utente();
  Esegui_Elaborazione();
  EXPECT_EQ(Col_Visibile[2], 0);
  EXPECT_EQ(Colonne_Bloccate, 2);
  EXPECT_EQ(Colonna_Ordinamento, 2);
  EXPECT_EQ(Verso_Ordinamento, " DESC");
  EXPECT_EQ(Rs_Griglia->Field(1).AsText(), "SUD") << "sorted by the user's column, descending";

  utente();
  Layout_Corrente = 4;
  Esegui_Elaborazione();
  Layout_Corrente = 3;
  Esegui_Elaborazione();
  EXPECT_EQ(Col_Visibile[2], proprio);
  EXPECT_EQ(Colonne_Bloccate, bloccate);
  EXPECT_EQ(Colonna_Ordinamento, Colonna_Ordinamento_Elaborazione);
  EXPECT_EQ(Verso_Ordinamento, " ASC");
}

TEST_F(Locale, HiddenHeadRowsLeaveTheDisplayAndTheCount) {
  Elementi({{.col = 1, .calc = "#R1(001)", .snint = "N"},
            {.col = 2, .calc = "#R2(002)"},
            {.col = 3, .calc = "#+V001#", .tot = "T"}});
  Liv_Riga_Chiave[1] = 2;
  Dato("SUD", "A02", 10);
  Dato("NORD", "A03", 4);
  Esegui_Elaborazione();
  ASSERT_TRUE(Rs_Griglia && Rs_Griglia->IsOpen());
  std::vector<std::string> tipi;
  for ((void)Rs_Griglia->MoveFirst(); !Rs_Griglia->AfterLast(); (void)Rs_Griglia->MoveNext())
    tipi.push_back(Rs_Griglia->Field(0).AsText().substr(6, 1));
  EXPECT_EQ(tipi, (std::vector<std::string>{"2", "3", "2", "3", "4"}));
  EXPECT_EQ(Numero_Record, 5);
  EXPECT_EQ(Sql(Mdb(3), "SELECT count(*) FROM DATI"), (Righe{{"7"}})) << "DATI keeps them";
}

TEST(Modi, TheModeFollowsTheConnectionAndTheTableFollowsTheSystem) {
  stato::reset();
  Sistema_Informativo = "SI1";
  EXPECT_EQ(Modo_Esecuzione(), "LOCALE");
  DataBase_SQL = "VENDITE";
  EXPECT_EQ(Modo_Esecuzione(), "LOCALE") << "a SQL Server database is not used while not connected";
  Connesso = true;
  EXPECT_EQ(Modo_Esecuzione(), "SQL");
  DataBase_SQL = "";
  EXPECT_EQ(Modo_Esecuzione(), "AS400");
  EXPECT_EQ(Tabella_Sistema("select k_001 FROM KYX_D0_00F a, KYX_D0_00F b", ""),
            "select k_001 FROM KYX_D0_00F_SI1 a, KYX_D0_00F_SI1 b");
  EXPECT_EQ(Tabella_Sistema("SELECT x FROM KYX_D0_00F", "ALT"), "SELECT x FROM KYX_D0_00F_ALT");
  stato::reset();
}

}  // namespace
}  // namespace kyx::test
