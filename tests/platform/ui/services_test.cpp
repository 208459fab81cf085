#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>

#include "platform/host/host.h"
#include "platform/host/system_colours.h"
#include "platform/ui/application.h"
#include "platform/ui/colours.h"
#include "platform/ui/keyed_status_bar.h"
#include "platform/ui/msg_box.h"
#include "platform/ui/pointer.h"
#include "platform/ui/qt_host.h"
#include "platform/ui/units.h"
#include "platform/ui/vb_events.h"
#include "platform/ui/vb_timer.h"

namespace kyx::ui {
namespace {

using namespace kyx::host;

TEST(MsgBoxMapping, StyleBitsGiveButtonsDefaultEscapeAndIcon) {
  struct Case {
    int style;
    std::vector<int> answers;
    int def, esc;
    QMessageBox::Icon icon;
  } cases[] = {
      {vbOKOnly, {vbOK}, vbOK, vbOK, QMessageBox::NoIcon},
      {vbOKCancel | vbQuestion, {vbOK, vbCancel}, vbOK, vbCancel, QMessageBox::Question},
      {vbAbortRetryIgnore | vbCritical | vbDefaultButton3, {vbAbort, vbRetry, vbIgnore}, vbIgnore, 0, QMessageBox::Critical},
      {vbYesNoCancel | vbExclamation | vbDefaultButton2, {vbYes, vbNo, vbCancel}, vbNo, vbCancel, QMessageBox::Warning},
      {vbYesNo | vbQuestion | vbDefaultButton2, {vbYes, vbNo}, vbNo, 0, QMessageBox::Question},
      {vbRetryCancel | vbInformation, {vbRetry, vbCancel}, vbRetry, vbCancel, QMessageBox::Information},
      {vbYesNo | vbDefaultButton3, {vbYes, vbNo}, vbYes, 0, QMessageBox::NoIcon},  // no third button
      {7 | 0x70, {vbOK}, vbOK, vbOK, QMessageBox::NoIcon},                           // unknown bits
  };
  for (const Case& c : cases) {
    const MsgBoxLayout l = msgbox_layout(c.style);
    EXPECT_EQ(l.answers, c.answers) << c.style;
    EXPECT_EQ(l.default_answer, c.def) << c.style;
    EXPECT_EQ(l.escape_answer, c.esc) << c.style;
    EXPECT_EQ(l.icon, c.icon) << c.style;
    for (int a : c.answers) EXPECT_EQ(answer_of(standard_button(a)), a);
  }
  // The built box carries the title as given, the buttons and the default.
  auto box = build_message_box("Errore 012 - Connessione non riuscita", vbYesNo | vbDefaultButton2,
                               "Kyx \x96 Statistiche");
  EXPECT_EQ(box->windowTitle(), QString::fromUtf8("Kyx \xE2\x80\x93 Statistiche"));
  EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
  EXPECT_EQ(box->escapeButton(), nullptr);
}

TEST(MsgBoxLanguage, StandardButtonsSpeakItalian) {
  QTranslator* italiano = install_italian_translations(*qApp);
  ASSERT_NE(italiano, nullptr) << "qt6-translations-l10n is needed";
  auto box = build_message_box("Salvare le modifiche?", vbYesNo | vbQuestion, "Kyx");
  box->show();
  QApplication::processEvents();
  const auto testo = [&](QMessageBox::StandardButton b) { return box->button(b)->text().remove(QLatin1Char('&')); };
  EXPECT_EQ(testo(QMessageBox::Yes), QString::fromUtf8("S\xC3\xAC"));
  EXPECT_EQ(testo(QMessageBox::No), QStringLiteral("No"));
  box->close();
  QCoreApplication::removeTranslator(italiano);
  delete italiano;
}

TEST(QtHost, AnswersThroughTheRunningBoxAndKeepsPointerAndPanels) {
  QtHost host;
  host.install();
  EXPECT_EQ(&kyx::host::host(), &host);
  // Answer the box the way a user would: press "No" once it is up.
  QTimer::singleShot(0, [] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
        box->button(QMessageBox::No)->click();
      }
    }
  });
  EXPECT_EQ(kyx::host::MsgBox("Salvare?", vbYesNoCancel | vbQuestion, "Kyx"), vbNo);

  host.SetPointer(vbHourglass);
  EXPECT_EQ(host.Pointer(), 11);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  host.SetPointer(vbCustom);
  EXPECT_EQ(host.Pointer(), 99);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BitmapCursor);
  host.SetPointer(0);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  KeyedStatusBar bar;
  bar.Add("Stato");
  host.SetPanel("Stato", "Lettura");  // before the bar is known: ignored
  EXPECT_EQ(bar.Panels("Stato").Text(), "");
  host.SetStatusBar(&bar);
  host.SetPanel("Stato", "Lettura");
  host.SetPanel("Nessuno", "x");  // a panel the bar lacks: ignored
  EXPECT_EQ(bar.Panels("Stato").Text(), "Lettura");

  std::vector<std::string> lines;
  host.on_debug_log = [&](std::string_view l) { lines.emplace_back(l); };
  host.DebugLog("riga");
  EXPECT_EQ(lines, std::vector<std::string>{"riga"});

  // The pump runs pending work.
  bool ran = false;
  QTimer::singleShot(0, [&] { ran = true; });
  kyx::host::DoEvents();
  EXPECT_TRUE(ran);
}

