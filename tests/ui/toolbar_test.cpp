// The toolbars' hit test and the dispatcher Esegui_Pulsante: its frame, the operator and mouse
// mode steps, the connection button, the chart switch, the exit, and the keyboard shortcuts.
#include <QTest>

#include "platform/ui/colours.h"
#include "platform/ui/vb_events.h"
#include "tests/ui/ambiente_ui.h"

namespace kyx::test {
namespace {

class Pulsantiera : public AmbienteUi {
 protected:
  Pulsantiera() : f(Carica()) {
    for (const char* k : {"SInf", "Preferiti", "Visualizza", "Colonne", "SetStampa", "Opzioni",
                          "Salva"}) {
      agganci_base::Azioni[k] = [this, k] { azioni.push_back(k); };
    }
    agganci_base::frmMenuDati_Carica = [this](const std::string&) { azioni.push_back("DatiLocali"); };
  }
  // A point of a button in twips of its toolbar: (dx, dy) pixels from its top left corner.
  static std::pair<float, float> Punto(ui::ToolbarButton& b, double dx, double dy) {
    return {static_cast<float>((b.Left() + dx) * 15), static_cast<float>((b.Top() + dy) * 15)};
  }
  void Premi(const char* chiave, double dx, double dy, int tasto = ui::vbLeftButton) {
    auto [x, y] = Punto(f.Toolbar1->Buttons(chiave), dx, dy);
    f.Toolbar_MouseDown(*f.Toolbar1, tasto, 0, x, y);
  }
  void Muovi(const char* chiave, double dx, double dy) {
    auto [x, y] = Punto(f.Toolbar1->Buttons(chiave), dx, dy);
    f.Toolbar_MouseMove(*f.Toolbar1, ui::vbLeftButton, 0, x, y);
  }
  void Rilascia(const char* chiave, double dx, double dy, int tasto = ui::vbLeftButton) {
    auto [x, y] = Punto(f.Toolbar1->Buttons(chiave), dx, dy);
    f.Toolbar_MouseUp(*f.Toolbar1, tasto, 0, x, y);
  }
  void Clic(const char* chiave, int tasto = ui::vbLeftButton) {
    Premi(chiave, 5, 5, tasto);
    Rilascia(chiave, 5, 5, tasto);
  }

