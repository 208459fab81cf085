// Context help on the main window: the map's fixed rows, the rows rebuilt from the window when
// help mode starts, and the help pointer's click opening the topic of the place in our viewer
// on a real compiled help file.
#include <QTest>
#include <regex>
#include <set>

#include "platform/help/chm_file.h"

#include "platform/help/help_viewer.h"
#include "platform/ui/pointer.h"
#include "platform/ui/vb_events.h"
#include "tests/support/guida_prova.h"
#include "tests/ui/ambiente_ui.h"
#include "ui/impostazioni_generali.h"
#include "ui/mappa_aiuto.h"

namespace kyx::test {
namespace {

class Aiuto : public AmbienteUi {
 protected:
  Aiuto() : f(Carica()) {
    EXPECT_TRUE(Crea_Guida(dir.path()));
    f.Show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&f));
  }
  ~Aiuto() override {
    delete help::OpenViewer();
    reset_mappa_aiuto();
  }
  // The topic shown by the viewer ("" when none is open).
  static std::string Argomento() {
    const help::HelpViewer* v = help::OpenViewer();
    return v && v->isVisible() ? v->Topic() : std::string();
  }
  // Help mode, then a click at the centre of `w` (the pointer moved there first).
  void Clic_In_Aiuto(QWidget* w, QPoint p = QPoint(-1, -1)) {
    if (p.x() < 0) p = w->rect().center();
    f.Esegui_Pulsante(f.Toolbar1->Buttons("Help_1"), ui::vbLeftButton);
    const QPoint g = w->mapToGlobal(p);
    ui::SetCursorPos(g.x(), g.y());
    QTest::mouseClick(w, Qt::LeftButton, {}, p);
  }
  FrmBase& f;
};

TEST_F(Aiuto, TheFixedRowsAreTheDialogsAndPopupsAreas) {
  // The centre of each options-dialog row finds that row (41, the catch-all, lies under them);
  // the title bar above row 41 none.
  for (int r = 1; r <= 40; ++r) {
    const std::string& riga = Mappa_Aiuto[static_cast<size_t>(r)];
    ASSERT_EQ(riga.size(), 25u) << r;
    const int l = std::stoi(riga.substr(0, 4)), t = std::stoi(riga.substr(5, 4));
    const int rr = std::stoi(riga.substr(10, 4)), b = std::stoi(riga.substr(15, 4));
    EXPECT_EQ(Riga_Mappa((l + rr) / 2, (t + b) / 2, 1, 41), r) << riga;
  }
  struct Caso {
    int x, y, primo, ultimo, riga;
  };
  for (const Caso c : {Caso{300, 10, 1, 41, 0},       // title bar
                       Caso{469, 28, 1, 41, 1},       // the version, inside the catch-all: the lower row wins
                       Caso{5, 420, 1, 41, 41},       // beside the buttons: the catch-all
                       Caso{100, 120, 42, 51, 43},    // print dialog
                       Caso{2, 2, 52, 52, 52},        // a whole pop-up
                       Caso{0, 0, 52, 52, 0}}) {      // its frame corner is outside
    EXPECT_EQ(Riga_Mappa(c.x, c.y, c.primo, c.ultimo), c.riga) << c.x << "," << c.y;
  }
  EXPECT_EQ(Mappa_Aiuto[1], " 469,  23, 547,  40,11701");
  EXPECT_EQ(Mappa_Aiuto[66], "   1,   1,9999,9999,10715");
  EXPECT_TRUE(Mappa_Aiuto[67].empty());
}

