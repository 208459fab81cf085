// The wheel and the pointer over the main window, with real Qt input events delivered to the
// widget under the pointer: the wheel moves the grid's or the chart's own bar or leaves the tree
// under it to scroll itself; the layout-order button lights, sinks, switches the structure tree's
// order and goes dark again; the splitter bars follow the drag within their limits and store
// their shares, which shut-down writes.
#include <QTest>
#include <QWheelEvent>

#include "platform/ui/colours.h"
#include "tests/ui/ambiente_struttura.h"
#include "ui/impostazioni_generali.h"

namespace kyx::test {
namespace {

// The main window of the layout example: client 900 x 600, toolbar 30, status bar 20, shown and
// active so that the focus can move.
FrmBase& Finestra(int larghezza = 900) {
  FrmBase& f = *frmBase;
  f.resize(larghezza, 600);
  f.Toolbar1->resize(f.Toolbar1->width(), 30);
  f.StatusBar1->resize(larghezza, 20);
  f.Ridimensiona();
  f.Show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(&f));
  f.activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(&f));
  return f;
}

// The widget a pointer event at client point p of the main window goes to.
QWidget* Sotto(FrmBase& f, QPoint p) {
  QWidget* w = f.childAt(p);
  return w ? w : &f;
}

// One wheel turn at client point p (delta in eighths of a degree, 120 a notch).
void Ruota(FrmBase& f, QPoint p, int delta, Qt::KeyboardModifiers tasti = {}, Qt::MouseButtons pulsanti = {}) {
  QWidget* w = Sotto(f, p);
  QWheelEvent e(QPointF(w->mapFrom(&f, p)), QPointF(f.mapToGlobal(p)), QPoint(), QPoint(0, delta), pulsanti, tasti,
                Qt::NoScrollPhase, false);
  QApplication::sendEvent(w, &e);
}

