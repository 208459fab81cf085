// Clicks on the key and filter tree twF with the real mouse: a left click sets the filter panel
// from the node and lists the key's codes once, a right click clears a key or removes the clicked
// value (a whole range from either end) through the filter commands, locked keys and areas ignore
// clicks, the year node opens the display options, and filtered keys refuse to collapse.
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <memory>

#include "common/stato_db.h"
#include "tests/ui/ambiente_filtri.h"
#include "tests/ui/ambiente_struttura.h"
#include "ui/frm_menu_opzioni.h"
#include "ui/installa_dati_locali.h"
#include "ui/installa_filtri.h"
#include "ui/installa_viste.h"
#include "views/agganci_viste.h"
#include "views/elenco.h"
#include "views/stato_griglia.h"

namespace kyx::test {
namespace {

class AlberoChiavi : public AmbienteStruttura {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Apri_MDB0(false));
    Area(5, "VEN", "Vendite", "01");
    Chiave(1, "A", 4, "Anno", "00");
    Chiave(12, "G", 10, "Gruppo", "01");
    Chiave(13, "G", 10, "Agente", "02");
    Chiave(14, "G", 10, "Zona", "03");
    Riga("CHIAVI", {"SINF", "IDX", "KINDB", "LUN", "ATTR", "KEY_D", "TESTO", "ORDINA", "VIS", "AREA_1"},
         {"SI1", 20, "G", 8, "A", 0, "Data", "04", "V", "VEN"});
    Riga("CHIAVI", {"SINF", "IDX", "KINDB", "LUN", "ATTR", "KEY_D", "TESTO", "ORDINA", "VIS", "AREA_1", "FORMATO"},
         {"SI1", 21, "G", 6, "1", 0, "Cliente", "05", "V", "VEN", "#MID(1,2)#"});
    Filtro(1, "=", "*", " ", " ");
    Filtro(21, "=", "*", " ", " ");
    Filtro(12, "=", "A1", " ", " ");
    Filtro(12, "D", "C", "M", " ");
    Filtro(12, "N", "Z", " ", " ");
    Filtro(13, "=", "*", " ", " ");
    Filtro(14, "=", "L1", " ", "B");
    Filtro(20, "=", "20240115", " ", " ");
    Installa_Filtri();
    Installa_Viste();
    Installa_Dati_Locali();
    Anno_Riferimento = 2024;
    FrmBase& f = Carica();
    f.resize(900, 700);
    f.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    f.Ridimensiona();
    f.Carica_Albero_Chiavi();
  }
  void TearDown() override {
    delete frmMenuOpzioni.peek();
    agganci_elenco::reset();
    agganci_viste::reset();
  }

  static void Filtro(int k, const char* op, const char* v1, const char* v2, const char* blocco) {
    Riga("FILTRO", {"KEY", "OPER", "VALO_1", "VALO_2", "BLOCCO"}, {k, op, v1, v2, blocco});
  }

  static void Clic(const std::string& chiave, Qt::MouseButton tasto = Qt::LeftButton) {
    Clic_Nodo(*frmBase->twF, chiave, tasto);
  }
  static std::vector<std::string> Tabella() { return Tabella_Filtro(); }

  static std::string Testo(const QLineEdit* t) { return t->text().toStdString(); }
};

TEST_F(AlberoChiavi, LeftClicksSetThePanelFromTheNodeAndListTheKeyOnce) {
  FrmBase& f = *frmBase;
  ASSERT_TRUE(f.twF->Exists("A___K012R0002D"));
  ASSERT_EQ(f.twF->Nodes("A___K012R0003A").Tag(), "M");
  struct Caso {
    const char* nodo;
    uint8_t operatore;
    const char* primo;
    const char* secondo;
    const char* titolo;
    int16_t elenco;
    bool ricaricato;
  };
  const std::vector<Caso> casi = {
      {"A___K012R0002D", 3, "C", "M", "Gruppo", 12, true},
      {"A___K012R0003A", 3, "C", "M", "Gruppo", 12, false},  // the other end of the same range
      {"A___K012R0001I", 1, "A1", "", "Gruppo", 12, false},
      {"A___K012R0004N", 2, "Z", "", "Gruppo", 12, false},
      {"A___K012", 2, "", "", "Gruppo", 12, false},  // a key node keeps the operator
      {"A005K013", 2, "", "", "Agente", 13, true},   // a key without filter, under its area
  };
  for (const Caso& c : casi) {
    Riga_Evidenziata = 77;  // a reload of the list starts the highlight afresh
    Clic(c.nodo);
    EXPECT_EQ(Operatore_Filtro, c.operatore) << c.nodo;
    EXPECT_EQ(f.Toolbar1->Buttons("FiltroTipo").ImageKey(), "FiltroTipo" + std::to_string(c.operatore)) << c.nodo;
    EXPECT_EQ(Testo(f.Flt_txt[1]), c.primo) << c.nodo;
    EXPECT_EQ(Testo(f.Flt_txt[0]), c.secondo) << c.nodo;
    EXPECT_EQ(Filtro_Valori[1], c.primo) << c.nodo;
    EXPECT_EQ(f.lbl_twE[1]->text().toStdString(), c.titolo) << c.nodo;
    EXPECT_EQ(f.lbl_twE[0]->text().toStdString(), c.titolo) << c.nodo;
    EXPECT_EQ(Chiave_Elenco, c.elenco) << c.nodo;
    EXPECT_EQ(Modo_Griglia, 1) << c.nodo;
    EXPECT_EQ(Riga_Evidenziata != 77, c.ricaricato) << c.nodo;
  }
  // The range's boxes show both ends on a range panel.
  Clic("A___K012R0002D");
  EXPECT_TRUE(f.Flt_txt[0]->isVisible());
  EXPECT_FALSE(Filtro_Stato_2);
  // A coded key shown through a format: the boxes only show, the user picks codes in the grid.
  Clic("A005K021");
  EXPECT_TRUE(Filtro_Stato_2);
  EXPECT_TRUE(f.Flt_txt[1]->isReadOnly());
  Clic("A___K012");
  EXPECT_FALSE(Filtro_Stato_2);
  EXPECT_FALSE(f.Flt_txt[1]->isReadOnly());
}

