// Cells of formula and label columns, row by row of a small display recordset.
#include "engine/valore_cella.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/modello.h"
#include "common/stato.h"
#include "engine/stato_motore.h"
#include "platform/data/static_recordset.h"
#include "tests/engine/ambiente_motore.h"

namespace kyx::test {
namespace {

// Columns: 1 the level-1 code, 2 and 3 numbers, 4 a label or formula column, 5 a second code.
class Cella : public Motore {
 protected:
  void SetUp() override {
    Motore::SetUp();
    Chiave(1, "K", 4);
    Numero_Colonne = 5;
    for (int c : {2, 3}) Col_Tipo[static_cast<size_t>(c)] = 0;
    for (int c : {1, 4, 5}) Col_Tipo[static_cast<size_t>(c)] = 40;
    Col_Visibile.fill(2);
    Col_Totale.fill(1);
    Col_Descrizione[4] = 1;
    Liv_Riga_Chiave[0] = 1;
    Liv_Riga_Chiave[1] = 1;
    Numero_Livelli = 2;
    rs.AppendField(data::TextField("c000", 12));
    rs.AppendField(data::TextField("c001", 40));
    rs.AppendField(data::DoubleField("c002"));
    rs.AppendField(data::DoubleField("c003"));
    rs.AppendField(data::TextField("c004", 40));
    rs.AppendField(data::TextField("c005", 40));
    ASSERT_TRUE(rs.OpenFabricated().ok());
  }

  // The cell of column 4 after Valore_Cella on a row with key c000 and the given cells.
  data::Value Calcola(const std::string& token, const std::string& c000, const std::string& c004 = "prima",
                      double c002 = 3, const std::string& c005 = "") {
    EXPECT_TRUE(rs.AddNew().ok());
    (void)rs.Set(0, data::Value(c000));
    (void)rs.Set(1, data::Value("NORD"));
    (void)rs.Set(2, data::Value(c002));
    (void)rs.Set(3, data::Value());
    (void)rs.Set(4, data::Value(c004));
    (void)rs.Set(5, data::Value(c005));
    EXPECT_TRUE(rs.Update().ok());
    int16_t colonna = 4;
    std::string t = token;
    Col_Calcolo[4] = token;
    Valore_Cella(colonna, t, rs);
    return rs.Field(4);
  }

