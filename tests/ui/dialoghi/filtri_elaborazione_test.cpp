// The user's filter end to end on a local sales data set: each filter command, issued as the
// main window issues it, changes FILTRO and the key tree alike, and the next run of the real
// engine gives the unfiltered result restricted by hand, hostile values (quotes, wildcards, a
// value as wide as the table allows, codes at their key's width) included. A drill from a result
// cell carries the clicked code into the target's filter, and the tree shows it.
#include <QTest>
#include <algorithm>
#include <map>
#include <memory>
#include <set>

#include "common/stato_db.h"
#include "db/mdb2.h"
#include "layouts/installa/installa_layout.h"
#include "platform/ui/vb_events.h"
#include "tests/db/ambiente_db.h"
#include "tests/ui/ambiente_struttura.h"
#include "ui/dialoghi/frm_menu_livelli.h"
#include "ui/dialoghi/installa_livelli.h"
#include "ui/installa_filtri.h"
#include "ui/installa_motore.h"
#include "ui/installa_viste.h"
#include "views/agganci_viste.h"

namespace kyx::test {
namespace {

struct Vendita {
  int idx;
  const char* area;
  const char* agente;
  int valore;
};

// Areas are keys 4 wide, agents 3 wide: "ZZZZ" and "ZZZ" fill them.
const std::vector<Vendita> kVendite = {
    {1, "NORD", "A01", 6}, {2, "SUD", "A02", 10}, {3, "NORD", "A03", 4}, {4, "O'B", "A'1", 7},
    {5, "O'B", "A02", 1},  {6, "50%", "A_1", 2},  {7, "500", "AX1", 3},  {8, "a_b", "A%1", 5},
    {9, "aXb", "A01", 11}, {10, "x\"y", "Z9Z", 8}, {11, "ZZZZ", "ZZZ", 9},
};

class FiltriElaborazione : public AmbienteStruttura {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Apri_MDB0(false));
    Riga("SINF", {"SINF", "LIBS1", "IDX_KEY", "IDX_MAX"}, {"SI1", "LIB1", 9, 3});
    Area(5, "VEN", "Vendite", "01");
    Chiave(1, "K", 4, "Area", "01");
    Chiave(2, "K", 3, "Agente", "02");
    for (int k : {1, 2}) Riga("FILTRO", {"KEY", "OPER", "VALO_1", "VALO_2", "BLOCCO"}, {k, "=", "*", " ", " "});
    Riga("VALORI", {"SINF", "IDX", "ELEM"}, {"SI1", 1, 3});
    Layout(4, "Per area", "01");
    Elementi(4, {"#L1(001)", "#+V001#"});
    Layout(5, "Dettaglio", "02");
    Elementi(5, {"#L1(!!!)", "#L2(001)", "#+V001#"});
    Layout(6, "Per area e agente", "03");
    Elementi(6, {"#L1(001)", "#L2(002)", "#+V001#"});
    Struttura(5, 1, 4);
    Struttura(5, 2, 5);
    Struttura(5, 1, 6);
    ASSERT_TRUE(Apri_MDB2(false, false));
    Installa_Motore();
    Installa_Layout();
    Installa_Livelli();
    Installa_Filtri();
  }
  void TearDown() override {
    delete frmMenuLivelli.peek();
    agganci_viste::reset();
  }

  // The sales rows into the local data set, values bound.
  static void Vendite(const std::vector<Vendita>& righe) {
    std::unique_ptr<data::Statement> st;
    ASSERT_TRUE(Cn_MDB2
                    ->Prepare("INSERT INTO KYX_D0_00F_SI1 (IDX, K_001, K_002, V_001_01, V_001_02, V_001_03) "
                              "VALUES (?,?,?,?,0,0)",
                              &st)
                    .ok());
    for (const Vendita& v : righe) {
      st->Reset();
      st->Bind(1, data::Value(int64_t{v.idx}));
      st->Bind(2, data::Value(std::string(v.area)));
      st->Bind(3, data::Value(std::string(v.agente)));
      st->Bind(4, data::Value(int64_t{v.valore}));
      ASSERT_TRUE(st->Run().ok()) << v.idx;
    }
  }

  std::string Mdb(int n) const { return dir.file("Dati/KYX_" + std::to_string(n) + ".MDB"); }
  // Detail rows of the last result as "level 1/level 2/amount", sorted.
  std::vector<std::string> Risultato(int livelli) const {
    const std::string colonne = livelli == 2 ? "c001 || '/' || c002 || '/' || c003" : "c001 || '/' || c002";
    std::vector<std::string> out;
    for (auto& r : Sql(Mdb(3), "SELECT " + colonne + " FROM DATI WHERE length(c000) = 7 AND c000 <> '9999994'"))
      out.push_back(r[0]);
    std::sort(out.begin(), out.end());
    return out;
  }
  // The same, from the sales rows picked by hand.
  static std::vector<std::string> A_Mano(const std::set<int>& tenute) {
    std::vector<std::string> out;
    for (const Vendita& v : kVendite)
      if (tenute.count(v.idx))
        out.push_back(std::string(v.area) + "/" + v.agente + "/" + std::to_string(v.valore) + ".0");
    std::sort(out.begin(), out.end());
    return out;
  }

