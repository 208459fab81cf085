// The display order of a result: key order, value order inside the groups of L levels, and the
// group sort key of outline layouts.
#include "engine/ordinamento.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/modello.h"
#include "engine/stato_motore.h"
#include "platform/data/static_recordset.h"

namespace kyx::test {
namespace {

struct R {
  std::string c000, c001;
  double c002;
};

// Columns: 1 the outline or level code, 2 a value; 3 and 4 the group sort key and the work rank.
class Ordinamento : public ::testing::Test {
 protected:
  void SetUp() override {
    stato_motore::reset();
    Numero_Colonne = 2;
    Modo_Griglia = 3;
  }
  void TearDown() override { stato_motore::reset(); }

  data::StaticRecordset& Griglia(const std::vector<R>& righe, int larghezza_chiave = 72) {
    auto rs = std::make_unique<data::StaticRecordset>();
    (void)rs->AppendField(data::TextField("c000", 12));
    (void)rs->AppendField(data::TextField("c001", 30));
    (void)rs->AppendField(data::DoubleField("c002"));
    (void)rs->AppendField(data::TextField("c003", larghezza_chiave));
    (void)rs->AppendField(data::TextField("c004", 6));
    EXPECT_TRUE(rs->OpenFabricated().ok());
    for (const R& r : righe) {
      EXPECT_TRUE(rs->AddNew().ok());
      (void)rs->Set(0, data::Value(r.c000));
      (void)rs->Set(1, data::Value(r.c001));
      (void)rs->Set(2, data::Value(r.c002));
      EXPECT_TRUE(rs->Update().ok());
    }
    auto* p = rs.get();
    Rs_Griglia = std::move(rs);
    return *p;
  }

