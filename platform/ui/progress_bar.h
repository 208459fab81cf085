#pragma once
// A progress bar painted as a row of blocks. Min, Max and Value are Singles as the system sets
// them; a Value outside Min..Max is held at the nearer end instead of raising an error, so a
// count that overshoots its estimate never stops the work it reports on.
#include "platform/ui/control.h"

namespace kyx::ui {

class ProgressBar : public VbControl<QWidget> {
 public:
  explicit ProgressBar(QWidget* parent = nullptr);

  float Min() const { return min_; }
  float Max() const { return max_; }
  float Value() const { return value_; }
  void SetMin(float v);
  void SetMax(float v);
  void SetValue(float v);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  float min_ = 0, max_ = 100, value_ = 0;
};

}  // namespace kyx::ui
