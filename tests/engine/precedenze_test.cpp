#include "engine/precedenze.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/modello.h"
#include "engine/stato_motore.h"
#include "tests/common/definizioni.h"

namespace kyx {
namespace {

class Precedenze : public test::Definizioni {
 protected:
  void SetUp() override {
    Definizioni::SetUp();
    stato_motore::reset();
  }
  void TearDown() override {
    stato_motore::reset();
    Definizioni::TearDown();
  }
  // Columns 1.. with these tokens.
  static void Colonne(const std::vector<std::string>& calcoli) {
    Numero_Colonne = static_cast<uint8_t>(calcoli.size());
    for (size_t c = 0; c < calcoli.size(); ++c) Col_Calcolo[c + 1] = calcoli[c];
  }
};

TEST_F(Precedenze, LevelsOfEveryKindOfColumn) {
  struct Caso {
    const char* calcolo;
    int32_t livello;
  };
  const Caso casi[] = {
      {"#+V001#", 0},          {"#L1(001)", 0},        {"#R2(001)", 0},     {"#DE(005)", 0},
      {"#C1(001)#+V002#", 0},  {"#NR(004)", 0},        {"#@Totale#", 0},    {"#L1<01>", 1},
      {"#R1<02>", 1},          {"#DC001<03>", 1},      {"#R1L", 1},         {"#PC001#", 50},
      {"c12*2", 51},           {"#KC013#", 101},       {"#P2C014#", 151},   {"c1+c8", 2},
      {"#PC099#", -1},         {"#PC000#", -1},        {"(c1", -1},         {"c20+1", -1},
  };
  std::vector<std::string> calcoli;
  for (const Caso& c : casi) calcoli.push_back(c.calcolo);
  Colonne(calcoli);
  Calcola_Precedenze();
  for (size_t i = 0; i < std::size(casi); ++i) EXPECT_EQ(Col_Precedenza[i + 1], casi[i].livello) << casi[i].calcolo;
  EXPECT_EQ(Col_Precedenza[0], -1);
  EXPECT_EQ(Precedenza_P, 50);  // the first running sum, column 12
}

TEST_F(Precedenze, CirclesStayUnresolvedAndLateReferencesResolveInLaterPasses) {
  Colonne({"#+V001#", "c3+1", "c2+1"});
  Calcola_Precedenze();
  EXPECT_EQ(Col_Precedenza[1], 0);
  EXPECT_EQ(Col_Precedenza[2], -1);
  EXPECT_EQ(Col_Precedenza[3], -1);
  EXPECT_EQ(Precedenza_P, -1);

  // A running sum of a formula that reads a later column: three passes, and Precedenza_P waits
  // for the sum's own level.
  Colonne({"#PC002#", "c3+1", "#+V001#"});
  Calcola_Precedenze();
  EXPECT_EQ(Col_Precedenza[3], 0);
  EXPECT_EQ(Col_Precedenza[2], 1);
  EXPECT_EQ(Col_Precedenza[1], 51);
  EXPECT_EQ(Precedenza_P, 51);
}

TEST_F(Precedenze, HeadingsOfGeneratedColumnsAreExpanded) {
  Chiave("SI1", 7, "1", "", 11);
  Descrizione(11, "N01", " ", "Nord", "Zona nord");
  Liv_Colonna_Chiave[0] = 7;
  Liv_Colonna_Testo[0] = "Area    ";
  Liv_Colonna_Testo[1] = "#C2D";  // a title that looks like a placeholder is not expanded again
  Liv_Colonna_Chiave[1] = 7;
  Numero_Colonne = 5;
  const struct {
    uint8_t vck;
    const char* prima;
    const char* dopo;
  } casi[] = {
      {0, "#C1D", "#C1D"},  // column 0 is no generated column
      {7, "#C1D #C1C - #C1<02>", "Area N01 - Zona nord"},
      {7, "#C0D #C1X #C1<2> #C", "#C0D #C1X #C1<2> #C"},
      {0, "#C1D|#C1C", "#C1D|#C1C"},
      {7, "x#C2D|#C2D", "x#C2D|#C2D"},
      {7, "#C1<01>|#C1D#C1D", "Nord|AreaArea"},
  };
  for (size_t c = 0; c < std::size(casi); ++c) {
    Col_VCK[c] = casi[c].vck;
    Col_VCC[c] = "N01";
    Col_Intestazione[c] = casi[c].prima;
  }
  Espandi_Intestazioni();
  for (size_t c = 0; c < std::size(casi); ++c) EXPECT_EQ(Col_Intestazione[c], casi[c].dopo) << casi[c].prima;
}

}  // namespace
}  // namespace kyx