  static std::vector<std::string> Ordine(data::StaticRecordset& rs, int campo = 1) {
    std::vector<std::string> v;
    for ((void)rs.MoveFirst(); !rs.AfterLast(); (void)rs.MoveNext()) v.push_back(rs.Field(campo).AsText());
    return v;
  }
};

// An outline of one grouped level: three groups with subtotals 7, 10 and 3.
const std::vector<R> kSchema = {{"00000111001", "NORD", 0},   {"00000122002", "A01", 3},  {"00000222002", "A03", 4},
                                {"00000239001", "NORD.", 7},  {"00000311001", "SUD", 0},  {"00000322002", "A02", 10},
                                {"00000339001", "SUD.", 10},  {"00000411001", "EST", 0},  {"00000422002", "A05", 1},
                                {"00000522002", "A06", 2},    {"00000539001", "EST.", 3}, {"9999994", "tot", 20}};

TEST_F(Ordinamento, OutlineGroupsFollowTheirSubtotalsAndKeepTheirHeadAndSubtotalRows) {
  Livelli_Visibili = 1;
  Numero_Livelli = 2;
  Colonna_Ordinamento = 2;
  const std::vector<std::string> decrescente = {"SUD", "A02", "SUD.", "NORD", "A03", "A01",
                                                "NORD.", "EST", "A06", "A05", "EST.", "tot"};
  // A group key column too narrow for the keys: they are ranked and the order stays the same.
  for (int larghezza : {72, 14}) {
    data::StaticRecordset& rs = Griglia(kSchema, larghezza);
    Verso_Ordinamento = " DESC";
    Imposta_Ordinamento();
    EXPECT_EQ(rs.Sort(), "c003 ASC ");
    EXPECT_EQ(Ordine(rs), decrescente) << larghezza;
  }
  data::StaticRecordset& rs = Griglia(kSchema);
  Verso_Ordinamento = " DESC";
  Imposta_Ordinamento();
  EXPECT_EQ(Ordine(rs, 3), (std::vector<std::string>{"000001000000", "000001000001", "000001999999", "000002000000",
                                                     "000002000002", "000002000003", "000002999999", "000003000000",
                                                     "000003000004", "000003000005", "000003999999", "999999"}));
  Verso_Ordinamento = " ASC";
  Imposta_Ordinamento();
  EXPECT_EQ(Ordine(rs), (std::vector<std::string>{"EST", "A05", "A06", "EST.", "NORD", "A01", "A03", "NORD.", "SUD",
                                                 "A02", "SUD.", "tot"}));
}

TEST_F(Ordinamento, AscendingOnTheLevelColumnIsKeyOrderAndDescendingIsByValue) {
  Livelli_Visibili = 1;
  Numero_Livelli = 2;
  Colonna_Ordinamento = 1;
  Verso_Ordinamento = " ASC";
  data::StaticRecordset& rs = Griglia(kSchema);
  Imposta_Ordinamento();
  EXPECT_EQ(rs.Sort(), "c000 ASC ");
  EXPECT_EQ(Ordine(rs, 3), std::vector<std::string>(12, "")) << "no group key is written";
  Verso_Ordinamento = " DESC";
  Imposta_Ordinamento();
  EXPECT_EQ(Ordine(rs), (std::vector<std::string>{"SUD", "A02", "SUD.", "NORD", "A03", "A01", "NORD.", "EST", "A06",
                                                 "A05", "EST.", "tot"}));
}

TEST_F(Ordinamento, OneLevelWithoutGroupsOrdersTheDetailsByValueAlone) {
  Livelli_Visibili = 1;
  Numero_Livelli = 1;
  Colonna_Ordinamento = 2;
  Verso_Ordinamento = " ASC";
  data::StaticRecordset& rs = Griglia({{"00000121001", "NORD", 5},
                                       {"00000221001", "SUD", 2},
                                       {"00000321001", "EST", 2},
                                       {"9999994", "tot", 9}});
  Imposta_Ordinamento();
  EXPECT_EQ(Ordine(rs), (std::vector<std::string>{"SUD", "EST", "NORD", "tot"})) << "equal values keep their order";
  EXPECT_EQ(Ordine(rs, 3), (std::vector<std::string>{"000001", "000002", "000003", "999999"}));
}

TEST_F(Ordinamento, LLevelsAndOtherGridsSortWithoutAGroupKey) {
  Numero_Livelli = 2;
  Colonna_Ordinamento = 2;
  Verso_Ordinamento = " DESC";
  data::StaticRecordset& rs = Griglia({{"0000012", "A01", 1},
                                       {"0000012", "A02", 5},
                                       {"00000131", "NORD", 6},
                                       {"0000022", "A03", 2},
                                       {"00000231", "SUD", 2},
                                       {"9999994", "tot", 8}});
  Imposta_Ordinamento();
  EXPECT_EQ(rs.Sort(), "c000 ASC, c002 DESC");
  EXPECT_EQ(Ordine(rs), (std::vector<std::string>{"A02", "A01", "NORD", "A03", "SUD", "tot"}));
  Modo_Griglia = 2;
  Imposta_Ordinamento();
  EXPECT_EQ(rs.Sort(), "c002 DESC");
  EXPECT_EQ(Ordine(rs, 0).front(), "9999994");
}

TEST_F(Ordinamento, ASortColumnTheResultNoLongerHasSortsByTheRowKey) {
  data::StaticRecordset& rs = Griglia({{"0000022", "A03", 2}, {"0000012", "A01", 1}, {"9999994", "tot", 3}});
  for (int16_t stantia : {int16_t{200}, int16_t{-1}}) {
    for (int16_t livelli : {int16_t{0}, int16_t{1}}) {
      Livelli_Visibili = livelli;
      Numero_Livelli = 1;
      Colonna_Ordinamento = stantia;
      Verso_Ordinamento = " DESC";
      Imposta_Ordinamento();
      EXPECT_EQ(rs.Sort(), "c000 ASC ") << stantia << " " << livelli;
      EXPECT_EQ(Ordine(rs), (std::vector<std::string>{"A01", "A03", "tot"}));
    }
  }
}

TEST_F(Ordinamento, AnEmptyResultIsLeftAlone) {
  Livelli_Visibili = 1;
  Numero_Livelli = 2;
  Colonna_Ordinamento = 2;
  Verso_Ordinamento = " DESC";
  data::StaticRecordset& rs = Griglia({});
  Ordina_Per_Valore();
  EXPECT_EQ(rs.RecordCount(), 0);
  Rs_Griglia.reset();
  Imposta_Ordinamento();  // no recordset: nothing to sort
}

}  // namespace
}  // namespace kyx::test
