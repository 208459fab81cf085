// The levels and parameters dialog over a real sales system: opened from a layout node of the
// structure tree it asks the levels and parameters, and "Elabora" runs the real engine on the
// local data set and saves the run into the history, which the toolbar's history buttons step
// through; a layout with nothing to choose runs at once; a drill from a result cell picks a drill
// definition and builds its target layout with the keys the definition proposes.
#include <QTest>
#include <QTreeWidget>

#include "db/mdb2.h"
#include "layouts/installa/installa_layout.h"
#include "platform/ini/ini_file.h"
#include "platform/ui/vb_events.h"
#include "tests/db/ambiente_db.h"
#include "tests/ui/ambiente_struttura.h"
#include "ui/dialoghi/frm_menu_livelli.h"
#include "ui/dialoghi/installa_livelli.h"
#include "ui/installa_motore.h"
#include "ui/installa_viste.h"
#include "ui/mappa_aiuto.h"

namespace kyx::test {
namespace {

class Livelli : public AmbienteStruttura {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Apri_MDB0(false));
    Riga("SINF", {"SINF", "LIBS1", "IDX_KEY", "IDX_MAX"}, {"SI1", "LIB1", 9, 3});
    Area(5, "VEN", "Vendite", "01");
    Chiave(1, "K", 4, "Area", "01");
    Chiave(2, "K", 3, "Agente", "02");
    Riga("VALORI", {"SINF", "IDX", "ELEM"}, {"SI1", 1, 3});
    Riga("LAYOUT", {"IDX", "DESC", "ORDINA", "PARM_1"}, {3, "Per livelli", "01", "Anno"});
    Elementi(3, {"#L1(?\?\?)", "#L2(?\?\?)", "#+V001#"});
    Layout(4, "Per area", "02");
    Elementi(4, {"#L1(001)", "#+V001#"});
    Layout(5, "Dettaglio", "03");
    Elementi(5, {"#L1(!!!)", "#L2(001)", "#+V001#"});
    Struttura(5, 1, 3);
    Struttura(5, 1, 4);
    Struttura(5, 2, 5);

    ASSERT_TRUE(Apri_MDB2(false, false));
    ASSERT_TRUE(Sql(Mdb(2), "INSERT INTO KYX_D0_00F_SI1 (IDX, K_001, K_002, V_001_01, V_001_02, V_001_03) VALUES "
                            "(1, 'NORD', 'A01', 1, 2, 3), (2, 'SUD', 'A02', 10, 0, 0), (3, 'NORD', 'A03', 4, 0, 0)")
                    .empty());
    Installa_Motore();
    Installa_Layout();
    Installa_Livelli();
    agganci_base::Carica_Filtro_Modifica = [this](int16_t k, const std::string& v1, const std::string& v2, uint8_t,
                                                  const std::string& c, bool) {
      filtri.push_back(c + " " + std::to_string(k) + " " + v1 + " " + v2);
    };
  }
  void TearDown() override { delete frmMenuLivelli.peek(); }

  std::string Mdb(int n) const { return dir.file("Dati/KYX_" + std::to_string(n) + ".MDB"); }
  // Detail rows of the result: their level codes and amount, in the result's order.
  std::vector<std::vector<std::string>> Dettaglio(const std::string& colonne = "c001, c002, c003") const {
    return Sql(Mdb(3), "SELECT " + colonne + " FROM DATI WHERE length(c000) = 7 AND c000 <> '9999994' ORDER BY c000, c001");
  }
  static void Definizione(int key, int idx, const std::string& desc, const std::string& annull, int target, int keyv1,
                          int keyv2) {
    Riga("LAY_DRILL", {"K_LAY", "K_KEY", "K_IDX", "DESC", "ANNULL", "LAY", "KEYV1", "KEYV2"},
         {4, key, idx, desc, annull, target, keyv1, keyv2});
  }

