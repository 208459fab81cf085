// The column header menu on a shown main window: where it opens, hover and keys over its items,
// the press on the main window that closes it, and what each item changes and stores.
#include <QImage>
#include <QMouseEvent>
#include <QTest>

#include "engine/agganci_motore.h"
#include "engine/stato_motore.h"
#include "platform/data/static_recordset.h"
#include "platform/ui/colours.h"
#include "platform/ui/pointer.h"
#include "platform/ui/vb_events.h"
#include "tests/ui/ambiente_ui.h"
#include "ui/frm_menu_colonna.h"

namespace kyx::test {
namespace {

class MenuColonna : public AmbienteUi {
 protected:
  MenuColonna() : f(Carica()) {
    stato_motore::reset();
    Installa_Popup();
    agganci_motore::Salva_Layout = [this](const std::string& op, int16_t c) {
      salvati.push_back(op + " " + std::to_string(c));
    };
    agganci_motore::Visualizza_Larghezza_Colonne = [this](int32_t c, int16_t i, int16_t t) {
      salvati.push_back("Adatta " + std::to_string(c) + " " + std::to_string(i) + " " + std::to_string(t));
    };
    f.Show();
    f.resize(1000, 700);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&f));
    Numero_Colonne = 6;
    for (int c = 0; c <= 6; ++c) {
      Col_Visibile[c] = 2;
      Col_Ordine[c] = 0;
      Col_Intestazione[c] = "Colonna|" + std::to_string(c);
    }
    Colonna_Ordinamento = 0;
    Verso_Ordinamento = " ASC";
    Modo_Griglia = 3;
    auto rs = std::make_unique<data::StaticRecordset>();
    rs->AppendField(data::TextField("c000", 20));
    rs->AppendField(data::DoubleField("c001"));
    EXPECT_TRUE(rs->OpenFabricated().ok());
    for (int v : {3, 1, 2}) {
      rs->AddNew();
      rs->SetText(0, "R" + std::to_string(v));
      rs->Set(1, data::Value(static_cast<double>(v)));
      EXPECT_TRUE(rs->Update().ok());
    }
    statico = rs.get();
    Rs_Griglia = std::move(rs);
  }
  ~MenuColonna() override {
    delete frmMenuColonna3.peek();
    delete frmMenuColonna.peek();
    stato_motore::reset();
    agganci_motore::reset();
  }

