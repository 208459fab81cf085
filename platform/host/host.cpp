// The installed host and the quiet default that serves until the windows install theirs.
#include "platform/host/host.h"

#include <atomic>
#include <iostream>

#include "platform/text/cp1252.h"

namespace kyx::host {
namespace {

// Without windows there is nobody to answer: every box is written to stderr and gets the answer a
// user pressing Enter would give, so that start-up code and side tools run unattended.
class QuietHost : public Host {
 public:
  int MsgBox(std::string_view text, int style, std::string_view title) override {
    std::cerr << "[" << text::to_utf8(title) << "] " << text::to_utf8(text) << '\n';
    return default_answer(style);
  }
  void DoEvents() override {}
  void DebugLog(std::string_view line) override { std::cerr << text::to_utf8(line) << '\n'; }
  void SetPointer(int) override {}
  void SetPanel(std::string_view, std::string_view) override {}
};

QuietHost& quiet_host() {
  static QuietHost instance;
  return instance;
}

std::atomic<Host*> installed{nullptr};

}  // namespace

int default_answer(int style) {
  static constexpr int kOk[] = {vbOK};
  static constexpr int kOkCancel[] = {vbOK, vbCancel};
  static constexpr int kAbortRetryIgnore[] = {vbAbort, vbRetry, vbIgnore};
  static constexpr int kYesNoCancel[] = {vbYes, vbNo, vbCancel};
  static constexpr int kYesNo[] = {vbYes, vbNo};
  static constexpr int kRetryCancel[] = {vbRetry, vbCancel};
  const int* buttons = kOk;
  std::size_t count = 1;
  switch (style & 7) {
    case vbOKCancel: buttons = kOkCancel, count = 2; break;
    case vbAbortRetryIgnore: buttons = kAbortRetryIgnore, count = 3; break;
    case vbYesNoCancel: buttons = kYesNoCancel, count = 3; break;
    case vbYesNo: buttons = kYesNo, count = 2; break;
    case vbRetryCancel: buttons = kRetryCancel, count = 2; break;
    default: break;
  }
  const auto index = static_cast<std::size_t>((style >> 8) & 3);
  return index < count ? buttons[index] : buttons[0];
}

Host& host() {
  Host* h = installed.load();
  return h != nullptr ? *h : quiet_host();
}

Host* set_host(Host* h) {
  if (h == &quiet_host()) h = nullptr;
  Host* previous = installed.exchange(h);
  return previous != nullptr ? previous : &quiet_host();
}

// GetVersionEx: a program whose manifest declares no support for newer Windows versions is told
// 6 (Vista to 8), whatever Windows it runs on, and the options that depend on the version were
// tuned on that answer.
int windows_major_version() { return 6; }

}  // namespace kyx::host
