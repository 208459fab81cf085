// Whole elaborations answered by the columnar copy of the data set and by SQLite alone give the
// same result table DATI, row for row, to the bit and the byte: layouts of several shapes over
// codes spelt in mixed case and with trailing blanks ("NORD", "nord", "Nord ").
#include <gtest/gtest.h>

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
#include "platform/data/columnar_cache.h"
#include "tests/engine/ambiente_motore.h"

namespace kyx::test {
namespace {

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
    ASSERT_TRUE(Sql(Mdb(2), sql.str()).empty());
  }
  void TearDown() override {
    data::ColumnarCache::SetEnabled(true);
    data::ColumnarCache::Clear();
    Motore::TearDown();
  }

  // Every row of DATI in the order of its rows, each cell as its kind and its exact bits.
  static std::vector<std::string> Dati() {
    std::vector<std::string> out;
    std::unique_ptr<data::Statement> st;
    EXPECT_TRUE(Cn_MDB3->Prepare("SELECT * FROM DATI ORDER BY rowid", &st).ok());
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
  struct Forma {
    const char* nome;
    std::vector<int> livelli_riga, livelli_colonna;
    std::vector<E> elementi;
  };
  const std::vector<Forma> forme = {
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
  int layout = 10;
  for (const Forma& f : forme) {
    ++layout;
    Layout(layout, f.nome);
    Elementi(f.elementi, layout);
    Layout_Corrente = layout;
    Liv_Riga_Chiave.fill(-1);
    Liv_Colonna_Chiave.fill(-1);
    for (size_t i = 0; i < f.livelli_riga.size(); ++i) Liv_Riga_Chiave[i] = static_cast<int16_t>(f.livelli_riga[i]);
    for (size_t i = 0; i < f.livelli_colonna.size(); ++i)
      Liv_Colonna_Chiave[i] = static_cast<int16_t>(f.livelli_colonna[i]);
    const auto [colonnare, sqlite] = Due_Vie();
    ASSERT_GT(sqlite.size(), 3u) << f.nome;
    ASSERT_EQ(colonnare.size(), sqlite.size()) << f.nome;
    for (size_t r = 0; r < sqlite.size(); ++r) ASSERT_EQ(colonnare[r], sqlite[r]) << f.nome << ", row " << r;
  }
}

}  // namespace
}  // namespace kyx::test