  FrmMenuColonna& Apri(int16_t c, QPoint schermo = {400, 300}) {
    Colonna_Corrente = c;
    ui::SetCursorPos(schermo.x(), schermo.y());
    agganci_base::frmMenuColonna_Carica();
    EXPECT_TRUE(frmMenuColonna.Loaded());
    EXPECT_TRUE(QTest::qWaitForWindowExposed(frmMenuColonna.peek()));
    return *frmMenuColonna;
  }
  static std::string Abilitati(const MenuVoci& m) {
    std::string s;
    for (int i = 0; i < m.Voci(); ++i) s += m.Item[i]->isEnabled() ? "1" : "0";
    return s;
  }
  // A pointer move over item i's caption, delivered to the caption's widget.
  static void Sopra(MenuVoci& m, int i) {
    const QPoint p(5, 5);
    const QPoint g = m.ItemX[i]->mapToGlobal(p);
    ui::SetCursorPos(g.x(), g.y());
    QMouseEvent e(QEvent::MouseMove, p, m.ItemX[i]->mapToGlobal(p), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(m.ItemX[i], &e);
    QApplication::processEvents();
  }
  static bool Acceso(const MenuVoci& m, int i) {
    return m.Item[i]->BackColor() == 0x8000000Du && m.ItemX[i]->ForeColor() == 0x8000000Eu;
  }

  FrmBase& f;
  std::vector<std::string> salvati;
  data::StaticRecordset* statico = nullptr;
};

TEST_F(MenuColonna, OpensAtThePointerInsideTheMainWindowAndGatesIt) {
  // Inside: the pointer lands 14 pixels inside the top-left corner.
  FrmMenuColonna& m = Apri(2, {f.x() + 400, f.y() + 200});
  EXPECT_DOUBLE_EQ(m.Left(), (f.x() + 400 - 14) * 15.0);
  EXPECT_DOUBLE_EQ(m.Top(), (f.y() + 200 - 14) * 15.0);
  EXPECT_FALSE(f.Enabled());
  EXPECT_TRUE(Form_Aperto[0]);
  EXPECT_EQ(m.Caption(), "Colonna 2");
  EXPECT_EQ(m.ItemX[0]->Caption(), "Ordimaneto crescente");
  m.Unload();
  // Near the right edge: 360 twips inside; near the left edge: past the splitter, which wins.
  FrmMenuColonna& r = Apri(2, {f.x() + f.width() - 5, f.y() + 200});
  EXPECT_DOUBLE_EQ(r.Left(), f.Left() + f.Width() - 3225 - 360);
  r.Unload();
  FrmMenuColonna& l = Apri(2, {f.x(), f.y() + 200});
  EXPECT_DOUBLE_EQ(l.Left(), f.Left() + f.lblNS->width() * 15.0 + 225);
}

TEST_F(MenuColonna, ItemsFollowTheColumnsState) {
  struct Caso {
    const char* nome;
    std::function<void()> prepara;
    int16_t c;
    std::string abilitati;  // items 0..7
    std::string blocca, nascondi;
  };
  const Caso casi[] = {
      {"sorted ascending", [] { Colonna_Ordinamento = 2; }, 2, "01111110", "Blocca", "Nascondi"},
      {"not sortable", [] { Col_Ordine[2] = 1; }, 2, "00111110", "Blocca", "Nascondi"},
      {"last column", [] {}, 6, "11011110", "Blocca", "Nascondi"},
      {"frozen last column", [] { Colonne_Bloccate = 7; }, 6, "11111110", "Sblocca", "Nascondi"},
      {"hidden column", [] { Col_Visibile[3] = 1; }, 3, "11111110", "Blocca", "Scopri"},
      {"only shown column",
       [] {
         for (int c = 0; c <= 6; ++c) Col_Visibile[c] = c == 4 ? 2 : 1;
       },
       4, "11101110", "Blocca", "Nascondi"},
      {"empty grid", [this] { (void)statico->SetFilter("c001>100"); }, 2, "11111000", "Blocca", "Nascondi"},
      {"column with its own condition", [] { Col_Where[2] = "where (k_003 in('01'))"; }, 2, "11111111", "Blocca",
       "Nascondi"},
  };
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.nome);
    Colonne_Bloccate = 0;
    for (int c = 0; c <= 6; ++c) Col_Visibile[c] = 2, Col_Ordine[c] = 0;
    Colonna_Ordinamento = 0;
    Verso_Ordinamento = " ASC";
    Col_Where[2] = "";
    (void)statico->SetFilter("");
    k.prepara();
    FrmMenuColonna& m = Apri(k.c);
    EXPECT_EQ(Abilitati(m), k.abilitati);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(m.ItemX[i]->isEnabled(), m.Item[i]->isEnabled());
    EXPECT_EQ(m.ItemX[2]->Caption(), k.blocca);
    EXPECT_EQ(m.ItemX[3]->Caption(), k.nascondi);
    m.Unload(ui::vbFormControlMenu);
  }
}

