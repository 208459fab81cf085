#pragma once
// The common dialogs of the running program on Qt: QColorDialog, QFontDialog, and the folder
// chooser and save dialog of QFileDialog, each modal to the active window. install() makes them the dialogs the
// system's code reaches through kyx::host::dialogs(); the destructor puts the previous ones back.
#include "platform/host/common_dialogs.h"

namespace kyx::ui {

class QtDialogs : public kyx::host::CommonDialogs {
 public:
  QtDialogs() = default;
  ~QtDialogs() override;
  QtDialogs(const QtDialogs&) = delete;
  QtDialogs& operator=(const QtDialogs&) = delete;

  void install();

  bool ShowColor(uint32_t& colour, int flags) override;
  bool ShowFont(kyx::host::FontChoice& font, int flags, std::string_view title) override;
  std::string BrowseFolder(std::string_view title, std::string_view start) override;
  bool ShowSave(kyx::host::SaveDialog& dialog) override;

 private:
  kyx::host::CommonDialogs* previous_ = nullptr;
  bool installed_ = false;
};

}  // namespace kyx::ui
