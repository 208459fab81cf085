#pragma once
// The help viewer (in place of HtmlHelp and its viewer window): a window of our own showing the
// pages of a compiled help file. One viewer serves the program; asking for another topic, even
// of another file, shows it in the same window.
#include <QTextBrowser>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/help/chm_file.h"
#include "platform/ui/ky_form.h"

namespace kyx::help {

// HtmlHelp commands used by the program.
inline constexpr int HH_DISPLAY_TOPIC = 0;

class HelpViewer : public ui::KyForm {
 public:
  HelpViewer();
  ~HelpViewer() override;

  // Shows `topic` ("/10002.htm"; "" for the file's default topic) of the open file. A topic the
  // file does not hold is reported on the viewer's page.
  void ShowTopic(std::string topic);
  // Shows the pages of `file` from now on.
  void SetFile(std::unique_ptr<ChmFile> file);

  const ChmFile* File() const { return file_.get(); }
  // The topic last asked for, and whether the file holds it.
  const std::string& Topic() const { return topic_; }
  bool TopicFound() const { return found_; }
  // The text of the page shown (plain, UTF-8).
  std::string PageText() const;

 private:
  class Browser;
  Browser* browser_;
  std::unique_ptr<ChmFile> file_;
  std::string topic_;
  bool found_ = false;
};

// HtmlHelp(owner, "file::/topic.htm", HH_DISPLAY_TOPIC, 0): opens the viewer on the topic of the
// help file (system text; a folder text may still carry "\") and returns the viewer's window
// handle. When the file is missing or not a help file no window opens: 0 is returned with the
// reason in `error`.
int32_t HtmlHelp(int32_t owner, std::string_view file_and_topic, int command, std::string& error);

// The viewer that is open, or nullptr.
HelpViewer* OpenViewer();

}  // namespace kyx::help