// A pointer move with no button held, at client point p of the main window.
void Muovi(FrmBase& f, QPoint p) {
  QWidget* w = Sotto(f, p);
  QMouseEvent e(QEvent::MouseMove, QPointF(w->mapFrom(&f, p)), QPointF(f.mapToGlobal(p)), Qt::NoButton,
                Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

bool Ha_Fuoco(QWidget* w) {
  QWidget* fuoco = QApplication::focusWidget();
  return fuoco && (fuoco == w || w->isAncestorOf(fuoco));
}

QPoint Centro(const QWidget* w) { return w->geometry().center(); }

void Barra(ui::VbScrollBar& b, int32_t min, int32_t max, int32_t valore, bool attiva = true) {
  b.SetMin(min);
  b.SetMax(max);
  b.SetValue(valore);
  b.SetEnabled(attiva);
}

using Rotella = AmbienteUi;

TEST_F(Rotella, OverTheGridTheWheelMovesItsBarOnlyWithinTheRange) {
  FrmBase& f = Finestra();
  ASSERT_TRUE(f.Grid1->Visible());
  struct Caso {
    const char* nome;
    int delta;
    Qt::KeyboardModifiers tasti;
    Qt::MouseButtons pulsanti;
    int32_t v, o;  // Scroll_V and Scroll_O before
    bool attiva;
    int32_t v_dopo, o_dopo;
  };
  const Caso casi[] = {
      {"a notch away", 120, {}, {}, 10, 5, true, 9, 5},
      {"a notch towards", -120, {}, {}, 10, 5, true, 11, 5},
      {"two notches towards", -240, {}, {}, 10, 5, true, 12, 5},
      {"half a notch", 60, {}, {}, 10, 5, true, 10, 5},
      {"shift: sideways", 120, Qt::ShiftModifier, {}, 10, 5, true, 10, 4},
      {"ctrl: sideways", -120, Qt::ControlModifier, {}, 10, 5, true, 10, 6},
      {"left button held: sideways", 120, {}, Qt::LeftButton, 10, 5, true, 10, 4},
      {"at Min, away", 120, {}, {}, 0, 5, true, 0, 5},
      {"at Max, towards", -120, {}, {}, 50, 5, true, 50, 5},
      {"three notches past Min", 360, {}, {}, 2, 5, true, 2, 5},
      {"disabled bar", 120, {}, {}, 10, 5, false, 10, 5},
  };
  for (const Caso& c : casi) {
    Barra(*f.Scroll_V, 0, 50, c.v, c.attiva);
    Barra(*f.Scroll_O, 0, 20, c.o);
    Prima_Riga = c.v;
    f.twL->SetFocus();
    Ruota(f, Centro(f.Grid1), c.delta, c.tasti, c.pulsanti);
    EXPECT_EQ(f.Scroll_V->Value(), c.v_dopo) << c.nome;
    EXPECT_EQ(f.Scroll_O->Value(), c.o_dopo) << c.nome;
    EXPECT_TRUE(Ha_Fuoco(f.Grid1)) << c.nome;
  }
  // The bar's change handling runs: the page starts at the new value.
  Barra(*f.Scroll_V, 0, 50, 10);
  Ruota(f, Centro(f.Grid1), -120);
  EXPECT_EQ(Prima_Riga, 11);
  // Over the bar itself it moves by the notches, not by its own steps as well.
  Ruota(f, Centro(f.Scroll_V), 120);
  EXPECT_EQ(f.Scroll_V->Value(), 10);
  Ruota(f, Centro(f.Scroll_O), -120, Qt::ShiftModifier);
  EXPECT_EQ(f.Scroll_O->Value(), 6);
}

TEST_F(Rotella, OverTheChartTheKeysAreIgnoredAndItsBarMoves) {
  FrmBase& f = Finestra();
  Grafico_Visibile = true;
  f.Ridimensiona();
  ASSERT_FALSE(f.Grid1->Visible());
  ASSERT_TRUE(f.Grafico->Visible());
  // The chart's own redisplay (which needs a result) is replaced by a count of the bar's changes.
  int cambi = 0;
  f.Scroll_G->Change = [&] { ++cambi; };
  Barra(*f.Scroll_G, 0, 20, 5);
  Barra(*f.Scroll_V, 0, 50, 10);
  cambi = 0;
  Ruota(f, Centro(f.Grafico), 120, Qt::ShiftModifier);
  EXPECT_EQ(f.Scroll_G->Value(), 4);
  EXPECT_EQ(cambi, 1);
  EXPECT_EQ(f.Scroll_V->Value(), 10);
  EXPECT_TRUE(Ha_Fuoco(f.Grafico));
  Ruota(f, Centro(f.Scroll_G), -240);
  EXPECT_EQ(f.Scroll_G->Value(), 6);
  Ruota(f, Centro(f.Grafico), 120 * 7);
  EXPECT_EQ(f.Scroll_G->Value(), 6) << "past Min: nothing moves";
  EXPECT_EQ(cambi, 2);
  // The redisplay hides the chart while it is rebuilt: the turn still moves the bar only once.
  f.Scroll_G->Change = [&] {
    ++cambi;
    f.Grafico->SetVisible(false);
  };
  Ruota(f, Centro(f.Scroll_G), -120);
  EXPECT_EQ(f.Scroll_G->Value(), 7);
}

TEST_F(Rotella, OverATreeTheTreeTakesTheFocusAndScrollsItselfAndBetweenThePanelsNothingHappens) {
  FrmBase& f = Finestra();
  for (int i = 0; i < 200; ++i) {
    f.twL->Add("", ui::tvwLast, "N" + std::to_string(i), "Nodo " + std::to_string(i));
    f.twF->Add("", ui::tvwLast, "N" + std::to_string(i), "Nodo " + std::to_string(i));
  }
  Barra(*f.Scroll_V, 0, 50, 10);
  for (ui::KeyedTree* t : {f.twL, f.twF}) {
    f.Grid1->SetFocus();
    QScrollBar* barra_albero = t->view()->verticalScrollBar();
    barra_albero->setValue(0);
    Ruota(f, Centro(t), -120);
    EXPECT_TRUE(Ha_Fuoco(t));
    EXPECT_GT(barra_albero->value(), 0) << "the tree scrolls itself";
    EXPECT_EQ(f.Scroll_V->Value(), 10);
  }
  // The splitters lie outside every panel's frame: the bar between the trees and the one beside
  // the result area.
  const QPoint tra_alberi(f.lblNS->x() + 50, f.lblNS->y() + 2);
  ASSERT_LT(f.L_twL[3]->Y2(), tra_alberi.y());
  ASSERT_GT(f.L_twF[3]->Y1(), tra_alberi.y());
  const QPoint accanto(f.lblWE->x() + 2, f.lblWE->y() + 100);
  ASSERT_LT(f.L_twL[0]->X2(), accanto.x());
  ASSERT_GT(f.L_twE[0]->X1(), accanto.x());
  for (const QPoint& sbarra : {tra_alberi, accanto}) {
    f.Grid1->SetFocus();
    Ruota(f, sbarra, 120);
    EXPECT_TRUE(Ha_Fuoco(f.Grid1)) << sbarra.x() << "," << sbarra.y();
    EXPECT_EQ(f.Scroll_V->Value(), 10);
  }
}

// ---- The layout-order button -------------------------------------------------------------------

// The colour of a system colour as the picture holds it.
int64_t Colore(uint32_t ole) { return ui::qcolor_to_ole(ui::ole_to_qcolor(ole)); }

class Pulsante_Ordine : public AmbienteStruttura {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Apri_MDB0(false));
    Area(5, "VEN", "Vendite", "01");
    Chiave(1, "K", 3, "Agente", "01");
    Layout(4, "Per agente", "01");
    Struttura(5, 1, 4);
    agganci_base::Carica_Albero_Struttura = [] { frmBase->Carica_Albero_Struttura(); };
    sfondo = Colore(static_cast<uint32_t>(Colore_Sfondo));
    luce = Colore(0x80000014);
    ombra = Colore(0x80000010);
    scura = Colore(0x80000015);
    ASSERT_NE(luce, ombra);
    ASSERT_NE(sfondo, scura);
  }
  int64_t P(int x, int y) const { return frmBase->PicLayout->Point(static_cast<float>(x), static_cast<float>(y)); }
  // Frame pixels: corners, a point along each side; then the triangle's corners and diagonal.
  std::vector<int64_t> Cornice() const { return {P(0, 0), P(15, 0), P(0, 15), P(15, 15), P(7, 0), P(0, 7), P(7, 15), P(15, 7)}; }
  std::vector<int64_t> Triangolo() const { return {P(11, 4), P(4, 11), P(7, 7), P(4, 4), P(11, 11), P(3, 3), P(12, 12)}; }

  int64_t sfondo = 0, luce = 0, ombra = 0, scura = 0;
};

