// The drill-down definitions and the levels a layout leaves to settle: the list of definitions of
// a (layout, key) pair and its preselection, the key whose node the target layout is looked for
// under, the layout node keys of both tree orders, the level forms of CALC, what the dialog must
// still ask, and the check behind "Elabora".
#include "layouts/drill.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "common/impostazioni.h"
#include "layouts/drill_livelli.h"
#include "layouts/stato_layout.h"
#include "platform/ini/ini_file.h"
#include "tests/engine/ambiente_motore.h"

namespace kyx::test {
namespace {

class Drill : public Motore {
 protected:
  void SetUp() override {
    Motore::SetUp();
    stato_layout::reset();
    for (int k : {1, 2, 4, 6, 7}) Chiave(k, "K", 3);
  }
  void TearDown() override {
    stato_layout::reset();
    Motore::TearDown();
  }
  // A definition of the pair (lay, key): its number, description, default mark, target layout,
  // the keys proposed for row levels 1.. and column levels 1.., and the parameters 1...
  static void Definizione(int lay, int key, int idx, const std::string& desc, const std::string& annull, int target,
                          const std::vector<int>& keyv = {}, const std::vector<int>& keyo = {},
                          const std::vector<std::string>& prm = {}) {
    std::vector<std::string> c = {"K_LAY", "K_KEY", "K_IDX", "DESC", "ANNULL", "LAY"};
    std::vector<data::Value> v = {lay, key, idx, desc, annull, target};
    for (size_t i = 0; i < keyv.size(); ++i) {
      c.push_back("KEYV" + std::to_string(i + 1));
      v.push_back(keyv[i]);
    }
    for (size_t i = 0; i < keyo.size(); ++i) {
      c.push_back("KEYO" + std::to_string(i + 1));
      v.push_back(keyo[i]);
    }
    for (size_t i = 0; i < prm.size(); ++i) {
      c.push_back("PRM" + std::to_string(i + 1));
      v.push_back(prm[i]);
    }
    Riga("LAY_DRILL", c, v);
  }
};

TEST_F(Drill, ThePairListsItsDefinitionsAndPreselectsTheLastDefault) {
  EXPECT_TRUE(drill::Definizioni_Assenti());
  Definizione(3, 2, 1, "Per agente", " ", 5);
  Definizione(3, 2, 2, "Per cliente", "D", 6);
  Definizione(3, 2, 3, "Per prodotto", " ", 7);
  Definizione(3, 4, 1, "Altra chiave", " ", 5);
  Definizione(4, 2, 1, "Altro layout", "D", 5);
  EXPECT_FALSE(drill::Definizioni_Assenti());

  int scelta = -9;
  std::vector<drill::Voce> v = drill::Definizioni(3, 2, scelta);
  ASSERT_EQ(v.size(), 3u);
  EXPECT_EQ(v[0].Testo, "001 - Per agente");
  EXPECT_EQ(v[1].Testo, "002 - Per cliente");
  EXPECT_TRUE(v[1].Predefinita);
  EXPECT_FALSE(v[2].Predefinita);
  EXPECT_EQ(scelta, 1) << "the default, not the first";
  v = drill::Definizioni(3, 4, scelta);
  ASSERT_EQ(v.size(), 1u);
  EXPECT_EQ(scelta, 0) << "without a default the first";
  EXPECT_TRUE(drill::Definizioni(3, 9, scelta).empty());
  EXPECT_EQ(scelta, -1);
  EXPECT_FALSE(drill::Cerca_Definizione(3, 2, 9));
}

TEST_F(Drill, TheTargetKeyComesFromTheFirstDrillLevelElseTheFirstPositiveProposal) {
  Layout(5, "Agenti");
  Elementi({{.calc = "#L1(001)"}, {.calc = "#L2(!!!)"}}, 5);
  Layout(6, "Colonne");
  Elementi({{.calc = "#C1(!!!)#+V001#"}}, 6);
  Layout(7, "Fisso");
  Elementi({{.calc = "#L1(001)"}}, 7);
  struct Caso {
    int target;
    std::vector<int> keyv, keyo;
    int atteso;
  };
  const std::vector<Caso> casi = {
      {5, {0, 6}, {4}, 6},     // row level 2 from the drill: KEYV2
      {6, {7}, {4}, 4},        // column level 1 from the drill: KEYO1
      {6, {7}, {0}, 7},        // its field 0: the first positive KEYV
      {7, {0, 0, 2}, {4}, 2},  // no drill level: the first positive KEYV
      {7, {}, {0, 4}, 4},      // no KEYV: the first positive KEYO
  };
  int idx = 0;
  for (const Caso& c : casi) {
    SCOPED_TRACE(idx);
    Definizione(3, 2, ++idx, "d", " ", c.target, c.keyv, c.keyo);
    ASSERT_TRUE(drill::Cerca_Definizione(3, 2, static_cast<int16_t>(idx)));
    EXPECT_EQ(drill::Chiave_Destinazione(c.target), c.atteso);
  }
  Definizione(3, 2, ++idx, "none", " ", 7);
  ASSERT_TRUE(drill::Cerca_Definizione(3, 2, static_cast<int16_t>(idx)));
  EXPECT_LT(drill::Chiave_Destinazione(7), 1);
}

TEST(NodiLayout, KeysOfBothOrdersAreReadAndSearched) {
  EXPECT_TRUE(drill::Nodo_Di_Layout("A005K012L003"));
  EXPECT_TRUE(drill::Nodo_Di_Layout("  L003A005G012 "));
  EXPECT_TRUE(drill::Nodo_Di_Layout("A005I012L003"));
  EXPECT_FALSE(drill::Nodo_Di_Layout("A005K012"));
  EXPECT_FALSE(drill::Nodo_Di_Layout("A005X012L003"));
  EXPECT_FALSE(drill::Nodo_Di_Layout("L003A005"));

  const drill::Numeri_Nodo a = drill::Leggi_Nodo("A005K012L003", 0);
  EXPECT_EQ(a.Area, 5);
  EXPECT_EQ(a.Chiave, 12);
  EXPECT_EQ(a.Layout, 3);
  const drill::Numeri_Nodo l = drill::Leggi_Nodo("L003A005K012", 1);
  EXPECT_EQ(l.Area, 5);
  EXPECT_EQ(l.Chiave, 12);
  EXPECT_EQ(l.Layout, 3);

  const std::vector<std::string> aree = {"A005", "A005K012", "A005K012L003", "A006K012L004", "L004A006K012"};
  EXPECT_EQ(drill::Trova_Nodo(aree, 0, 3, 12), 2);
  EXPECT_EQ(drill::Trova_Nodo(aree, 0, 4, 12), 3) << "area-first order: the first form that matches";
  EXPECT_EQ(drill::Trova_Nodo(aree, 1, 4, 12), 4) << "layout-first order: only the layout-first form";
  EXPECT_EQ(drill::Trova_Nodo(aree, 1, 3, 12), -1);
  EXPECT_EQ(drill::Trova_Nodo(aree, 0, 3, 0), -1);
}

TEST(LivelliCalc, TheFormsOfALevel) {
  using livelli::Origine;
  struct Caso {
    const char* calc;
    Origine da;
    bool colonna;
    int n;
    int chiave;
  };
  for (const Caso& c : {Caso{"#L1(?\?\?)", Origine::Scelta, false, 1, 0}, Caso{"#R2(!!!)", Origine::Drill, false, 2, 0},
                        Caso{"#L3(012)x", Origine::Fissa, false, 3, 12},
                        Caso{"#C1(?\?\?)#+V001#", Origine::Scelta, true, 1, 0},
                        Caso{"#C2(!!!)#+V001#", Origine::Drill, true, 2, 0},
                        Caso{"#C9(007)#+V002#", Origine::Fissa, true, 9, 7},
                        Caso{"#C1(?\?\?)", Origine::Nessuna, false, 0, 0}, Caso{"#L0(?\?\?)", Origine::Nessuna, false, 0, 0},
                        Caso{"#+V001#", Origine::Nessuna, false, 0, 0}}) {
    SCOPED_TRACE(c.calc);
    const livelli::Livello l = livelli::Livello_Calc(c.calc);
    EXPECT_EQ(l.Da, c.da);
    if (c.da == Origine::Nessuna) continue;
    EXPECT_EQ(l.Colonna, c.colonna);
    EXPECT_EQ(l.n, c.n);
    EXPECT_EQ(l.Chiave, c.chiave);
  }
  EXPECT_EQ(livelli::Chiave_Parametro(12, 3), "Par L012 3");
}

class Preparazione : public Drill {
 protected:
  void SetUp() override {
    Drill::SetUp();
    Riga("LAYOUT", {"IDX", "DESC", "PARM_1", "PARM_3"}, {5, "Agenti", "Anno", "  Mese "});
    Elementi({{.calc = "#L1(!!!)"}, {.calc = "#L2(?\?\?)"}, {.calc = "#L3(004)"}, {.calc = "#C1(!!!)#+V001#"},
              {.calc = "#+V001#"}},
             5);
    Layout_Corrente = 5;
    Chiave_Corrente = 2;
    Profilo_Corrente = 1;
    ASSERT_TRUE(Scrivi_Ini("001", "Par L005 1", " 2024 "));
  }
};

TEST_F(Preparazione, FromTheTreeTheLevelsComeFromTheLayoutAndThePreviousChoices) {
  Liv_Riga_Chiave = {6, 7, -1, -1, -1, -1, -1, -1, -1};
  const livelli::Preparazione p = livelli::Prepara(0);
  ASSERT_TRUE(p.Trovato);
  EXPECT_EQ(Liv_Riga_Precedente[0], 6) << "the keys in use became the previous ones";
  EXPECT_EQ(Liv_Riga_Chiave[0], 2) << "the first drill level takes the node's key";
  EXPECT_EQ(Liv_Riga_Testo[0], "Chiave 2");
  EXPECT_EQ(Liv_Riga_Chiave[1], 0);
  EXPECT_EQ(Liv_Riga_Chiave[2], 4);
  EXPECT_EQ(Liv_Riga_Chiave[3], -1);
  EXPECT_EQ(Liv_Colonna_Chiave[0], 0) << "a later drill level starts unchosen";
  EXPECT_EQ(p.Proposta_Riga[2], 7);
  EXPECT_TRUE(p.Da_Scegliere_Righe);
  EXPECT_TRUE(p.Da_Scegliere_Colonne);
  EXPECT_EQ(Parametri_Descrizione[2], "Mese");
  EXPECT_EQ(p.Valore[1], "2024");
  EXPECT_EQ(p.Valore[3], "");
  EXPECT_TRUE(p.Mostra_Parametro[1]) << "every labelled parameter is shown from the tree";
  EXPECT_FALSE(p.Mostra_Parametro[2]);
  EXPECT_TRUE(p.Mostra_Parametro[3]);
  EXPECT_TRUE(p.Da_Compilare_Parametri);
}

TEST_F(Preparazione, FromADrillTheDefinitionProposesKeysAndParameters) {
  Definizione(3, 2, 1, "Per agente", " ", 5, {0, 6, 9}, {7}, {" ", " ", "03"});
  ASSERT_TRUE(drill::Cerca_Definizione(3, 2, 1));
  const livelli::Preparazione p = livelli::Prepara(3);
  EXPECT_EQ(p.Proposta_Riga[2], 6);
  EXPECT_EQ(p.Proposta_Riga[3], 9) << "proposed for every level the layout has";
  EXPECT_EQ(p.Proposta_Riga[4], 0) << "and for none it lacks";
  EXPECT_EQ(p.Proposta_Colonna[1], 7);
  EXPECT_EQ(p.Valore[1], "2024") << "a blank drill parameter keeps the stored value";
  EXPECT_EQ(p.Valore[3], "03");
  EXPECT_FALSE(p.Mostra_Parametro[1]) << "in mode 3 a parameter with a value is not asked";
  EXPECT_FALSE(p.Da_Compilare_Parametri);
  EXPECT_TRUE(livelli::Prepara(4).Mostra_Parametro[1]) << "mode 4 shows every labelled parameter";
}

TEST_F(Preparazione, AMissingLayoutOnlyResetsTheLevels) {
  Liv_Riga_Chiave[0] = 6;
  Layout_Corrente = 99;
  EXPECT_FALSE(livelli::Prepara(0).Trovato);
  EXPECT_EQ(Liv_Riga_Chiave[0], -1);
  EXPECT_EQ(Liv_Riga_Precedente[0], 6);
}

TEST_F(Preparazione, ParametersAreHandedToTheEngineAndStoredUnderTheLayout) {
  std::array<std::string, 10> v;
  v[1] = "  2025 ";
  v[9] = "x";
  livelli::Salva_Parametri(v);
  EXPECT_EQ(Parametri_Valore[0], "2025");
  EXPECT_EQ(Parametri_Valore[8], "x");
  EXPECT_EQ(Leggi_Ini("001", "Par L005 1", "?"), "2025");
  EXPECT_EQ(Leggi_Ini("001", "Par L005 2", "?"), "");
}

TEST_F(Drill, TheCheckBehindElabora) {
  Sinf_Idx_Key = 9;
  struct Caso {
    const char* nome;
    std::vector<int16_t> righe, colonne;
    bool abilita;
    std::vector<int> rosse_righe, rosse_colonne;  // levels 1..
  };
  const std::vector<Caso> casi = {
      {"filled from level 1", {1, 2, 0}, {4}, true, {}, {}},
      {"a gap", {0, 2}, {}, false, {}, {}},
      {"a column gap", {}, {-1, 0, 4}, false, {}, {}},
      {"the same row key twice", {1, 2, 1}, {}, false, {1, 3}, {}},
      {"the same column key twice", {}, {4, 4}, false, {}, {1, 2}},
      {"the index key on both", {9, 2}, {9}, false, {1}, {1}},
      {"another key on both", {2}, {2}, true, {}, {}},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    Liv_Riga_Chiave.fill(-1);
    Liv_Colonna_Chiave.fill(-1);
    for (size_t i = 0; i < c.righe.size(); ++i) Liv_Riga_Chiave[i] = c.righe[i];
    for (size_t i = 0; i < c.colonne.size(); ++i) Liv_Colonna_Chiave[i] = c.colonne[i];
    const livelli::Verifica v = livelli::Verifica_Livelli();
    EXPECT_EQ(v.Abilita, c.abilita);
    for (int i = 1; i <= 9; ++i) {
      const bool r = std::find(c.rosse_righe.begin(), c.rosse_righe.end(), i) != c.rosse_righe.end();
      const bool k = std::find(c.rosse_colonne.begin(), c.rosse_colonne.end(), i) != c.rosse_colonne.end();
      EXPECT_EQ(v.Riga_Rossa[i - 1], r) << i;
      EXPECT_EQ(v.Colonna_Rossa[i - 1], k) << i;
    }
  }
}

}  // namespace
}  // namespace kyx::test
