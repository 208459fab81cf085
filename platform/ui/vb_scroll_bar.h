#pragma once
// A scroll bar with BASIC's properties and events: Min, Max, Value, SmallChange, LargeChange as
// 32-bit numbers (so a bar over a million records reaches its last one), Change after every
// change of Value (by code, a click, a key, or the end of a thumb drag) and Scroll while the
// thumb is dragged. Min may be above Max: the bar then runs from Min at the top (left) to Max.
// A Value outside the range is held at the nearer end rather than refused.
#include <QScrollBar>
#include <cstdint>
#include <functional>

#include "platform/ui/control.h"

namespace kyx::ui {

class VbScrollBar : public VbControl<QScrollBar> {
 public:
  // Qt::Vertical for a VScrollBar, Qt::Horizontal for an HScrollBar.
  explicit VbScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

  int32_t Min() const { return min_; }
  int32_t Max() const { return max_; }
  int32_t Value() const;
  int32_t SmallChange() const { return singleStep(); }
  int32_t LargeChange() const { return pageStep(); }
  void SetMin(int32_t v);
  void SetMax(int32_t v);
  void SetValue(int32_t v);
  // Steps below 1 are taken as 1.
  void SetSmallChange(int32_t v);
  void SetLargeChange(int32_t v);

  std::function<void()> Change;
  std::function<void()> Scroll;

 private:
  void apply_range();
  int32_t to_qt(int32_t v) const;

  int32_t min_ = 0, max_ = 32767;
  int32_t pressed_value_ = 0;
};

}  // namespace kyx::ui
