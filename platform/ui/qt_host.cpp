#include "platform/ui/qt_host.h"

#include <QApplication>
#include <cstdio>

#include "platform/ui/msg_box.h"
#include "platform/ui/pointer.h"

namespace kyx::ui {

QtHost::~QtHost() {
  if (installed_ && &kyx::host::host() == this) kyx::host::set_host(previous_);
  if (pointer_ != 0 && QCoreApplication::instance()) SetPointer(0);
}

void QtHost::install() {
  if (installed_) return;
  previous_ = kyx::host::set_host(this);
  installed_ = true;
}

int QtHost::MsgBox(std::string_view text, int style, std::string_view title) {
  // The box belongs to the active window, and shows the normal pointer while it waits.
  const int pointer = pointer_;
  if (pointer != 0) QApplication::setOverrideCursor(Qt::ArrowCursor);
  auto box = build_message_box(text, style, title, QApplication::activeWindow());
  const int result = box->exec();
  if (pointer != 0) QApplication::restoreOverrideCursor();
  int answer = answer_of(static_cast<QMessageBox::StandardButton>(result));
  if (answer == 0) {
    const MsgBoxLayout l = msgbox_layout(style);
    answer = l.escape_answer != 0 ? l.escape_answer : l.default_answer;
  }
  return answer;
}

void QtHost::DoEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtHost::DebugLog(std::string_view line) {
  if (on_debug_log) {
    on_debug_log(line);
  } else {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
  }
}

void QtHost::SetPointer(int shape) {
  if (shape == pointer_) return;
  if (pointer_ != 0) QApplication::restoreOverrideCursor();
  pointer_ = shape;
  if (shape != 0) QApplication::setOverrideCursor(qt_cursor(shape));
}

void QtHost::SetPanel(std::string_view key, std::string_view text) {
  if (!status_bar_ || !status_bar_->Exists(key)) return;
  status_bar_->Panels(key).SetText(text);
}

std::string QtHost::Panel(std::string_view key) const {
  if (!status_bar_ || !status_bar_->Exists(key)) return {};
  return status_bar_->Panels(key).Text();
}

}  // namespace kyx::ui
