#pragma once
// The services the system's code asks of its windows, without Qt: message boxes (MsgBox with the
// BASIC style bits and answers), the message pump (DoEvents), the debug-log line, the mouse
// pointer's shape and the Windows version the program reports. The program installs the Qt
// implementation (platform/ui); tests install a ScriptedHost. Lower layers reach the windows only
// through this interface.
#include <cstdint>
#include <string>
#include <string_view>

namespace kyx::host {

// MsgBox buttons (style & 7).
inline constexpr int vbOKOnly = 0;
inline constexpr int vbOKCancel = 1;
inline constexpr int vbAbortRetryIgnore = 2;
inline constexpr int vbYesNoCancel = 3;
inline constexpr int vbYesNo = 4;
inline constexpr int vbRetryCancel = 5;
// MsgBox icons (style & 0x70).
inline constexpr int vbCritical = 16;
inline constexpr int vbQuestion = 32;
inline constexpr int vbExclamation = 48;
inline constexpr int vbInformation = 64;
// MsgBox default button (style & 0x300).
inline constexpr int vbDefaultButton1 = 0;
inline constexpr int vbDefaultButton2 = 256;
inline constexpr int vbDefaultButton3 = 512;
// MsgBox answers.
inline constexpr int vbOK = 1;
inline constexpr int vbCancel = 2;
inline constexpr int vbAbort = 3;
inline constexpr int vbRetry = 4;
inline constexpr int vbIgnore = 5;
inline constexpr int vbYes = 6;
inline constexpr int vbNo = 7;

// Mouse pointer shapes (Screen.MousePointer).
inline constexpr int vbDefault = 0;
inline constexpr int vbArrow = 1;
inline constexpr int vbHourglass = 11;

class Host {
 public:
  virtual ~Host() = default;
  // Shows a modal message box; `text` and `title` are Windows-1252. Returns the answer (vbOK...).
  virtual int MsgBox(std::string_view text, int style, std::string_view title) = 0;
  // Lets pending window events run (DoEvents).
  virtual void DoEvents() = 0;
  // Appends one line to the debug log window (the caller decides whether debugging is on).
  virtual void DebugLog(std::string_view line) = 0;
  // Sets the mouse pointer shape of the whole program.
  virtual void SetPointer(int shape) = 0;
  // Writes a panel of the main window's status bar, addressed by its key ("Stato", "Progress",
  // "Numero", ...); ignored while there is no main window.
  virtual void SetPanel(std::string_view key, std::string_view text) = 0;
  // The text a panel shows now, so that a temporary text can be taken back; "" when there is no
  // such panel (or no main window).
  virtual std::string Panel(std::string_view /*key*/) const { return {}; }
};

// The answer of the default button of a box of that style, what a user pressing Enter gets: the
// buttons come from style & 7, the default one from style & 0x300 (a default beyond the box's
// buttons falls back to the first, as Windows does). vbOK for an unknown button set.
int default_answer(int style);

// The installed host. Before any is installed, a quiet default answers vbOK/the default button,
// writes message boxes and log lines to stderr and does nothing else.
Host& host();
// Installs `h` (not owned; nullptr restores the default) and returns the previous one (the
// default host itself when none was installed, so that handing it back restores it).
Host* set_host(Host* h);

// Shorthands for the calls the system's code makes everywhere.
inline int MsgBox(std::string_view text, int style, std::string_view title) {
  return host().MsgBox(text, style, title);
}
inline void DoEvents() { host().DoEvents(); }

// The major version that the system's version query reports. A program that declares no
// compatibility with newer Windows versions is told 6, whatever the real version; the options that
// depend on it ("Compattare", "Aspetto") follow that answer.
int windows_major_version();

}  // namespace kyx::host