TEST_F(Pulsante_Ordine, EachLookDrawsItsFrameAndTheTriangleOfTheOrder) {
  FrmBase& f = Carica();
  struct Caso {
    int16_t ordine, stato;
    std::vector<int64_t> cornice, triangolo;
  };
  const int64_t s = sfondo, l = luce, o = ombra, k = scura;
  const Caso casi[] = {
      {0, 0, {s, s, s, s, s, s, s, s}, {s, k, k, k, k, s, s}},
      {1, 0, {s, s, s, s, s, s, s, s}, {k, s, k, k, k, s, s}},
      {0, 1, {l, o, o, o, l, l, o, o}, {s, k, k, k, k, s, s}},
      {1, 2, {o, l, l, l, o, o, l, l}, {k, s, k, k, k, s, s}},
      {7, 1, {l, o, o, o, l, l, o, o}, {k, s, k, k, k, s, s}},  // any order but 0 draws as 1
  };
  for (const Caso& c : casi) {
    Ordinamento_Layout = c.ordine;
    Stato_PicLayout = -1;
    f.Pic_Layout_Set(c.stato);
    EXPECT_EQ(Stato_PicLayout, c.stato);
    EXPECT_EQ(Cornice(), c.cornice) << c.ordine << " " << c.stato;
    EXPECT_EQ(Triangolo(), c.triangolo) << c.ordine << " " << c.stato;
  }
  // The look it has already: nothing is drawn, even though the order changed meanwhile.
  Ordinamento_Layout = 0;
  f.Pic_Layout_Set(1);
  EXPECT_EQ(Triangolo(), (std::vector<int64_t>{k, s, k, k, k, s, s}));
}

