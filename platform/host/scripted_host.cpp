#include "platform/host/scripted_host.h"

#include <stdexcept>

#include "platform/text/cp1252.h"

namespace kyx::host {

ScriptedHost::ScriptedHost() {
  on_failure = [](const std::string& what) { throw std::logic_error(what); };
  previous_ = set_host(this);
}

ScriptedHost::~ScriptedHost() { set_host(previous_); }

ScriptedHost& ScriptedHost::expect(std::string_view text_part, int answer) {
  expected_.push_back(Expected{std::string(text_part), answer});
  return *this;
}

int ScriptedHost::MsgBox(std::string_view text, int style, std::string_view title) {
  shown_.push_back(Shown{std::string(text), std::string(title), style});
  if (!expected_.empty() && text.find(expected_.front().text_part) != std::string_view::npos) {
    const int answer = expected_.front().answer;
    expected_.pop_front();
    return answer;
  }
  // The description is UTF-8 so that the test's failure message shows the accented letters.
  std::string what = "unexpected message box \"" + text::to_utf8(text) + "\" (title \"" +
                     text::to_utf8(title) + "\", style " + std::to_string(style) + ")";
  what += expected_.empty() ? ", no box expected"
                            : ", expected one containing \"" +
                                  text::to_utf8(expected_.front().text_part) + "\"";
  if (on_failure) {
    on_failure(what);
  } else {
    throw std::logic_error(what);
  }
  // The failure handler chose to go on: the expectation stays for the box still to come.
  return default_answer(style);
}

void ScriptedHost::DoEvents() {
  ++pumps_;
  // An on_pump that pumps again itself must not recurse without end.
  if (on_pump && !in_pump_) {
    in_pump_ = true;
    try {
      on_pump();
    } catch (...) {
      in_pump_ = false;
      throw;
    }
    in_pump_ = false;
  }
}

void ScriptedHost::DebugLog(std::string_view line) { log_.emplace_back(line); }

void ScriptedHost::SetPointer(int shape) { pointer_ = shape; }

void ScriptedHost::SetPanel(std::string_view key, std::string_view text) {
  panels_.push_back(std::string(key) + "=" + std::string(text));
}

std::string ScriptedHost::Panel(std::string_view key) const {
  const std::string prefix = std::string(key) + "=";
  for (auto it = panels_.rbegin(); it != panels_.rend(); ++it) {
    if (it->rfind(prefix, 0) == 0) return it->substr(prefix.size());
  }
  return {};
}

}  // namespace kyx::host
