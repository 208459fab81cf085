#pragma once
// The application-wide event filter behind KyForm's Enabled gate and hooks. Installed once, when
// the first form is created.
#include <QObject>
#include <QPointer>
#include <array>
#include <cstdint>

namespace kyx::ui {

class KyForm;

class InputGate : public QObject {
 public:
  // Installs the filter on the application the first time; later calls do nothing.
  static void ensure_installed();

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // An event ignored by a control travels on to its parent and passes this filter again; the
  // hooks must see it once. A handler may pump other events before the event travels on, so the
  // last events the hooks act on are remembered, each by its object, type and time stamp.
  bool seen_before(QObject* receiver, QEvent* event);

  struct Seen {
    const QEvent* event = nullptr;
    int type = 0;
    uint64_t timestamp = 0;
    QPointer<QObject> receiver;
  };
  std::array<Seen, 64> seen_{};
  std::size_t next_seen_ = 0;
};

// The form whose window holds the widget (nullptr for pop-up menus and dialogs of other kinds).
KyForm* form_of(QObject* object);

}  // namespace kyx::ui
