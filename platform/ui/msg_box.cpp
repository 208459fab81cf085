#include "platform/ui/msg_box.h"

#include <QPushButton>

#include "platform/host/host.h"
#include "platform/text/cp1252.h"

namespace kyx::ui {

using namespace kyx::host;

MsgBoxLayout msgbox_layout(int style) {
  MsgBoxLayout l;
  switch (style & 7) {
    case vbOKCancel: l.answers = {vbOK, vbCancel}; l.escape_answer = vbCancel; break;
    case vbAbortRetryIgnore: l.answers = {vbAbort, vbRetry, vbIgnore}; break;
    case vbYesNoCancel: l.answers = {vbYes, vbNo, vbCancel}; l.escape_answer = vbCancel; break;
    case vbYesNo: l.answers = {vbYes, vbNo}; break;
    case vbRetryCancel: l.answers = {vbRetry, vbCancel}; l.escape_answer = vbCancel; break;
    default: l.answers = {vbOK}; l.escape_answer = vbOK; break;
  }
  const std::size_t def = static_cast<std::size_t>((style >> 8) & 3);
  l.default_answer = l.answers[def < l.answers.size() ? def : 0];
  switch (style & 0x70) {
    case vbCritical: l.icon = QMessageBox::Critical; break;
    case vbQuestion: l.icon = QMessageBox::Question; break;
    case vbExclamation: l.icon = QMessageBox::Warning; break;
    case vbInformation: l.icon = QMessageBox::Information; break;
    default: l.icon = QMessageBox::NoIcon; break;
  }
  return l;
}

QMessageBox::StandardButton standard_button(int answer) {
  switch (answer) {
    case vbOK: return QMessageBox::Ok;
    case vbCancel: return QMessageBox::Cancel;
    case vbAbort: return QMessageBox::Abort;
    case vbRetry: return QMessageBox::Retry;
    case vbIgnore: return QMessageBox::Ignore;
    case vbYes: return QMessageBox::Yes;
    case vbNo: return QMessageBox::No;
    default: return QMessageBox::NoButton;
  }
}

int answer_of(QMessageBox::StandardButton b) {
  switch (b) {
    case QMessageBox::Ok: return vbOK;
    case QMessageBox::Cancel: return vbCancel;
    case QMessageBox::Abort: return vbAbort;
    case QMessageBox::Retry: return vbRetry;
    case QMessageBox::Ignore: return vbIgnore;
    case QMessageBox::Yes: return vbYes;
    case QMessageBox::No: return vbNo;
    default: return 0;
  }
}

std::unique_ptr<QMessageBox> build_message_box(std::string_view text, int style,
                                               std::string_view title, QWidget* parent) {
  const MsgBoxLayout l = msgbox_layout(style);
  auto box = std::make_unique<QMessageBox>(parent);
  box->setWindowTitle(QString::fromStdString(kyx::text::to_utf8(title)));
  box->setText(QString::fromStdString(kyx::text::to_utf8(text)));
  box->setIcon(l.icon);
  QMessageBox::StandardButtons buttons;
  for (int a : l.answers) buttons |= standard_button(a);
  box->setStandardButtons(buttons);
  box->setDefaultButton(standard_button(l.default_answer));
  // Without an escape answer Esc and the frame's close button do nothing, as on the boxes the
  // users know (Yes/No and Abort/Retry/Ignore must be answered).
  if (l.escape_answer != 0) {
    box->setEscapeButton(standard_button(l.escape_answer));
  } else {
    box->setEscapeButton(static_cast<QAbstractButton*>(nullptr));
    box->setWindowFlag(Qt::WindowCloseButtonHint, false);
  }
  return box;
}

}  // namespace kyx::ui
