#pragma once
// A timer control: while Enabled and with an Interval above 0 (milliseconds), Timer runs every
// Interval. Changing the Interval restarts the count.
#include <QTimer>
#include <functional>

namespace kyx::ui {

class VbTimer {
 public:
  VbTimer();
  int Interval() const { return interval_; }
  void SetInterval(int ms);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on);

  std::function<void()> Timer;

 private:
  void apply();
  QTimer timer_;
  int interval_ = 0;
  bool enabled_ = true;
};

}  // namespace kyx::ui
