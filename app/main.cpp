// Kyx, the analysis program: the Qt application, the windows' host, the Foundation's start-up,
// then the windows run the program until the last one is gone.
#include <QApplication>
#include <string>

#include "common/agganci.h"
#include "common/avvio.h"
#include "common/opzioni.h"
#include "common/stato.h"
#include "platform/text/cp1252.h"
#include "platform/ui/colours.h"
#include "platform/ui/ky_form.h"
#include "platform/ui/qt_host.h"
#include "ui/finestre.h"
#include "ui/frm_base.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  kyx::ui::install_palette_colours();
  kyx::ui::QtHost host;
  host.install();

  // What the windows' layer provides to the Foundation.
  kyx::agganci::XPStyle_Inizializza = [] { return kyx::XPStyle_Inizializza(); };

  // The start-up wants the argument text as one line, as the command line reaches a Windows
  // program (without the program's own name); arguments arrive in UTF-8 on Linux.
  std::string argomenti;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) argomenti += ' ';
    argomenti += kyx::text::from_utf8(argv[i]);
  }
  kyx::Main(argomenti);

  // Until the login dialog exists, the main profile is applied here and the main window shown
  // directly, as the login would end.
  if (!kyx::agganci::frmPassword_Carica && kyx::ui::KyForm::Forms().empty()) {
    int16_t profilo = 1;
    int32_t hdc = 0;
    kyx::Carica_Opzioni(profilo, hdc);
    kyx::Profilo_Corrente = profilo;
    kyx::frmBase->Show();
  }

  // The program lives while one of its windows is loaded.
  if (kyx::ui::KyForm::Forms().empty()) return 0;
  app.setQuitOnLastWindowClosed(true);
  return app.exec();
}
