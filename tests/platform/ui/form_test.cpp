#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "platform/ui/flex_grid.h"
#include "platform/ui/form_instance.h"
#include "platform/ui/ky_form.h"
#include "platform/ui/units.h"

namespace kyx::ui {
namespace {

// A form with a plain button, a text box and one of our own controls.
class GateForm : public KyForm {
 public:
  GateForm() : KyForm("frmGate") {
    resize(300, 200);
    button = new QPushButton("OK", this);
    button->setGeometry(10, 10, 80, 24);
    QObject::connect(button, &QPushButton::clicked, [this] { ++clicks; });
    edit = new QLineEdit(this);
    edit->setGeometry(10, 40, 120, 24);
    grid = new FlexGrid(this);
    grid->Move(10, 70, 200, 100);
    grid->MouseDown = [this](int, int, float, float) { ++grid_presses; };
  }
  QPushButton* button;
  QLineEdit* edit;
  FlexGrid* grid;
  int clicks = 0, grid_presses = 0;
};

TEST(KyFormGate, ClosedGateSwallowsInputKeepsLookAndStillCallsThePressHook) {
  GateForm f;
  int hook_presses = 0, hook_releases = 0;
  f.MouseHook = [&](KyForm&, const FormMouse& m) { (m.press ? hook_presses : hook_releases)++; };
  f.Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  f.edit->setFocus();

  QTest::mouseClick(f.button, Qt::LeftButton);
  ASSERT_EQ(f.clicks, 1);
  EXPECT_EQ(hook_presses, 1);
  EXPECT_EQ(hook_releases, 1);

  const QImage before = f.grab().toImage();
  const QPalette palette_before = f.button->palette();
  f.SetEnabled(false);

  QTest::mouseClick(f.button, Qt::LeftButton);
  QTest::mouseClick(f.grid, Qt::LeftButton, {}, QPoint(100, 50));
  QTest::keyClicks(f.edit, "abc");
  QTest::keyClick(f.button, Qt::Key_Space);
  EXPECT_EQ(f.clicks, 1) << "a click reached the button through the closed gate";
  EXPECT_EQ(f.grid_presses, 0);
  EXPECT_EQ(f.edit->text(), "") << "keys reached the text box through the closed gate";
  // The hook saw both presses and both releases.
  EXPECT_EQ(hook_presses, 3);
  EXPECT_EQ(hook_releases, 3);
  // Nothing is dimmed: the widgets stay enabled and the window looks the same.
  EXPECT_TRUE(f.button->isEnabled());
  EXPECT_TRUE(f.isEnabled());
  EXPECT_EQ(f.button->palette(), palette_before);
  EXPECT_EQ(f.grab().toImage(), before);

  f.SetEnabled(true);
  QTest::mouseClick(f.button, Qt::LeftButton);
  QTest::mouseClick(f.grid, Qt::LeftButton, {}, QPoint(100, 50));
  QTest::keyClicks(f.edit, "xy");
  EXPECT_EQ(f.clicks, 2);
  EXPECT_EQ(f.grid_presses, 1);
  EXPECT_EQ(f.edit->text(), "xy");
}

TEST(KyFormGate, HookThatReopensTheGateOnReleaseDoesNotLetTheReleaseThrough) {
  // The main window's pattern: a pop-up has it disabled; a press closes the pop-up and the
  // release enables the window again.
  GateForm f;
  int releases_seen = 0;
  f.grid->MouseUp = [&](int, int, float, float) { ++releases_seen; };
  f.MouseHook = [&](KyForm& form, const FormMouse& m) {
    if (!m.press) form.SetEnabled(true);
  };
  f.Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  f.SetEnabled(false);
  QTest::mouseClick(f.grid, Qt::LeftButton, {}, QPoint(50, 50));
  EXPECT_TRUE(f.Enabled());
  EXPECT_EQ(f.grid_presses, 0);
  EXPECT_EQ(releases_seen, 0);
  QTest::mouseClick(f.grid, Qt::LeftButton, {}, QPoint(50, 50));
  EXPECT_EQ(f.grid_presses, 1);
}

TEST(KyFormGate, KeyPreviewSeesKeysFirstAndCanDropThem) {
  struct Preview : KyForm {
    Preview() : KyForm("frmPreview") { edit = new QLineEdit(this); }
    void Form_KeyDown(int& KeyCode, int Shift) override {
      seen.push_back({KeyCode, Shift});
      if (KeyCode == 88) KeyCode = 0;  // X is kept from the text box
    }
    QLineEdit* edit;
    std::vector<std::pair<int, int>> seen;
  } p;
  p.SetKeyPreview(true);
  p.Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&p));
  QTest::keyClick(p.edit, Qt::Key_A);
  QTest::keyClick(p.edit, Qt::Key_X, Qt::ShiftModifier);
  QTest::keyClick(p.edit, Qt::Key_F1);
  // Shift+X is the Shift key (16) and then X, both with the shift state 1.
  const std::vector<std::pair<int, int>> expected = {{65, 0}, {16, 1}, {88, 1}, {112, 0}};
  EXPECT_EQ(p.seen, expected);
  EXPECT_EQ(p.edit->text(), "a");
}

