// Re-summing subtotal and grand-total cells, and hiding head and subtotal rows of an outline.
#include "engine/ricalcolo_subtotali.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/modello.h"
#include "common/stato_db.h"
#include "engine/risultato.h"
#include "engine/stato_motore.h"
#include "platform/data/static_recordset.h"
#include "tests/engine/ambiente_motore.h"

namespace kyx::test {
namespace {

using Righe = std::vector<std::vector<std::string>>;

// DATI of an outline with one grouped level: the outline column 1 and two value columns.
class Ricalcolo : public Motore {
 protected:
  void SetUp() override {
    Motore::SetUp();
    Numero_Colonne = 3;
    Numero_Livelli = 2;
    Col_Tipo = {};
    Col_Tipo[0] = 12;
    Col_Tipo[1] = 10;
    for (auto& livello : Col_Livello_Totale) livello.fill(1);
    Crea_Risultato();
    ASSERT_TRUE(Sql(Mdb(3), "INSERT INTO DATI (c000, c001, c002, c003) VALUES "
                            "('00000111001', 'NORD', 0, 0), ('00000122002', 'A01', 3, 1), "
                            "('00000222002', 'A03', 4, 2), ('00000239001', 'NORD', 99, 50), "
                            "('00000311001', 'SUD', 0, 0), ('00000322002', 'A02', 10, NULL), "
                            "('00000339001', 'SUD', 99, 60), ('0000052', 'senza', 1000, 1000), "
                            "('9999994', ' ', 0, 0)")
                    .empty());
  }
  Righe Dati() const { return Sql(Mdb(3), "SELECT c000, c002, c003 FROM DATI ORDER BY c000"); }
};

TEST_F(Ricalcolo, WithEveryFlagSetNothingChanges) {
  const Righe prima = Dati();
  Ricalcola_Subtotali();
  EXPECT_EQ(Dati(), prima);
}

TEST_F(Ricalcolo, SubtotalsAreSummedAgainAndCellsFromQueriesAreKept) {
  Col_Livello_Totale[5][2] = 0;  // column 2 is collected, none of its subtotals came from a query
  Col_Livello_Totale[1][3] = 0;  // column 3's level-1 subtotals came from a query
  Ricalcola_Subtotali();
  EXPECT_EQ(Dati(), (Righe{{"00000111001", "0.0", "0.0"},
                           {"00000122002", "3.0", "1.0"},
                           {"00000222002", "4.0", "2.0"},
                           {"00000239001", "7.0", "50.0"},
                           {"00000311001", "0.0", "0.0"},
                           {"00000322002", "10.0", "NULL"},
                           {"00000339001", "10.0", "60.0"},
                           {"0000052", "1000.0", "1000.0"},  // no level digit: a detail after the last subtotal
                           {"9999994", "17.0", "110.0"}}))
      << "the kept subtotals still feed the grand total";
}

TEST_F(Ricalcolo, SubtotalsOfLLevelsAreSummedPerGroup) {
  // Two "L" levels: 7-character details, subtotals whose digit counts from the details outwards.
  ASSERT_TRUE(Sql(Mdb(3), "DELETE FROM DATI").empty());
  ASSERT_TRUE(Sql(Mdb(3), "INSERT INTO DATI (c000, c001, c002, c003) VALUES "
                          "('0000012', 'A', 1, 0), ('0000012', 'A', 2, 0), ('00000131', 'A', 99, 0), "
                          "('0000022', 'B', 5, 0), ('00000231', 'B', 99, 0), ('9999994', ' ', 0, 0)")
                  .empty());
  Col_Livello_Totale[5][2] = 0;
  Ricalcola_Subtotali();
  EXPECT_EQ(Dati(), (Righe{{"0000012", "1.0", "0.0"},
                           {"0000012", "2.0", "0.0"},
                           {"00000131", "3.0", "0.0"},
                           {"0000022", "5.0", "0.0"},
                           {"00000231", "5.0", "0.0"},
                           {"9999994", "8.0", "0.0"}}))
      << "each group starts from zero, and the grand total sums the groups";
}

TEST_F(Ricalcolo, HiddenHeadAndSubtotalRowsLeaveTheDisplay) {
  const auto griglia = [] {
    auto rs = std::make_unique<data::StaticRecordset>();
    (void)rs->AppendField(data::TextField("c000", 12));
    (void)rs->AppendField(data::TextField("c001", 10));
    EXPECT_TRUE(rs->OpenFabricated().ok());
    for (const auto& [c000, c001] : std::vector<std::pair<std::string, std::string>>{
             {"00000111001", "NORD"}, {"00000122002", "A01"},  {"00000222002", "A03"},
             {"00000239001", "NORD"}, {"00000311001", "SUD"},  {"00000322002", "SUD"},
             {"00000339001", "SUD"},  {"00000431001", "nove"}, {"9999994", "tot"}}) {
      EXPECT_TRUE(rs->AddNew().ok());
      (void)rs->Set(0, data::Value(c000));
      (void)rs->Set(1, data::Value(c001));
      EXPECT_TRUE(rs->Update().ok());
    }
    Rs_Griglia = std::move(rs);
  };
  const auto righe = [] {
    std::vector<std::string> v;
    for ((void)Rs_Griglia->MoveFirst(); !Rs_Griglia->AfterLast(); (void)Rs_Griglia->MoveNext())
      v.push_back(Rs_Griglia->Field(1).AsText());
    return v;
  };
  griglia();
  Elimina_Livelli_Nascosti(1);
  EXPECT_EQ(righe().size(), 9u) << "no option hides nothing";

  Liv_Intestazione[0] = "N";
  Liv_Subtotale[0] = "1";
  Liv_Subtotale[8] = "1";  // level 9 has no level below to compare with: its subtotals stay
  griglia();
  Elimina_Livelli_Nascosti(1);
  EXPECT_EQ(righe(), (std::vector<std::string>{"A01", "A03", "NORD", "SUD", "nove", "tot"}))
      << "the subtotal of a group whose detail has its own key value goes";

  Liv_Subtotale[0] = "N";
  griglia();
  Elimina_Livelli_Nascosti(1);
  EXPECT_EQ(righe(), (std::vector<std::string>{"A01", "A03", "SUD", "nove", "tot"}));
}

}  // namespace
}  // namespace kyx::test