TEST_F(MenuColonna, PicturesAtTheRightOfTheirItemsAndAnEtchedRuleUnderTheTitle) {
  FrmMenuColonna& m = Apri(2);
  QApplication::processEvents();
  QImage quadro = m.grab().toImage();
  const int w = quadro.width();
  // The rule: shadow over highlight across the client area's top.
  const QColor ombra = ui::ole_to_qcolor(0x80000010), luce = ui::ole_to_qcolor(0x80000014);
  for (int x : {0, w / 2, w - 1}) {
    EXPECT_EQ(quadro.pixelColor(x, 0), ombra) << x;
    EXPECT_EQ(quadro.pixelColor(x, 1), luce) << x;
  }
  // The 16 x 16 area at the right end of item i of `menu`, the form `q` was grabbed from (the
  // menu unloaded below is deleted; the one opened after it is a new form), and its dark (ink)
  // pixels.
  const auto area = [&](const QImage& q, const FrmMenuColonna& menu, int i) {
    return q.copy(QRect(w - 16 - 3, menu.Item[i]->y() + 1, 16, 16));
  };
  const auto inchiostro = [](const QImage& a) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
      for (int x = 0; x < a.width(); ++x) n += qGray(a.pixel(x, y)) < 80 ? 1 : 0;
    return n;
  };
  // Pixels that stand apart from the menu's background, greyed ones included.
  const auto tracciati = [&](const QImage& a) {
    const QRgb fondo = quadro.pixel(w / 2, m.Item[2]->y() + m.Item[2]->height() - 2);
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
      for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != fondo ? 1 : 0;
    return n;
  };
  ASSERT_FALSE(m.Item[7]->isEnabled()) << "the column has no filter of its own to show";
  for (int i = 0; i < 8; ++i) {
    if (i == 2 || i == 3) {
      EXPECT_EQ(tracciati(area(quadro, m, i)), 0) << "item " << i << " has no picture";
    } else if (i == 7) {
      EXPECT_EQ(inchiostro(area(quadro, m, i)), 0) << "greyed with its item";
      EXPECT_GE(tracciati(area(quadro, m, i)), 6) << "greyed, still there";
    } else {
      EXPECT_GE(inchiostro(area(quadro, m, i)), 6) << "item " << i;
    }
  }
  // Two different sort pictures; one and the same sub-menu mark on the items that open one.
  EXPECT_NE(area(quadro, m, 0), area(quadro, m, 1));
  for (int i = 5; i < 7; ++i) EXPECT_EQ(area(quadro, m, i), area(quadro, m, 4)) << i;
  EXPECT_NE(area(quadro, m, 4), area(quadro, m, 0));
  // The sort picture is greyed too when its item is: column 0 is already sorted ascending.
  m.Unload();
  FrmMenuColonna& n = Apri(0);
  QApplication::processEvents();
  quadro = n.grab().toImage();
  ASSERT_FALSE(n.Item[0]->isEnabled());
  EXPECT_EQ(inchiostro(area(quadro, n, 0)), 0);
  EXPECT_GE(inchiostro(area(quadro, n, 1)), 6);
}

TEST_F(MenuColonna, HoverAndKeysMoveThroughTheItemsAndOpenTheFitSubMenu) {
  FrmMenuColonna& m = Apri(2, {f.x() + 200, f.y() + 100});
  // Up from nothing: the last item (disabled: entered, not lit); Down wraps to item 0.
  QTest::keyClick(&m, Qt::Key_Up);
  EXPECT_EQ(m.Voce_Tastiera, 7);
  EXPECT_FALSE(Acceso(m, 7));
  QTest::keyClick(&m, Qt::Key_Down);
  EXPECT_EQ(m.Voce_Tastiera, 0);
  EXPECT_TRUE(Acceso(m, 0));
  int x = 0, y = 0;
  ui::GetCursorPos(x, y);
  const int alto = m.Item[0]->mapToGlobal(QPoint(0, 0)).y();
  EXPECT_NEAR(y, alto + m.Item[0]->height() / 2, 1) << "the pointer jumps to the item's middle";
  // The pointer onto item 6 lights it and opens the fit menu beside it; the margin closes it.
  Sopra(m, 6);
  EXPECT_FALSE(Acceso(m, 0));
  EXPECT_TRUE(Acceso(m, 6));
  ASSERT_TRUE(frmMenuColonna3.Loaded());
  EXPECT_DOUBLE_EQ(frmMenuColonna3->Left(), m.Left() + m.Width() - 60);
  EXPECT_EQ(m.Voce_Tastiera, 6);
  // In the sub-menu, Right closes it alone and item 6 stays lit.
  QTest::keyClick(frmMenuColonna3.peek(), Qt::Key_Right);
  EXPECT_FALSE(frmMenuColonna3.Loaded());
  EXPECT_TRUE(Acceso(m, 6));
  m.Form_MouseMove();
  EXPECT_FALSE(Acceso(m, 6));
  EXPECT_EQ(m.Voce_Evidenziata, -1);
  // Enter on a disabled item does nothing.
  QTest::keyClick(&m, Qt::Key_Down);
  EXPECT_EQ(m.Voce_Tastiera, 7);
  QTest::keyClick(&m, Qt::Key_Return);
  EXPECT_TRUE(frmMenuColonna.Loaded());
  // Left and Right step over never-shown columns, onto hidden ones, and stop at the ends.
  Col_Visibile[3] = 0;
  Col_Visibile[4] = 1;
  QTest::keyClick(&m, Qt::Key_Right);
  EXPECT_EQ(Colonna_Corrente, 4);
  EXPECT_EQ(m.ItemX[3]->Caption(), "Scopri");
  EXPECT_EQ(m.Caption(), "Colonna 4");
  for (int i = 0; i < 6; ++i) QTest::keyClick(&m, Qt::Key_Left);
  EXPECT_EQ(Colonna_Corrente, 0);
}

