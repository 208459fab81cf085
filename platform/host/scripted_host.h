#pragma once
// A Host for tests: each expected message box is announced with its answer beforehand; a box that
// was not expected (or whose text does not match) is a test failure, reported through the failure
// handler (by default it throws std::logic_error, which fails the running test).
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host/host.h"

namespace kyx::host {

class ScriptedHost : public Host {
 public:
  struct Shown {
    std::string text, title;
    int style = 0;
  };

  ScriptedHost();            // installs itself
  ~ScriptedHost() override;  // reinstalls the previous host (hosts nest in stack order)
  ScriptedHost(const ScriptedHost&) = delete;
  ScriptedHost& operator=(const ScriptedHost&) = delete;

  // Expects a message box whose text contains `text_part` (Windows-1252) and answers `answer`.
  ScriptedHost& expect(std::string_view text_part, int answer = vbOK);
  // Every box that was shown, in order.
  const std::vector<Shown>& shown() const { return shown_; }
  // Expected boxes not shown yet.
  std::size_t pending() const { return expected_.size(); }
  // Debug-log lines received.
  const std::vector<std::string>& log() const { return log_; }
  int pointer() const { return pointer_; }
  int pumps() const { return pumps_; }

  // Runs on every DoEvents call (tests use it to act "while" a long operation runs); a DoEvents
  // made from inside on_pump is counted but does not run it again.
  std::function<void()> on_pump;
  // Called with a description (UTF-8) on an unexpected box; the default throws std::logic_error.
  // A handler that returns lets the box be answered with its default button; the expectation
  // that did not match stays for the next box.
  std::function<void(const std::string&)> on_failure;

  int MsgBox(std::string_view text, int style, std::string_view title) override;
  void DoEvents() override;
  void DebugLog(std::string_view line) override;
  void SetPointer(int shape) override;
  void SetPanel(std::string_view key, std::string_view text) override;
  // The last text written to the panel.
  std::string Panel(std::string_view key) const override;

  // Every panel write as "key=text", in order.
  const std::vector<std::string>& panels() const { return panels_; }

 private:
  struct Expected {
    std::string text_part;
    int answer;
  };
  Host* previous_ = nullptr;
  std::deque<Expected> expected_;
  std::vector<Shown> shown_;
  std::vector<std::string> log_;
  std::vector<std::string> panels_;
  int pointer_ = vbDefault;
  int pumps_ = 0;
  bool in_pump_ = false;
};

}  // namespace kyx::host
