#include "platform/ui/vb_scroll_bar.h"

#include <algorithm>

namespace kyx::ui {

VbScrollBar::VbScrollBar(Qt::Orientation orientation, QWidget* parent)
    : VbControl<QScrollBar>(orientation, parent) {
  setSingleStep(1);
  setPageStep(1);
  apply_range();
  // Qt counts from the top (left); with Min above Max the bar is shown inverted, so Value is the
  // Qt value in both cases.
  QObject::connect(this, &QAbstractSlider::valueChanged, this, [this](int) {
    if (isSliderDown()) {
      if (Scroll) Scroll();
    } else if (Change) {
      Change();
    }
  });
  QObject::connect(this, &QAbstractSlider::sliderPressed, this,
                   [this] { pressed_value_ = value(); });
  QObject::connect(this, &QAbstractSlider::sliderReleased, this, [this] {
    if (value() != pressed_value_ && Change) Change();
  });
}

int32_t VbScrollBar::Value() const { return value(); }

int32_t VbScrollBar::to_qt(int32_t v) const {
  return std::clamp(v, std::min(min_, max_), std::max(min_, max_));
}

void VbScrollBar::apply_range() {
  const bool inverted = min_ > max_;
  setInvertedAppearance(inverted);
  // A scroll bar's arrow keys move towards the top (left) with Up (Left); Qt expresses that as
  // inverted controls on a bar that is not inverted.
  setInvertedControls(!inverted);
  setRange(std::min(min_, max_), std::max(min_, max_));
}

void VbScrollBar::SetMin(int32_t v) {
  min_ = v;
  apply_range();
}

void VbScrollBar::SetMax(int32_t v) {
  max_ = v;
  apply_range();
}

void VbScrollBar::SetValue(int32_t v) { setValue(to_qt(v)); }

void VbScrollBar::SetSmallChange(int32_t v) { setSingleStep(std::max<int32_t>(1, v)); }
void VbScrollBar::SetLargeChange(int32_t v) { setPageStep(std::max<int32_t>(1, v)); }

}  // namespace kyx::ui