  // FILTRO's value rows ("key kind value"; a range gives a D and an A row) against the value
  // nodes of the tree under their key nodes, in the same form.
  static std::vector<std::string> Righe_Filtro() {
    std::vector<std::string> out;
    std::unique_ptr<data::Statement> st;
    EXPECT_TRUE(Cn_MDB0->Prepare("SELECT KEY,OPER,VALO_1,VALO_2 FROM FILTRO WHERE VALO_1<>'*'", &st).ok());
    bool riga = false;
    const std::map<std::string, std::string> tipo = {{"=", "I"}, {"N", "N"}, {"D", "D"}};
    while (st->Step(&riga).ok() && riga) {
      const std::string k = st->Read(0).AsText() + " ", op = st->Read(1).AsText();
      out.push_back(k + tipo.at(op) + " " + st->Read(2).AsText());
      if (op == "D") out.push_back(k + "A " + st->Read(3).AsText());
    }
    std::sort(out.begin(), out.end());
    return out;
  }
  static std::vector<std::string> Nodi_Valore() {
    std::vector<std::string> out;
    ui::KeyedTree& t = *frmBase->twF;
    for (int i = 1; i <= t.Count(); ++i) {
      const std::string& k = t.Nodes(i).Key();
      if (k.size() != 14 || k.rfind("A___K", 0) != 0) continue;
      EXPECT_EQ(t.Nodes(i).Parent()->Key(), k.substr(0, 8)) << k;
      out.push_back(std::to_string(std::stoi(k.substr(5, 3))) + " " + k.substr(13) + " " + t.Nodes(i).Tag());
    }
    std::sort(out.begin(), out.end());
    return out;
  }
};

