#pragma once
// The common dialogs the system's forms open (in place of the common-dialog control's colour,
// font and save dialogs and of the shell's folder browser): each takes the starting value, runs modally
// and answers whether the user confirmed. The program installs the Qt implementation
// (platform/ui/qt_dialogs.h); tests install a ScriptedDialogs that answers each expected dialog.
#include <cstdint>
#include <string>
#include <string_view>

namespace kyx::host {

// ChooseColor flags: start with the given colour, open with the custom-colour part shown.
inline constexpr int cdlCCRGBInit = 1;
inline constexpr int cdlCCFullOpen = 2;
// ChooseFont flags: screen fonts, ANSI character sets only.
inline constexpr int cdlCFScreenFonts = 1;
inline constexpr int cdlCFANSIOnly = 0x400;

// A font as the common dialog hands it over: face name (Windows-1252), bold, italic, points.
struct FontChoice {
  std::string name;
  bool bold = false;
  bool italic = false;
  double size = 0;
};

// Save dialog flag: no read-only check box.
inline constexpr int cdlOFNHideReadOnly = 4;

// The save dialog as the caller prepares it (the common-dialog control's properties) and as it
// comes back. Texts the caller sets are Windows-1252; InitDir is a folder text in the system's
// form ("\"-separated parts allowed). On confirmation FileName is the chosen file's full path in
// the bytes the file system names it with, and FilterIndex (from 1) the filter the user left
// selected; a name typed without an extension gets the selected filter's extension.
struct SaveDialog {
  std::string DialogTitle;  // "" : the system's own caption for saving
  std::string InitDir;
  std::string FileName;
  std::string Filter;       // "Description|pattern|Description|pattern..."
  int FilterIndex = 1;
  std::string DefaultExt;
  bool CancelError = false;
  int Flags = 0;
};

class CommonDialogs {
 public:
  virtual ~CommonDialogs() = default;
  // The colour dialog. `colour` is a plain RGB value (&HBBGGRR), the starting colour on entry and
  // the chosen one on return; on Cancel it is left as it was and the answer is false.
  virtual bool ShowColor(uint32_t& colour, int flags) = 0;
  // The font dialog, started on `font`; on Cancel `font` is left as it was and the answer is false.
  virtual bool ShowFont(FontChoice& font, int flags, std::string_view title) = 0;
  // The folder browser with the title `title` (Windows-1252), opened on `start` (a Linux path, in
  // the file system's bytes; a missing folder leaves the browser on its default place). The chosen
  // folder's path in the file system's bytes, without a final "/" ("/" itself for the root), or ""
  // when the user cancelled.
  virtual std::string BrowseFolder(std::string_view title, std::string_view start) = 0;
  // The save dialog (ShowSave), modal. True when the user confirmed a name; on Cancel the dialog
  // is left as it was and the answer is false (the caller raises its cancel error itself).
  virtual bool ShowSave(SaveDialog& dialog) = 0;
};

// The installed dialogs. Before any is installed, a quiet default answers Cancel to every dialog
// (writing a line to stderr), as an unattended program must.
CommonDialogs& dialogs();
// Installs `d` (not owned; nullptr restores the default) and returns the previous one.
CommonDialogs* set_dialogs(CommonDialogs* d);

}  // namespace kyx::host
