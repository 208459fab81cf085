// The main window's procedure: size limits, a press that closes the flagged pop-ups in order, the
// release that gives the window back, the context-help click, F1 routing and the wheel.
#include <QTest>

#include "platform/ui/vb_events.h"
#include "tests/ui/ambiente_ui.h"

namespace kyx::test {
namespace {

// A stand-in for a pop-up menu: it sets its open flag when it opens and clears it, and shows the
// main window again, when it unloads (from code: pointer and gate are left alone).
class Popup : public ui::KyForm {
 public:
  Popup(const char* nome, int indice, std::vector<std::string>* chiusi)
      : ui::KyForm(nome), indice_(indice), chiusi_(chiusi) {
    resize(120, 80);
  }
  void Apri() {
    Form_Aperto[indice_] = true;
    Show();
  }
  void Form_Unload(int16_t&) override {
    Form_Aperto[indice_] = false;
    chiusi_->push_back(Name());
  }

 private:
  int indice_;
  std::vector<std::string>* chiusi_;
};

struct PopupColonna : Popup {
  PopupColonna() : Popup("frmMenuColonna", 0, &chiusi) {}
  static inline std::vector<std::string> chiusi;
};
struct PopupOpzioni : Popup {
  PopupOpzioni() : Popup("frmMenuOpzioni", 4, &PopupColonna::chiusi) {}
};
struct PopupRiga : Popup {
  PopupRiga() : Popup("frmMenuRiga", 6, &PopupColonna::chiusi) {}
};

inline ui::FormInstance<PopupColonna> frmMenuColonna;
inline ui::FormInstance<PopupOpzioni> frmMenuOpzioni;
inline ui::FormInstance<PopupRiga> frmMenuRiga;

class Procedura : public AmbienteUi {
 protected:
  Procedura() : f(Carica()) {
    PopupColonna::chiusi.clear();
    agganci_base::Popup[0] = [] { return frmMenuColonna.peek(); };
    agganci_base::Popup[4] = [] { return frmMenuOpzioni.peek(); };
    agganci_base::Popup[6] = [] { return frmMenuRiga.peek(); };
    f.Show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&f));
  }
  ~Procedura() override {
    delete frmMenuColonna.peek();
    delete frmMenuOpzioni.peek();
    delete frmMenuRiga.peek();
  }
  FrmBase& f;
};

TEST_F(Procedura, PressClosesFlaggedPopupsInOrderAndReleaseGivesTheWindowBack) {
  frmMenuRiga->Apri();
  frmMenuColonna->Apri();
  f.SetEnabled(false);
  Imposta_Puntatore(ui::vbHourglass);
  QTest::mousePress(f.Grid1, Qt::LeftButton, {}, QPoint(30, 30));
  EXPECT_EQ(PopupColonna::chiusi, (std::vector<std::string>{"frmMenuColonna", "frmMenuRiga"}));
  EXPECT_FALSE(Form_Aperto[0]);
  EXPECT_FALSE(Form_Aperto[6]);
  EXPECT_FALSE(f.Enabled()) << "the window stays gated until the release";
  EXPECT_TRUE(Popup_Chiuso);
  QTest::mouseRelease(f.Grid1, Qt::LeftButton, {}, QPoint(30, 30));
  EXPECT_TRUE(f.Enabled());
  EXPECT_EQ(Puntatore_Schermo, 0);
  EXPECT_EQ(host.pointer(), 0);
  EXPECT_FALSE(Popup_Chiuso);
}

TEST_F(Procedura, DisabledOptionsPopupStaysAndNothingElseChanges) {
  frmMenuOpzioni->Apri();
  frmMenuOpzioni->SetEnabled(false);  // its colour dialog is open over it
  f.SetEnabled(false);
  Imposta_Puntatore(ui::vbHourglass);
  QTest::mouseClick(f.Grid1, Qt::RightButton, {}, QPoint(30, 30));
  EXPECT_TRUE(PopupColonna::chiusi.empty());
  EXPECT_TRUE(Form_Aperto[4]);
  EXPECT_FALSE(f.Enabled());
  EXPECT_EQ(Puntatore_Schermo, ui::vbHourglass);
  frmMenuOpzioni->SetEnabled(true);
  QTest::mouseClick(f.Grid1, Qt::RightButton, {}, QPoint(30, 30));
  EXPECT_EQ(PopupColonna::chiusi, std::vector<std::string>{"frmMenuOpzioni"});
  EXPECT_TRUE(f.Enabled());
}

