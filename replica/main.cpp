// Kyx_R, the replication program: the Qt application, the windows' host, then its one window
// until it is unloaded.
#include <QApplication>
#include <QTimer>

#include "platform/ui/colours.h"
#include "platform/ui/qt_host.h"
#include "replica/frm_base.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  kyx::ui::install_palette_colours();
  kyx::ui::QtHost host;
  host.install();
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
