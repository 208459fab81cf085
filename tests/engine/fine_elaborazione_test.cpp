// The end of an elaboration: the display recordset, the column settings the user left on the
// same layout, the order of the main window's calls around the history save.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/modello.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "db/mdb2.h"
#include "engine/agganci_motore.h"
#include "engine/elaborazione.h"
#include "engine/stato_motore.h"
#include "platform/data/static_recordset.h"
#include "tests/engine/ambiente_motore.h"

namespace kyx::test {
namespace {

// Sales by area (key 1) and agent (key 2), amount value 1 in the three data-set slots of key 9.
class Fine : public Motore {
 protected:
  void SetUp() override {
    Motore::SetUp();
    Chiave(1, "K", 4);
    Chiave(2, "K", 3);
    Riga("VALORI", {"SINF", "IDX", "ELEM"}, {"SI1", 1, 3});
    Layout(3, "Vendite");
    Elementi({{.col = 1, .calc = "#L1(001)"}, {.col = 2, .calc = "#+V001#", .tot = "T"},
              {.col = 3, .calc = "#+V001#", .tot = "T"}});
    Layout(4, "Agenti");
    Elementi({{.col = 1, .calc = "#L1(002)"}, {.col = 2, .calc = "#+V001#"}}, 4);
    Liv_Riga_Chiave[0] = 1;
    ASSERT_TRUE(Apri_MDB2(false, false));
    int n = 0;
    for (const char* riga : {"'NORD','A01',1,0,0", "'SUD','A02',10,0,0", "'NORD','A03',4,0,0"})
      ASSERT_TRUE(Sql(Mdb(2), "INSERT INTO KYX_D0_00F_SI1 (IDX, K_001, K_002, V_001_01, V_001_02, V_001_03) VALUES (" +
                                  std::to_string(++n) + "," + riga + ")")
                      .empty());
    const auto traccia = [this](const char* nome) { return [this, nome] { chiamate.push_back(nome); }; };
    agganci_motore::Completa_Progresso = traccia("Completa_Progresso");
    agganci_motore::Nascondi_Progresso = traccia("Nascondi_Progresso");
    agganci_motore::Ridimensiona = traccia("Ridimensiona");
    agganci_motore::Mostra_Banner = traccia("Mostra_Banner");
    agganci_motore::Imposta_Bar = traccia("Imposta_Bar");
    agganci_motore::Visualizza_Larghezza_Colonne = [this](int32_t c, bool intestazioni, int32_t) {
      chiamate.push_back("Larghezze " + std::to_string(c) + (intestazioni ? " con intestazioni" : ""));
    };
    agganci_motore::Salva_Layout = [this](const std::string& operazione, int16_t) {
      chiamate.push_back("Salva_Layout " + operazione);
      righe_al_salvataggio = Rs_Griglia ? Rs_Griglia->RecordCount() : -1;
    };
  }

  std::vector<std::string> chiamate;
  int64_t righe_al_salvataggio = -2;
};

TEST_F(Fine, TheResultIsShownFromADisconnectedCopyAndSavedAfterTheWidthsAreFitted) {
  Adatta_Dopo_Elaborazione = 2;
  Messaggio_Presente = true;
  Grafico_Visibile = true;
  Filtro_Griglia = "c001 = 'OLD'";  // a row filter of the previous result
  ASSERT_TRUE(Esegui_Elaborazione());

  auto* rs = dynamic_cast<data::StaticRecordset*>(Rs_Griglia.get());
  ASSERT_NE(rs, nullptr);
  EXPECT_TRUE(rs->IsOpen());
  EXPECT_FALSE(rs->IsConnected());
  EXPECT_EQ(Numero_Record, 3);  // NORD, SUD and the grand total
  EXPECT_EQ(righe_al_salvataggio, 3);
  EXPECT_EQ(Filtro_Griglia, "");
  EXPECT_EQ(Modo_Griglia, 3);
  EXPECT_TRUE(Grafico_Visibile) << "one row level: the chart stays";
  EXPECT_EQ(chiamate, (std::vector<std::string>{"Imposta_Bar", "Completa_Progresso", "Larghezze 65535 con intestazioni",
                                                "Salva_Layout ADD", "Imposta_Bar", "Nascondi_Progresso",
                                                "Mostra_Banner"}));

  // Two row levels: no chart, and the window is laid out again before the toolbar.
  Liv_Riga_Chiave[1] = 2;
  Elementi({{.col = 1, .calc = "#L1(001)"}, {.col = 2, .calc = "#L2(002)"}, {.col = 3, .calc = "#+V001#"}});
  Adatta_Dopo_Elaborazione = 0;
  Messaggio_Presente = false;
  chiamate.clear();
  ASSERT_TRUE(Esegui_Elaborazione());
  EXPECT_FALSE(Grafico_Visibile);
  EXPECT_EQ(chiamate, (std::vector<std::string>{"Imposta_Bar", "Completa_Progresso", "Salva_Layout ADD", "Ridimensiona",
                                                "Imposta_Bar", "Nascondi_Progresso"}));
}

TEST_F(Fine, TheSameLayoutAgainKeepsTheUsersColumnsAndSortAnotherLayoutInBetweenDoesNot) {
  Memorizza_Colonne = true;
  Layout_Precedente = -123;
  ASSERT_TRUE(Esegui_Elaborazione());
  const auto proprie = Col_Visibile;
  const int16_t ordine = Colonna_Ordinamento;
  // What the grid's menus record for the layout shown: column 2 hidden, two frozen columns, a
  // descending sort on column 3.
  const auto scelte_utente = [] {
    Col_Visibile_Memoria[2] = 1;
    Colonne_Bloccate_Memoria = 2;
    Colonna_Ordinamento_Memoria = 3;
    Verso_Ordinamento_Memoria = " DESC";
  };
  scelte_utente();
  ASSERT_TRUE(Esegui_Elaborazione());
  EXPECT_EQ(Col_Visibile[2], 1);
  EXPECT_EQ(Colonne_Bloccate, 2);
  EXPECT_EQ(Colonna_Ordinamento, 3);
  EXPECT_EQ(Verso_Ordinamento, " DESC");
  Rs_Griglia->MoveFirst();
  EXPECT_EQ(Rs_Griglia->Field("c001").AsText(), "SUD") << "the rows follow the remembered sort";

  scelte_utente();
  Layout_Corrente = 4;
  ASSERT_TRUE(Esegui_Elaborazione());
  Layout_Corrente = 3;
  ASSERT_TRUE(Esegui_Elaborazione());
  EXPECT_EQ(Col_Visibile[2], proprie[2]);
  EXPECT_EQ(Colonna_Ordinamento, ordine);
}

TEST_F(Fine, AnElaborationWithoutRowsIsStillShownAndSaved) {
  ASSERT_TRUE(Sql(Mdb(2), "DELETE FROM KYX_D0_00F_SI1").empty());
  ASSERT_TRUE(Esegui_Elaborazione());
  ASSERT_TRUE(Rs_Griglia && Rs_Griglia->IsOpen());
  EXPECT_EQ(Numero_Record, Rs_Griglia->RecordCount());
  EXPECT_EQ(righe_al_salvataggio, Rs_Griglia->RecordCount());
}

}  // namespace
}  // namespace kyx::test