  // Two drill definitions from the area column of layout 4 (the default to layout 5, the other to
  // layout 3), and a result of layout 4 to start from.
  FrmBase& Sorgente_Del_Drill() {
    Definizione(1, 1, "Per agente", "D", 5, 2, 0);
    Definizione(1, 2, "Per livelli", " ", 3, 1, 2);
    FrmBase& f = Carica();
    f.twL_NodeClick(f.twL->Nodes("A005K001L004"));
    return f;
  }

  // The dialog for layout 3 from the tree, levels agent then area, parameter "2024", "Elabora".
  void Esegui_Da_Albero(FrmBase& f) {
    f.twL_NodeClick(f.twL->Nodes("A005K001L003"));
    FrmMenuLivelli* d = frmMenuLivelli.peek();
    ASSERT_TRUE(d && d->isVisible());
    d->tw_NodeClick(0, d->tw[0]->Nodes("L1K002"));
    d->tw_NodeClick(0, d->tw[0]->Nodes("L2K001"));
    d->pa_Valore[1]->SetText(" 2024");
    d->Toolbar1_ButtonClick(d->Toolbar1->Buttons("Elabora"));
  }

  std::vector<std::string> filtri;
};

TEST_F(Livelli, FromTheTreeTheDialogAsksLevelsAndParametersAndElaboraRunsTheEngine) {
  FrmBase& f = Carica();
  f.twL_NodeClick(f.twL->Nodes("A005K001L003"));
  FrmMenuLivelli* d = frmMenuLivelli.peek();
  ASSERT_TRUE(d && d->isVisible());
  EXPECT_TRUE(Form_Aperto[3]);
  EXPECT_FALSE(f.Enabled());
  EXPECT_EQ(Layout_Corrente, 3);
  EXPECT_EQ(Elaborazione_Corrente, 0);
  EXPECT_EQ(d->width(), 180 + 339 + 21) << "rows and parameters panels";
  EXPECT_FALSE(d->tw[1]->isVisibleTo(d));
  EXPECT_TRUE(d->pa_Valore[1]->isVisibleTo(d));
  EXPECT_FALSE(d->pa_Valore[2]->isVisibleTo(d));
  EXPECT_FALSE(d->cmbLayout->isVisibleTo(d));
  ui::KeyedTree& t = *d->tw[0];
  EXPECT_EQ(t.Nodes("L1").Text(), "...");
  ASSERT_TRUE(t.Nodes("L1").Child());
  EXPECT_EQ(t.Nodes("L1").Child()->Key(), "L1K999");
  EXPECT_EQ(t.Nodes("L2K002").Text(), "Agente");
  EXPECT_EQ(t.Nodes("L2").Image(), "L2");
  EXPECT_EQ(t.Nodes("L2K001").Image(), "LKey");

  // A gap, then the same key twice, then a sound choice.
  d->tw_NodeClick(0, t.Nodes("L2K001"));
  EXPECT_FALSE(d->Toolbar1->Buttons("Elabora").Enabled());
  d->tw_NodeClick(0, t.Nodes("L1K001"));
  EXPECT_FALSE(d->Toolbar1->Buttons("Elabora").Enabled());
  EXPECT_EQ(t.Nodes("L1").ForeColor(), 0xFFu);
  EXPECT_EQ(t.Nodes("L2").ForeColor(), 0xFFu);
  d->tw_NodeClick(0, t.Nodes("L1K002"));
  EXPECT_TRUE(d->Toolbar1->Buttons("Elabora").Enabled());
  EXPECT_EQ(t.Nodes("L1").Text(), "Agente");
  EXPECT_EQ(t.Nodes("L1").ForeColor(), 0x80000008u);
  d->pa_Valore[1]->SetText(" 2024");
  d->Toolbar1_ButtonClick(d->Toolbar1->Buttons("Elabora"));

  EXPECT_FALSE(Form_Aperto[3]);
  EXPECT_TRUE(f.Enabled());
  EXPECT_EQ(Storico_Ultimo, 1);
  EXPECT_EQ(Elaborazione_Corrente, 1);
  EXPECT_EQ((std::vector<int16_t>{Liv_Riga_Chiave[0], Liv_Riga_Chiave[1], Liv_Riga_Chiave[2]}),
            (std::vector<int16_t>{2, 1, -1}));
  EXPECT_EQ(Parametri_Valore[0], "2024");
  EXPECT_EQ(ini::IniFile(File_Ini).Read("001", "Par L003 1", "?"), "2024");
  EXPECT_EQ(Dettaglio(), (std::vector<std::vector<std::string>>{
                             {"A01", "NORD", "6.0"}, {"A02", "SUD", "10.0"}, {"A03", "NORD", "4.0"}}));
  EXPECT_EQ(Sql(Mdb(3), "SELECT c003 FROM DATI WHERE c000 = '9999994'"), (std::vector<std::vector<std::string>>{{"20.0"}}));
  EXPECT_EQ(std::count(traccia.begin(), traccia.end(), "Visualizza_Griglia"), 1);
  EXPECT_EQ(f.twL->Nodes("A005K001L003").Image(), "Esegui1");
  EXPECT_EQ(Nodo_Layout, "A005K001L003");
  EXPECT_FALSE(f.StatusBar1->Panels("Numero").Text().empty());
  EXPECT_EQ(f.StatusBar1->Panels("Numero").Text(), " " + std::to_string(Numero_Record) + " ");
  EXPECT_TRUE(files::file_exists(dir.file("STORICO/KYX_E_000001_2.DAT")));
  EXPECT_TRUE(filtri.empty());
}

