// The derived columns of a result: outline column, ranks, running sums and formula columns with
// their subtotals, computed on a small display recordset in the two calls that end an elaboration
// and again after a re-sort.
#include "engine/ricalcola_colonne.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "common/modello.h"
#include "common/stato_db.h"
#include "db/mdb1.h"
#include "engine/campi.h"
#include "engine/precedenze.h"
#include "engine/stato_motore.h"
#include "platform/data/static_recordset.h"
#include "tests/engine/ambiente_motore.h"

namespace kyx::test {
namespace {

using V = data::Value;
const V kNull{};

class Derivate : public Motore {
 protected:
  void SetUp() override {
    Motore::SetUp();
    Modo_Griglia = 3;
    Col_Totale.fill(1);
    Col_Tipo.fill(0);
  }

  // The grid: c000, then one column per token (numbers unless `testi` says otherwise), then the
  // group sort key and the work rank. Computation levels as the engine gives them.
  data::StaticRecordset& Griglia(const std::vector<std::string>& token, const std::vector<std::vector<V>>& righe,
                                 const std::vector<int>& testi = {}) {
    Numero_Colonne = static_cast<int16_t>(token.size());
    auto rs = std::make_unique<data::StaticRecordset>();
    (void)rs->AppendField(data::TextField("c000", 12));
    for (size_t i = 1; i <= token.size(); ++i) {
      Col_Calcolo[i] = token[i - 1];
      const bool testo = std::find(testi.begin(), testi.end(), static_cast<int>(i)) != testi.end();
      Col_Tipo[i] = testo ? 40 : 0;
      const std::string nome = "c" + motore::Cifre(static_cast<int64_t>(i), 3);
      (void)rs->AppendField(testo ? data::TextField(nome, 40) : data::DoubleField(nome));
    }
    (void)rs->AppendField(data::TextField("c" + motore::Cifre(Numero_Colonne + 1, 3), 72));
    (void)rs->AppendField(data::TextField("c" + motore::Cifre(Numero_Colonne + 2, 3), 6));
    EXPECT_TRUE(rs->OpenFabricated().ok());
    for (const auto& r : righe) {
      EXPECT_TRUE(rs->AddNew().ok());
      for (size_t c = 0; c < r.size(); ++c) (void)rs->Set(static_cast<int>(c), r[c]);
      EXPECT_TRUE(rs->Update().ok());
    }
    Calcola_Precedenze();
    auto* p = rs.get();
    Rs_Griglia = std::move(rs);
    return *p;
  }

  static void Ricalcola(int16_t modo) { Ricalcola_Colonne(modo); }

