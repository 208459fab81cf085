#pragma once
// The Host of the running program: message boxes on Qt, the message pump, the debug log line,
// the program-wide pointer shape and the main window's status panels. install() makes it the
// host that the system's code reaches through kyx::host::host(); the destructor puts the previous
// one back.
#include <QPointer>
#include <functional>
#include <string>
#include <string_view>

#include "platform/host/host.h"
#include "platform/ui/keyed_status_bar.h"

namespace kyx::ui {

class QtHost : public kyx::host::Host {
 public:
  QtHost() = default;
  ~QtHost() override;
  QtHost(const QtHost&) = delete;
  QtHost& operator=(const QtHost&) = delete;

  void install();

  int MsgBox(std::string_view text, int style, std::string_view title) override;
  void DoEvents() override;
  void DebugLog(std::string_view line) override;
  // 0 default, 11 hourglass, 99 the context-help pointer, or any other MousePointer number; the
  // shape covers every window of the program until it is set back to 0.
  void SetPointer(int shape) override;
  void SetPanel(std::string_view key, std::string_view text) override;
  std::string Panel(std::string_view key) const override;

  // The shape last set (Screen.MousePointer read back).
  int Pointer() const { return pointer_; }
  // The status bar whose panels SetPanel writes (the main window's); nullptr for none. A key the
  // bar does not have is ignored: lower layers report into panels that may not exist yet.
  void SetStatusBar(KeyedStatusBar* bar) { status_bar_ = bar; }
  // Receives the debug log lines (the debug window installs it); without it they go to stderr.
  std::function<void(std::string_view line)> on_debug_log;

 private:
  kyx::host::Host* previous_ = nullptr;
  bool installed_ = false;
  int pointer_ = 0;
  QPointer<KeyedStatusBar> status_bar_;
};

}  // namespace kyx::ui
