// frmBase.Ridimensiona: the worked example at 96 DPI control by control, and sane arrangements at
// other sizes, ratios, resolutions and looks.
#include <QDir>
#include <QTest>

#include "tests/ui/ambiente_ui.h"

namespace kyx::test {
namespace {

QRect R(int l, int t, int w, int h) { return QRect(l, t, w, h); }
template <class W>
QRect G(const W* w) {
  return w->geometry();
}

class Disposizione : public AmbienteUi {
 protected:
  // The example's window: client 900 x 600, toolbar 30 high, status bar 20 high.
  FrmBase& Esempio(int16_t modo, double per_larghezza = 0.25, double per_altezza = 0.5) {
    FrmBase& f = Carica();
    f.resize(900, 600);
    f.Toolbar1->resize(f.Toolbar1->width(), 30);
    f.StatusBar1->resize(900, 20);
    Per_Larghezza = per_larghezza;
    Per_Altezza = per_altezza;
    Modo_Griglia = modo;
    f.Ridimensiona();
    return f;
  }
};

TEST_F(Disposizione, WorkedExampleAt96DpiInGridMode3) {
  FrmBase& f = Esempio(3);
  // Upper block, its tree, the splitters and the layout-order button.
  EXPECT_EQ(G(f.twL), R(5, 60, 222, 244));
  EXPECT_EQ(G(f.lblNS), R(3, 306, 226, 4));
  EXPECT_EQ(G(f.lblWE), R(229, 38, 4, 539));
  EXPECT_EQ(f.PicLayout->pos(), QPoint(210, 41));
  EXPECT_EQ(f.L_twL[0]->X1(), 3);  // block frame (3, 38, 225, 268)
  EXPECT_EQ(f.L_twL[0]->Y1(), 38);
  EXPECT_EQ(f.L_twL[1]->X2(), 228);
  EXPECT_EQ(f.L_twL[1]->Y2(), 306);
  EXPECT_EQ(f.L_twL[2]->Y1(), 305);
  EXPECT_EQ(f.L_twL[5]->X1(), 4 + 223);  // caption frame (4, 39, 223, 20)
  EXPECT_EQ(f.L_twL[6]->Y1(), 39 + 20 - 1);
  EXPECT_EQ(G(f.lbl_twL[0]), R(4, 42, 225, 15));
  EXPECT_EQ(G(f.lbl_twL[1]), R(5, 43, 225, 14));
  // Lower block (3, 310, 225, 267).
  EXPECT_EQ(G(f.twF), R(5, 332, 222, 243));
  EXPECT_EQ(f.L_twF[0]->Y1(), 310);
  EXPECT_EQ(f.L_twF[1]->Y2(), 577);
  // Right pane (233, 38, 663, 539), chart, its page bar and the decode panel.
  EXPECT_EQ(f.L_twE[0]->X1(), 233);
  EXPECT_EQ(f.L_twE[1]->X1(), 896);
  EXPECT_EQ(G(f.Grafico), R(235, 60, 660, 498));
  EXPECT_EQ(G(f.Scroll_G), R(235, 558, 660, 17));
  EXPECT_EQ(G(f.pnlDecod), R(695, 483, 197, 72));
  EXPECT_EQ(G(f.lblXDec), R(4, 20, 189, 16));
  EXPECT_EQ(f.L_Grd[1]->X1(), 196);
  // Grid and its scroll bars, no filter panel.
  EXPECT_EQ(G(f.Grid1), R(234, 59, 645, 500));
  EXPECT_EQ(G(f.Scroll_V), R(878, 60, 17, 498));
  EXPECT_EQ(G(f.Scroll_O), R(235, 558, 643, 17));
  EXPECT_FALSE(f.Flt_Toolbar->Visible());
  EXPECT_FALSE(f.Flt_txt[1]->Visible());
  EXPECT_FALSE(f.L_Flt[0]->Visible());
  EXPECT_TRUE(f.Grid1->Visible());
  EXPECT_FALSE(f.Grafico->Visible());
  // Logo at the top right, toolbar at (4, 4).
  EXPECT_EQ(f.Image1->pos(), QPoint(900 - 96 - 4, 0));
  EXPECT_EQ(f.Toolbar1->pos(), QPoint(4, 4));
  // The banner is centred on the grid.
  EXPECT_EQ(f.Beta->pos(), QPoint(234 + (645 - 360) / 2, 59 + (500 - 120) / 2));
}

TEST_F(Disposizione, WorkedExampleInGridMode1WithPlainAndDateKeys) {
  Operatore_Filtro = 1;
  FrmBase& f = Esempio(1);
  EXPECT_EQ(f.L_Flt[0]->X1(), 236);  // filter frame (236, 61, 657, 48)
  EXPECT_EQ(f.L_Flt[0]->Y1(), 61);
  EXPECT_EQ(f.L_Flt[1]->X1(), 893);
  EXPECT_EQ(f.L_Flt[1]->Y2(), 109);
  EXPECT_EQ(f.Flt_Toolbar->pos(), QPoint(239, 64));
  EXPECT_EQ(G(f.Grid1), R(234, 110, 645, 449));
  EXPECT_EQ(G(f.Scroll_V), R(878, 111, 17, 447));
  EXPECT_TRUE(f.Flt_Toolbar->Visible());
  EXPECT_TRUE(f.Flt_Pic[1]->Visible());
  EXPECT_FALSE(f.Flt_Pic[3]->Visible());
  EXPECT_TRUE(f.Flt_txt[1]->Visible());
  EXPECT_FALSE(f.Flt_txt[0]->Visible());
  EXPECT_FALSE(f.Flt_Data_pic[1]->Visible());
  EXPECT_EQ(f.Flt_Pic[1]->pos(), QPoint(239 + f.Flt_Toolbar->width(), 38 + 20 + 9));
  EXPECT_EQ(f.Flt_Pic[0]->y(), 67 + 16 + 4);
  EXPECT_EQ(f.Flt_txt[1]->x(), f.Flt_Pic[1]->x() + 16 + 3);
  EXPECT_EQ(f.Flt_txt[1]->width(), f.MonthView1->width());

  // A date key: the panel fills the pane; the grid is hidden and not moved.
  Tipo_Data_Chiave = 1;
  Operatore_Filtro = 3;
  f.Ridimensiona();
  EXPECT_EQ(f.L_Flt[2]->Y1(), 61 + (539 - 20 - 5) - 1);  // 2 pixels above the pane's bottom
  EXPECT_EQ(G(f.Grid1), R(234, 110, 645, 449));
  EXPECT_FALSE(f.Grid1->Visible());
  EXPECT_FALSE(f.Scroll_V->Visible());
  EXPECT_TRUE(f.Flt_Pic[3]->Visible());
  EXPECT_TRUE(f.Flt_Pic[0]->Visible());
  EXPECT_TRUE(f.Flt_txt[0]->Visible());
  EXPECT_TRUE(f.Flt_Data_pic[1]->Visible());
  EXPECT_TRUE(f.Flt_Data_pic[0]->Visible());
  Tipo_Data_Chiave = 2;
  f.Ridimensiona();
  EXPECT_FALSE(f.Flt_Data_pic[1]->Visible());

  // Read-only boxes while the filter type says so.
  Filtro_Stato_2 = true;
  f.Ridimensiona();
  EXPECT_TRUE(f.Flt_txt[1]->isReadOnly());
  EXPECT_TRUE(f.Flt_txt[0]->isReadOnly());
}

TEST_F(Disposizione, ChartReplacesTheGridAndBack) {
  FrmBase& f = Esempio(3);
  Grafico_Visibile = true;
  f.Ridimensiona();
  EXPECT_FALSE(f.Grid1->Visible());
  EXPECT_FALSE(f.Scroll_V->Visible());
  EXPECT_FALSE(f.Scroll_O->Visible());
  for (QWidget* w : std::initializer_list<QWidget*>{f.Grafico, f.Scroll_G, f.pnlDecod, f.lblX,
                                                    f.lblXDec, f.lblY, f.lblZ}) {
    EXPECT_FALSE(w->isHidden());
  }
  Grafico_Visibile = false;
  f.Ridimensiona();
  EXPECT_TRUE(f.Grid1->Visible());
  EXPECT_FALSE(f.pnlDecod->Visible());
}

TEST_F(Disposizione, NarrowLeftPaneIsWidenedAndTheShareKept) {
  FrmBase& f = Esempio(3, 0.05);
  EXPECT_DOUBLE_EQ(Per_Larghezza, 77.0 / 900);
  EXPECT_EQ(f.twL->width(), 77 - 3);
  EXPECT_EQ(f.lblWE->x(), 3 + 77 + 1);
}

TEST_F(Disposizione, FlatLookUndocksTheStatusBarAndWidensCaptions) {
  Aspetto = 2;
  Aspetto_Piatto = 1;
  FrmBase& f = Esempio(3);
  EXPECT_EQ(f.StatusBar1->Align(), ui::vbAlignNone);
  EXPECT_EQ(G(f.StatusBar1), R(0, 580, 900, 20));
  EXPECT_EQ(f.L_twL[5]->X1(), 4 + 224);
}

TEST_F(Disposizione, FirstLayoutRevealsTheChromeLaterOnesLeaveIt) {
  FrmBase& f = Carica();
  EXPECT_EQ(Stato_Ridimensiona, 0);
  EXPECT_TRUE(f.twL->isHidden());
  f.Ridimensiona();
  EXPECT_EQ(Stato_Ridimensiona, -1);
  EXPECT_FALSE(f.twL->isHidden());
  EXPECT_FALSE(f.lblNS->isHidden());
  EXPECT_FALSE(f.L_twE[7]->isHidden());
  EXPECT_FALSE(f.lbl_twF[1]->isHidden());
  f.twL->SetVisible(false);  // a tree builder hides its tree while it fills it
  f.Ridimensiona();
  EXPECT_TRUE(f.twL->isHidden());
}

TEST_F(Disposizione, OtherSizesRatiosResolutionsAndLooksStayInside) {
  struct Caso {
    int w, h;
    double tpx, per_l, per_a;
    int aspetto;
    int16_t modo;
  };
  const Caso casi[] = {
      {630, 400, 15, 0.25, 0.5, 1, 3}, {1600, 1000, 15, 0.5, 0.1, 1, 1},
      {788, 500, 12, 0.3, 0.9, 2, 1},  {1200, 800, 10, 0.11, 0.33, 2, 3},
      {2500, 1400, 15, 0.4, 0.7, 1, 2},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " tpx " << c.tpx << " look "
                                    << c.aspetto);
    delete frmBase.peek();
    stato_finestra::reset();
    FrmBase& f = Carica();
    Twips_Pixel_X = Twips_Pixel_Y = c.tpx;
    Pixel_255_X = Pixel_255_Y = ui::round_even(255 / c.tpx);
    Aspetto = c.aspetto;
    Aspetto_Piatto = c.aspetto == 2 ? 1 : 0;
    Per_Larghezza = c.per_l;
    Per_Altezza = c.per_a;
    Modo_Griglia = c.modo;
    f.resize(c.w, c.h);
    f.Ridimensiona();
    const QRect client = f.rect();
    const int bottom = c.h - f.StatusBar1->height();
    for (QWidget* w : std::initializer_list<QWidget*>{f.twL, f.twF, f.Grid1, f.Scroll_V, f.Scroll_O,
                                                      f.Grafico, f.Scroll_G, f.pnlDecod}) {
      EXPECT_TRUE(client.contains(w->geometry())) << w->metaObject()->className();
      EXPECT_LE(w->geometry().bottom(), bottom);
      EXPECT_GT(w->width(), 0);
      EXPECT_GT(w->height(), 0);
    }
    // Left pane, splitter, right pane side by side; the trees stacked.
    EXPECT_LT(f.twL->geometry().right(), f.lblWE->x());
    EXPECT_LT(f.lblWE->geometry().right(), f.Grid1->x());
    EXPECT_LT(f.twL->geometry().bottom(), f.twF->y());
    EXPECT_LE(f.Grid1->geometry().right(), f.Scroll_V->x());
    EXPECT_GE(f.twL->width() + 3, 77 - 1);
  }
}

TEST_F(Disposizione, ScreenshotOfTheLoadedWindow) {
  Nome_Utente = "ROSSI";
  Descrizione_Sistema = "Statistiche vendite";
  Messaggio_Avvio = "\r\n\r\nBuon lavoro\r\n\r\n";
  Messaggio_Presente = true;
  agganci_base::Carica_Albero_Struttura = [] {
    auto& t = *frmBase->twL;
    t.Add("", ui::tvwLast, "A001", "Vendite", "Gruppi");
    t.Add("A001", ui::tvwChild, "A001K001L001", "Fatturato per agente", "Esegui");
    t.Nodes("A001").SetExpanded(true);
  };
  agganci_base::Carica_Albero_Chiavi = [] {
    auto& t = *frmBase->twF;
    t.Add("", ui::tvwLast, "K001", "Agente", "Chiavi");
    t.Add("", ui::tvwLast, "K002", "Periodo", "Chiavi");
  };
  FrmBase& f = Carica();
  f.Grid1->SetRows(4);
  f.Grid1->SetCols(3);
  f.Grid1->SetFixedRows(1);
  f.Grid1->SetTextMatrix(0, 1, "Agente");
  f.Grid1->SetTextMatrix(0, 2, "Fatturato");
  f.Grid1->SetTextMatrix(1, 1, "Bianchi");
  f.Grid1->SetTextMatrix(1, 2, "12.500,00");
  f.Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  f.resize(900, 600);
  QApplication::processEvents();
  f.lbl_twE[0]->setText("Risultato");
  f.lbl_twE[1]->setText("Risultato");
  const QImage shot = f.grab().toImage();
  ASSERT_FALSE(shot.isNull());
  EXPECT_TRUE(shot.save(QString(KYX_UI_SHOT_DIR) + "/frm_base.png"));
}

}  // namespace
}  // namespace kyx::test