TEST_F(Procedura, HelpModeClickOpensTheMapAndEndsTheMode) {
  std::vector<std::string> mappe;
  agganci_base::Help_Mappa_Apri = [&](int32_t, int32_t, int32_t h, int16_t p, int16_t u) {
    mappe.push_back(std::to_string(h == f.hWnd()) + " " + std::to_string(p) + "-" +
                    std::to_string(u));
  };
  f.Esegui_Pulsante(f.Toolbar1->Buttons("Help_1"), ui::vbLeftButton);
  QTest::mouseClick(f.Grid1, Qt::LeftButton, {}, QPoint(30, 30));
  EXPECT_EQ(mappe, std::vector<std::string>{"1 71-96"});
  EXPECT_EQ(Puntatore_Schermo, 0);
  EXPECT_TRUE(f.Enabled());
  QTest::mouseClick(f.Grid1, Qt::LeftButton, {}, QPoint(30, 30));
  EXPECT_EQ(mappe.size(), 1u) << "a plain click does nothing";
}

TEST_F(Procedura, F1SearchesTheRowsOfTheActiveForm) {
  std::vector<std::string> mappe;
  agganci_base::Help_Mappa_Apri = [&](int32_t, int32_t, int32_t, int16_t p, int16_t u) {
    mappe.push_back(std::to_string(p) + "-" + std::to_string(u));
  };
  struct Caso {
    const char* nome;
    const char* titolo;
    const char* righe;
  };
  for (const Caso c : {Caso{"frmOpzioni", "Opzioni", "1-41"}, Caso{"frmMenuLivelli", "", "54-56"},
                       Caso{"frmMenuPreferitiModifica", "  Aggiunta cartella", "65-65"},
                       Caso{"frmMenuPreferitiModifica", "Altro", ""}, Caso{"frmBase", "", ""}}) {
    SCOPED_TRACE(c.nome);
    mappe.clear();
    ui::KyForm form(c.nome);
    form.SetCaption(c.titolo);
    FrmBase::Hook_Aiuto(form);
    EXPECT_EQ(mappe.empty() ? "" : mappe[0], c.righe);
  }
}

TEST_F(Procedura, SizeLimitsAndWheelRouting) {
  struct Caso {
    double tpx;
    int32_t cx, cy, atteso_x, atteso_y;
  };
  for (const Caso c : {Caso{15, 500, 300, 630, 400}, Caso{12, 500, 300, 788, 500},
                       Caso{15, 12000, 900, 10000, 900}, Caso{15, 800, 20000, 800, 10000}}) {
    Twips_Pixel_X = Twips_Pixel_Y = c.tpx;
    int32_t cx = c.cx, cy = c.cy;
    FrmBase::Limita_Dimensioni(cx, cy);
    EXPECT_EQ(cx, c.atteso_x);
    EXPECT_EQ(cy, c.atteso_y);
  }
  Twips_Pixel_X = Twips_Pixel_Y = 15;
  f.resize(200, 100);
  EXPECT_GE(f.frameGeometry().width(), 630);
  EXPECT_GE(f.frameGeometry().height(), 400);

  std::vector<int> ruota;
  agganci_base::xMouseWheel = [&](int32_t k, int32_t n, int32_t, int32_t) {
    ruota.push_back(k);
    ruota.push_back(n);
  };
  ASSERT_TRUE(f.WheelHook);
  f.WheelHook(8, -2, 10, 10);
  EXPECT_EQ(ruota, (std::vector<int>{8, -2}));

  // Without the hook a press closes nothing and the wheel is not routed.
  f.Hook_Rimuovi();
  EXPECT_FALSE(f.MouseHook);
  EXPECT_FALSE(f.WheelHook);
  EXPECT_FALSE(Hook_Installato);
  frmMenuRiga->Apri();
  QTest::mouseClick(f.Grid1, Qt::LeftButton, {}, QPoint(30, 30));
  EXPECT_TRUE(Form_Aperto[6]);
  EXPECT_TRUE(PopupColonna::chiusi.empty());
}

}  // namespace
}  // namespace kyx::test
