#include <gtest/gtest.h>

#include <QTest>

#include "platform/ui/colours.h"
#include "platform/ui/image_list.h"
#include "platform/ui/key_error.h"
#include "platform/ui/keyed_tree.h"
#include "platform/ui/line_control.h"
#include "platform/ui/picture_canvas.h"
#include "platform/ui/standard_images.h"
#include "platform/ui/units.h"

namespace kyx::ui {
namespace {

TEST(KeyedTree, UniqueKeysLookupTagsImagesAndRelatives) {
  ImageList images;
  add_standard_images(images);
  KeyedTree tree;
  tree.SetImageList(&images);
  tree.Add("", tvwLast, "A001", "Vendite", "Chiavi").SetExpandedImage("Chiavi1");
  tree.Add("A001", tvwChild, "A001K012", "Agente", "Filtro_No");
  TreeNode& v = tree.Add("A001", tvwChild, "A___K012R0001D", "da 10", "Filtro_Da");
  v.SetTag("0010");
  tree.Add("A___K012R0001D", tvwNext, "A___K012R0002A", "a 20", "Filtro_A").SetTag("0020");
  tree.Add("", tvwFirst, "A___B_AA_RIF", "Anno riferimento: 2024", "AnnoRiferimento");

  EXPECT_EQ(tree.Count(), 5);
  // A duplicate key is refused and leaves the tree as it was.
  try {
    tree.Add("A001", tvwChild, "A001K012", "Doppio");
    FAIL() << "duplicate key accepted";
  } catch (const KeyError& e) {
    EXPECT_EQ(e.Number(), KeyError::kKeyNotUnique);
  }
  EXPECT_THROW(tree.Add("ZZZ", tvwChild, "NEW", "x"), KeyError);
  EXPECT_THROW(tree.Add("", tvwLast, "NEW", "x", "NoSuchImage"), KeyError);
  EXPECT_EQ(tree.Count(), 5);
  EXPECT_FALSE(tree.Exists("NEW"));

  TreeNode& start = tree.Nodes("A___K012R0001D");
  EXPECT_EQ(start.Tag(), "0010");
  EXPECT_EQ(start.Next()->Tag(), "0020");
  EXPECT_EQ(start.Next()->Previous(), &start);
  EXPECT_EQ(start.Parent()->Text(), "Vendite");
  EXPECT_EQ(start.FullPath(), "Vendite\\da 10");
  EXPECT_EQ(tree.Nodes("A001").Children(), 3);
  EXPECT_EQ(tree.Nodes("A001").Child()->Key(), "A001K012");
  EXPECT_EQ(tree.Nodes(5).Key(), "A___B_AA_RIF");
  EXPECT_EQ(tree.view()->topLevelItem(0)->text(0), "Anno riferimento: 2024");
  EXPECT_THROW(tree.Nodes("nessuno"), KeyError);
  EXPECT_THROW(tree.Nodes(6), KeyError);

  // The expanded picture shows while the node is open.
  TreeNode& area = tree.Nodes("A001");
  const QImage closed = tree.view()->topLevelItem(1)->icon(0).pixmap(16, 16).toImage();
  area.SetExpanded(true);
  EXPECT_TRUE(area.Expanded());
  EXPECT_NE(tree.view()->topLevelItem(1)->icon(0).pixmap(16, 16).toImage(), closed);

  tree.Remove("A001");
  EXPECT_EQ(tree.Count(), 1);
  EXPECT_FALSE(tree.Exists("A___K012R0001D"));
  tree.Add("", tvwLast, "A001", "Di nuovo");  // the key is free again
  tree.Clear();
  EXPECT_EQ(tree.Count(), 0);
}

TEST(KeyedTree, PressThenNodeClickForAnyButtonAndUserCollapse) {
  KeyedTree tree;
  tree.resize(200, 200);
  tree.Add("", tvwLast, "A___K001", "Chiave");
  tree.Add("A___K001", tvwChild, "A___K001R0001I", "Valore");
  tree.Nodes("A___K001").SetExpanded(true);
  std::vector<std::string> events;
  int collapses_from_code = 0;
  tree.MouseDown = [&](int b, int, float, float) { events.push_back("down" + std::to_string(b)); };
  tree.NodeClick = [&](TreeNode& n) { events.push_back("click " + n.Key()); };
  tree.Collapse = [&](TreeNode& n) {
    // The main window's rule: filtered keys cannot be closed.
    events.push_back("collapse " + n.Key());
    n.SetExpanded(true);
  };
  tree.Expand = [&](TreeNode&) { ++collapses_from_code; };
  tree.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
  QTreeWidget* v = tree.view();
  const QRect r = v->visualItemRect(v->topLevelItem(0)->child(0));
  QTest::mouseClick(v->viewport(), Qt::RightButton, {}, r.center());
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0], "down2");
  EXPECT_EQ(events[1], "click A___K001R0001I");
  EXPECT_EQ(tree.SelectedItem()->Key(), "A___K001R0001I");