TEST_F(Livelli, NothingToChooseRunsAtOnceAndTheHistoryButtonsStepThroughTheRuns) {
  FrmBase& f = Carica();
  Esegui_Da_Albero(f);
  ASSERT_EQ(Storico_Ultimo, 1);
  ora += 1.25;  // the dialog's start time is taken before the run
  traccia.clear();
  f.twL_NodeClick(f.twL->Nodes("A005K001L004"));
  EXPECT_EQ(frmMenuLivelli.peek(), nullptr) << "never shown, unloaded";
  EXPECT_EQ(Storico_Ultimo, 2);
  EXPECT_EQ(Layout_Corrente, 4);
  EXPECT_EQ(Chiave_Layout, "A005K001L004");
  EXPECT_EQ(f.twL->Nodes("A005K001L003").Image(), "Esegui") << "the mark moved";
  EXPECT_EQ(f.twL->Nodes("A005K001L004").Image(), "Esegui1");
  EXPECT_EQ(f.StatusBar1->Panels("Progress").Text(), " 0.000 ");
  EXPECT_TRUE(f.Enabled());
  EXPECT_EQ(Dettaglio("c001, c002"), (std::vector<std::vector<std::string>>{{"NORD", "10.0"}, {"SUD", "10.0"}}));

  f.Esegui_Pulsante(f.Toolbar1->Buttons("Precedente"), ui::vbLeftButton);
  EXPECT_EQ(Elaborazione_Corrente, 1);
  EXPECT_EQ(Layout_Corrente, 3);
  EXPECT_EQ(Liv_Riga_Chiave[0], 2);
  EXPECT_EQ(Chiave_Layout, "A005K001L003");
  f.Esegui_Pulsante(f.Toolbar1->Buttons("Precedente"), ui::vbLeftButton);
  EXPECT_EQ(Elaborazione_Corrente, 1) << "no run before the first";
  f.Esegui_Pulsante(f.Toolbar1->Buttons("Successivo"), ui::vbLeftButton);
  EXPECT_EQ(Elaborazione_Corrente, 2);
  EXPECT_EQ(Layout_Corrente, 4);

  // The toolbar's "Elabora" runs the current layout again, even when its node has gone from the
  // tree (a favourite of a layout dropped since): it is only not marked.
  f.Esegui_Pulsante(f.Toolbar1->Buttons("Elabora"), ui::vbLeftButton);
  EXPECT_EQ(Storico_Ultimo, 3);
  f.twL->Remove("A005K001L004");
  f.Esegui_Pulsante(f.Toolbar1->Buttons("Elabora"), ui::vbLeftButton);
  EXPECT_EQ(Storico_Ultimo, 4);
  EXPECT_EQ(Elaborazione_Corrente, 4);
  EXPECT_TRUE(f.Enabled());
}

