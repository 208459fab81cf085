// Kyx, the analysis program: the Qt application, the windows' host, the Foundation's start-up,
// then the windows run the program until the last one is gone.
//
// For unattended runs (the demo, CI) two environment variables ask for a picture of the main
// window: KYX_SCREENSHOT=file.png saves it once the main window is up and, with "/AUTO", once the
// connection attempt is over; KYX_EXIT_AFTER_SCREENSHOT then ends the program as the toolbar
// button "Uscita" does (status 0), or with status 4 when "/AUTO" did not connect.
// KYX_SCREENSHOT_TIMEOUT (seconds, default 300) bounds the wait: when it runs out the window in
// front is saved instead and the program ends with status 3.
#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "common/agganci.h"
#include "common/avvio.h"
#include "common/stato.h"
#include "export/installa/installa_esporta.h"
#include "layouts/installa/installa_layout.h"
#include "platform/text/cp1252.h"
#include "platform/files/files.h"
#include "platform/host/host.h"
#include "platform/ui/application.h"
#include "platform/ui/form_loop.h"
#include "platform/ui/ky_form.h"
#include "platform/ui/qt_dialogs.h"
#include "platform/ui/qt_host.h"
#include "platform/ui/vb_events.h"
#include "platform/vb/vb.h"
#include "ui/agganci_base.h"
#include "ui/dialoghi/installa_dialoghi.h"
#include "ui/dialoghi/installa_livelli.h"
#include "ui/finestre.h"
#include "ui/frm_base.h"
#include "ui/impostazioni_generali.h"
#include "ui/installa_dati_locali.h"
#include "ui/installa_grafico.h"
#include "ui/frm_menu_colonna.h"
#include "ui/installa_motore.h"
#include "ui/installa_viste.h"
#include "ui/installa_filtri.h"
#include "ui/installa_stampa.h"

namespace {

// The main window is ready for its picture: shown and taking input, so that the connection of
// "/AUTO", which runs inside its load, is over.
bool Pronta_Per_Immagine() {
  kyx::FrmBase* f = kyx::frmBase.peek();
  return f && f->isVisible() && f->Enabled();
}

void Salva_Immagine(QWidget& finestra, const char* file) {
  if (!finestra.grab().save(QString::fromLocal8Bit(file))) {
    std::fprintf(stderr, "Kyx: cannot save the picture %s\n", file);
  }
}

// Watches for the moment to take the picture (see the head of this file).
void Programma_Immagine(const char* file) {
  const char* attesa = std::getenv("KYX_SCREENSHOT_TIMEOUT");
  const int secondi = attesa && std::atoi(attesa) > 0 ? std::atoi(attesa) : 300;
  const bool esci = std::getenv("KYX_EXIT_AFTER_SCREENSHOT") != nullptr;
  auto* orologio = new QTimer(qApp);
  auto passi = std::make_shared<int>(0);
  QObject::connect(orologio, &QTimer::timeout, qApp, [=] {
    ++*passi;
    if (Pronta_Per_Immagine()) {
      orologio->stop();
      // Let the window paint its final state before it is captured.
      QTimer::singleShot(500, qApp, [=] {
        kyx::FrmBase& f = *kyx::frmBase;
        Salva_Immagine(f, file);
        if (!esci) return;
        if (kyx::Connesso || kyx::vb::InStr(kyx::Riga_Comando, "/AUTO") == 0) {
          f.Esegui_Pulsante(f.Toolbar1->Buttons("Uscita"), kyx::ui::vbLeftButton);
        }
        std::fprintf(stderr, "Kyx: \"/AUTO\" did not connect\n");
        kyx::Fine_Programma();
        std::fflush(nullptr);
        std::_Exit(4);
      });
      return;
    }
    if (*passi * 200 >= secondi * 1000) {
      orologio->stop();
      QWidget* davanti = QApplication::activeWindow();
      if (!davanti && !kyx::ui::KyForm::Forms().empty()) davanti = kyx::ui::KyForm::Forms().back();
      if (davanti) Salva_Immagine(*davanti, file);
      std::fprintf(stderr, "Kyx: the main window was not ready within %d seconds\n", secondi);
      if (esci) {
        if (kyx::frmBase.Loaded()) kyx::Fine_Programma();
        std::fflush(nullptr);
        std::_Exit(3);
      }
    }
  });
  orologio->start(200);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  kyx::ui::prepare_application(app);
  kyx::ui::QtHost host;
  host.install();
  // An installed program keeps its folder under the user's data folder: it is readied first, and
  // without it the program cannot keep anything.
  if (std::string errore; !kyx::files::prepare_program_folder(kyx::files::executable_folder(), errore)) {
    kyx::host::MsgBox(errore, kyx::host::vbCritical, "Kyx");
    return 1;
  }
  kyx::ui::QtDialogs dialoghi;
  dialoghi.install();

  // What the windows' layer provides to the Foundation, and the dialogs in their slots.
  kyx::agganci::XPStyle_Inizializza = [] { return kyx::XPStyle_Inizializza(); };
  kyx::Installa_Dialoghi();
  kyx::Installa_Motore();
  kyx::Installa_Dati_Locali();
  kyx::Installa_Layout();
  kyx::Installa_Livelli();
  kyx::Installa_Viste();
  kyx::Installa_Grafico();
  kyx::Installa_Popup();
  kyx::Installa_Filtri();
  kyx::Installa_Esporta();
  kyx::Installa_Stampa();

  // The start-up wants the argument text as one line, as the command line reaches a Windows
  // program (without the program's own name); arguments arrive in UTF-8 on Linux.
  std::string argomenti;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) argomenti += ' ';
    argomenti += kyx::text::from_utf8(argv[i]);
  }
  kyx::Main(argomenti);

  // The program lives while one of its windows is loaded.
  if (kyx::ui::KyForm::Forms().empty()) return 0;
  if (const char* file = std::getenv("KYX_SCREENSHOT"); file && *file) Programma_Immagine(file);
  return kyx::ui::run_while_forms_loaded(app);
}
