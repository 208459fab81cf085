// Subtotal rows of "L" levels when a row level has no column of its own.
#include "engine/righe_totale.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/stato_db.h"
#include "engine/risultato.h"
#include "engine/stato_motore.h"
#include "tests/engine/ambiente_motore.h"

namespace kyx::test {
namespace {

using Righe = std::vector<std::vector<std::string>>;

// Three row levels whose middle one was skipped (its column is 0): the subtotal rows keep the row
// keys that order them after their groups; the level's key and "  totale" never land in c000.
TEST_F(Motore, ASkippedLevelNeverOverwritesTheRowKeyOfASubtotal) {
  Numero_Colonne = 3;
  Numero_Livelli = 3;
  Col_Tipo = {};
  Col_Tipo[0] = 12;
  Col_Tipo[1] = 10;
  Col_Tipo[3] = 10;
  Crea_Risultato();
  ASSERT_TRUE(Sql(Mdb(3), "INSERT INTO DATI (c000, c001, c002, c003) VALUES "
                          "('9999992', 'NORD', 1, 'X'), ('9999992', 'NORD', 2, 'Y'), ('9999992', 'SUD', 10, 'X')")
                  .empty());
  const std::array<int32_t, 10> livelli = {1, 0, 3};
  std::array<int16_t, 256> valori{};
  valori[0] = 2;
  Aggiungi_Subtotali(livelli, 0, valori);
  EXPECT_EQ(Sql(Mdb(3), "SELECT c000, c001, c002 FROM DATI ORDER BY c000, c002"),
            (Righe{{"0000012", "NORD", "1.0"},
                   {"0000012", "NORD", "2.0"},
                   {"00000131", "NORD", "3.0"},
                   {"00000132", "NORD", "3.0"},
                   {"0000022", "SUD", "10.0"},
                   {"00000231", "SUD", "10.0"},
                   {"00000232", "SUD", "10.0"}}));
  EXPECT_EQ(Sql(Mdb(3), "SELECT c003 FROM DATI WHERE c000 LIKE '_______1'"), (Righe{{"  totale"}, {"  totale"}}));
}

// Rows whose number cells are all zero or empty go, however many there are; a row with any value
// (or a text column holding anything) stays; the table recordset is left past the last row.
TEST_F(Motore, RowsWhoseNumbersAreAllZeroAreDeleted) {
  Numero_Colonne = 3;
  Col_Tipo = {};
  Col_Tipo[0] = 12;
  Col_Tipo[1] = 10;  // text: does not count
  Crea_Risultato();
  std::string valori;
  for (int i = 1; i <= 1200; ++i) {
    const char* numeri = i % 3 == 0 ? "0, NULL" : i % 3 == 1 ? "NULL, NULL" : i % 100 == 2 ? "0, 0.5" : "0, 0";
    valori += (valori.empty() ? "" : ", ") + std::string("('") + std::to_string(i) + "', 'T', " + numeri + ")";
  }
  ASSERT_TRUE(Sql(Mdb(3), "INSERT INTO DATI (c000, c001, c002, c003) VALUES " + valori).empty());
  ASSERT_TRUE(Rs_Dati->MoveFirst().ok());
  Elimina_Righe_Zero();
  EXPECT_EQ(Sql(Mdb(3), "SELECT c000, c003 FROM DATI ORDER BY 0 + c000"),
            (Righe{{"2", "0.5"}, {"302", "0.5"}, {"602", "0.5"}, {"902", "0.5"}}));
  EXPECT_TRUE(Rs_Dati->AfterLast());
  ASSERT_TRUE(Rs_Dati->MoveFirst().ok());
  EXPECT_EQ(Rs_Dati->Field(0).AsText(), "2") << "the recordset sees the rows that are left, in index order";
}

}  // namespace
}  // namespace kyx::test