TEST_F(MenuColonna, APressOnTheMainWindowClosesMenuAndSubMenu) {
  // Near the main window's right edge the sub-menu opens on the menu's left.
  FrmMenuColonna& m = Apri(2, {f.x() + f.width() - 5, f.y() + 100});
  Sopra(m, 6);
  ASSERT_TRUE(frmMenuColonna3.Loaded());
  EXPECT_DOUBLE_EQ(frmMenuColonna3->Left(), m.Left() - 3480 + 60);
  QTest::mousePress(f.Grid1, Qt::LeftButton, {}, QPoint(30, 30));
  EXPECT_FALSE(frmMenuColonna.Loaded());
  EXPECT_FALSE(frmMenuColonna3.Loaded());
  EXPECT_FALSE(Form_Aperto[0]);
  QTest::mouseRelease(f.Grid1, Qt::LeftButton, {}, QPoint(30, 30));
  EXPECT_TRUE(f.Enabled());
  // The close box gives the window back at once; an unload from code does not.
  Apri(2).Unload(ui::vbFormControlMenu);
  EXPECT_TRUE(f.Enabled());
  Apri(2).Unload(ui::vbFormCode);
  EXPECT_FALSE(f.Enabled());
}

TEST_F(MenuColonna, CommandsChangeTheModelAndStoreTheirKeys) {
  // Sort descending on column 1: stored, re-sorted, redrawn.
  Modo_Griglia = 1;
  FrmMenuColonna& s = Apri(1);
  QTest::mouseClick(s.ItemX[1], Qt::LeftButton);
  EXPECT_FALSE(frmMenuColonna.Loaded());
  EXPECT_TRUE(f.Enabled());
  EXPECT_EQ(Colonna_Ordinamento, 1);
  EXPECT_EQ(Verso_Ordinamento, " DESC");
  Rs_Griglia->MoveFirst();
  EXPECT_EQ(Rs_Griglia->Field(0).text(), "R3");
  // Hiding in a list mode stores nothing; in a result it stores the column's key.
  Apri(5).Item_Click(3);
  EXPECT_EQ(Col_Visibile[5], 1);
  Modo_Griglia = 3;
  Apri(5).Item_Click(3);
  EXPECT_EQ(Col_Visibile[5], 2);
  // Freeze column 3 gives 4 frozen; unfreezing column 3 of 6 frozen leaves 3.
  Apri(3).Item_Click(2);
  EXPECT_EQ(Colonne_Bloccate, 4);
  Colonne_Bloccate = 6;
  Apri(3).Item_Click(2);
  EXPECT_EQ(Colonne_Bloccate, 3);
  // Fit from the sub-menu: this column with titles, then all columns without.
  FrmMenuColonna& a = Apri(2);
  Sopra(a, 6);
  ASSERT_TRUE(frmMenuColonna3.Loaded());
  QTest::mouseClick(frmMenuColonna3->ItemX[1], Qt::LeftButton);
  EXPECT_FALSE(frmMenuColonna.Loaded());
  EXPECT_FALSE(frmMenuColonna3.Loaded());
  Sopra(Apri(2), 6);
  frmMenuColonna3->Item_Click(2);
  EXPECT_EQ(salvati, (std::vector<std::string>{"ORD 0", "VIS 5", "BLK 0", "BLK 0", "Adatta 2 -1 -1",
                                               "Adatta -1 0 -1"}));
  EXPECT_EQ(std::count(traccia.begin(), traccia.end(), "Visualizza_Griglia"), 5);
}

}  // namespace
}  // namespace kyx::test
