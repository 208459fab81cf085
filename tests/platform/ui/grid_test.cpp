#include <gtest/gtest.h>

#include <QTest>

#include "platform/ui/colours.h"
#include "platform/ui/flex_grid.h"
#include "platform/ui/key_error.h"
#include "platform/ui/units.h"
#include "platform/ui/vb_scroll_bar.h"

namespace kyx::ui {
namespace {

class GridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    set_twips_per_pixel(15, 15);
    host.resize(420, 300);
    grid = new FlexGrid(&host);
    grid->Move(0, 0, 400, 280);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
  }
  void TearDown() override { set_twips_per_pixel(0, 0); }
  QWidget host;
  FlexGrid* grid = nullptr;
};

TEST_F(GridTest, TextMatrixRowsColsRoundTripAndBadSubscripts) {
  grid->SetCols(4);
  grid->SetRows(3);
  grid->SetTextMatrix(0, 3, "Importo|Euro");
  grid->SetTextMatrix(2, 1, "Citt\xE0");
  EXPECT_EQ(grid->TextMatrix(0, 3), "Importo|Euro");
  EXPECT_EQ(grid->TextMatrix(2, 1), "Citt\xE0");
  grid->AddItem("K1\tuno\tdue\t1.234,5");
  EXPECT_EQ(grid->Rows(), 4);
  EXPECT_EQ(grid->TextMatrix(3, 3), "1.234,5");
  // Growing keeps the cells; shrinking drops the ones past the end.
  grid->SetCols(6);
  EXPECT_EQ(grid->TextMatrix(2, 1), "Citt\xE0");
  EXPECT_EQ(grid->TextMatrix(2, 5), "");
  grid->SetRows(2);
  EXPECT_THROW(grid->TextMatrix(2, 1), KeyError);
  EXPECT_THROW(grid->SetTextMatrix(0, 6, "x"), KeyError);
  EXPECT_THROW(grid->TextMatrix(-1, 0), KeyError);
  grid->Clear();
  EXPECT_EQ(grid->TextMatrix(0, 3), "");
  EXPECT_EQ(grid->Rows(), 2);
  // Dropping the fixed column brings column 0 back into view.
  grid->SetFixedCols(0);
  EXPECT_EQ(grid->LeftCol(), 0);
  grid->SetColWidth(0, 300);
  grid->SetTextMatrix(1, 0, "K");
  EXPECT_EQ(grid->MouseCol(), 0);
  // The system's measuring trick: 0 rows, then 13, then read the first row's height.
  grid->SetRows(0);
  grid->SetRows(13);
  EXPECT_GT(grid->RowHeight(0), 0);
}

TEST_F(GridTest, WidthsInTwipsArePixelsAtTheScreenScaleAndDoNotDrift) {
  grid->SetCols(3);
  grid->SetColWidth(0, 1500);  // 100 px at 15 twips per pixel
  grid->SetColWidth(1, 1000);  // 66.67 px: drawn 67 px wide
  grid->SetColWidth(2, 0);
  EXPECT_EQ(grid->ColWidth(0), 1500);
  EXPECT_EQ(grid->ColPixelWidth(0), 100);
  EXPECT_EQ(grid->ColPixelWidth(1), 67);
  EXPECT_EQ(grid->ColWidth(1), 1000) << "reading a width back must give what was set";
  EXPECT_EQ(grid->ColPos(1), 1500);
  EXPECT_EQ(grid->ColPos(2), (100 + 67) * 15);
  grid->SetRowHeight(0, 450);
  EXPECT_EQ(grid->RowPixelHeight(0), 30);
  set_twips_per_pixel(12, 12);  // 120 DPI
  EXPECT_EQ(grid->ColPixelWidth(0), 125);
  EXPECT_EQ(grid->RowPixelHeight(0), 38);  // 37.5 rounds to the even 38
}

TEST_F(GridTest, MouseRowAndMouseColFromTheClickPosition) {
  grid->SetCols(4);
  grid->SetRows(10);
  grid->SetColWidth(-1, 1500);     // 100 px each
  grid->SetRowHeight(-1, 300);     // 20 px each
  grid->SetRowHeight(0, 600);      // header 40 px
  int presses = 0;
  float tx = 0, ty = 0;
  grid->MouseDown = [&](int, int, float x, float y) {
    ++presses;
    tx = x;
    ty = y;
  };
  struct Case {
    QPoint at;
    int row, col;
  } cases[] = {
      {{5, 5}, 0, 0},      {{150, 39}, 0, 1},  {{150, 40}, 1, 1},  {{399, 59}, 1, 3}, {{399, 60}, 2, 3},
      {{250, 230}, 9, 2},  {{305, 275}, 9, 3},  // below the last row: held at the last row
  };
  for (const Case& c : cases) {
    QTest::mouseClick(grid, Qt::LeftButton, {}, c.at);
    EXPECT_EQ(grid->MouseRow(), c.row) << c.at.x() << "," << c.at.y();
    EXPECT_EQ(grid->MouseCol(), c.col) << c.at.x() << "," << c.at.y();
  }
  EXPECT_EQ(presses, 7);
  EXPECT_FLOAT_EQ(tx, 305 * 15.0f);
  EXPECT_FLOAT_EQ(ty, 275 * 15.0f);
  // With the first data rows scrolled off, the same place names a later row.
  grid->SetTopRow(4);
  QTest::mouseClick(grid, Qt::LeftButton, {}, QPoint(150, 45));
  EXPECT_EQ(grid->MouseRow(), 4);
}

