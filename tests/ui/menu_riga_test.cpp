// The element card: a right press on a result cell opens it at the pointer with the element's key
// name, code, descriptions and attribute titles read from the local tables; it stays inside the
// main window, gates it while open, and goes with the next press on the main window.
#include <algorithm>
#include <array>

#include "platform/ui/vb_events.h"
#include "tests/ui/ambiente_schede.h"
#include "ui/frm_menu_riga.h"

namespace kyx::test {
namespace {

class MenuRiga : public AmbienteSchede {
 protected:
  void SetUp() override {
    AmbienteSchede::SetUp();
    std::vector<std::string> colonne = {"SINF", "IDX", "LUN", "ATTR", "KEY_D", "TESTO"};
    std::vector<data::Value> valori = {"SI1", 7, 3, "1", 7, "Cliente   "};
    for (int n = 1; n <= 12; ++n) {
      colonne.push_back("TI_" + vb::Format(int64_t{n}, "00"));
      valori.emplace_back("Titolo " + std::to_string(n) + "  ");
    }
    Riga("CHIAVI", colonne, valori);
    std::vector<std::string> testi;
    for (int n = 1; n <= 14; ++n) testi.push_back("Valore " + std::to_string(n) + "   ");
    Descrizione(7, "A01", " ", testi);
    Descrizione(7, "A02", "A", testi);
    Risultato(3);
  }

  // A right press on grid cell (r, c) with the pointer on it, as a user makes it.
  void Destro(int r, int c) {
    ui::FlexGrid& g = *f.Grid1;
    const QPoint p(g.ColPos(c) / 15 + 3, g.RowPos(r) / 15 + 3);
    const QPoint s = g.mapToGlobal(p);
    ui::SetCursorPos(s.x(), s.y());
    QTest::mousePress(&g, Qt::RightButton, {}, p);
    QTest::mouseRelease(&g, Qt::RightButton, {}, p);
  }

