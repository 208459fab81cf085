#pragma once
// The application-wide event filter behind KyForm's Enabled gate and hooks. Installed once, when
// the first form is created.
#include <QObject>
#include <QPointer>

namespace kyx::ui {

class KyForm;

class InputGate : public QObject {
 public:
  // Installs the filter on the application the first time; later calls do nothing.
  static void ensure_installed();

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // An event ignored by a control travels on to its parent and passes this filter again; the
  // hooks must see it once.
  bool seen_before(QObject* receiver, QEvent* event);

  const QEvent* last_event_ = nullptr;
  int last_type_ = 0;
  QPointer<QObject> last_receiver_;
};

// The form whose window holds the widget (nullptr for pop-up menus and dialogs of other kinds).
KyForm* form_of(QObject* object);

}  // namespace kyx::ui