  data::StaticRecordset rs;
};

TEST_F(Cella, FormulasRunOnDetailsAndOnOtherRowsOnlyForTotalKindT) {
  struct Caso {
    std::string c000;
    uint8_t totale;
    std::string atteso;
  };
  for (const Caso& k : std::vector<Caso>{{"0000012", 1, "7"},
                                         {"00000122002", 1, "7"},
                                         {"00000131", 1, "prima"},
                                         {"00000111001", 1, "prima"},
                                         {"9999994", 1, "prima"},
                                         {"00000131", 2, "7"},
                                         {"9999994", 2, "7"}}) {
    Col_Totale[4] = k.totale;
    EXPECT_EQ(Calcola("c2*2+c3+1", k.c000).AsText(), k.atteso) << k.c000 << " T=" << int(k.totale);
  }
  EXPECT_EQ(Valori_Riga[3], 0) << "a Null number counts as 0";
}

TEST_F(Cella, AValueTheCellCannotTakeLeavesZero) {
  data::StaticRecordset stretto;
  stretto.AppendField(data::TextField("c000", 12));
  stretto.AppendField(data::DoubleField("c001"));
  stretto.AppendField(data::TextField("c002", 3));
  ASSERT_TRUE(stretto.OpenFabricated().ok());
  ASSERT_TRUE(stretto.AddNew().ok());
  (void)stretto.Set(0, data::Value("0000012"));
  (void)stretto.Set(1, data::Value(12.0));
  (void)stretto.Set(2, data::Value("abc"));
  ASSERT_TRUE(stretto.Update().ok());
  Numero_Colonne = 2;
  Col_Tipo[1] = 0;
  int16_t colonna = 2;
  for (const auto& [formula, atteso] : std::vector<std::pair<std::string, std::string>>{{"c1*1000", "0"}, {"c1", "12"}}) {
    std::string f = formula;
    Valore_Cella(colonna, f, stretto);
    EXPECT_EQ(stretto.Field(2).AsText(), atteso) << formula;
  }
}

TEST_F(Cella, SubtotalReferencesReadTheLevelOfTheRowKey) {
  Col_Totale[4] = 2;
  for (int l = 0; l < 10; ++l) Totali[static_cast<size_t>(l)][2] = 10 * l + 1;
  struct Caso {
    std::string c000;
    int livello;
  };
  for (const Caso& k : std::vector<Caso>{{"0000012", 0},
                                         {"00000111001", 0},
                                         {"00000122002", 1},
                                         {"00000139001", 0},
                                         {"00000138001", 1},
                                         {"00000311001", 0},
                                         {"00000133001", 6},
                                         {"9999994", 0}}) {
    EXPECT_EQ(Calcola("s2", k.c000).AsDouble(), 10 * k.livello + 1) << k.c000;
    EXPECT_EQ(Livello_Subtotale, k.livello) << k.c000;
  }
}

TEST_F(Cella, LevelLabelsOfAnLLayout) {
  struct Caso {
    std::string token, c000, atteso;
  };
  for (const Caso& k : std::vector<Caso>{{"#L1<00>", "0000012", "NORD"},
                                         {"#L1<00>", "00000131", "NORD"},
                                         {"#L2<00>", "00000131", "prima"},  // the level it totals over
                                         {"#L1<00>", "00000011", "prima"},  // head row
                                         {"#L1<01>", "9999994", "Totale"},
                                         {"#L1<00>", "9999994", "prima"},
                                         {"#L2<01>", "9999994", "prima"}}) {
    EXPECT_EQ(Calcola(k.token, k.c000).AsText(), k.atteso) << k.token << " " << k.c000;
  }
  Col_Visibile[4] = 0;
  EXPECT_EQ(Calcola("#L1<00>", "0000012").AsText(), "prima") << "a hidden label is left alone";
  EXPECT_EQ(Calcola("#L1<01>", "9999994").AsText(), "prima");
}

TEST_F(Cella, LabelsOfAnROutline) {
  Col_Descrizione[4] = 4;
  Col_Attributo[4] = "2";
  struct Caso {
    std::string token, c000, cella, atteso;
  };
  for (const Caso& k : std::vector<Caso>{{"#R1<00>", "00000122001", "NORD", "NORD"},
                                         {"#R1<00>", "00000111001", "NORD", "NORD"},
                                         {"#R1<00>", "00000239001", "NORD", "NORD"},  // mode 0: left alone
                                         {"#R1<01>", "9999994", "", "Totale generale"},
                                         {"#R1<00>", "9999994", "x", "x"}}) {
    EXPECT_EQ(Calcola(k.token, k.c000, k.cella).AsText(), k.atteso) << k.token << " " << k.c000;
  }
  const std::string subtotale = Calcola("#R1<01>", "00000239001", "NORD").AsText();
  EXPECT_EQ(subtotale.rfind("Totale ", 0), 0u) << subtotale;

  // A detail without a level key shows its "D" codes, or one blank.
  EXPECT_EQ(Calcola("#R1<01>", "00000122999", "x").AsText(), " ");
  Livello_Contatore_1 = 2;
  Col_Lavoro_3[0] = "D";
  Col_Lavoro_2[0] = 1;
  Col_Lavoro_3[1] = "R";
  Col_Lavoro_2[1] = 5;
  EXPECT_EQ(Calcola("#R1<01>", "00000122999", "x", 0, "nascosto").AsText(), "NORD ");
  Col_Lavoro_3[1] = "D";
  EXPECT_EQ(Calcola("#R1<01>", "00000122999", "x", 0, std::string(40, 'z')).AsText(),
            "NORD " + std::string(35, 'z'));
  EXPECT_EQ(Calcola("#R1<02>", "00000122999", "x", 0, "z").AsText(), " ");
}

TEST_F(Cella, IndentedLevelNames) {
  Nomi_Livello[0] = "> ";
  Nomi_Livello[1] = ">> ";
  Liv_Riga_Testo[0] = "Area";
  Liv_Riga_Testo[1] = "Agente";
  struct Caso {
    std::string c000, atteso;
  };
  for (const Caso& k : std::vector<Caso>{{"00000111001", "> Area"},
                                         {"00000122002", ">> Agente"},
                                         {"00000122999", ">> "},
                                         {"00000239001", "> Area"},
                                         {"00000238002", ">> Agente"},
                                         {"9999994", "prima"},
                                         {"0000012", "prima"}}) {  // no level digit: no level to name
    EXPECT_EQ(Calcola("#R1L", k.c000).AsText(), k.atteso) << k.c000;
  }
}

TEST_F(Cella, KeyAndDataColumnsAreLeftAlone) {
  for (const std::string t : {"#DR(001)", "#R1(001)", "#L2(001)", "#@testo", "#NR(001)", "#C1(002)#+V001#",
                              "#P1C001#", "#PC001#", "#KC001#", "#+V001#"})
    EXPECT_EQ(Calcola(t, "0000012").AsText(), "prima") << t;
}

TEST_F(Cella, DescriptionOfAKeyShownInAnotherColumn) {
  Col_Calcolo[1] = "#DD(001)";
  EXPECT_EQ(Calcola("#DC001<00>", "0000012").AsText(), "NORD");
  EXPECT_EQ(Calcola("#DC001<00>", "00000131").AsText(), "prima") << "details only";
  Col_Calcolo[1] = "#L1(001)";
  EXPECT_EQ(Calcola("#DC001<00>", "0000012").AsText(), "prima") << "column 1 shows no key code";
}

}  // namespace
}  // namespace kyx::test
