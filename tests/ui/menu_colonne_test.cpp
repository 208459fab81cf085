// The column chooser: the toolbar button "Colonne" opens it at the pointer listing the columns
// that may be shown; a click on one shows or hides it in the grid at once and stores the choice
// with the elaboration; a press on the main window closes it.
#include <QTreeWidget>
#include <algorithm>

#include "platform/ui/vb_events.h"
#include "tests/ui/ambiente_schede.h"
#include "ui/frm_menu_colonne.h"

namespace kyx::test {
namespace {

class MenuColonne : public AmbienteSchede {
 protected:
  // A real left click on the toolbar button "Colonne" with the pointer at (x, y) of the window.
  void Apri(int x = 300, int y = 200) {
    Puntatore(x, y);
    ui::ToolbarButton& b = f.Toolbar1->Buttons("Colonne");
    const QPoint p(static_cast<int>(b.Left()) + 5, static_cast<int>(b.Top()) + 5);
    QTest::mousePress(f.Toolbar1, Qt::LeftButton, {}, p);
    QTest::mouseRelease(f.Toolbar1, Qt::LeftButton, {}, p);
  }
  // A real click on a node's label.
  static void Clic(const std::string& chiave) {
    ui::KeyedTree& t = *frmMenuColonne->twCol;
    ui::TreeNode& n = t.Nodes(chiave);
    n.EnsureVisible();
    QApplication::processEvents();
    const QPoint p = t.view()->viewport()->mapFrom(&t, t.NodeRect(n).center());
    QTest::mouseClick(t.view()->viewport(), Qt::LeftButton, {}, p);
  }
  // The list as "key text image" lines.
  static std::vector<std::string> Nodi() {
    std::vector<std::string> out;
    const ui::KeyedTree& t = *frmMenuColonne->twCol;
    for (int i = 1; i <= t.Count(); ++i) {
      ui::TreeNode& n = const_cast<ui::KeyedTree&>(t).Nodes(i);
      out.push_back(n.Key() + " " + n.Text() + " " + n.Image());
    }
    return out;
  }
};

TEST_F(MenuColonne, TheToolbarButtonOpensTheListAtThePointer) {
  Risultato(5);
  Col_Visibile[2] = 1;
  Col_Visibile[3] = 0;
  Apri(300, 200);
  ASSERT_TRUE(frmMenuColonne.Loaded());
  FrmMenuColonne& m = *frmMenuColonne;
  EXPECT_TRUE(m.isVisible());
  EXPECT_FALSE(f.Enabled());
  EXPECT_TRUE(Form_Aperto[1]);
  EXPECT_EQ(m.Caption(), " Colonne da visualizzare");
  // The row key and the never-shown column are not listed; headings on one line.
  EXPECT_EQ(Nodi(), (std::vector<std::string>{"C001 Titolo 1 Colonna", "C002 Titolo 2 Colonna1",
                                              "C004 Titolo 4 Colonna"}));
  const QPoint s = f.mapToGlobal(QPoint(300, 200));
  EXPECT_DOUBLE_EQ(m.Left(), (s.x() - 14) * 15.0);
  EXPECT_DOUBLE_EQ(m.Top(), (s.y() - 14) * 15.0);
  // Four lines (three nodes and one more), the frame (title bar and one border) and 255 twips;
  // 5100 twips wide.
  const int riga = m.twCol->view()->sizeHintForRow(0);
  const QRect esterno = m.frameGeometry();
  const int cornice = esterno.height() - m.height() - (esterno.width() - m.width()) / 2;
  EXPECT_NEAR(m.Height(), (riga * 4 + cornice + Pixel_255_X) * 15.0, 15);
  EXPECT_DOUBLE_EQ(m.Width(), 5100);
  EXPECT_EQ(m.twCol->geometry(), QRect(6, 6, m.ScaleWidth() - 11, m.ScaleHeight() - 12));

  QTest::mousePress(f.Grid1, Qt::LeftButton, {}, QPoint(30, 30));
  EXPECT_FALSE(frmMenuColonne.Loaded());
  EXPECT_FALSE(Form_Aperto[1]);
  QTest::mouseRelease(f.Grid1, Qt::LeftButton, {}, QPoint(30, 30));
  EXPECT_TRUE(f.Enabled());
}

TEST_F(MenuColonne, AClickShowsOrHidesTheColumnAndStoresIt) {
  Risultato(5);
  Col_Visibile[2] = 1;
  Visualizza_Griglia();
  EXPECT_EQ(f.Grid1->ColWidth(2), 0);
  Apri();
  Clic("C002");
  EXPECT_EQ(Col_Visibile[2], 2);
  EXPECT_EQ(frmMenuColonne->twCol->Nodes("C002").Image(), "Colonna");
  EXPECT_EQ(f.Grid1->ColWidth(2), 1200) << "the grid shows it at once";
  EXPECT_TRUE(frmMenuColonne->isVisible()) << "the list stays open";
  EXPECT_FALSE(f.Enabled());
  EXPECT_FALSE(frmMenuColonne->twCol->Nodes("C002").Selected());
  EXPECT_EQ(std::count(traccia.begin(), traccia.end(), "Visualizza_Grafico"), 0);
  // With the chart shown, the chart follows the grid.
  Grafico_Visibile = true;
  Clic("C004");
  EXPECT_EQ(std::count(traccia.begin(), traccia.end(), "Visualizza_Grafico"), 1);
  EXPECT_EQ(Col_Visibile[4], 1);
  EXPECT_EQ(frmMenuColonne->twCol->Nodes("C004").Image(), "Colonna1");
  EXPECT_EQ(f.Grid1->ColWidth(4), 0);
  EXPECT_EQ(salvati, (std::vector<std::string>{"VIS 2", "VIS 4"}));
  frmMenuColonne->Unload(ui::vbFormControlMenu);
  EXPECT_TRUE(f.Enabled());

  // The last shown column stays shown: its click changes nothing.
  for (int c = 0; c <= 4; ++c) Col_Visibile[c] = c == 3 ? 2 : 1;
  salvati.clear();
  Apri();
  Clic("C003");
  EXPECT_EQ(Col_Visibile[3], 2);
  EXPECT_EQ(frmMenuColonne->twCol->Nodes("C003").Image(), "Colonna");
  EXPECT_TRUE(salvati.empty());
  frmMenuColonne->Unload(ui::vbFormControlMenu);
}

TEST_F(MenuColonne, InAListTheKeyColumnIsListedAndNothingIsStored) {
  Risultato(5, 1);
  Apri();
  ASSERT_TRUE(frmMenuColonne.Loaded());
  EXPECT_EQ(frmMenuColonne->twCol->Count(), 5);
  EXPECT_EQ(frmMenuColonne->twCol->Nodes(1).Key(), "C000");
  Clic("C001");
  EXPECT_EQ(Col_Visibile[1], 1);
  EXPECT_TRUE(salvati.empty());
}

TEST_F(MenuColonne, ASingleRecordOpensNothingAndManyColumnsFitTheWindow) {
  Risultato(1);
  Apri();
  EXPECT_FALSE(frmMenuColonne.Loaded());
  EXPECT_FALSE(Form_Aperto[1]);
  EXPECT_TRUE(f.Enabled());

  Risultato(3);
  Numero_Colonne = 200;
  for (int c = 5; c <= 200; ++c) {
    Col_Visibile[c] = 2;
    Col_Intestazione[c] = "X";
  }
  Apri();
  ASSERT_TRUE(frmMenuColonne.Loaded());
  EXPECT_EQ(frmMenuColonne->twCol->Count(), 200);
  EXPECT_DOUBLE_EQ(frmMenuColonne->Height(), f.Height() - 810);
}

}  // namespace
}  // namespace kyx::test
