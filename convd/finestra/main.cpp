// Kyx_ConvD, the conversion program: the Qt application and the windows' host, then its one
// window, which converts the descriptions database of the current folder as it loads and stays
// open until the user closes it.
#include <QApplication>

#include "convd/finestra/frm_base.h"
#include "platform/ui/application.h"
#include "platform/ui/form_loop.h"
#include "platform/ui/qt_host.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  kyx::ui::prepare_application(app);
  kyx::ui::QtHost host;
  host.install();

  kyx::convd::frmBase.get();
  return kyx::ui::run_while_forms_loaded(app);
}
