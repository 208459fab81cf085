#include "platform/ui/vb_timer.h"

namespace kyx::ui {

VbTimer::VbTimer() {
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    if (Timer) Timer();
  });
}

void VbTimer::SetInterval(int ms) {
  interval_ = ms < 0 ? 0 : ms;
  apply();
}

void VbTimer::SetEnabled(bool on) {
  enabled_ = on;
  apply();
}

void VbTimer::apply() {
  if (enabled_ && interval_ > 0) {
    timer_.start(interval_);
  } else {
    timer_.stop();
  }
}

}  // namespace kyx::ui