TEST_F(FiltriElaborazione, EachCommandFiltersTheNextRunAsPickedByHand) {
  Vendite(kVendite);
  FrmBase& f = Carica();
  f.twL_NodeClick(f.twL->Nodes("A005K001L006"));
  ASSERT_EQ(Risultato(2), A_Mano({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
  const std::string largo(30, 'W');  // as wide as a filter value is stored
  std::string lungo;  // far wider, and made of quotes and wildcards
  while (lungo.size() < 200) lungo += "O'B%_\"*?[";

  struct Passo {
    int chiave;
    std::string v1, v2;
    uint8_t operatore;
    const char* comando;
    std::set<int> tenute;
  };
  const std::vector<Passo> passi = {
      {1, "NORD", "NORD", 1, "E*", {1, 3}},
      {1, "O'B", "O'B", 1, "E*", {1, 3, 4, 5}},
      {1, "50%", "50%", 1, "E*", {1, 3, 4, 5, 6}},  // not "500"
      {1, "a_b", "a_b", 1, "E*", {1, 3, 4, 5, 6, 8}},  // not "aXb"
      {1, largo, " ", 1, "E+", {1, 3, 4, 5, 6, 8}},
      {2, "A'1", "A'1", 2, "E*", {1, 3, 5, 6, 8}},
      // Typed backwards: stored from "A%1" to "A03", which leaves out "A_1".
      {2, "A03", "A%1", 3, "P+", {1, 3, 5, 8}},
      {1, "x\"y", "x\"y", 1, "E*", {1, 3, 5, 8}},  // its only agent is outside the range
      {2, "A%1", "A03", 3, "P-", {1, 3, 5, 6, 8, 10}},
      {1, "ZZZZ", "ZZZZ", 1, "E*", {1, 3, 5, 6, 8, 10, 11}},  // as wide as the key
      {1, "NORDX", "NORDX", 1, "E*", {1, 3, 5, 6, 8, 10, 11}},  // wider: no code is
      {1, lungo, lungo, 1, "P+", {1, 3, 5, 6, 8, 10, 11}},
      {1, " ", " ", 0, "K-", {1, 2, 3, 5, 6, 7, 8, 9, 10, 11}},
      {0, " ", " ", 0, "T-", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
  };
  for (const Passo& p : passi) {
    SCOPED_TRACE(std::string(p.comando) + " " + p.v1);
    f.Carica_Filtro_Modifica(static_cast<int16_t>(p.chiave), p.v1, p.v2, p.operatore, p.comando, true);
    EXPECT_EQ(Nodi_Valore(), Righe_Filtro());
    f.Esegui_Pulsante(f.Toolbar1->Buttons("Elabora"), ui::vbLeftButton);
    EXPECT_EQ(Risultato(2), A_Mano(p.tenute));
    if (std::string(p.comando) == "E+") {
      EXPECT_EQ(Sql(dir.file("Dati/KYX_0.MDB"), "SELECT length(VALO_1) FROM FILTRO WHERE VALO_1 LIKE 'W%'"),
                (std::vector<std::vector<std::string>>{{"30"}}));
    }
    if (std::string(p.comando) == "P+" && p.chiave == 1) {
      const std::vector<std::string> righe = Righe_Filtro();
      EXPECT_NE(std::find(righe.begin(), righe.end(), "1 I " + lungo), righe.end()) << "stored exactly";
    }
    if (std::string(p.comando) == "P+" && p.chiave == 2) {
      EXPECT_EQ(Sql(dir.file("Dati/KYX_0.MDB"), "SELECT VALO_1, VALO_2 FROM FILTRO WHERE OPER='D'"),
                (std::vector<std::vector<std::string>>{{"A%1", "A03"}}));
    }
  }
}

TEST_F(FiltriElaborazione, ADrillCarriesTheClickedCodeIntoTheTargetAndTheTree) {
  Vendite({{1, "NORD", "A01", 6}, {2, "SUD", "A02", 10}, {3, "NORD", "A03", 4}});
  Riga("LAY_DRILL", {"K_LAY", "K_KEY", "K_IDX", "DESC", "ANNULL", "LAY", "KEYV1", "KEYV2"},
       {4, 1, 1, "Per agente", "D", 5, 2, 0});
  Installa_Viste();
  FrmBase& f = Carica();
  f.resize(900, 600);
  f.Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  f.Ridimensiona();
  f.twL_NodeClick(f.twL->Nodes("A005K001L004"));
  f.Esegui_Pulsante(f.Toolbar1->Buttons("Successivo"), ui::vbLeftButton);  // redisplay at the new size
  ASSERT_EQ(Risultato(1), (std::vector<std::string>{"NORD/10.0", "SUD/10.0"}));
  ASSERT_EQ(f.Grid1->TextMatrix(1, 1), "NORD");
  ASSERT_FALSE(f.twF->Exists("A___K001"));

  Funzione_Mouse = 3;  // a click drills at once
  const QPoint cella(static_cast<int>((f.Grid1->ColPos(1) + f.Grid1->ColWidth(1) / 2) / 15),
                     static_cast<int>((f.Grid1->RowPos(1) + f.Grid1->RowHeight(1) / 2) / 15));
  QTest::mouseClick(f.Grid1, Qt::LeftButton, {}, cella);

  EXPECT_EQ(Layout_Corrente, 5);
  EXPECT_EQ(Righe_Filtro(), (std::vector<std::string>{"1 I NORD"}));
  ASSERT_TRUE(f.twF->Exists("A___K001R0001I"));
  EXPECT_EQ(f.twF->Nodes("A___K001R0001I").Tag(), "NORD");
  EXPECT_EQ(f.twF->Nodes("A___K001").Text(), "Area");
  EXPECT_FALSE(f.twF->Exists("A005K001")) << "a filtered key leaves its area";
  // The target ran with the code: only the clicked area's agents.
  EXPECT_EQ(Risultato(2), (std::vector<std::string>{"A01/NORD/6.0", "A03/NORD/4.0"}));
}

TEST_F(FiltriElaborazione, ARunsFilterComesBackWithItFromTheHistory) {
  Vendite({kVendite.begin(), kVendite.begin() + 5});
  FrmBase& f = Carica();
  f.Carica_Filtro_Modifica(1, "NORD", "NORD", 1, "E*", true);
  f.Carica_Filtro_Modifica(1, "O'B", "O'B", 1, "E*", true);
  f.Carica_Filtro_Modifica(2, "A03", "A03", 2, "E*", true);
  const std::vector<std::string> filtro = Righe_Filtro();
  ASSERT_EQ(filtro, (std::vector<std::string>{"1 I NORD", "1 I O'B", "2 N A03"}));
  f.twL_NodeClick(f.twL->Nodes("A005K001L006"));
  ASSERT_EQ(Risultato(2), A_Mano({1, 4, 5}));

  f.Carica_Filtro_Modifica(0, " ", " ", 0, "T-", true);
  f.Esegui_Pulsante(f.Toolbar1->Buttons("Elabora"), ui::vbLeftButton);
  ASSERT_EQ(Risultato(2), A_Mano({1, 2, 3, 4, 5}));
  ASSERT_TRUE(Righe_Filtro().empty());

  // Back to the first run: its filter is in the table and in the tree again, and runs the same.
  f.Esegui_Pulsante(f.Toolbar1->Buttons("Precedente"), ui::vbLeftButton);
  ASSERT_EQ(Elaborazione_Corrente, 1);
  EXPECT_EQ(Righe_Filtro(), filtro);
  EXPECT_EQ(Nodi_Valore(), filtro);
  f.Esegui_Pulsante(f.Toolbar1->Buttons("Elabora"), ui::vbLeftButton);
  EXPECT_EQ(Risultato(2), A_Mano({1, 4, 5}));
}

}  // namespace
}  // namespace kyx::test
