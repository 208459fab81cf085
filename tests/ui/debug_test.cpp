// The debug log window: numbered lines, double-click clearing, closing by hand, and the host's
// log lines routed into it.
#include <QTest>

#include "platform/ui/qt_host.h"
#include "tests/ui/ambiente_ui.h"

namespace kyx::test {
namespace {

using Debug = AmbienteUi;

TEST_F(Debug, LinesAreNumberedWithAtLeastThreeDigits) {
  frmDebug->Scrivi("SEND abc");
  frmDebug->Scrivi("RECV \xE8");
  EXPECT_EQ(frmDebug->Testo(), "001\tSEND abc\r\n002\tRECV \xE8\r\n");
  EXPECT_EQ(frmDebug->Numero_Riga, 2);
  EXPECT_TRUE(frmDebug->Visible());
  EXPECT_EQ(frmDebug->xLog->toPlainText(), QString::fromUtf8("001\tSEND abc\n002\tRECV è"));
  frmDebug->Numero_Riga = 999;
  frmDebug->Scrivi("x");
  EXPECT_TRUE(frmDebug->Testo().ends_with("\r\n1000\tx\r\n"));
}

TEST_F(Debug, DoubleClickClearsAndClosingByHandStartsAgain) {
  frmDebug->Scrivi("a");
  frmDebug->Scrivi("b");
  ASSERT_TRUE(QTest::qWaitForWindowExposed(frmDebug.peek()));
  QTest::mouseDClick(frmDebug->xLog->viewport(), Qt::LeftButton, {}, QPoint(20, 10));
  EXPECT_EQ(frmDebug->Numero_Riga, 0);
  EXPECT_EQ(frmDebug->Testo(), "");
  EXPECT_TRUE(frmDebug->xLog->toPlainText().isEmpty());
  frmDebug->Scrivi("c");
  EXPECT_EQ(frmDebug->Testo(), "001\tc\r\n");

  // Closed by hand: the next entry shows the window again, without the old entries.
  ASSERT_TRUE(frmDebug->Unload(ui::vbFormControlMenu));
  EXPECT_FALSE(frmDebug.Loaded());
  frmDebug->Scrivi("d");
  EXPECT_EQ(frmDebug->Testo(), "001\td\r\n");
  EXPECT_TRUE(frmDebug->Visible());
}

TEST_F(Debug, HostLogLinesReachTheWindow) {
  ui::QtHost qt;
  Installa_Debug(qt);
  qt.DebugLog("riga dal socket");
  EXPECT_EQ(frmDebug->Testo(), "001\triga dal socket\r\n");
}

}  // namespace
}  // namespace kyx::test