TEST_F(Pulsante_Ordine, PointerAndButtonsLightSinkAndSwitchTheTreeAndAMoveAwayEndsTheHighlight) {
  Chiave_Layout = "A005K001L004";
  FrmBase& f = Finestra();
  ASSERT_TRUE(Hook_Installato);
  ASSERT_EQ(Stato_PicLayout, 0);
  ASSERT_TRUE(f.twL->Exists("A005K001L004"));
  ui::PictureCanvas* b = f.PicLayout;
  const QPoint dentro(b->x() + 8, b->y() + 8);

  Muovi(f, dentro);
  EXPECT_EQ(Stato_PicLayout, 1);
  EXPECT_EQ(P(0, 0), luce);
  QTest::mousePress(b, Qt::LeftButton, {}, QPoint(8, 8));
  EXPECT_EQ(Stato_PicLayout, 2);
  EXPECT_EQ(P(0, 0), ombra);
  // Moving with the button still held lights it again rather than keeping it pressed.
  QTest::mouseMove(b, QPoint(9, 9));
  EXPECT_EQ(Stato_PicLayout, 1);
  QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(9, 9));
  EXPECT_EQ(Ordinamento_Layout, 1);
  EXPECT_EQ(Chiave_Layout, "L004A005K001");
  EXPECT_TRUE(f.twL->Exists("L004A005K001"));
  EXPECT_FALSE(f.twL->Exists("A005"));
  // Redrawn by the rebuild in the look it had, with the new triangle.
  EXPECT_EQ(Stato_PicLayout, 1);
  EXPECT_EQ(P(11, 4), scura);
  EXPECT_EQ(P(4, 11), sfondo);

  // A plain click: it stays pressed after the release, and the order comes back.
  QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, 8));
  EXPECT_EQ(Ordinamento_Layout, 0);
  EXPECT_EQ(Chiave_Layout, "A005K001L004");
  EXPECT_TRUE(f.twL->Exists("A005K001L004"));
  EXPECT_EQ(Stato_PicLayout, 2);
  EXPECT_EQ(P(4, 11), scura);

  // On the button's own edge nothing changes; on the window's surface just right of it (over the
  // caption, which is part of that surface) the button goes plain.
  const QPoint bordo(b->x() + b->width(), b->y() + 5);
  Muovi(f, bordo);
  EXPECT_EQ(Stato_PicLayout, 2);
  const QPoint fuori(bordo.x() + 1, bordo.y());
  ASSERT_EQ(Sotto(f, fuori), &f);
  Muovi(f, fuori);
  EXPECT_EQ(Stato_PicLayout, 0);
  EXPECT_EQ(P(0, 0), sfondo);
  EXPECT_EQ(P(4, 11), scura);
}

TEST_F(Pulsante_Ordine, TheSwitchTurnsTheLayoutKeyRoundForAnyOrderAndKeepsABlankKey) {
  FrmBase& f = Finestra();
  struct Caso {
    int16_t ordine;
    std::string chiave;
    int16_t ordine_dopo;
    std::string chiave_dopo;
  };
  const Caso casi[] = {
      {0, "A005K001L004", 1, "L004A005K001"},
      {1, "L004A005G002", 0, "A005G002L004"},
      {0, "   ", 1, "   "},
      {1, "", 0, ""},
      {3, "A001I002L003", 1, "L003A001I002"},  // an unknown order counts as areas first
  };
  for (const Caso& c : casi) {
    Ordinamento_Layout = c.ordine;
    Chiave_Layout = c.chiave;
    QTest::mouseClick(f.PicLayout, Qt::RightButton, {}, QPoint(3, 3));
    EXPECT_EQ(Ordinamento_Layout, c.ordine_dopo) << c.chiave;
    EXPECT_EQ(Chiave_Layout, c.chiave_dopo) << c.chiave;
    EXPECT_EQ(f.twL->Nodes(1).Key(), c.ordine_dopo == 1 ? "L004" : "A005") << c.chiave;
  }
}

// ---- Splitter bars ----------------------------------------------------------------------------

class Barre : public AmbienteUi {
 protected:
  // Drags `barra` with the left button from the point `da` (inside the bar) through `passi`
  // (screen offsets from the press), releasing at the last one; each step reports the bar's
  // position.
  static std::vector<int> Trascina(ui::PictureCanvas* barra, QPoint da, const std::vector<QPoint>& passi, bool verticale,
                                   Qt::MouseButton pulsante = Qt::LeftButton) {
    const QPoint schermo = barra->mapToGlobal(da);
    QTest::mousePress(barra, pulsante, {}, da);
    std::vector<int> posti;
    for (const QPoint& d : passi) {
      QTest::mouseMove(barra, barra->mapFromGlobal(schermo + d));
      posti.push_back(verticale ? barra->y() : barra->x());
    }
    const QPoint ultimo = passi.empty() ? QPoint() : passi.back();
    QTest::mouseRelease(barra, pulsante, {}, barra->mapFromGlobal(schermo + ultimo));
    return posti;
  }
  static std::string Riga_Ini(const std::string& ini, const std::string& chiave) {
    const auto p = ini.find("\r\n" + chiave + "=");
    if (p == std::string::npos) return "<manca>";
    const auto inizio = p + 2 + chiave.size() + 1;
    return ini.substr(inizio, ini.find("\r\n", inizio) - inizio);
  }
};