TEST_F(Livelli, ADrillWithNothingLeftToChooseRunsTheTargetAndKeepsIt) {
  FrmBase& f = Sorgente_Del_Drill();
  ASSERT_EQ(Storico_Ultimo, 1);
  Funzione_Mouse = 3;
  agganci_base::Carica_da_Drill(1, "NORD");
  EXPECT_EQ(frmMenuLivelli.peek(), nullptr);
  EXPECT_EQ(Storico_Ultimo, 2);
  EXPECT_EQ(Elaborazione_Corrente, 2);
  EXPECT_EQ(Chiave_Layout, "A005K002L005");
  // Closing after the run must not bring the source layout back nor repeat the grid's filter.
  EXPECT_EQ(Layout_Corrente, 5);
  EXPECT_EQ(Chiave_Corrente, 2);
  EXPECT_TRUE(filtri.empty());
  EXPECT_EQ((std::vector<int16_t>{Liv_Riga_Chiave[0], Liv_Riga_Chiave[1]}), (std::vector<int16_t>{2, 1}))
      << "the drill level takes the target node's key";
  EXPECT_EQ(Dettaglio()[0][0], "A01");
  EXPECT_TRUE(f.Enabled());
}

TEST_F(Livelli, InMode4TheDialogListsTheDefinitionsAndClosingGivesTheSourceBack) {
  FrmBase& f = Sorgente_Del_Drill();
  Funzione_Mouse = 4;
  agganci_base::Carica_da_Drill(1, "NORD");
  FrmMenuLivelli* d = frmMenuLivelli.peek();
  ASSERT_TRUE(d && d->isVisible());
  EXPECT_EQ(d->width(), 360) << "only the header band";
  EXPECT_EQ(d->height(), 34);
  EXPECT_TRUE(d->cmbLayout->isVisibleTo(d));
  ASSERT_EQ(d->cmbLayout->ListCount(), 2);
  EXPECT_EQ(d->cmbLayout->Text(), "001 - Per agente");
  EXPECT_EQ(d->cmbLayout->ItemData(0), 1);
  EXPECT_EQ(d->cmbLayout->ItemData(1), 0);
  EXPECT_TRUE(d->Toolbar1->Buttons("Drill").Visible());
  EXPECT_TRUE(d->Toolbar1->Buttons("Elabora").Enabled());
  EXPECT_EQ(Layout_Corrente, 5);
  EXPECT_EQ(Elaborazione_Corrente, 0);

  // The other definition leads to a layout with levels to choose, proposed by the definition:
  // the dialog reloads with its panels.
  d->cmbLayout->SetListIndex(1);
  EXPECT_EQ(d->Drill_Indice(), 2);
  EXPECT_EQ(Chiave_Layout, "A005K001L003");
  EXPECT_EQ(d->height(), 210 + 34);
  EXPECT_TRUE(d->tw[0]->isVisibleTo(d));
  EXPECT_EQ(d->tw[0]->Nodes("L1").Text(), "Area");
  EXPECT_EQ(d->tw[0]->Nodes("L2").Text(), "Agente");
  EXPECT_TRUE(d->pa_Valore[1]->isVisibleTo(d)) << "mode 4 shows every labelled parameter";
  // "Drill" goes back to the default.
  d->Toolbar1_ButtonClick(d->Toolbar1->Buttons("Drill"));
  EXPECT_EQ(d->Drill_Indice(), 1);
  EXPECT_EQ(d->height(), 34);

  d->Unload(ui::vbFormControlMenu);
  EXPECT_EQ(Layout_Corrente, 4);
  EXPECT_EQ(Chiave_Corrente, 1);
  EXPECT_EQ(filtri, std::vector<std::string>{"E* 1 NORD NORD"});
  EXPECT_EQ(Elaborazione_Corrente, 1);
  EXPECT_EQ(Storico_Ultimo, 1);
  EXPECT_TRUE(f.Enabled());
  EXPECT_FALSE(Form_Aperto[3]);
}

