#pragma once
// CommonDialogs for tests: each expected dialog is announced with its answer beforehand, and
// every dialog opened is recorded with what it was opened on. A dialog of another kind than the
// next expected one, or none expected, is a test failure (std::logic_error).
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host/common_dialogs.h"

namespace kyx::host {

class ScriptedDialogs : public CommonDialogs {
 public:
  enum class Kind { Colour, Font, Folder, Save };
  // What a dialog was opened on.
  struct Opened {
    Kind kind;
    int flags = 0;
    uint32_t colour = 0;
    FontChoice font;
    std::string title, start;
    SaveDialog save;  // the save dialog's properties as the caller set them
  };

  ScriptedDialogs();            // installs itself
  ~ScriptedDialogs() override;  // reinstalls the previous dialogs
  ScriptedDialogs(const ScriptedDialogs&) = delete;
  ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

  // The next colour dialog chooses `colour` (std::nullopt: Cancel).
  ScriptedDialogs& expect_colour(std::optional<uint32_t> colour);
  // The next font dialog chooses `font` (std::nullopt: Cancel).
  ScriptedDialogs& expect_font(std::optional<FontChoice> font);
  // The next folder browser chooses `folder` ("" : Cancel).
  ScriptedDialogs& expect_folder(std::string folder);
  // The next save dialog confirms the file `file` (full path) with the filter `filter_index`
  // ("" : Cancel).
  ScriptedDialogs& expect_save(std::string file, int filter_index);

  const std::vector<Opened>& opened() const { return opened_; }
  std::size_t pending() const { return expected_.size(); }

  bool ShowColor(uint32_t& colour, int flags) override;
  bool ShowFont(FontChoice& font, int flags, std::string_view title) override;
  std::string BrowseFolder(std::string_view title, std::string_view start) override;
  bool ShowSave(SaveDialog& dialog) override;

 private:
  struct Answer {
    Kind kind;
    std::optional<uint32_t> colour;
    std::optional<FontChoice> font;
    std::string folder;
    int filter_index = 0;
  };
  Answer take(Kind kind);

  CommonDialogs* previous_ = nullptr;
  std::deque<Answer> expected_;
  std::vector<Opened> opened_;
};

}  // namespace kyx::host