  // One column in display order (numbers in their plain text form, Null as "-").
  static std::vector<std::string> Colonna(data::StaticRecordset& rs, int campo) {
    std::vector<std::string> v;
    for ((void)rs.MoveFirst(); !rs.AfterLast(); (void)rs.MoveNext())
      v.push_back(rs.Field(campo).is_null() ? "-" : rs.Field(campo).AsText());
    return v;
  }
  using T = std::vector<std::string>;
};

// Rows of an outline: head rows of levels 1 and 2, details, subtotals of level 1, grand total.
// Column 1 the value, column 8 the outline code.
std::vector<std::vector<V>> Schema() {
  const auto r = [](const std::string& c000, double v, const std::string& codice) {
    return std::vector<V>{V(c000), V(v), kNull, kNull, kNull, kNull, kNull, kNull, V(codice)};
  };
  return {r("00000111001", 0, "NORD"), r("00000112002", 0, "NORD"), r("00000122002", 3, "NORD"),
          r("00000212002", 0, "NORD"), r("00000222002", 4, "NORD"), r("00000239001", 7, "NORD"),
          r("00000311001", 0, "SUD"),  r("00000322002", 10, "SUD"), r("00000339001", 10, "SUD"),
          r("9999994", 17, "tot")};
}

TEST_F(Derivate, TheTwoFinalCallsComputeEveryKindOfDerivedColumn) {
  ASSERT_TRUE(Apri_MDB1(false, false));
  for (const auto& [chiave, codice, testo] : std::vector<std::tuple<int, std::string, std::string>>{
           {1, "NORD", "ABC"}, {2, "NORD", "xyz"}, {2, "SUD", "q"}}) {
    std::unique_ptr<data::Statement> st;
    ASSERT_TRUE(Cn_MDB1->Prepare("INSERT INTO KYX_DS_20F (S_DS_STAT, S_DS_KEY, S_DS_CODI, S_DS_D_14) VALUES (' ', ?, ?, ?)", &st).ok());
    (void)st->Bind(1, V(int64_t{chiave}));
    (void)st->Bind(2, V(codice));
    (void)st->Bind(3, V(testo));
    ASSERT_TRUE(st->Run().ok());
  }
  data::StaticRecordset& rs = Griglia({"#+V001#", "#KC001#", "#PC001#", "#P1C001#", "#P2C001#", "c1*2", "c1*100/s1", "#R1(001)"},
                                      Schema(), {8});
  Col_Totale[6] = 3;  // "S": subtotals are the sums of the details
  Numero_Livelli = 2;
  Colonna_Ordinamento = 1;
  Verso_Ordinamento = " DESC";
  ASSERT_EQ(Precedenza_P, 50);

  Ricalcola(0);
  EXPECT_EQ(Colonna(rs, 2), T(10, "-")) << "ranks wait for the final order";
  EXPECT_EQ(Colonna(rs, 6), (T{"-", "-", "6", "-", "8", "14", "-", "20", "20", "34"}));
  EXPECT_EQ(Colonna(rs, 7)[2].substr(0, 7), "42.8571") << "3 of a group of 7";
  EXPECT_EQ(Colonna(rs, 7)[4].substr(0, 7), "57.1428");
  EXPECT_EQ(Colonna(rs, 7)[7], "100");
  EXPECT_EQ(Colonna(rs, 7)[5], "-") << "a subtotal row of total kind other than T keeps its cell";
  // The display level goes to the row key's twelfth character; the outline keeps its codes.
  EXPECT_EQ(Colonna(rs, 0), (T{"00000111001A", "00000112002x", "00000122002y", "00000212002x", "00000222002y",
                               "00000239001C", "00000311001", "00000322002", "00000339001", "9999994"}));
  EXPECT_EQ(Colonna(rs, 8), (T{"NORD", "NORD", "NORD", "NORD", "NORD", "NORD", "SUD", "SUD", "SUD", "tot"}));
  EXPECT_EQ(Col_Ordine[6], 0) << "mode 0 leaves the sort permission alone";

  Ricalcola(-1);
  EXPECT_EQ(Colonna(rs, 2), (T{"6", "6", "5", "6", "4", "3", "6", "2", "2", "1"})) << "dense, largest first";
  EXPECT_EQ(Colonna(rs, 3), (T{"0", "0", "3", "3", "7", "7", "7", "17", "17", "17"}));
  EXPECT_EQ(Colonna(rs, 4), (T{"0", "0", "3", "3", "7", "7", "0", "10", "10", "10"})) << "restarts at level-1 heads";
  EXPECT_EQ(Colonna(rs, 5), (T{"0", "0", "3", "0", "4", "4", "0", "10", "10", "10"})) << "and at level-2 heads";
  EXPECT_EQ(Colonna(rs, 6), (T{"-", "-", "6", "-", "8", "14", "-", "20", "20", "34"})) << "not recomputed";
  for (int c : {2, 3, 4, 5}) EXPECT_EQ(Col_Ordine[static_cast<size_t>(c)], 1) << c;
  EXPECT_EQ(Col_Ordine[6], 0);
  EXPECT_EQ(rs.Sort(), "c000 ASC, c001 DESC") << "the display sort is back";
}

// An outline sorted by value: the running sum follows the display order, and follows it again
// after the user sorts the other way.
TEST_F(Derivate, RunningSumsAndRanksFollowEveryReSort) {
  const auto r = [](const std::string& c000, const std::string& codice, double v) {
    return std::vector<V>{V(c000), V(codice), V(v), kNull, kNull};
  };
  data::StaticRecordset& rs = Griglia({"#R1(001)", "#+V001#", "#PC002#", "#KC002#"},
                                      {r("00000111001", "NORD", 0), r("00000122002", "A01", 3),
                                       r("00000222002", "A03", 4), r("00000239001", "NORD.", 7),
                                       r("00000311001", "SUD", 0), r("00000322002", "A02", 10),
                                       r("00000339001", "SUD.", 10), r("9999994", "tot", 17)},
                                      {1});
  Livelli_Visibili = 1;
  Numero_Livelli = 2;
  Ricalcola(0);
  Colonna_Ordinamento = 2;
  Verso_Ordinamento = " DESC";
  Ricalcola(-1);
  EXPECT_EQ(rs.Sort(), "c005 ASC ");
  EXPECT_EQ(Colonna(rs, 3), (T{"0", "10", "10", "10", "14", "17", "17", "17"}));
  EXPECT_EQ(Colonna(rs, 4), (T{"6", "2", "2", "6", "4", "5", "3", "1"}));
  Colonna_Ordinamento = 1;
  Verso_Ordinamento = " ASC";
  Ricalcola(-1);
  EXPECT_EQ(rs.Sort(), "c000 ASC ");
  EXPECT_EQ(Colonna(rs, 3), (T{"0", "3", "7", "7", "7", "17", "17", "17"}));
}

TEST_F(Derivate, EmptyResultsOtherGridsAndCallsWithoutRunningSums) {
  const std::vector<std::string> token = {"#+V001#", "c1+1", "c1*3"};
  const std::vector<std::vector<V>> righe = {{V("0000012"), V(5.0), kNull, kNull}, {V("0000022"), V(2.0), kNull, kNull}};
  Colonna_Ordinamento = 1;
  Verso_Ordinamento = " DESC";

  data::StaticRecordset& vuota = Griglia(token, {});
  Ricalcola(-1);
  EXPECT_EQ(vuota.Sort(), "") << "an empty result is left alone";

  Modo_Griglia = 2;
  data::StaticRecordset& altra = Griglia(token, righe);
  Ricalcola(0);
  EXPECT_EQ(altra.Sort(), "c001 DESC");
  EXPECT_EQ(Colonna(altra, 2), T(2, "-")) << "only the sort is put back";

  // No running sum: mode -1 computes only the columns whose level is unknown.
  Modo_Griglia = 3;
  data::StaticRecordset& rs = Griglia(token, righe);
  ASSERT_EQ(Precedenza_P, -1);
  Col_Precedenza[3] = -1;
  Ricalcola(-1);
  EXPECT_EQ(Colonna(rs, 2), T(2, "-"));
  EXPECT_EQ(Colonna(rs, 3), (T{"15", "6"}));
  EXPECT_EQ(rs.Sort(), "c000 ASC, c001 DESC");
  Ricalcola(0);
  EXPECT_EQ(Colonna(rs, 2), (T{"6", "3"}));
}

}  // namespace
}  // namespace kyx::test