TEST_F(Livelli, DrillMessagesLeaveEverythingAsItWas) {
  FrmBase& f = Carica();
  f.twL_NodeClick(f.twL->Nodes("A005K001L004"));
  Funzione_Mouse = 3;
  host.expect("Non sono presenti le definizioni\r per l'uso di questa funzione");
  agganci_base::Carica_da_Drill(1, "NORD");
  Definizione(1, 1, "Per agente", "D", 5, 0, 0);  // no key for the target: no node
  Definizione(2, 1, "Verso un layout assente", "D", 9, 2, 0);
  host.expect("Non \xE8 presente la definizione\r per questa combinazione di\r layout e chiave");
  agganci_base::Carica_da_Drill(6, "X");
  host.expect("La combinazione layout e chiave\r non \xE8 prevista");
  agganci_base::Carica_da_Drill(1, "NORD");
  host.expect("La combinazione layout e chiave\r non \xE8 prevista");
  agganci_base::Carica_da_Drill(2, "A01");
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(Layout_Corrente, 4);
  EXPECT_EQ(Chiave_Layout, "A005K001L004");
  EXPECT_EQ(Elaborazione_Corrente, 1);
  EXPECT_EQ(Storico_Ultimo, 1);
  EXPECT_FALSE(Form_Aperto[3]);
  EXPECT_TRUE(f.Enabled());
}

TEST_F(Livelli, AClickOnTheMainWindowClosesTheDialogFromTheTreeWithoutRestoringAnything) {
  FrmBase& f = Carica();
  f.twL_NodeClick(f.twL->Nodes("A005K001L003"));
  ASSERT_TRUE(frmMenuLivelli.peek());
  ui::FormMouse m;
  m.button = ui::vbLeftButton;
  f.Hook_Mouse(m);
  m.press = false;
  f.Hook_Mouse(m);
  EXPECT_FALSE(Form_Aperto[3]);
  EXPECT_TRUE(f.Enabled());
  EXPECT_EQ(Layout_Corrente, 3);
  EXPECT_TRUE(filtri.empty());
  EXPECT_EQ(Storico_Ultimo, 0);
}

TEST_F(Livelli, RealClicksOpenTheDialogFromTheTreeAndLeaveItThroughUscita) {
  FrmBase& f = Carica();
  f.resize(900, 600);
  f.Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  f.Ridimensiona();
  f.twL->Nodes("A005K001L003").EnsureVisible();
  QTreeWidget* v = f.twL->view();
  QTreeWidgetItem* foglia = v->topLevelItem(0)->child(0)->child(0);
  ASSERT_EQ(foglia->text(0).toStdString(), "Per livelli");
  const QPoint centro = v->visualItemRect(foglia).center();
  QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, centro);
  FrmMenuLivelli* d = frmMenuLivelli.peek();
  ASSERT_TRUE(d && d->isVisible());
  EXPECT_EQ(Chiave_Layout, "A005K001L003");
  const ui::ToolbarButton& uscita = d->Toolbar1->Buttons("Uscita");
  ASSERT_GT(uscita.Width(), 0);
  QTest::mouseClick(d->Toolbar1, Qt::LeftButton, {}, QPoint(uscita.Left() + 4, uscita.Top() + 4));
  EXPECT_FALSE(Form_Aperto[3]);
  EXPECT_TRUE(f.Enabled());
  EXPECT_EQ(Storico_Ultimo, 0);
}

