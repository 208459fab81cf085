// Whole elaborations answered by the columnar copy of the data set and by SQLite alone give the
// same result table DATI, row for row, to the bit and the byte: layouts of several shapes over
// codes spelt in mixed case and with trailing blanks ("NORD", "nord", "Nord "), and each shape
// keeps the exact table, row ids and indexes included, however its rows are written.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "common/modello.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "db/mdb2.h"
#include "engine/elaborazione.h"
#include "engine/stato_motore.h"
#include "platform/data/catalog.h"
#include "platform/data/columnar_cache.h"
#include "tests/engine/ambiente_motore.h"

namespace kyx::test {
namespace {

// The layouts run on the data set, each with its row and column levels.
struct Forma {
  const char* nome;
  std::vector<int> livelli_riga, livelli_colonna;
  std::vector<E> elementi;
};

std::vector<Forma> Forme() {
  return {
      {"L levels with subtotals and formulas",
       {1, 2, 3},
       {},
       {{.col = 1, .calc = "#L1(001)", .sntot = "S"},
        {.col = 2, .calc = "#L2(002)", .sntot = "S"},
        {.col = 3, .calc = "#L3(003)"},
        {.col = 4, .calc = "#+V001#", .tot = "T"},
        {.col = 5, .calc = "c4*1.1-s4/3", .tot = "T"},
        {.col = 6, .calc = "c4/t4*100", .tot = "S"}}},
      {"outline with a cross-tab",
       {1, 2},
       {3},
       {{.col = 1, .calc = "#R1(001)", .snint = "S", .sntot = "S"},
        {.col = 2, .calc = "#R2(002)"},
        {.col = 3, .calc = "#R1<01>"},
        {.col = 4, .calc = "#C1(003)#+V001#", .inte = "#C1C"},
        {.col = 5, .calc = "#+V001#", .tot = "T"}}},
      {"the slot key as a level",
       {9, 1},
       {},
       {{.col = 1, .calc = "#L1(009)", .sntot = "S"},
        {.col = 2, .calc = "#L2(001)"},
        {.col = 3, .calc = "#+V001#", .tot = "T"}}},
      {"one level and a cross-tab of areas",
       {2},
       {1},
       {{.col = 1, .calc = "#L1(002)"}, {.col = 2, .calc = "#C1(001)#+V001#"}, {.col = 3, .calc = "#+V001#", .tot = "T"}}},
  };
}

// Area (key 1), agent (key 2), product line (key 3), the slot key 9; amounts over three slots.
class Colonnare : public Motore {
 protected:
  void SetUp() override {
    Motore::SetUp();
    data::ColumnarCache::Clear();
    Chiave(1, "K", 5);
    Chiave(2, "K", 3);
    Chiave(3, "K", 2);
    Chiave(9, "I", 2);
    Riga("VALORI", {"SINF", "IDX", "ELEM"}, {"SI1", 1, 3});
    Layout(3, "Vendite");
    ASSERT_TRUE(Apri_MDB2(true, false));
    ASSERT_TRUE(MDB2_Aperto());
    const std::vector<std::string> aree = {"NORD", "nord", "Nord ", "SUD", "sud", "EST"};
    const std::vector<std::string> agenti = {"A01", "a01", "A02", "b1", "B1 ", "C3"};
    const std::vector<std::string> linee = {"L1", "l1", "L2", "X"};
    std::mt19937 rng(4242);
    const auto scegli = [&](const std::vector<std::string>& v) { return v[rng() % v.size()]; };
    std::ostringstream sql;
    sql << "INSERT INTO KYX_D0_00F_SI1 (IDX, K_001, K_002, K_003, V_001_01, V_001_02, V_001_03) VALUES ";
    for (int i = 1; i <= 600; ++i) {
      // Amounts with cents, so that the order of addition shows in the last bits.
      sql << (i > 1 ? "," : "") << "(" << i << ",'" << scegli(aree) << "','" << scegli(agenti) << "','"
          << scegli(linee) << "'," << (rng() % 100000) / 100.0 << "," << (rng() % 7000) / 7.0 << ","
          << (rng() % 3 == 0 ? std::string("NULL") : std::to_string((rng() % 1000) / 3.0)) << ")";
    }
    // An area whose amounts are all zero: its rows go, with no subtotal of their own.
    for (int i = 601; i <= 610; ++i)
      sql << ",(" << i << ",'ZERO','" << scegli(agenti) << "','" << scegli(linee) << "',0,0," << (i % 2 ? "NULL" : "0") << ")";
    ASSERT_TRUE(Sql(Mdb(2), sql.str()).empty());
  }
  void TearDown() override {
    data::ColumnarCache::SetEnabled(true);
    data::ColumnarCache::Clear();
    Motore::TearDown();
  }