TEST_F(GridTest, CellColoursGoToTheWholeSelectionAndShow) {
  grid->SetCols(5);
  grid->SetRows(6);
  grid->SetColWidth(-1, 900);
  grid->SetRowHeight(-1, 300);
  grid->SetRow(2);
  grid->SetCol(1);
  grid->SetRowSel(3);
  grid->SetColSel(4);
  grid->SetCellBackColor(RGB(255, 0, 0));
  grid->SetCellForeColor(0x8000000E);
  for (int r = 0; r < 6; ++r) {
    for (int c = 0; c < 5; ++c) {
      grid->SetRow(r);
      grid->SetCol(c);
      const bool in = r >= 2 && r <= 3 && c >= 1;
      EXPECT_EQ(grid->CellBackColor() == RGB(255, 0, 0), in) << r << "," << c;
      EXPECT_EQ(grid->CellForeColor() == 0x8000000E, in) << r << "," << c;
    }
  }
  // Setting Row/Col moves RowSel/ColSel with them.
  EXPECT_EQ(grid->RowSel(), 5);
  EXPECT_EQ(grid->ColSel(), 4);
  // The colour is on the screen: the middle of cell (2, 2).
  const QImage img = grid->grab().toImage();
  EXPECT_EQ(img.pixelColor(60 * 2 + 30, 20 * 2 + 10), QColor(255, 0, 0));
  EXPECT_NE(img.pixelColor(60 * 2 + 30, 20 * 4 + 10), QColor(255, 0, 0));
}

TEST_F(GridTest, RedrawFalseKeepsTheOldPictureUntilTurnedBackOn) {
  grid->SetCols(3);
  grid->SetRows(4);
  grid->SetColWidth(-1, 1500);
  grid->SetRowHeight(-1, 300);
  const QImage before = grid->grab().toImage();
  const int paints = grid->PaintCount();
  grid->SetRedraw(false);
  grid->SetRow(1);
  grid->SetCol(1);
  grid->SetCellBackColor(RGB(0, 0, 255));
  grid->SetTextMatrix(1, 1, "nuovo");
  QTest::qWait(20);
  EXPECT_EQ(grid->grab().toImage(), before) << "the grid drew while Redraw was False";
  EXPECT_EQ(grid->PaintCount(), paints);
  grid->SetRedraw(true);
  const QImage after = grid->grab().toImage();
  EXPECT_NE(after, before);
  EXPECT_EQ(after.pixelColor(150, 30), QColor(0, 0, 255));
}

TEST(VbScrollBar, RangeBeyond32767ReachesItsEndByDragAndByKeys) {
  QWidget host;
  host.resize(40, 400);
  VbScrollBar bar(Qt::Vertical, &host);
  bar.Move(0, 0, 17, 400);
  bar.SetMin(0);
  bar.SetMax(1000000);
  bar.SetSmallChange(1);
  bar.SetLargeChange(25);
  int changes = 0, scrolls = 0;
  bar.Change = [&] { ++changes; };
  bar.Scroll = [&] { ++scrolls; };
  host.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));

  bar.SetValue(999999);
  EXPECT_EQ(bar.Value(), 999999);
  EXPECT_EQ(changes, 1);
  bar.SetValue(0);
  changes = 0;
  // Drag the thumb from the top to past the bottom: Scroll while dragging, Change at the end.
  const QPoint thumb(8, 24);
  QTest::mousePress(&bar, Qt::LeftButton, {}, thumb);
  QTest::mouseMove(&bar, QPoint(8, 200));
  QTest::mouseMove(&bar, QPoint(8, 600));
  QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(8, 600));
  EXPECT_EQ(bar.Value(), 1000000);
  EXPECT_GT(scrolls, 0);
  EXPECT_EQ(changes, 1);

  bar.SetValue(500000);
  bar.setFocus();
  QTest::keyClick(&bar, Qt::Key_End);
  EXPECT_EQ(bar.Value(), 1000000);
  QTest::keyClick(&bar, Qt::Key_Up);
  EXPECT_EQ(bar.Value(), 999999);
  // Out-of-range values are held at the ends; Min above Max runs the bar backwards.
  bar.SetValue(2000000);
  EXPECT_EQ(bar.Value(), 1000000);
  bar.SetMin(100);
  bar.SetMax(1);
  bar.SetValue(50);
  EXPECT_EQ(bar.Value(), 50);
  bar.SetValue(-5);
  EXPECT_EQ(bar.Value(), 1);
  bar.SetLargeChange(0);
  EXPECT_EQ(bar.LargeChange(), 1);
}

}  // namespace
}  // namespace kyx::ui