TEST_F(Livelli, OnlyParametersToFillShowOnlyTheirPanelWithTheFirstLabelledFieldFocused) {
  Riga("LAYOUT", {"IDX", "DESC", "ORDINA", "PARM_2", "PARM_4"}, {6, "Con parametri", "04", "Mese", "Giorno"});
  Elementi(6, {"#L1(001)", "#+V001#"});
  Struttura(5, 1, 6);
  FrmBase& f = Carica();
  f.twL_NodeClick(f.twL->Nodes("A005K001L006"));
  FrmMenuLivelli* d = frmMenuLivelli.peek();
  ASSERT_TRUE(d && d->isVisible());
  EXPECT_EQ(d->width(), 339 + 15);
  EXPECT_EQ(d->Caption(), "  Con parametri");
  EXPECT_FALSE(d->tw[0]->isVisibleTo(d));
  EXPECT_FALSE(d->pa_Valore[1]->isVisibleTo(d));
  EXPECT_TRUE(d->pa_Valore[2]->isVisibleTo(d));
  EXPECT_EQ(d->pa_descr[4]->Caption(), "Giorno");
  EXPECT_EQ(d->focusWidget(), d->pa_Valore[2]);
  EXPECT_TRUE(d->Toolbar1->Buttons("Elabora").Enabled());
  EXPECT_FALSE(d->Toolbar1->Buttons("Drill").Visible());
  // Context help: only the parameters panel has an area, the whole window.
  EXPECT_EQ(Mappa_Aiuto[54], "9999,9999,9999,9999,21000");
  EXPECT_EQ(Mappa_Aiuto[55], "9999,9999,9999,9999,22000");
  EXPECT_EQ(Mappa_Aiuto[56], "   1,   1,9999,9999,23000");
  d->pa_Valore[2]->SetText("07");
  d->Toolbar1_ButtonClick(d->Toolbar1->Buttons("Elabora"));
  EXPECT_EQ(Parametri_Valore[1], "07");
  EXPECT_EQ(Storico_Ultimo, 1);
  // The next opening proposes the value entered last.
  f.twL_NodeClick(f.twL->Nodes("A005K001L006"));
  d = frmMenuLivelli.peek();
  ASSERT_TRUE(d);
  EXPECT_EQ(d->pa_Valore[2]->Text(), "07");
}

TEST_F(Livelli, RowAndColumnTreesSideBySideAndTheIndexKeyOnBoth) {
  Layout(7, "Incrocio", "05");
  Elementi(7, {"#L1(?\?\?)", "#C1(?\?\?)#+V001#"});
  Struttura(5, 1, 7);
  FrmBase& f = Carica();
  f.twL_NodeClick(f.twL->Nodes("A005K001L007"));
  FrmMenuLivelli* d = frmMenuLivelli.peek();
  ASSERT_TRUE(d && d->isVisible());
  EXPECT_EQ(d->width(), 180 + 180 + 21);
  EXPECT_EQ(d->tw[1]->x(), 190 + 2);
  // Context help: the rows panel reaches to its right edge, the columns panel's area takes over
  // beyond it (the lookup takes the first row holding the pointer).
  EXPECT_EQ(Mappa_Aiuto[54], "   1,   1,0188,9999,21000");
  EXPECT_EQ(Mappa_Aiuto[55], "   1,   1,0374,9999,22000");
  EXPECT_EQ(Mappa_Aiuto[56], "9999,9999,9999,9999,23000");
  EXPECT_EQ(Riga_Mappa(100, 100, 54, 56), 54);
  EXPECT_EQ(Riga_Mappa(300, 100, 54, 56), 55);
  ui::KeyedTree& c = *d->tw[1];
  EXPECT_EQ(c.Nodes("L1").Image(), "C1");
  EXPECT_EQ(c.Nodes("L1K002").Image(), "CKey");
  d->tw_NodeClick(0, d->tw[0]->Nodes("L1K001"));
  d->tw_NodeClick(1, c.Nodes("L1K001"));
  EXPECT_EQ(Liv_Colonna_Chiave[0], 1);
  EXPECT_EQ(Liv_Colonna_Testo[0], "Area");
  EXPECT_TRUE(d->Toolbar1->Buttons("Elabora").Enabled()) << "a plain key may be on both";
  Sinf_Idx_Key = 1;
  d->tw_NodeClick(1, c.Nodes("L1K001"));
  EXPECT_FALSE(d->Toolbar1->Buttons("Elabora").Enabled());
  EXPECT_EQ(c.Nodes("L1").ForeColor(), 0xFFu);
  EXPECT_EQ(d->tw[0]->Nodes("L1").ForeColor(), 0xFFu);
  d->tw_NodeClick(1, c.Nodes("L1K999"));
  EXPECT_EQ(Liv_Colonna_Chiave[0], 0);
  EXPECT_EQ(c.Nodes("L1").Text(), "...");
  EXPECT_TRUE(d->Toolbar1->Buttons("Elabora").Enabled());
}

