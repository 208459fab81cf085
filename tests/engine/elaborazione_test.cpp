// The elaboration run: its early ends on missing structure, its numbering and the order of its
// phases.
#include "engine/elaborazione.h"

#include <functional>
#include <string>
#include <vector>

#include "tests/engine/ambiente_motore.h"

namespace kyx::test {
namespace {

class Elaborazione : public Motore {
 protected:
  void SetUp() override {
    Motore::SetUp();
    Chiave(1, "K", 4);
    Valore(1);
    Layout(3, "Vendite per area");
    Elementi({{.col = 1, .calc = "#L1(001)"}, {.col = 2, .calc = "#+V001#"}});
    Liv_Riga_Chiave[0] = 1;
    Storico_Ultimo = 41;
    Elaborazione_Corrente = 40;
    Numero_Colonne = 77;  // what the previous elaboration left
    const auto fase = [this](const char* nome) { return [this, nome] { fasi.push_back(nome); }; };
    agganci_motore::Imposta_Bar = fase("Imposta_Bar");
    agganci_motore::Testo_Nodo_Layout = [this](bool padre) {
      fasi.push_back(padre ? "Nodo padre" : "Nodo");
      return std::string("Area Nord");
    };
    agganci_motore::Imposta_Titolo = [this](const std::string& t) { titolo = t; };
    agganci_motore::Completa_Progresso = fase("Completa_Progresso");
    agganci_motore::Nascondi_Progresso = fase("Nascondi_Progresso");
    agganci_motore::Ridimensiona = fase("Ridimensiona");
    agganci_motore::Salva_Layout = [this](const std::string& op, int16_t col) {
      fasi.push_back("Salva_Layout " + op + " " + std::to_string(col));
    };
  }

  std::vector<std::string> fasi;
  std::string titolo;
};

struct Guasto {
  const char* caso;
  void (*guasta)();
};

const Guasto kGuasti[] = {
    {"EmptyCHIAVI", [] { ASSERT_TRUE(Cn_MDB0->Execute("DELETE FROM CHIAVI").ok()); }},
    {"EmptyVALORI", [] { ASSERT_TRUE(Cn_MDB0->Execute("DELETE FROM VALORI").ok()); }},
    {"EmptyLAYOUT", [] { ASSERT_TRUE(Cn_MDB0->Execute("DELETE FROM LAYOUT").ok()); }},
    {"EmptyLAY_ELEM", [] { ASSERT_TRUE(Cn_MDB0->Execute("DELETE FROM LAY_ELEM").ok()); }},
    {"LayoutNotInLAYOUT", [] { Layout_Corrente = 8; }},
    {"LayoutWithoutElements", [] {
       Motore::Layout(8);
       Layout_Corrente = 8;
     }},
    {"SystemNotInSINF", [] { Sistema_Informativo = "SI9"; }},
};

class Struttura_Mancante : public Elaborazione, public ::testing::WithParamInterface<Guasto> {};

TEST_P(Struttura_Mancante, EndsTheRunBeforeAnythingChanges) {
  GetParam().guasta();
  Esegui_Elaborazione();
  EXPECT_EQ(Storico_Ultimo, 41);
  EXPECT_EQ(Elaborazione_Corrente, 40);
  EXPECT_EQ(Numero_Colonne, 77);
  EXPECT_TRUE(fasi.empty());
}

INSTANTIATE_TEST_SUITE_P(Elaborazione, Struttura_Mancante, ::testing::ValuesIn(kGuasti),
                         [](const auto& info) { return std::string(info.param.caso); });

TEST_F(Elaborazione, NumbersTheRunAndCallsEveryPhaseInOrder) {
  Ordinamento_Layout = 0;
  Modo_Griglia = 1;  // the grid listed the codes of key 5
  Chiave_Elenco = 5;
  Tipo_Data_Chiave = 2;
  Esegui_Elaborazione();
  EXPECT_EQ(Modo_Griglia, 3);
  EXPECT_EQ(Chiave_Elenco, -1);
  EXPECT_EQ(Tipo_Data_Chiave, 0);
  EXPECT_EQ(Storico_Ultimo, 42);
  EXPECT_EQ(Elaborazione_Corrente, 42);
  EXPECT_EQ(Sinf_Idx_Key, 9);
  EXPECT_EQ(Sinf_Idx_Max, 3);
  // The toolbar at the start and, after the save into the history, at the end.
  EXPECT_EQ(fasi, (std::vector<std::string>{"Imposta_Bar", "Nodo padre", "Completa_Progresso", "Salva_Layout ADD 0",
                                            "Imposta_Bar", "Nascondi_Progresso"}));
  EXPECT_EQ(titolo, "Vendite per area  Area Nord");
  EXPECT_EQ(Numero_Colonne, 2);
  EXPECT_EQ(Numero_Livelli, 1);
  ASSERT_EQ(Numero_Query, 1);
  EXPECT_EQ(Query_Testo[0], "SELECT k_001,sum(V_001_01+V_001_02+V_001_03) FROM KYX_D0_00F  group by k_001");
}

TEST_F(Elaborazione, AnUnansweredServerRequestEndsTheRunButKeepsTheNewNumber) {
  Connesso = true;  // connected to the data server (no SQL Server database), but its link is gone
  host.expect("Errore 021 - Richiesta_ESEGUI");
  EXPECT_FALSE(Esegui_Elaborazione());
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(Storico_Ultimo, 42);
  EXPECT_EQ(Elaborazione_Corrente, 42);
  EXPECT_EQ(fasi.back(), "Nodo padre") << "nothing after the layout request";
  EXPECT_EQ(Numero_Query, 0);
}

TEST_F(Elaborazione, AnSqlProfileAsksNothingOfTheDataServerAndReportsADatabaseItCannotOpen) {
  Connesso = true;
  DataBase_SQL = "VENDITE";
  // No layout request (it would fail on the closed link with "Errore 021"); the SQL database
  // cannot be reached through a driver that is not installed, and the run says so.
  setenv("KYX_ODBC_DRIVER", "Kyx driver assente", 1);
  host.expect("Errore 027 - Richiesta_ESEGUI\rdatabase VENDITE\r");
  EXPECT_FALSE(Esegui_Elaborazione());
  unsetenv("KYX_ODBC_DRIVER");
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(Numero_Query, 0);
}

}  // namespace
}  // namespace kyx::test
