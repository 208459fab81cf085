// Kyx_R, the replication program: the Qt application, the windows' host, then its one window
// until it is unloaded.
#include <QApplication>
#include <QTimer>
#include <string>

#include "platform/files/files.h"
#include "platform/host/host.h"
#include "platform/ui/application.h"
#include "platform/ui/qt_host.h"
#include "replica/frm_base.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  kyx::ui::prepare_application(app);
  kyx::ui::QtHost host;
  host.install();
  // An installed program keeps its folder under the user's data folder: it is readied first, and
  // without it the program cannot keep anything.
  if (std::string errore; !kyx::files::prepare_program_folder(kyx::files::executable_folder(), errore)) {
    kyx::host::MsgBox(errore, kyx::host::vbCritical, "Kyx_R");
    return 1;
  }
  kyx::replica::FrmBase& finestra = *kyx::replica::frmBase;
  host.SetStatusBar(finestra.StatusBar1);
  finestra.Show();
  // The program ends when its window is unloaded (a window unloaded from code is hidden).
  app.setQuitOnLastWindowClosed(false);
  QTimer vita;
  QObject::connect(&vita, &QTimer::timeout, &app, [] {
    if (!kyx::replica::frmBase.Loaded()) QApplication::quit();
  });
  vita.start(250);
  return app.exec();
}
