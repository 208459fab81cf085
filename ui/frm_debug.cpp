#include "ui/frm_debug.h"

#include <QEvent>
#include <QFont>
#include <QScrollBar>

#include "common/stato.h"
#include "platform/host/host.h"
#include "platform/text/cp1252.h"
#include "platform/ui/qt_host.h"
#include "platform/vb/vb.h"

namespace kyx {

FrmDebug::FrmDebug() : ui::KyForm("frmDebug") {
  resize(520, 360);
  xLog = new ui::VbControl<QPlainTextEdit>(this);
  xLog->setReadOnly(true);
  xLog->setLineWrapMode(QPlainTextEdit::NoWrap);
  QFont font("Lucida Console");
  font.setStyleHint(QFont::Monospace);
  font.setPointSizeF(8.25);
  xLog->setFont(font);
  xLog->viewport()->installEventFilter(this);
  xLog->setGeometry(rect());
}

void FrmDebug::Form_Load() {
  SetCaption("Debug - dblclick per clear");
  SetBackColor(static_cast<uint32_t>(Colore_Sfondo));
}

void FrmDebug::resizeEvent(QResizeEvent* event) {
  ui::KyForm::resizeEvent(event);
  xLog->setGeometry(rect());
}

void FrmDebug::Scrivi(std::string_view Testo) {
  Scrivi_Riga(vb::Format(int64_t{Numero_Riga + 1}, "000") + "\t" + std::string(Testo));
}

void FrmDebug::Scrivi_Riga(std::string_view Riga) {
  ++Numero_Riga;
  testo_ += Riga;
  testo_ += "\r\n";
  // The text box shows the lines without their CR; it scrolls to keep the newest in view.
  xLog->appendPlainText(QString::fromStdString(text::to_utf8(Riga)));
  xLog->verticalScrollBar()->setValue(xLog->verticalScrollBar()->maximum());
  Show(ui::vbModeless);
  host::DoEvents();
}

void FrmDebug::xLog_DblClick() {
  Numero_Riga = 0;
  testo_.clear();
  xLog->clear();
  host::DoEvents();
}

bool FrmDebug::eventFilter(QObject* watched, QEvent* event) {
  if (watched == xLog->viewport() && event->type() == QEvent::MouseButtonDblClick && Enabled()) {
    xLog_DblClick();
    return true;
  }
  return ui::KyForm::eventFilter(watched, event);
}

void Installa_Debug(ui::QtHost& Host) {
  Host.on_debug_log = [](std::string_view riga) { frmDebug->Scrivi(riga); };
}

}  // namespace kyx