TEST(KyFormGate, AKeyTravellingToTheParentReachesThePreviewOnceEvenWhenTheHandlerPumps) {
  // A plain child widget ignores keys, so the key travels on to the form: the preview must still
  // see it once, although the preview itself delivers other keys (as a pumped dialog would)
  // before the key travels on.
  struct Other : KyForm {
    Other() : KyForm("frmOther") { box = new QLineEdit(this); }
    QLineEdit* box;
  } other;
  struct Preview : KyForm {
    Preview() : KyForm("frmPreviewPump") { child = new QWidget(this); }
    void Form_KeyDown(int& KeyCode, int) override {
      ++calls;
      for (int i = 0; i < 20; ++i) QTest::keyClick(other->box, Qt::Key_B);
      (void)KeyCode;
    }
    QWidget* child;
    Other* other = nullptr;
    int calls = 0;
  } p;
  p.other = &other;
  p.SetKeyPreview(true);
  p.Show();
  other.Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&p));
  QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
  QApplication::sendEvent(p.child, &press);
  EXPECT_EQ(p.calls, 1);
  EXPECT_EQ(other.box->text().size(), 20);
}

class Refusing : public KyForm {
 public:
  Refusing() : KyForm("frmRefusing") {}
  void Form_Load() override { ++loads; }
  void Form_QueryUnload(int16_t& Cancel, int UnloadMode) override {
    modes.push_back(UnloadMode);
    if (refuse) Cancel = -1;
  }
  static inline int loads = 0;
  bool refuse = true;
  std::vector<int> modes;
};

TEST(KyForm, QueryUnloadCanCancelAndTheGlobalInstanceIsRecreatedAfterUnload) {
  FormInstance<Refusing> frm;
  Refusing::loads = 0;
  EXPECT_FALSE(frm.Loaded());
  frm->Show();
  EXPECT_EQ(Refusing::loads, 1);
  Refusing* first = frm.peek();

  EXPECT_FALSE(frm->Unload());
  EXPECT_TRUE(frm.Loaded());
  EXPECT_TRUE(first->isVisible());
  // Closing from the frame asks with mode 0 and is refused too.
  first->close();
  EXPECT_TRUE(first->isVisible());
  EXPECT_EQ(first->modes, (std::vector<int>{vbFormCode, vbFormControlMenu}));

  frm->refuse = false;
  QPointer<Refusing> guard(first);
  EXPECT_TRUE(frm->Unload());
  EXPECT_FALSE(frm.Loaded());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(guard.isNull()) << "the unloaded form was not deleted";
  frm->Show();
  EXPECT_EQ(Refusing::loads, 2);
  frm->refuse = false;
  frm->Unload();
}

TEST(KyForm, PlacementInTwipsInsideInPixelsAndHandles) {
  set_twips_per_pixel(15, 15);
  KyForm a("frmA"), b("frmB");
  a.Move(1500, 750, 6000, 4500);
  EXPECT_DOUBLE_EQ(a.Left(), 1500);
  EXPECT_DOUBLE_EQ(a.Top(), 750);
  EXPECT_DOUBLE_EQ(a.Width(), 6000);
  EXPECT_EQ(a.ScaleWidth(), 400);
  EXPECT_EQ(a.ScaleHeight(), 300);
  a.SetCaption(" Kyx  -  Vendite \xE0");
  EXPECT_EQ(a.Caption(), " Kyx  -  Vendite \xE0");
  EXPECT_EQ(a.windowTitle(), QString::fromUtf8(" Kyx  -  Vendite \xC3\xA0"));
  EXPECT_NE(a.hWnd(), b.hWnd());
  EXPECT_EQ(KyForm::FromHwnd(a.hWnd()), &a);
  EXPECT_EQ(KyForm::FromHwnd(12345), nullptr);
  // The minimum size: 9450 x 6000 twips is 630 x 400 pixels at 15 twips per pixel.
  a.SetSizeLimits(9450, 6000, 10000, 10000);
  a.resize(500, 300);
  EXPECT_EQ(a.width(), 630);
  EXPECT_EQ(a.height(), 400);
  set_twips_per_pixel(0, 0);
}

}  // namespace
}  // namespace kyx::ui