TEST_F(Barre, TheHorizontalBarFollowsTheDragWithinItsLimitsAndStoresTheTreeShare) {
  FrmBase& f = Finestra();
  ASSERT_EQ(f.ScaleHeight(), 600);
  ASSERT_EQ(f.L_twL[0]->Y1(), 38);
  ASSERT_EQ(f.lblNS->y(), 306);
  // The bar's top stays strictly between 38 + 54.4 and 600 - 26 - 54.4.
  const int t = 306;
  const std::vector<int> posti =
      Trascina(f.lblNS, QPoint(20, 2),
               {{0, -100}, {0, 93 - t}, {0, 92 - t}, {0, 60 - t}, {0, 150 - t}, {0, 519 - t}, {0, 520 - t}, {0, 240 - t}},
               true);
  EXPECT_EQ(posti, (std::vector<int>{206, 93, 93, 93, 150, 519, 519, 240}));
  EXPECT_EQ(f.lblNS->BackColor(), static_cast<uint32_t>(Colore_Sfondo));
  EXPECT_DOUBLE_EQ(Per_Altezza, (240.0 - 38 + 2) / 544);
  // Laid out again from the share.
  EXPECT_EQ(f.lblNS->y(), 38 + ui::round_even(539 * Per_Altezza - 2));
  EXPECT_EQ(f.twF->y(), f.lblNS->y() + 4 + 22);

  // While held the bar is dark; the right button lights it but does not drag it, and its release
  // stores the place again.
  QTest::mousePress(f.lblNS, Qt::RightButton, {}, QPoint(20, 2));
  EXPECT_EQ(f.lblNS->BackColor(), 0x80000015u);
  const int y = f.lblNS->y();
  QTest::mouseMove(f.lblNS, QPoint(20, -50));
  EXPECT_EQ(f.lblNS->y(), y);
  QTest::mouseRelease(f.lblNS, Qt::RightButton, {}, QPoint(20, -50));
  EXPECT_DOUBLE_EQ(Per_Altezza, (y - 38.0 + 2) / 544);

  // A share outside 0.1 .. 0.9 is brought back to its bound.
  for (const auto& [cima, quota] : std::vector<std::pair<int, double>>{{40, 0.1}, {560, 0.9}}) {
    f.lblNS->SetTop(cima);
    QTest::mouseRelease(f.lblNS, Qt::LeftButton, {}, QPoint(20, 2));
    EXPECT_DOUBLE_EQ(Per_Altezza, quota) << cima;
  }
}

TEST_F(Barre, TheVerticalBarKeepsTheLeftPanelBetweenItsLeastWidthAndHalfTheWindowAndShutDownWritesBoth) {
  FrmBase& f = Finestra(1000);
  ASSERT_EQ(f.ScaleWidth(), 1000);
  ASSERT_EQ(f.lblWE->x(), 254);
  // Pressed 2 pixels into the bar, its left edge stays strictly between 82 and 496.
  const int l = 254;
  const std::vector<int> posti =
      Trascina(f.lblWE, QPoint(2, 100), {{83 - l, 0}, {82 - l, 0}, {495 - l, 0}, {496 - l, 0}, {400 - l, 0}}, false);
  EXPECT_EQ(posti, (std::vector<int>{83, 83, 495, 495, 400}));
  EXPECT_DOUBLE_EQ(Per_Larghezza, 0.396);
  EXPECT_EQ(f.lblWE->x(), 400);
  EXPECT_EQ(f.Grid1->x(), 3 + 396 + 5 + 1);

  struct Caso {
    int sinistra;
    double quota;
  };
  for (const Caso c : {Caso{54, 0.077}, Caso{600, 0.5}}) {
    f.lblWE->SetLeft(c.sinistra);
    QTest::mouseRelease(f.lblWE, Qt::LeftButton, {}, QPoint(2, 100));
    EXPECT_DOUBLE_EQ(Per_Larghezza, c.quota) << c.sinistra;
  }

  Trascina(f.lblWE, QPoint(1, 50), {{-60, 0}}, false);
  Trascina(f.lblNS, QPoint(20, 1), {{0, -100}}, true);
  const double altezza = Per_Altezza, larghezza = Per_Larghezza;
  EXPECT_NE(altezza, 0.5);
  Fine_Programma();
  const std::string ini = dir.read("KYX.INI");
  EXPECT_EQ(Riga_Ini(ini, "per_altezza"), vb::Format(altezza, "0.000000000000"));
  EXPECT_EQ(Riga_Ini(ini, "per_larghezza"), vb::Format(larghezza, "0.000000000000"));
}

}  // namespace
}  // namespace kyx::test