  FrmBase& f;
  std::vector<std::string> azioni;
};

TEST_F(Pulsantiera, PressMoveOffAndBackFollowsThePointer) {
  Premi("Colonne", 5, 5);
  EXPECT_EQ(Pulsante_Premuto, f.Toolbar1->Buttons("Colonne").Index());
  EXPECT_EQ(f.Toolbar1->Buttons("Colonne").Value(), ui::tbrPressed);
  Muovi("Colonne", 5, 40);
  EXPECT_EQ(f.Toolbar1->Buttons("Colonne").Value(), ui::tbrUnpressed);
  Muovi("Colonne", 6, 6);
  EXPECT_EQ(f.Toolbar1->Buttons("Colonne").Value(), ui::tbrPressed);
  Rilascia("Colonne", 6, 6);
  EXPECT_EQ(azioni, std::vector<std::string>{"Colonne"});
  EXPECT_EQ(f.Toolbar1->Buttons("Colonne").Value(), ui::tbrUnpressed);
  EXPECT_EQ(Pulsante_Premuto, 0);

  // Press, move off, release: nothing runs.
  Premi("Colonne", 5, 5);
  Muovi("Colonne", 5, 40);
  Rilascia("Colonne", 5, 40);
  EXPECT_EQ(azioni.size(), 1u);
  EXPECT_EQ(f.Toolbar1->Buttons("Colonne").Value(), ui::tbrUnpressed);
  EXPECT_EQ(Pulsante_Premuto, 0);
}

TEST_F(Pulsantiera, DisabledButtonsSeparatorsAndEmptySpacePressNothing) {
  ASSERT_FALSE(f.Toolbar1->Buttons("Server").Enabled());  // no password
  Premi("Server", 5, 5);
  EXPECT_EQ(Pulsante_Premuto, 0);
  f.Toolbar_MouseDown(*f.Toolbar1, 1, 0, (f.Toolbar1->Buttons(2).Left() + 3) * 15.0f, 75);
  ASSERT_EQ(f.Toolbar1->Buttons(2).Style(), ui::tbrSeparator);
  EXPECT_EQ(Pulsante_Premuto, 0);
  f.Toolbar_MouseDown(*f.Toolbar1, 1, 0, (f.Toolbar1->width() + 50) * 15.0f, 75);
  EXPECT_EQ(Pulsante_Premuto, 0);
  f.Toolbar_MouseUp(*f.Toolbar1, 1, 0, 75, 75);
  EXPECT_TRUE(azioni.empty());
}

TEST_F(Pulsantiera, EdgePixelsCountAsHits) {
  auto& b = f.Toolbar1->Buttons("Opzioni");
  for (auto [dx, dy] : {std::pair{0.0, 0.0}, std::pair{double(b.Width()), double(b.Height())}}) {
    Premi("Opzioni", dx, dy);
    Rilascia("Opzioni", dx, dy);
  }
  EXPECT_EQ(azioni, (std::vector<std::string>{"Opzioni", "Opzioni"}));
}

TEST_F(Pulsantiera, RealClickOnTheToolbarDispatches) {
  f.Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  auto& b = f.Toolbar1->Buttons("Salva");
  b.SetEnabled(true);
  const QPoint centro(b.Left() + b.Width() / 2, b.Top() + b.Height() / 2);
  QTest::mouseClick(f.Toolbar1, Qt::RightButton, {}, centro);
  EXPECT_EQ(azioni, std::vector<std::string>{"Salva"});
}

TEST_F(Pulsantiera, FrameGatesTheWindowTimesTheActionAndKeepsItGatedForPopups) {
  f.StatusBar1->Panels("Stato").SetText("vecchio");
  f.StatusBar1->Panels("Numero").SetText("7");
  agganci_base::Azioni["Colonne"] = [&] {
    EXPECT_EQ(f.Toolbar1->MousePointer(), ui::vbHourglass);
    EXPECT_FALSE(f.Enabled());
    EXPECT_EQ(f.StatusBar1->Panels("Stato").Text(), "");
    EXPECT_EQ(f.StatusBar1->Panels("Numero").Text(), "");
    ora += 1234.5678;
    azioni.push_back("Colonne");
  };
  Clic("Colonne");
  ASSERT_EQ(azioni.size(), 1u);
  EXPECT_EQ(f.StatusBar1->Panels("Progress").Text(), " 1,234.568 ");
  EXPECT_EQ(f.Toolbar1->MousePointer(), ui::vbDefault);
  EXPECT_FALSE(f.Enabled()) << "the column chooser gives the window back when it closes";

  // Which keys leave the window gated after the action.
  struct Caso {
    const char* chiave;
    bool abilitata;
  };
  for (const Caso c : {Caso{"Opzioni", false}, Caso{"SInf", false}, Caso{"SetStampa", false},
                       Caso{"Visualizza", false}, Caso{"Preferiti", false},
                       Caso{"DatiLocali", false}, Caso{"Help_1", false}, Caso{"Salva", true},
                       Caso{"FiltroPulizia", true}, Caso{"MouseTipo", true},
                       Caso{"Help", true}}) {
    SCOPED_TRACE(c.chiave);
    f.SetEnabled(true);
    // This program folder has no help file: the help button says so.
    if (std::string(c.chiave) == "Help") host.expect("Impossibile aprire il file della guida");
    f.Esegui_Pulsante(f.Toolbar1->Buttons(c.chiave), ui::vbLeftButton);
    EXPECT_EQ(f.Enabled(), c.abilitata);
    EXPECT_EQ(f.StatusBar1->Panels("Progress").Text(), " 0.000 ");
    if (Puntatore_Schermo == ui::vbCustom) {
      int esc = 27;
      f.Form_KeyPress(esc);
    }
  }
}

TEST_F(Pulsantiera, ActionAcrossMidnightShowsThePositiveElapsedTime) {
  ora = 86399.5;
  agganci_base::Azioni["Salva"] = [this] { ora = 1.25; };
  f.Esegui_Pulsante(f.Toolbar1->Buttons("Salva"), ui::vbLeftButton);
  EXPECT_EQ(f.StatusBar1->Panels("Progress").Text(), " 1.750 ");
}

TEST_F(Pulsantiera, FilterOperatorStepsWithTheMouseButton) {
  f.Flt_txt[1]->setText("A");
  f.Flt_txt[0]->setText("B");
  Filtro_Valori = {"b", "a"};
  Intervallo_Passo = 1;
  struct Passo {
    int tasto;
    uint8_t operatore;
    bool svuota;
  };
  // Start 1: left 2, left 3 (empties), left 1, right 3 (empties), right 2, right 1, right 3.
  const Passo passi[] = {{1, 2, false}, {1, 3, true},  {1, 1, false}, {2, 3, true},
                         {2, 2, false}, {4, 1, false}, {2, 3, true}};
  for (const Passo& p : passi) {
    f.Flt_txt[1]->setText("A");
    f.Flt_txt[0]->setText("B");
    Filtro_Valori = {"b", "a"};
    f.Esegui_Pulsante(f.Toolbar1->Buttons("FiltroTipo"), p.tasto);
    EXPECT_EQ(Operatore_Filtro, p.operatore);
    EXPECT_EQ(f.Toolbar1->Buttons("FiltroTipo").ImageKey(),
              "FiltroTipo" + std::to_string(p.operatore));
    EXPECT_EQ(f.Flt_txt[1]->text().isEmpty(), p.svuota);
    EXPECT_EQ(f.Flt_txt[0]->text().isEmpty(), p.svuota);
    EXPECT_EQ(Filtro_Valori[1].empty(), p.svuota);
    if (p.svuota) {
      EXPECT_EQ(Intervallo_Passo, 0);
      EXPECT_EQ(Intervallo_Chiave, -1);
    }
  }
}

TEST_F(Pulsantiera, MouseModeStepsForwardWithEitherButton) {
  Funzione_Mouse = 3;
  Clic("MouseTipo", ui::vbRightButton);
  EXPECT_EQ(Funzione_Mouse, 4);
  EXPECT_EQ(f.Toolbar1->Buttons("MouseTipo").ImageKey(), "MouseTipo4");
  Clic("MouseTipo");
  EXPECT_EQ(Funzione_Mouse, 1);
  EXPECT_EQ(f.Toolbar1->Buttons("MouseTipo").ImageKey(), "MouseTipo1");
}

TEST_F(Pulsantiera, ServerFollowsThePictureNotTheFlag) {
  int collegamenti = 0, scollegamenti = 0;
  agganci_base::Collegamento_Server = [&](int32_t) { return ++collegamenti == 2; };
  agganci_base::Disconnetti = [&] {
    ++scollegamenti;
    return false;
  };
  Password_Utente = "segreto^^^";
  Connesso = true;
  f.Imposta_Bar();
  Connesso = false;
  f.Imposta_Bar();
  ASSERT_TRUE(f.Toolbar1->Buttons("Server").Enabled());
  traccia.clear();
  Clic("Server");  // a failed login: nothing more happens
  EXPECT_FALSE(Connesso);
  EXPECT_TRUE(traccia.empty());
  Clic("Server");
  EXPECT_TRUE(Connesso);
  EXPECT_EQ(traccia, (std::vector<std::string>{"Carica_Albero_Struttura", "Carica_Albero_Chiavi",
                                               "KyHead_Aggiorna"}));
  EXPECT_EQ(f.Toolbar1->Buttons("Server").ImageKey(), "Stop");
  Connesso = false;  // the connection was lost meanwhile: "Stop" still disconnects
  Clic("Server");
  EXPECT_EQ(scollegamenti, 1);
  EXPECT_EQ(f.Toolbar1->Buttons("Server").ImageKey(), "Start");
}

TEST_F(Pulsantiera, ChartSwitchAndHistoryStepRedisplay) {
  Modo_Griglia = 3;
  Numero_Livelli = 1;
  f.Imposta_Bar();
  traccia.clear();
  Clic("Grafico");
  EXPECT_TRUE(Grafico_Visibile);
  EXPECT_EQ(Prima_Riga, -1);
  EXPECT_EQ(f.Toolbar1->Buttons("Grafico").ImageKey(), "Dati");
  EXPECT_TRUE(Prima("Visualizza_Griglia", "Visualizza_Grafico"));

  std::vector<int> passi;
  agganci_base::Carica_Layout = [&](int16_t p, const std::string&, bool) { passi.push_back(p); };
  Storico_Primo = 1;
  Storico_Ultimo = 3;
  Elaborazione_Corrente = 2;
  f.Imposta_Bar();
  Clic("Precedente");
  Clic("Successivo");
  EXPECT_EQ(passi, (std::vector<int>{-1, 1}));
  EXPECT_EQ(Riga_Evidenziata, -1);
}

TEST_F(Pulsantiera, ElaborateMarksTheLayoutNodeAndCountsTheRows) {
  f.twL->Add("", ui::tvwLast, "L1", "Primo", "Esegui");
  f.twL->Add("", ui::tvwLast, "L2", "Secondo", "Esegui");
  agganci_base::Esegui_Elaborazione = [] { Elaborazione_Corrente = 4; };
  agganci_base::Record_Risultato = [] { return 1234567; };
  Chiave_Layout = "L1";
  f.Imposta_Bar();
  Clic("Elabora");
  EXPECT_EQ(f.twL->Nodes("L1").Image(), "Esegui1");
  EXPECT_EQ(f.StatusBar1->Panels("Numero").Text(), " 1,234,567 ");
  Chiave_Layout = "L2";
  Clic("Elabora");
  EXPECT_EQ(f.twL->Nodes("L1").Image(), "Esegui");
  EXPECT_EQ(f.twL->Nodes("L2").Image(), "Esegui1");
  EXPECT_EQ(f.twL->Nodes("L2").ForeColor(), ui::RGB(0, 0, 255));
}

TEST_F(Pulsantiera, ExitShutsDownAndEndsTheProgram) {
  traccia.clear();
  Clic("Uscita");
  ASSERT_FALSE(traccia.empty());
  EXPECT_EQ(traccia.back(), "Termina 0");
  EXPECT_TRUE(Prima("Chiudi_MDB3", "Sock_Stop"));
  EXPECT_TRUE(Prima("Sock_Stop", "Termina 0"));
}

TEST_F(Pulsantiera, CtrlShortcutsAndEscape) {
  f.Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  struct Caso {
    Qt::Key tasto;
    uint8_t operatore;
  };
  for (const Caso c : {Caso{Qt::Key_A, 3}, Caso{Qt::Key_S, 1}, Caso{Qt::Key_N, 2},
                       Caso{Qt::Key_D, 3}}) {
    QTest::keyClick(f.Grid1, c.tasto, Qt::ControlModifier);
    EXPECT_EQ(Operatore_Filtro, c.operatore);
    EXPECT_EQ(f.Toolbar1->Buttons("FiltroTipo").ImageKey(),
              "FiltroTipo" + std::to_string(c.operatore));
  }
  // The range keys do not empty the filter boxes.
  f.Flt_txt[1]->setText("X");
  QTest::keyClick(f.Grid1, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(f.Flt_txt[1]->text(), "X");
  // Ctrl+P opens the favourites from the grid.
  QTest::keyClick(f.Grid1, Qt::Key_P, Qt::ControlModifier);
  EXPECT_EQ(azioni, std::vector<std::string>{"Preferiti"});
  // Esc only in context-help mode.
  f.SetEnabled(true);
  QTest::keyClick(f.Grid1, Qt::Key_Escape);
  EXPECT_TRUE(f.Enabled());
  EXPECT_EQ(Puntatore_Schermo, 0);
  f.Esegui_Pulsante(f.Toolbar1->Buttons("Help_1"), ui::vbLeftButton);
  EXPECT_EQ(Puntatore_Schermo, ui::vbCustom);
  EXPECT_FALSE(f.Enabled());
  QTest::keyClick(f.Grid1, Qt::Key_Escape);
  EXPECT_EQ(Puntatore_Schermo, 0);
  EXPECT_TRUE(f.Enabled());
}

TEST_F(Pulsantiera, APopupNotYetInTheProgramLeavesTheWindowUsable) {
  // Without their pop-ups these buttons used to gate the window for good: nothing would ever
  // give it back.
  for (const char* k : {"Preferiti", "DatiLocali", "Visualizza", "Colonne", "SetStampa"}) {
    agganci_base::Azioni.erase(k);
  }
  agganci_base::frmMenuDati_Carica = nullptr;
  // Each says that it is not there rather than doing nothing (the data-sets button still shows
  // the list of loaded sets).
  for (const char* k : {"Preferiti", "DatiLocali", "Visualizza", "Colonne", "SetStampa"}) {
    SCOPED_TRACE(k);
    f.SetEnabled(true);
    if (std::string(k) != "DatiLocali") host.expect("Funzione non ancora disponibile");
    f.Esegui_Pulsante(f.Toolbar1->Buttons(k), ui::vbLeftButton);
    EXPECT_EQ(host.pending(), 0u);
    EXPECT_TRUE(f.Enabled());
    EXPECT_EQ(f.Toolbar1->MousePointer(), ui::vbDefault);
  }
  host.expect("Funzione non ancora disponibile");
  QTest::keyClick(f.Grid1, Qt::Key_P, Qt::ControlModifier);
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_TRUE(f.Enabled()) << "Ctrl+P";
  EXPECT_TRUE(azioni.empty());
}

TEST_F(Pulsantiera, EnterInTheFilterBoxes) {
  std::vector<std::string> comandi;
  agganci_base::Carica_Filtro_Modifica = [&](int16_t k, const std::string& v1,
                                             const std::string& v2, uint8_t op,
                                             const std::string& cmd, bool agg) {
    comandi.push_back(std::to_string(k) + "|" + v1 + "|" + v2 + "|" + std::to_string(op) + "|" +
                      cmd + (agg ? "|T" : "|F"));
  };
  Modo_Griglia = 1;
  Chiave_Elenco = 5;
  Operatore_Filtro = 3;
  f.Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  f.Ridimensiona();
  f.Flt_txt[1]->setText("01/2024");
  f.Flt_txt[0]->setText("12/2024");
  f.Flt_txt[1]->setFocus();
  QTest::keyClick(f.Flt_txt[1], Qt::Key_Return);
  EXPECT_TRUE(comandi.empty());
  QTest::keyClick(f.Flt_txt[0], Qt::Key_Return);
  EXPECT_EQ(comandi, std::vector<std::string>{"5|01/2024|12/2024|3|P+|T"});
  EXPECT_EQ(f.StatusBar1->Panels("Progress").Text(), "") << "no frame for the Enter key";
  Clic("FiltroPulizia");
  EXPECT_EQ(comandi.back(), "0| | |0|T-|T");
}

}  // namespace
}  // namespace kyx::test
