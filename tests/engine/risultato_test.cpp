#include "engine/risultato.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/modello.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "engine/elaborazione.h"
#include "engine/stato_motore.h"
#include "tests/engine/ambiente_motore.h"

namespace kyx::test {
namespace {

using Righe = std::vector<std::vector<std::string>>;

class Risultato : public Motore {
 protected:
  Righe Dati(const std::string& colonne) const {
    return Sql(Mdb(3), "SELECT " + colonne + " FROM DATI ORDER BY c000");
  }
};

TEST_F(Risultato, AFixedLayoutGetsItsRowsAndTextCells) {
  Valore(1);
  Chiave(1, "K", 4);
  Layout(3, "Conto economico");
  Elementi({{.rig = 1, .col = 1, .calc = "#@Voce#"},
            {.rig = 1, .col = 2, .calc = "#+V001#"},
            {.rig = 3, .col = 1, .calc = "#@  Ricavi   #altro"},
            {.rig = 5, .col = 1, .calc = "#@A#"},
            {.rig = 4, .col = 2, .calc = "#@Testo#"},  // a number column takes no text
            {.rig = 2, .col = 1, .calc = "#@#x#"},     // no text between "@" and "#"
            {.rig = 6, .col = 1, .calc = "#@Tolto#"}});
  ASSERT_TRUE(Cn_MDB0->Execute("DELETE FROM LAY_ELEM WHERE IDX = 7").ok());  // rows 1, 3 and 5 named
  Righe_Zero = true;  // the profile keeps rows whose values are all zero
  Esegui_Elaborazione();
  EXPECT_EQ(Numero_Livelli, 0);
  EXPECT_EQ(Colonne(Mdb(3), "DATI"), "c000 TEXT(12)|c001 TEXT(40)|c002 NUMERIC_REAL(17,3)")
      << "the result table follows the column model";
  EXPECT_EQ(Dati("c000, c001, c002"), (Righe{{"0000012", "Voce", "0.0"},
                                             {"0000022", " ", "0.0"},
                                             {"0000032", "  Ricavi", "0.0"},
                                             {"0000042", " ", "0.0"},
                                             {"0000052", "A", "0.0"},
                                             {"9999994", " ", "0.0"}}))
      << "the fixed rows, then the grand total";
}

TEST_F(Risultato, KeyCodeColumnsOfFixedRowsHoldADash) {
  Numero_Colonne = 3;
  Col_Tipo = {};
  Col_Tipo[0] = 12;
  Col_Tipo[1] = 200;
  Col_Chiave[1] = 4;
  Col_Tipo[2] = 100;  // would end at character 300: a second key-code column
  Col_Chiave[2] = 6;
  Col_Tipo[3] = 0;
  for (size_t c = 0; c <= 3; ++c) Col_Valore[c] = data::Value(Col_Tipo[c] ? " " : "");
  Col_Valore[3] = data::Value(0);
  Riga_Layout_Massima = 2;
  Crea_Risultato();
  Righe_Fisse();
  EXPECT_EQ(Numero_Chiavi_DATI, 2);
  EXPECT_EQ(Indici(Mdb(3), "DATI")["DATI_L2__DATI"], "k001,k002");
  EXPECT_EQ(Dati("c000, c003, k001, k002"), (Righe{{"0000012", "0.0", "-", "-"}, {"0000022", "0.0", "-", "-"}}));

  // A layout with row levels has no fixed rows.
  Numero_Livelli = 1;
  Crea_Risultato();
  Righe_Fisse();
  EXPECT_EQ(Dati("c000"), Righe{});
}

TEST_F(Risultato, ChangedGeneratedColumnsForgetThePreviousLayout) {
  struct Caso {
    const char* caso;
    int16_t precedente;
    uint8_t vck;
    const char* codice_prima;
    int16_t atteso;
  };
  const Caso casi[] = {
      {"same layout, other codes", 3, 7, "N01", -123},
      {"same layout, same codes", 3, 7, "N02", 3},
      {"another layout", 2, 7, "N01", 2},
      {"no generated columns", 3, 0, "N01", 3},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.caso);
    Layout_Corrente = 3;
    Layout_Precedente = c.precedente;
    Col_VCK[5] = c.vck;
    Col_VCC[5] = "N02";
    Col_Testo[5] = c.codice_prima;
    Crea_Risultato();
    EXPECT_EQ(Layout_Precedente, c.atteso);
  }
}

}  // namespace
}  // namespace kyx::test
