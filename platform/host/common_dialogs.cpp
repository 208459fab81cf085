// The installed common dialogs and the quiet default that cancels them.
#include "platform/host/common_dialogs.h"

#include <atomic>
#include <iostream>

#include "platform/text/cp1252.h"

namespace kyx::host {
namespace {

// Without windows nobody can choose: every dialog is reported on stderr and cancelled, which
// leaves the caller's value unchanged.
class QuietDialogs : public CommonDialogs {
 public:
  bool ShowColor(uint32_t&, int) override {
    std::cerr << "[colour dialog] cancelled: no windows\n";
    return false;
  }
  bool ShowFont(FontChoice&, int, std::string_view title) override {
    std::cerr << "[font dialog " << text::to_utf8(title) << "] cancelled: no windows\n";
    return false;
  }
  std::string BrowseFolder(std::string_view title, std::string_view) override {
    std::cerr << "[folder browser " << text::to_utf8(title) << "] cancelled: no windows\n";
    return {};
  }
  bool ShowSave(SaveDialog& dialog) override {
    std::cerr << "[save dialog " << text::to_utf8(dialog.FileName) << "] cancelled: no windows\n";
    return false;
  }
};

QuietDialogs& quiet_dialogs() {
  static QuietDialogs instance;
  return instance;
}

std::atomic<CommonDialogs*> installed{nullptr};

}  // namespace

CommonDialogs& dialogs() {
  CommonDialogs* d = installed.load();
  return d != nullptr ? *d : quiet_dialogs();
}

CommonDialogs* set_dialogs(CommonDialogs* d) {
  if (d == &quiet_dialogs()) d = nullptr;
  CommonDialogs* previous = installed.exchange(d);
  return previous != nullptr ? previous : &quiet_dialogs();
}

}  // namespace kyx::host