TEST(Units, TwipsPerPixelRoundingAndCursor) {
  set_twips_per_pixel(0, 0);
  EXPECT_DOUBLE_EQ(Twips_Pixel_X(), 1440.0 / QGuiApplication::primaryScreen()->logicalDotsPerInchX());
  set_twips_per_pixel(12, 12);
  EXPECT_EQ(twips_to_px_x(9450), 788);  // 787.5 rounds to even
  EXPECT_EQ(twips_to_px_y(6000), 500);
  set_twips_per_pixel(0, 0);
  EXPECT_EQ(round_even(2.5), 2);
  EXPECT_EQ(round_even(3.5), 4);
  EXPECT_EQ(round_even(-2.5), -2);
  EXPECT_EQ(round_even(267.5), 268);
  EXPECT_EQ(round_even(2.4), 2);
  SetCursorPos(123, 45);
  int x = 0, y = 0;
  GetCursorPos(x, y);
  EXPECT_EQ(x, 123);
  EXPECT_EQ(y, 45);
}

TEST(Colours, OleValuesAndSystemColoursFollowThePalette) {
  EXPECT_EQ(ole_to_qcolor(RGB(10, 20, 30)), QColor(10, 20, 30));
  EXPECT_EQ(ole_to_qcolor(0xFF0000), QColor(0, 0, 255));  // &HFF0000 is blue
  const QPalette pal = QApplication::palette();
  EXPECT_EQ(ole_to_qcolor(0x8000000D), pal.color(QPalette::Highlight));
  EXPECT_EQ(ole_to_qcolor(0x8000000F), pal.color(QPalette::Button));
  EXPECT_EQ(ole_to_qcolor(0x80000005), pal.color(QPalette::Base));
  // A palette change shows at once.
  QPalette changed = pal;
  changed.setColor(QPalette::Highlight, QColor(1, 2, 3));
  QApplication::setPalette(changed);
  EXPECT_EQ(ole_to_qcolor(0x8000000D), QColor(1, 2, 3));
  QApplication::setPalette(pal);
  EXPECT_EQ(qcolor_to_ole(QColor(1, 2, 3)), 0x030201u);
}

TEST(VbEvents, KeyButtonShiftAndWheelCodes) {
  struct Key {
    int qt;
    Qt::KeyboardModifiers mods;
    int vb;
  } keys[] = {
      {Qt::Key_Return, {}, 13}, {Qt::Key_Enter, Qt::KeypadModifier, 13}, {Qt::Key_Escape, {}, 27},
      {Qt::Key_F1, {}, 112},    {Qt::Key_F12, {}, 123},  {Qt::Key_Left, {}, 37},
      {Qt::Key_Up, {}, 38},     {Qt::Key_Right, {}, 39}, {Qt::Key_Down, {}, 40},
      {Qt::Key_PageUp, {}, 33}, {Qt::Key_PageDown, {}, 34}, {Qt::Key_Home, {}, 36},
      {Qt::Key_End, {}, 35},    {Qt::Key_A, {}, 65},     {Qt::Key_Z, Qt::ShiftModifier, 90},
      {Qt::Key_0, {}, 48},      {Qt::Key_9, {}, 57},     {Qt::Key_5, Qt::KeypadModifier, 101},
      {Qt::Key_Delete, {}, 46}, {Qt::Key_Space, {}, 32}, {Qt::Key_Tab, {}, 9},
  };
  for (const Key& k : keys) {
    QKeyEvent e(QEvent::KeyPress, k.qt, k.mods);
    EXPECT_EQ(vb_key_code(e), k.vb) << k.qt;
  }
  EXPECT_EQ(vb_button(Qt::LeftButton), 1);
  EXPECT_EQ(vb_button(Qt::RightButton), 2);
  EXPECT_EQ(vb_button(Qt::MiddleButton), 4);
  EXPECT_EQ(vb_buttons(Qt::LeftButton | Qt::RightButton), 3);
  EXPECT_EQ(vb_shift(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier), 7);
  EXPECT_EQ(vb_shift(Qt::ControlModifier), 2);
  EXPECT_EQ(wheel_keys({}, Qt::ControlModifier), 8);
  EXPECT_EQ(wheel_notches(120), 1);
  EXPECT_EQ(wheel_notches(-240), -2);
  EXPECT_EQ(wheel_notches(60), 0);
  EXPECT_EQ(wheel_notches(180), 2);  // 1.5 rounds to even
}

TEST(VbTimer, FiresWhileEnabledAndStopsWhenDisabled) {
  VbTimer t;
  int ticks = 0;
  t.Timer = [&] { ++ticks; };
  t.SetInterval(10);
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, 2000));
  t.SetEnabled(false);
  const int now = ticks;
  QTest::qWait(50);
  EXPECT_EQ(ticks, now);
  t.SetEnabled(true);
  t.SetInterval(0);
  QTest::qWait(30);
  EXPECT_EQ(ticks, now);
}

}  // namespace
}  // namespace kyx::ui