  events.clear();
  tree.Nodes("A___K001").SetSelected(true);
  QTest::keyClick(v, Qt::Key_Left);  // the user closes the node
  EXPECT_NE(std::find(events.begin(), events.end(), "collapse A___K001"), events.end());
  EXPECT_TRUE(tree.Nodes("A___K001").Expanded());
  tree.Nodes("A___K001").SetExpanded(false);  // from code: no event
  EXPECT_EQ(collapses_from_code, 0);
}

TEST(PictureCanvas, DrawingSurvivesRepaintsAndClsClearsIt) {
  QWidget host;
  host.resize(220, 120);
  PictureCanvas pic(&host);
  pic.Move(0, 0, 200, 100);
  pic.SetBackColor(RGB(255, 255, 255));
  host.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));

  pic.SetFillStyle(vbFSSolid);
  pic.SetFillColor(RGB(0, 255, 0));
  pic.Line(10, 10, 50, 40, RGB(255, 0, 0), LineBox::B);   // red border, green inside
  pic.Line(60, 10, 80, 30, RGB(0, 0, 255), LineBox::BF);  // solid blue
  pic.Line(100, 10, 140, 10, RGB(0, 0, 0));               // the last point is left out
  pic.PSet(150, 50, RGB(255, 0, 255));
  pic.SetForeColor(RGB(0, 0, 0));
  pic.SetCurrentX(10);
  pic.SetCurrentY(60);
  pic.Print("Importo");
  EXPECT_FLOAT_EQ(pic.CurrentX(), 0);
  EXPECT_FLOAT_EQ(pic.CurrentY(), 60 + pic.TextHeight("Importo"));
  EXPECT_GT(pic.TextWidth("Importo"), pic.TextWidth("I"));
  EXPECT_FLOAT_EQ(pic.TextHeight("a\nb"), 2 * pic.TextHeight("a"));

  const QImage first = pic.grab().toImage();
  host.hide();
  host.show();
  pic.repaint();
  const QImage second = pic.grab().toImage();
  EXPECT_EQ(first, second);
  EXPECT_EQ(second.pixelColor(10, 10), QColor(255, 0, 0));
  EXPECT_EQ(second.pixelColor(30, 25), QColor(0, 255, 0));
  EXPECT_EQ(second.pixelColor(70, 20), QColor(0, 0, 255));
  EXPECT_EQ(second.pixelColor(139, 10), QColor(0, 0, 0));
  EXPECT_EQ(second.pixelColor(140, 10), QColor(255, 255, 255));
  EXPECT_EQ(second.pixelColor(150, 50), QColor(255, 0, 255));
  EXPECT_EQ(pic.Point(150, 50), RGB(255, 0, 255));
  EXPECT_EQ(pic.Point(500, 50), -1);
  // Growing the box keeps the drawing.
  pic.SetWidth(210);
  EXPECT_EQ(pic.grab().toImage().pixelColor(70, 20), QColor(0, 0, 255));

  pic.Cls();
  EXPECT_EQ(pic.grab().toImage().pixelColor(70, 20), QColor(255, 255, 255));
  EXPECT_FLOAT_EQ(pic.CurrentY(), 0);

  // A canvas drawn on while hidden, right after it was made bigger, keeps the whole drawing.
  PictureCanvas hidden;
  hidden.Move(0, 0, 400, 20);
  hidden.SetBackColor(RGB(255, 255, 255));
  hidden.Line(300, 5, 390, 15, RGB(0, 0, 255), LineBox::BF);
  EXPECT_EQ(hidden.Point(350, 10), RGB(0, 0, 255));
}

TEST(LineControl, EndsReadBackAndTheLineIsDrawnBehindControls) {
  QWidget host;
  host.resize(100, 100);
  host.setAutoFillBackground(true);
  QPalette pal = host.palette();
  pal.setColor(QPalette::Window, Qt::white);
  host.setPalette(pal);
  QWidget over(&host);
  over.setGeometry(40, 0, 20, 100);
  over.setAutoFillBackground(true);
  pal.setColor(QPalette::Window, Qt::yellow);
  over.setPalette(pal);
  LineControl line(&host);
  line.SetEnds(10, 20.5, 90, 20.5);
  line.SetBorderColor(RGB(255, 0, 0));
  EXPECT_DOUBLE_EQ(line.Y1(), 20.5);
  EXPECT_DOUBLE_EQ(line.X2(), 90);
  const QImage img = host.grab().toImage();
  const int y = static_cast<int>(round_even(20.5));  // 20
  EXPECT_EQ(img.pixelColor(10, y), QColor(255, 0, 0));
  EXPECT_EQ(img.pixelColor(90, y), QColor(255, 0, 0));
  EXPECT_EQ(img.pixelColor(50, y), QColor(Qt::yellow)) << "the line covers a control";
  EXPECT_EQ(img.pixelColor(10, y + 1), QColor(Qt::white));
  line.SetY2(40);
  EXPECT_DOUBLE_EQ(line.Y2(), 40);
}

}  // namespace
}  // namespace kyx::ui
