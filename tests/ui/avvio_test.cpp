// The main window's load: the sequence, the database failures that end the program, the command
// line switches, the banner, the resolution warning and the debug window.
#include <QTest>

#include "tests/ui/ambiente_ui.h"
#include "ui/impostazioni_generali.h"

namespace kyx::test {
namespace {

using Avvio = AmbienteUi;

TEST_F(Avvio, LoadRunsItsStepsInOrder) {
  FrmBase& f = Carica();
  const std::vector<std::string> attesa = {
      "Sock_Start KYX.Tbl",         "Carica_Impostazioni_Stampa",
      "Apri_MDB0",                  "Apri_MDB1",
      "Apri_MDB2",                  "Carica_Albero_Struttura",
      "Carica_Albero_Chiavi",       "KyHead_Initialize",
      "KyHead_Aggiorna",            "Registro_Istanze 0 4242 " + Cartella_Dati,
  };
  EXPECT_EQ(traccia, attesa);
  EXPECT_EQ(registro_hwnd, f.hWnd());
  EXPECT_EQ(host.shown().size(), 0u);
  // Settings were applied and the toolbar shows the state: not connected, no password.
  EXPECT_EQ(f.Toolbar1->Buttons("Server").ImageKey(), "Start");
  EXPECT_FALSE(f.Toolbar1->Buttons("Server").Enabled());
  EXPECT_EQ(f.Caption(), " Q-KRE  -  ");
  EXPECT_EQ(Pixel_255_X, 17);
  EXPECT_EQ(Twips_Pixel_Y, 15.0);
  EXPECT_EQ(f.Grid1->Rows(), 0);
  EXPECT_EQ(f.Grid1->Cols(), 1);
  EXPECT_EQ(Chiave_Elenco, -1);
  EXPECT_TRUE(Hook_Installato);
  EXPECT_FALSE(f.Beta->Visible());
}

TEST_F(Avvio, ALocalDatabaseThatCannotBeOpenedEndsTheProgram) {
  struct Caso {
    int guasto;
    const char* messaggio;
    const char* ultimo;
  };
  for (const Caso c : {Caso{0, "Errore 001 - DB 0", "Apri_MDB0"},
                       Caso{1, "Errore 002 - DB 1", "Apri_MDB1"},
                       Caso{2, "Errore 003 - DB 2", "Apri_MDB2"}}) {
    SCOPED_TRACE(c.messaggio);
    delete frmBase.peek();
    traccia.clear();
    db_ok[0] = db_ok[1] = db_ok[2] = true;
    db_ok[c.guasto] = false;
    host.expect(c.messaggio);
    Carica();
    ASSERT_EQ(host.pending(), 0u);
    EXPECT_EQ(host.shown().back().text, c.messaggio);
    EXPECT_EQ(host.shown().back().style, host::vbCritical);
    EXPECT_EQ(host.shown().back().title, "Q-KRE");
    // Nothing after the failing opening runs: the program ends there.
    ASSERT_GE(traccia.size(), 2u);
    EXPECT_EQ(traccia[traccia.size() - 2], c.ultimo);
    EXPECT_EQ(traccia.back(), "Termina 1");
  }
}

TEST_F(Avvio, SwitchesAreFoundAnywhereInUpperCaseOnly) {
  struct Caso {
    const char* riga;
    bool connette, aggancia;
  };
  for (const Caso c : {Caso{"/AUTO", true, true}, Caso{"x/AUTOy /NOHOOK", true, false},
                       Caso{"/auto /nohook", false, true}, Caso{"", false, true}}) {
    SCOPED_TRACE(c.riga);
    delete frmBase.peek();
    stato_finestra::reset();
    Connesso = false;
    Riga_Comando = c.riga;
    int collegamenti = 0;
    agganci_base::Collegamento_Server = [&](int32_t h) {
      EXPECT_EQ(h, frmBase.peek()->hWnd());
      ++collegamenti;
      return true;
    };
    FrmBase& f = Carica();
    EXPECT_EQ(collegamenti, c.connette ? 1 : 0);
    EXPECT_EQ(Connesso, c.connette);
    EXPECT_EQ(f.Toolbar1->Buttons("Server").ImageKey(), c.connette ? "Stop" : "Start");
    EXPECT_EQ(f.Visible(), c.connette);
    EXPECT_EQ(Hook_Installato, c.aggancia);
    EXPECT_EQ(static_cast<bool>(f.MouseHook), c.aggancia);
  }
}

TEST_F(Avvio, BannerShowsTheStartMessageUntilTheTimerTicks) {
  Messaggio_Avvio = "\r\n\r\nBenvenuti\r\n\r\n";
  Messaggio_Presente = true;
  FrmBase& f = Carica();
  EXPECT_TRUE(f.Beta->Visible());
  EXPECT_TRUE(f.TimerBeta.Enabled());
  EXPECT_EQ(f.TimerBeta.Interval(), 3000);
  EXPECT_TRUE(f.lblBeta->text().contains("Benvenuti"));
  f.TimerBeta_Timer();
  EXPECT_FALSE(f.Beta->Visible());
  EXPECT_FALSE(f.TimerBeta.Enabled());
}

TEST_F(Avvio, ResolutionWithoutWholeTwipsPerPixelIsReportedOnce) {
  // 168 DPI (175 %) gives 8.57 twips per pixel; 120 DPI gives 12 and is fine.
  ui::set_twips_per_pixel(1440.0 / 168, 1440.0 / 168);
  host.expect("non supportato.");
  FrmBase& f = Carica();
  EXPECT_EQ(host.shown().size(), 1u);
  EXPECT_EQ(host.shown()[0].text,
            "Il video \xE8 impostato con un DPI (punti per pollice)\rnon supportato.\r"
            "La visualizzazione postrebbe non essere corretta !");
  EXPECT_EQ(host.shown()[0].style, host::vbInformation);
  EXPECT_EQ(Pixel_255_X, 30);  // 255 / 8.571 = 29.75
  (void)f;

  delete frmBase.peek();
  ui::set_twips_per_pixel(12, 15);  // one axis alone is enough when it is not whole...
  Carica();
  EXPECT_EQ(host.shown().size(), 1u) << "12 and 15 are whole: no message";
  EXPECT_EQ(Pixel_255_X, 21);  // 21.25
  EXPECT_EQ(Pixel_255_Y, 17);
}

TEST_F(Avvio, DebugWindowShowsAtLoadOnlyWithTheOption) {
  Carica();
  EXPECT_FALSE(frmDebug.Loaded());
  delete frmBase.peek();
  Debug_Attivo = true;
  Carica();
  ASSERT_TRUE(frmDebug.Loaded());
  EXPECT_TRUE(frmDebug->Visible());
  EXPECT_EQ(frmDebug->Caption(), "Debug - dblclick per clear");
}

TEST_F(Avvio, LogoClickShowsTheContacts) {
  Testo_Contatti = "\r\n\r\ncontattare:\r\nQ-KRE";
  FrmBase& f = Carica();
  host.expect("Per informazioni\r\n\r\ncontattare:\r\nQ-KRE");
  f.Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  QTest::mouseClick(f.Image1, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(host.shown().back().style, host::vbInformation);
}

TEST_F(Avvio, ResizeKeepsTheMinimumSize) {
  FrmBase& f = Carica();
  f.Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  f.Move(0, 0, 5000, 3000);
  QApplication::processEvents();
  EXPECT_GE(f.Width(), 9450 - 15);
  EXPECT_GE(f.Height(), 6000 - 15);
  EXPECT_LE(f.Width(), 9450 + 15);
  EXPECT_EQ(Stato_Ridimensiona, -1);
}

}  // namespace
}  // namespace kyx::test
