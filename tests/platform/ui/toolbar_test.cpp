#include <gtest/gtest.h>

#include <QTest>

#include "platform/ui/image_list.h"
#include "platform/ui/key_error.h"
#include "platform/ui/keyed_status_bar.h"
#include "platform/ui/keyed_toolbar.h"
#include "platform/ui/standard_images.h"
#include "platform/ui/units.h"
#include "platform/ui/vb_events.h"

namespace kyx::ui {
namespace {

struct Mouse {
  int button, shift;
  float x, y;
};

class ToolbarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    set_twips_per_pixel(15, 15);
    add_standard_images(images);
    host.resize(400, 100);
    bar = new KeyedToolbar(&host);
    bar->SetImageList(&images);
    bar->Add("Uscita", tbrDefault, "Uscita");
    bar->Add("", tbrSeparator);
    bar->Add("Server", tbrDefault, "Start");
    bar->Add("Elabora", tbrDefault, "Elabora");
    bar->MouseDown = [this](int b, int s, float x, float y) { downs.push_back({b, s, x, y}); };
    bar->MouseUp = [this](int b, int s, float x, float y) { ups.push_back({b, s, x, y}); };
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
  }
  void TearDown() override { set_twips_per_pixel(0, 0); }

  ImageList images;
  QWidget host;
  KeyedToolbar* bar = nullptr;
  std::vector<Mouse> downs, ups;
};

TEST_F(ToolbarTest, MouseEventsArriveInTwipsWithButtonAndShiftCodes) {
  const ToolbarButton& server = bar->Buttons("Server");
  EXPECT_EQ(server.Index(), 3);
  EXPECT_EQ(server.Left(), bar->Buttons(1).Width() + bar->Buttons(2).Width());
  const QPoint inside(server.Left() + 5, server.Top() + 4);
  struct Case {
    Qt::MouseButton button;
    Qt::KeyboardModifiers mods;
    int vb_button, vb_shift;
  } cases[] = {
      {Qt::LeftButton, Qt::NoModifier, vbLeftButton, 0},
      {Qt::RightButton, Qt::ShiftModifier, vbRightButton, vbShiftMask},
      {Qt::MiddleButton, Qt::ControlModifier | Qt::AltModifier, vbMiddleButton, vbCtrlMask | vbAltMask},
  };
  for (const Case& c : cases) {
    downs.clear();
    ups.clear();
    QTest::mouseClick(bar, c.button, c.mods, inside);
    ASSERT_EQ(downs.size(), 1u);
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(downs[0].button, c.vb_button);
    EXPECT_EQ(downs[0].shift, c.vb_shift);
    EXPECT_EQ(ups[0].button, c.vb_button);
    EXPECT_FLOAT_EQ(downs[0].x, inside.x() * 15.0f);
    EXPECT_FLOAT_EQ(downs[0].y, inside.y() * 15.0f);
  }
  // The form's own hit test, done the way the system does it: twips back to pixels, edges in.
  auto hit = [&](const Mouse& m) -> int {
    const float px = m.x / 15.0f, py = m.y / 15.0f;
    for (int i = 1; i <= bar->Count(); ++i) {
      ToolbarButton& b = bar->Buttons(i);
      if (b.Enabled() && py >= b.Top() && py <= b.Top() + b.Height() && px >= b.Left() &&
          px <= b.Left() + b.Width()) {
        return i;
      }
    }
    return 0;
  };
  EXPECT_EQ(hit(downs[0]), 3);
}