TEST_F(Aiuto, TheHelpPointerOpensTheTopicOfThePlaceClicked) {
  struct Caso {
    const char* cosa;
    int16_t modo;
    bool grafico;
    std::function<QWidget*()> dove;
    QPoint punto;
    const char* argomento;
  };
  auto pulsante = [this](const char* chiave) {
    return QPoint(f.Toolbar1->Buttons(chiave).Left() + 3, f.Toolbar1->Buttons(chiave).Top() + 3);
  };
  const Caso casi[] = {
      {"Uscita", 1, false, [this] { return f.Toolbar1; }, pulsante("Uscita"), "/10002.htm"},
      {"Opzioni", 1, false, [this] { return f.Toolbar1; }, pulsante("Opzioni"), "/10017.htm"},
      {"Help_1", 1, false, [this] { return f.Toolbar1; }, pulsante("Help_1"), "/10019.htm"},
      {"layout tree", 1, false, [this] { return f.twL; }, QPoint(-1, -1), "/20000.htm"},
      {"filter tree", 1, false, [this] { return f.twF; }, QPoint(-1, -1), "/30000.htm"},
      {"grid header, codes", 1, false, [this] { return f.Grid1; }, QPoint(20, 2), "/41000.htm"},
      {"grid body, codes", 1, false, [this] { return f.Grid1; }, QPoint(-1, -1), "/42000.htm"},
      {"grid body, data sets", 2, false, [this] { return f.Grid1; }, QPoint(-1, -1), "/10401.htm"},
      {"grid body, result", 3, false, [this] { return f.Grid1; }, QPoint(-1, -1), "/43000.htm"},
      {"chart", 3, true, [this] { return f.Grid1; }, QPoint(20, 2), "/44000.htm"},
      {"status bar", 1, false, [this] { return f.StatusBar1; }, QPoint(-1, -1), "/50000.htm"},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.cosa);
    Modo_Griglia = c.modo;
    Grafico_Visibile = c.grafico;
    Clic_In_Aiuto(c.dove(), c.punto);
    EXPECT_EQ(Argomento(), c.argomento);
    EXPECT_EQ(Finestra_Aiuto, help::OpenViewer() ? help::OpenViewer()->hWnd() : -1);
    EXPECT_TRUE(f.Enabled());
  }
  // The bands follow the toolbar: each starts where the one before it ends.
  EXPECT_EQ(Mappa_Aiuto[72].substr(0, 4), "0000");
  EXPECT_EQ(Mappa_Aiuto[90].substr(0, 4), Mappa_Aiuto[72].substr(10, 4));
  EXPECT_EQ(Mappa_Aiuto[96], "0000,0000,9999,9999,00000");
}

TEST_F(Aiuto, TheHelpButtonOpensTheDefaultTopicAndAMissingFileIsReported) {
  f.Esegui_Pulsante(f.Toolbar1->Buttons("Help"), ui::vbLeftButton);
  EXPECT_EQ(Argomento(), "/index.htm");
  EXPECT_NE(Finestra_Aiuto, 0);
  delete help::OpenViewer();
  QApplication::processEvents();

  std::filesystem::remove(dir.file("KYX.CHM"));
  host.expect("Impossibile aprire il file della guida\r" + Cartella_Programma + "KYX.CHM");
  Clic_In_Aiuto(f.twL);
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(Finestra_Aiuto, 0);
  EXPECT_EQ(help::OpenViewer(), nullptr);
  EXPECT_TRUE(f.Enabled());
}

TEST_F(Aiuto, F1OverAPopupOpensItsTopic) {
  struct Caso {
    const char* nome;
    const char* titolo;
    const char* argomento;
  };
  for (const Caso c : {Caso{"frmMenuColonne", "", "/10010.htm"}, Caso{"frmMenuOpzioni", "", "/10009.htm"},
                       Caso{"frmMenuLivelli", "", "/21000.htm"}, Caso{"frmMenuDati", "", "/10401.htm"},
                       Caso{"frmMenuColonna", "", "/41100.htm"}, Caso{"frmMenuRiga", "", "/41200.htm"},
                       Caso{"frmMenuPreferiti", "", "/10007.htm"},
                       Caso{"frmMenuPreferitiModifica", "Modifica elaborazione", "/10710.htm"},
                       Caso{"frmMenuPreferitiModifica", "Elimina cartella", "/10715.htm"}}) {
    SCOPED_TRACE(c.argomento);
    ui::KyForm popup(c.nome);
    popup.SetCaption(c.titolo);
    popup.resize(160, 120);
    popup.Show();
    const QPoint g = popup.mapToGlobal(QPoint(80, 60));
    ui::SetCursorPos(g.x(), g.y());
    FrmBase::Hook_Aiuto(popup);
    EXPECT_EQ(Argomento(), c.argomento);
  }
}