TEST_F(Livelli, AClickOnAnAreaCellOfTheShownResultDrillsDown) {
  Installa_Viste();
  FrmBase& f = Sorgente_Del_Drill();
  f.resize(900, 600);
  f.Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  f.Ridimensiona();
  f.Esegui_Pulsante(f.Toolbar1->Buttons("Successivo"), ui::vbLeftButton);  // redisplay at the new size
  ASSERT_EQ(Modo_Griglia, 3);
  ASSERT_EQ(f.Grid1->TextMatrix(1, 1), "NORD");
  Funzione_Mouse = 4;
  const QPoint cella(static_cast<int>((f.Grid1->ColPos(1) + f.Grid1->ColWidth(1) / 2) / 15),
                     static_cast<int>((f.Grid1->RowPos(1) + f.Grid1->RowHeight(1) / 2) / 15));
  QTest::mouseClick(f.Grid1, Qt::LeftButton, {}, cella);
  EXPECT_EQ(filtri, std::vector<std::string>{"E* 1 NORD NORD"}) << "the grid's element filter";
  FrmMenuLivelli* d = frmMenuLivelli.peek();
  ASSERT_TRUE(d && d->isVisible());
  EXPECT_EQ(d->cmbLayout->Text(), "001 - Per agente");
  EXPECT_EQ(Chiave_Layout, "A005K002L005");
  d->Toolbar1_ButtonClick(d->Toolbar1->Buttons("Elabora"));
  EXPECT_EQ(Storico_Ultimo, 2);
  EXPECT_EQ(Layout_Corrente, 5);
  EXPECT_EQ(filtri.size(), 1u) << "run through Elabora: nothing given back on closing";
  EXPECT_EQ(f.Grid1->TextMatrix(1, 1), "A01") << "the target's result is shown";
}

TEST_F(Livelli, TheProgramFillsTheTreeAndDialogSlots) {
  namespace ab = agganci_base;
  EXPECT_TRUE(ab::Carica_Albero_Struttura && ab::Carica_da_TW && ab::Carica_da_Drill && ab::Popup[3]);
  FrmBase& f = Carica();
  EXPECT_EQ(f.twL->Count(), 6) << "the start-up built the tree";
  EXPECT_EQ(ab::Popup[3](), nullptr);
  ab::Carica_da_TW("A005K001L003");
  EXPECT_EQ(ab::Popup[3](), frmMenuLivelli.peek());
  EXPECT_NE(ab::Popup[3](), nullptr);
}

TEST_F(Livelli, ALayoutMissingFromItsTableGivesTheWindowBack) {
  Struttura(5, 1, 8);  // layout 8 has no LAYOUT row
  FrmBase& f = Carica();
  ASSERT_TRUE(f.twL->Exists("A005K001L008"));
  f.twL_NodeClick(f.twL->Nodes("A005K001L008"));
  EXPECT_EQ(frmMenuLivelli.peek(), nullptr);
  EXPECT_FALSE(Form_Aperto[3]);
  EXPECT_TRUE(f.Enabled());
  EXPECT_EQ(Storico_Ultimo, 0);
}

}  // namespace
}  // namespace kyx::test