TEST_F(ToolbarTest, PressedLookDisabledButtonsAndKeyedLookups) {
  ToolbarButton& b = bar->Buttons("Elabora");
  const QRect r(b.Left(), b.Top(), b.Width(), b.Height());
  const QImage up = bar->grab(r).toImage();
  b.SetValue(tbrPressed);
  const QImage pressed = bar->grab(r).toImage();
  EXPECT_NE(up, pressed) << "Value 1 does not look pressed";
  b.SetValue(tbrUnpressed);
  EXPECT_EQ(bar->grab(r).toImage(), up);
  b.SetEnabled(false);
  EXPECT_NE(bar->grab(r).toImage(), up) << "a disabled button looks enabled";
  EXPECT_FALSE(bar->Buttons(4).Enabled());

  // Images are set and read back by key.
  ToolbarButton& server = bar->Buttons("Server");
  EXPECT_EQ(server.ImageKey(), "Start");
  server.SetImage("Stop");
  EXPECT_EQ(server.Image(), images.Index("Stop"));
  EXPECT_EQ(server.ImageKey(), "Stop");

  // Unknown keys and indexes raise a trappable error; a duplicate key is refused.
  try {
    bar->Buttons("Nessuno");
    FAIL() << "no error for an unknown key";
  } catch (const KeyError& e) {
    EXPECT_EQ(e.Number(), KeyError::kElementNotFound);
  }
  EXPECT_THROW(bar->Buttons(0), KeyError);
  EXPECT_THROW(bar->Buttons(5), KeyError);
  EXPECT_THROW(bar->Add("Server"), KeyError);
  EXPECT_THROW(server.SetImage("NoSuchImage"), KeyError);
  EXPECT_EQ(bar->Count(), 4);
  // A hidden button leaves no gap.
  const int left = bar->Buttons("Elabora").Left();
  server.SetVisible(false);
  EXPECT_EQ(bar->Buttons("Elabora").Left(), left - bar->ButtonWidth());
}

TEST(StandardImages, SeventyTwoKeysInOrderEachDrawn) {
  ImageList list;
  add_standard_images(list);
  ASSERT_EQ(list.Count(), 72);
  EXPECT_EQ(list.Key(1), "Stop");
  EXPECT_EQ(list.Key(35), "L1");
  EXPECT_EQ(list.Key(44), "LKey");
  EXPECT_EQ(list.Key(45), "C1");
  EXPECT_EQ(list.Key(54), "CKey");
  EXPECT_EQ(list.Key(55), "Elabora");
  EXPECT_EQ(list.Key(68), "MouseTipo1");
  EXPECT_EQ(list.Key(72), "Drill");
  // Every picture is 16 x 16, has something on it, and differs from every other.
  std::vector<QImage> seen;
  for (int i = 1; i <= 72; ++i) {
    const QImage img = list.Picture(i).toImage();
    EXPECT_EQ(img.size(), QSize(16, 16));
    int opaque = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) opaque += qAlpha(img.pixel(x, y)) > 0;
    EXPECT_GT(opaque, 20) << list.Key(i);
    for (const QImage& other : seen) EXPECT_NE(img, other) << list.Key(i);
    seen.push_back(img);
  }
}

TEST(KeyedStatusBar, PanelsByKeyDockedAtTheBottom) {
  QWidget host;
  host.resize(500, 300);
  KeyedStatusBar bar(&host);
  for (const char* k : {"Utente", "Ambiente", "Progress", "Numero", "Stato"}) bar.Add(k);
  bar.Add("Data", "", sbrDate);
  bar.Add("Ora", "", sbrTime);
  for (const char* k : {"Utente", "Ambiente", "Progress", "Numero"}) bar.Panels(k).SetWidth(60);
  bar.Panels("Data").SetAutoSize(sbrContents);
  bar.Panels("Ora").SetAutoSize(sbrContents);
  bar.Panels("Data").SetWidth(20);
  bar.Panels("Ora").SetWidth(20);
  bar.Panels("Stato").SetAutoSize(sbrSpring);
  bar.Panels("Numero").SetAlignment(sbrRight);
  bar.Panels("Utente").SetText(" Mario ");
  host.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
  EXPECT_EQ(bar.Panels(1).Text(), " Mario ");
  EXPECT_EQ(bar.Panels("Numero").Alignment(), sbrRight);
  EXPECT_THROW(bar.Panels("Nessuno"), KeyError);
  EXPECT_THROW(bar.Add("Stato"), KeyError);
  EXPECT_EQ(bar.y() + bar.height(), 300);
  EXPECT_EQ(bar.width(), 500);
  host.resize(640, 400);
  EXPECT_EQ(bar.y() + bar.height(), 400);
  EXPECT_EQ(bar.width(), 640);
  // The spring panel takes what the others leave.
  const StatusPanel& ora = bar.Panels("Ora");
  EXPECT_LE(ora.Left() + ora.ShownWidth(), 640);
  EXPECT_GE(ora.Left() + ora.ShownWidth(), 630);
  EXPECT_GT(bar.Panels("Stato").ShownWidth(), 96);
  EXPECT_FALSE(bar.Panels("Data").ShownText().empty());
}

}  // namespace
}  // namespace kyx::ui