  // Every row of DATI in the order of its rows, each cell as its kind and its exact bits (the row
  // id first when asked for).
  static std::vector<std::string> Dati(bool con_rowid = false) {
    std::vector<std::string> out;
    std::unique_ptr<data::Statement> st;
    EXPECT_TRUE(Cn_MDB3->Prepare(con_rowid ? "SELECT rowid, * FROM DATI ORDER BY rowid" : "SELECT * FROM DATI ORDER BY rowid", &st).ok());
    bool riga = false;
    while (st && st->Step(&riga).ok() && riga) {
      std::string r;
      for (int i = 0; i < st->ColumnCount(); ++i) {
        const data::Value v = st->Read(i);
        if (v.kind() == data::Value::Kind::Double) {
          const double d = v.real();
          uint64_t bits = 0;
          std::memcpy(&bits, &d, sizeof bits);
          r += "D" + std::to_string(bits);
        } else if (v.kind() == data::Value::Kind::Integer) {
          r += "I" + std::to_string(v.integer());
        } else if (v.kind() == data::Value::Kind::Text) {
          r += "T" + v.text();
        } else {
          r += "N";
        }
        r += "|";
      }
      out.push_back(r);
    }
    return out;
  }

  // Shape f as layout number `layout`, the current one.
  void Scegli(int layout, const Forma& f) {
    Layout(layout, f.nome);
    Elementi(f.elementi, layout);
    Layout_Corrente = static_cast<int16_t>(layout);
    Liv_Riga_Chiave.fill(-1);
    Liv_Colonna_Chiave.fill(-1);
    for (size_t i = 0; i < f.livelli_riga.size(); ++i) Liv_Riga_Chiave[i] = static_cast<int16_t>(f.livelli_riga[i]);
    for (size_t i = 0; i < f.livelli_colonna.size(); ++i)
      Liv_Colonna_Chiave[i] = static_cast<int16_t>(f.livelli_colonna[i]);
  }

  // DATI of one elaboration with the columnar copy on, then off.
  std::pair<std::vector<std::string>, std::vector<std::string>> Due_Vie() {
    data::ColumnarCache::SetEnabled(true);
    EXPECT_TRUE(Esegui_Elaborazione());
    std::vector<std::string> colonnare = Dati();
    data::ColumnarCache::SetEnabled(false);
    EXPECT_TRUE(Esegui_Elaborazione());
    return {colonnare, Dati()};
  }
};

TEST_F(Colonnare, LayoutsOfEveryShapeGiveTheSameResultTableBothWays) {
  int layout = 10;
  for (const Forma& f : Forme()) {
    Scegli(++layout, f);
    const auto [colonnare, sqlite] = Due_Vie();
    ASSERT_GT(sqlite.size(), 3u) << f.nome;
    ASSERT_EQ(colonnare.size(), sqlite.size()) << f.nome;
    for (size_t r = 0; r < sqlite.size(); ++r) ASSERT_EQ(colonnare[r], sqlite[r]) << f.nome << ", row " << r;
  }
}

// The result tables of the shapes, every row with its row id and every cell with its kind and
// bits, folded into one number per shape: those of the tables that the engine wrote one row at a
// time (the zero rows deleted and the details renumbered in the table). Writing the assembled rows
// in one pass must leave the same tables.
TEST_F(Colonnare, EveryShapeKeepsItsResultTableRowForRow) {
  const std::vector<std::pair<size_t, uint64_t>> attese = {
      {52, 14350632468386170520ull}, {19, 1970942150684220235ull}, {13, 9359486704207963503ull}, {5, 939802375179558219ull}};
  int layout = 10;
  size_t i = 0;
  for (const Forma& f : Forme()) {
    Scegli(++layout, f);
    ASSERT_TRUE(Esegui_Elaborazione()) << f.nome;
    const std::vector<std::string> righe = Dati(true);
    uint64_t h = 1469598103934665603ull;
    for (const std::string& r : righe)
      for (char c : r + "\n") h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    EXPECT_EQ(righe.size(), attese[i].first) << f.nome;
    EXPECT_EQ(h, attese[i].second) << f.nome;
    // The indexes of the table, on the row key and the key codes, as the table was created with.
    std::vector<data::IndexInfo> indici;
    ASSERT_TRUE(data::Catalog(*Cn_MDB3).Indexes("DATI", &indici).ok());
    std::sort(indici.begin(), indici.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    EXPECT_EQ(indici, (std::vector<data::IndexInfo>{{"DATI_L", {"c000", "k001"}}, {"DATI_L2", {"k001"}}})) << f.nome;
    ++i;
  }
}

}  // namespace
}  // namespace kyx::test