TEST_F(AlberoChiavi, RightClicksRemoveTheClickedValueOrTheWholeKey) {
  FrmBase& f = *frmBase;
  // A date key's codes are listed and the boxes hold another date: the click still decides.
  Clic("A___K020");
  f.Flt_txt[1]->setText("01/02/2023");
  const std::vector<std::string> iniziale = Tabella();
  struct Passo {
    const char* nodo;
    std::vector<std::string> tolte;  // rows gone since the start
    std::vector<std::string> aggiunte;
  };
  // Node numbers follow each rebuild: the keys below are those of the tree at that step.
  const std::vector<Passo> passi = {
      {"A005", {}, {}},                              // an area
      {"A___B014", {}, {}},                          // a locked key
      {"A___B014R0005I", {}, {}},                    // a value of a locked key
      {"A___K012R0003A", {"12 D C|M| "}, {}},        // a range end removes the whole range
      {"A___K020R0004I", {"12 D C|M| ", "20 = 20240115| | "}, {"20 = *| | "}},
      {"A___K012R0001I", {"12 D C|M| ", "20 = 20240115| | ", "12 = A1| | "}, {"20 = *| | "}},
      {"A___K012", {"12 D C|M| ", "20 = 20240115| | ", "12 = A1| | ", "12 N Z| | "}, {"20 = *| | ", "12 = *| | "}},
      {"A005K013", {"12 D C|M| ", "20 = 20240115| | ", "12 = A1| | ", "12 N Z| | "}, {"20 = *| | ", "12 = *| | "}},
  };
  for (const Passo& p : passi) {
    Clic(p.nodo, Qt::RightButton);
    std::vector<std::string> attese;
    for (const std::string& r : iniziale)
      if (std::find(p.tolte.begin(), p.tolte.end(), r) == p.tolte.end()) attese.push_back(r);
    attese.insert(attese.end(), p.aggiunte.begin(), p.aggiunte.end());
    std::vector<std::string> lette = Tabella();
    std::sort(attese.begin(), attese.end());
    std::sort(lette.begin(), lette.end());
    EXPECT_EQ(lette, attese) << p.nodo;
  }
  EXPECT_EQ(Chiave_Elenco, 20) << "a right click lists nothing";
  // What is left in the tree: the year, the locked key and the areas.
  EXPECT_FALSE(f.twF->Exists("A___K012"));
  EXPECT_TRUE(f.twF->Exists("A___B014R0001I"));
  EXPECT_TRUE(f.twF->Exists("A005K012"));
}

TEST_F(AlberoChiavi, YearNodeOpensTheOptionsAndFilteredKeysStayOpen) {
  FrmBase& f = *frmBase;
  for (Qt::MouseButton tasto : {Qt::LeftButton, Qt::RightButton}) {
    Clic("A___B_AA_RIF", tasto);
    ASSERT_NE(frmMenuOpzioni.peek(), nullptr);
    EXPECT_TRUE(frmMenuOpzioni->isVisible());
    frmMenuOpzioni->Unload();
    f.SetEnabled(true);
  }
  EXPECT_EQ(Tabella().size(), 8u) << "the year node changes no filter";

  // Collapsing by keyboard: a filtered key opens again at once, an area closes.
  QTreeWidget* v = f.twF->view();
  for (const char* k : {"A___K012", "A005"}) f.twF->Nodes(k).SetExpanded(true);
  for (const auto& [k, aperto] : std::vector<std::pair<const char*, bool>>{{"A___K012", true}, {"A005", false}}) {
    Clic(k);  // makes it the current node
    QTest::keyClick(v, Qt::Key_Left);
    EXPECT_EQ(f.twF->Nodes(k).Expanded(), aperto) << k;
  }
}

}  // namespace
}  // namespace kyx::test
