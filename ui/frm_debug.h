#pragma once
// The debug log window: one text box holding the trace of the socket traffic, the database
// compactions and the help lookups while the option "Debug" is on. Each entry is a line
// "nnn" TAB text CR LF, numbered from 1 (at least three digits); a double-click clears the log.
#include <QPlainTextEdit>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ui/control.h"
#include "platform/ui/form_instance.h"
#include "platform/ui/ky_form.h"

namespace kyx::ui {
class QtHost;
}

namespace kyx {

class FrmDebug : public ui::KyForm {
 public:
  FrmDebug();

  void Form_Load() override;

  // Number of the last entry written; 0 when the window is new or cleared.
  int32_t Numero_Riga = 0;

  // Appends an entry: the next number with the mask "000", a tab, the text and CR LF; then shows
  // the window (modeless) and lets it paint at once.
  void Scrivi(std::string_view Testo);
  // Appends `Riga` as it stands, CR LF after it, counting it without numbering it (the
  // context-help lookup writes its rows so); then shows the window as Scrivi does.
  void Scrivi_Riga(std::string_view Riga);
  // The whole log as the text box holds it (Windows-1252, lines ending with CR LF).
  const std::string& Testo() const { return testo_; }

  // Double-click on the text box: empties the log and the line count.
  void xLog_DblClick();

  ui::VbControl<QPlainTextEdit>* xLog;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  std::string testo_;
};

inline ui::FormInstance<FrmDebug> frmDebug;

// Makes the debug window the target of the host's debug-log lines (the socket layer and the
// databases write through the host).
void Installa_Debug(ui::QtHost& Host);

}  // namespace kyx