  static std::array<std::string, 28> Testi(const FrmMenuRiga& m) {
    std::array<std::string, 28> t;
    for (int i = 0; i < 28; ++i) t[i] = m.lbl[i]->Caption();
    return t;
  }
};

TEST_F(MenuRiga, TheProgramFillsThePopUpsSlots) {
  agganci_base::reset();
  Installa_Popup();
  namespace ab = agganci_base;
  EXPECT_TRUE(ab::frmMenuColonna_Carica && ab::frmMenuRiga_Carica && ab::Azioni["Colonne"]);
  for (std::size_t i : {0u, 1u, 6u}) {
    ASSERT_TRUE(ab::Popup[i]) << i;
    EXPECT_EQ(ab::Popup[i](), nullptr) << i;
  }
}

TEST_F(MenuRiga, ARightPressOnACellOpensTheCardAtThePointer) {
  Destro(1, 1);
  ASSERT_TRUE(frmMenuRiga.Loaded());
  FrmMenuRiga& m = *frmMenuRiga;
  EXPECT_TRUE(m.isVisible());
  EXPECT_FALSE(f.Enabled());
  EXPECT_TRUE(Form_Aperto[6]);
  int x = 0, y = 0;
  ui::GetCursorPos(x, y);
  EXPECT_DOUBLE_EQ(m.Left(), (x - 14) * 15.0);
  // Row 1 lies near the window's top: the card keeps 1155 twips below it.
  EXPECT_DOUBLE_EQ(m.Top(), std::max((y - 14) * 15.0, f.Top() + 1155));
  // Its inside is 5475 x 3015 twips, two columns of fourteen lines.
  EXPECT_EQ(m.ScaleWidth(), 365);
  EXPECT_EQ(m.ScaleHeight(), 201);
  EXPECT_EQ(m.lbl[27]->geometry(), QRect(84, 177, 273, 13));

  EXPECT_EQ(m.Caption(), "  Cliente");
  std::array<std::string, 28> attesi;
  attesi[0] = "Codice";
  attesi[1] = "Descizione";
  for (int n = 1; n <= 12; ++n) attesi[n + 1] = "Titolo " + std::to_string(n);
  attesi[14] = "A01";
  for (int n = 1; n <= 13; ++n) attesi[n + 14] = "Valore " + std::to_string(n);
  EXPECT_EQ(Testi(m), attesi);

  // A press anywhere on the main window closes it; the release gives the window back.
  QTest::mousePress(f.Grid1, Qt::LeftButton, {}, QPoint(30, 30));
  EXPECT_FALSE(frmMenuRiga.Loaded());
  EXPECT_FALSE(Form_Aperto[6]);
  QTest::mouseRelease(f.Grid1, Qt::LeftButton, {}, QPoint(30, 30));
  EXPECT_TRUE(f.Enabled());
}

TEST_F(MenuRiga, WhatTheCardShowsForEachElement) {
  struct Caso {
    const char* nome;
    int16_t chiave;
    const char* elemento;
    const char* titolo;
    bool didascalie;  // "Codice", "Descizione" and the titles
    const char* codice;
    const char* primo_valore;
  };
  const Caso casi[] = {
      {"coded element", 7, "A01", "  Cliente", true, "A01", "Valore 1"},
      {"code with trailing blanks", 7, "A01   ", "  Cliente", true, "A01", "Valore 1"},
      {"cancelled element", 7, "A02", "  Cliente", true, "A02", ""},
      {"element without descriptions", 7, "A09", "  Cliente", true, "A09", ""},
      {"value column: key 0, no element", 0, "", "  ?", false, "", ""},
      {"key the table lacks", 9, "A01", "  ?", false, "", ""},
  };
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.nome);
    Puntatore(500, 300);
    agganci_base::frmMenuRiga_Carica(k.chiave, k.elemento);
    FrmMenuRiga& m = *frmMenuRiga;
    EXPECT_EQ(m.Caption(), k.titolo);
    EXPECT_EQ(m.lbl[0]->Caption(), k.didascalie ? "Codice" : "");
    EXPECT_EQ(m.lbl[13]->Caption(), k.didascalie ? "Titolo 12" : "");
    EXPECT_EQ(m.lbl[14]->Caption(), k.codice);
    EXPECT_EQ(m.lbl[15]->Caption(), k.primo_valore);
    EXPECT_EQ(m.lbl[27]->Caption(), *k.primo_valore ? "Valore 13" : "");
    m.Unload(ui::vbFormControlMenu);
    EXPECT_TRUE(f.Enabled()) << "the close box gives the window back";
    EXPECT_FALSE(Form_Aperto[6]);
  }
  // Every opening starts from empty labels: a full card, then one for a missing key.
  agganci_base::frmMenuRiga_Carica(7, "A01");
  frmMenuRiga->Carica(9, "A01");
  EXPECT_EQ(frmMenuRiga->lbl[15]->Caption(), "");
  // Closed from code, the card leaves the window gated (its closer gives it back).
  frmMenuRiga->Unload();
  EXPECT_FALSE(f.Enabled());
  // Without the local tables the card opens empty.
  Rs_Chiavi.reset();
  Rs_Descrizioni.reset();
  agganci_base::frmMenuRiga_Carica(7, "A01");
  EXPECT_EQ(frmMenuRiga->Caption(), "  ?");
  EXPECT_EQ(frmMenuRiga->lbl[14]->Caption(), "");
}

TEST_F(MenuRiga, TheCardStaysInsideTheMainWindowAndClearOfTheTreePane) {
  agganci_base::frmMenuRiga_Carica(7, "A01");
  const double W = frmMenuRiga->Width(), H = frmMenuRiga->Height();
  frmMenuRiga->Unload();
  struct Caso {
    const char* nome;
    QPoint punto;  // in the main window's client pixels
    double left, top;
  };
  const double L = f.Left(), T = f.Top();
  const QPoint mezzo = f.mapToGlobal(QPoint(500, 300));
  const Caso casi[] = {
      {"middle", {500, 300}, (mezzo.x() - 14) * 15.0, (mezzo.y() - 14) * 15.0},
      {"bottom right", {995, 695}, L + f.Width() - W - 360, T + f.Height() - H - 450},
      {"top left", {2, 2}, L + f.lblNS->width() * 15.0 + 225, T + 1155},
  };
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.nome);
    Puntatore(k.punto.x(), k.punto.y());
    agganci_base::frmMenuRiga_Carica(7, "A01");
    EXPECT_DOUBLE_EQ(frmMenuRiga->Left(), k.left);
    EXPECT_DOUBLE_EQ(frmMenuRiga->Top(), k.top);
    frmMenuRiga->Unload(ui::vbFormControlMenu);
  }
}

}  // namespace
}  // namespace kyx::test
