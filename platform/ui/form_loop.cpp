#include "platform/ui/form_loop.h"

#include <QApplication>
#include <QTimer>

#include "platform/ui/ky_form.h"

namespace kyx::ui {

int run_while_forms_loaded(QApplication& app) {
  if (KyForm::Forms().empty()) return 0;
  app.setQuitOnLastWindowClosed(false);
  QTimer vita;
  QObject::connect(&vita, &QTimer::timeout, &app, [] {
    if (KyForm::Forms().empty()) QApplication::quit();
  });
  vita.start(250);
  return app.exec();
}

}  // namespace kyx::ui