TEST_F(Aiuto, ShutDownClosesTheViewer) {
  f.Esegui_Pulsante(f.Toolbar1->Buttons("Help"), ui::vbLeftButton);
  ASSERT_NE(help::OpenViewer(), nullptr);
  Fine_Programma();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(help::OpenViewer() == nullptr || !help::OpenViewer()->isVisible());
}

// The program's own help file, as the build compiles it: every topic the map can name, in every
// grid mode, is a page of its own, and every link between pages leads to a page of the file.
TEST_F(Aiuto, TheProgramsHelpFileHoldsEveryTopicOfTheMapAndItsLinksResolve) {
  const std::string file = KYX_HELP_FILE;
  if (file.empty()) GTEST_SKIP() << "the help compiler chmcmd was not found when the build was configured";
  std::string errore;
  const auto chm = help::ChmFile::Open(file, errore);
  ASSERT_TRUE(chm) << errore;
  EXPECT_EQ(chm->DefaultTopic(), "/index.htm");

  std::set<std::string> argomenti;
  auto raccogli = [&argomenti](int primo, int ultimo) {
    for (int r = primo; r <= ultimo; ++r) {
      const std::string& riga = Mappa_Aiuto[static_cast<size_t>(r)];
      if (riga.size() == 25) argomenti.insert(riga.substr(20, 5));
    }
  };
  raccogli(1, 66);
  for (const auto& [modo, grafico] : {std::pair<int16_t, bool>{1, false}, {2, false}, {3, false}, {3, true}}) {
    Modo_Griglia = modo;
    Grafico_Visibile = grafico;
    f.Ridimensiona_Mappa();
    raccogli(71, 96);
  }
  EXPECT_GE(argomenti.size(), 89u);

  const std::regex titolo("<h1>([^<]+)</h1>"), collegamento("href=\"([^\"#]+)\"");
  std::set<std::string> titoli;
  std::set<std::string> pagine(argomenti.begin(), argomenti.end());
  pagine.insert("index");
  for (const std::string& a : pagine) {
    SCOPED_TRACE(a);
    std::string pagina;
    ASSERT_TRUE(chm->Read("/" + a + ".htm", pagina));
    std::smatch m;
    ASSERT_TRUE(std::regex_search(pagina, m, titolo));
    EXPECT_TRUE(titoli.insert(m[1].str()).second) << "title used twice: " << m[1];
    EXPECT_GT(pagina.size(), 400u) << "a page that says almost nothing";
    for (auto it = std::sregex_iterator(pagina.begin(), pagina.end(), collegamento); it != std::sregex_iterator();
         ++it) {
      std::string destinazione, contenuto;
      destinazione = (*it)[1].str();
      EXPECT_TRUE(chm->Read("/" + destinazione, contenuto)) << "broken link to " << destinazione;
    }
  }

  // The viewer shows a topic of it with its text.
  ASSERT_TRUE(std::filesystem::copy_file(file, dir.file("KYX.CHM"), std::filesystem::copy_options::overwrite_existing));
  Clic_In_Aiuto(f.twL);
  ASSERT_NE(help::OpenViewer(), nullptr);
  EXPECT_TRUE(help::OpenViewer()->TopicFound());
  EXPECT_NE(help::OpenViewer()->PageText().find("Albero della struttura"), std::string::npos);
}

TEST_F(Aiuto, TheLookupIsLoggedWhenDebugging) {
  Debug_Attivo = true;
  Clic_In_Aiuto(f.twF);
  EXPECT_EQ(frmDebug->Testo(), "092 " + Mappa_Aiuto[92] + "\r\n");
  EXPECT_EQ(frmDebug->Numero_Riga, 1);
  EXPECT_EQ(Argomento(), "/30000.htm");
}

}  // namespace
}  // namespace kyx::test
