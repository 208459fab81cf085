#pragma once
// What every control of a form offers the system's code, whatever widget it stands on: placement
// in the container's pixels (the forms work in a pixel scale), visibility, enabled state, tooltip,
// focus, z-order, mouse pointer and the free Tag text. Texts are Windows-1252.
#include <QWidget>
#include <cmath>
#include <string>
#include <string_view>

#include "platform/text/cp1252.h"
#include "platform/ui/pointer.h"
#include "platform/ui/units.h"

namespace kyx::ui {

template <class Base>
class VbControl : public Base {
 public:
  using Base::Base;

  // Placement in the container's pixels. Fractional positions are rounded half to even when the
  // control is moved; the getters answer the control's whole-pixel geometry.
  int Left() const { return this->x(); }
  int Top() const { return this->y(); }
  int Width() const { return this->width(); }
  int Height() const { return this->height(); }
  void SetLeft(double v) { this->move(static_cast<int>(round_even(v)), this->y()); }
  void SetTop(double v) { this->move(this->x(), static_cast<int>(round_even(v))); }
  void SetWidth(double v) { this->resize(clamp_size(v), this->height()); }
  void SetHeight(double v) { this->resize(this->width(), clamp_size(v)); }
  // Move left, top (and width, height when given; negative keeps the current size).
  void Move(double left, double top, double width = -1, double height = -1) {
    const int w = width < 0 ? this->width() : clamp_size(width);
    const int h = height < 0 ? this->height() : clamp_size(height);
    this->setGeometry(static_cast<int>(round_even(left)), static_cast<int>(round_even(top)), w, h);
  }

  bool Visible() const { return !this->isHidden(); }
  void SetVisible(bool v) { this->setVisible(v); }
  bool Enabled() const { return this->isEnabled(); }
  void SetEnabled(bool v) { this->setEnabled(v); }

  std::string ToolTipText() const { return kyx::text::from_utf8(this->toolTip().toStdString()); }
  void SetToolTipText(std::string_view cp1252) {
    this->setToolTip(QString::fromStdString(kyx::text::to_utf8(cp1252)));
  }

  std::string Tag() const { return tag_; }
  void SetTag(std::string_view t) { tag_ = std::string(t); }

  int MousePointer() const { return pointer_; }
  void SetMousePointer(int shape) {
    pointer_ = shape;
    if (shape == 0) {
      this->unsetCursor();
    } else {
      this->setCursor(qt_cursor(shape));
    }
  }

  void SetFocus() { this->setFocus(Qt::OtherFocusReason); }
  // 0 brings the control in front of its siblings, 1 sends it behind them.
  void ZOrder(int position = 0) {
    if (position == 0) {
      this->raise();
    } else {
      this->lower();
    }
  }
  void Refresh() { this->repaint(); }

 private:
  static int clamp_size(double v) {
    // A negative size (a window squeezed below its minimum) is taken as 0 rather than refused.
    return v <= 0 ? 0 : static_cast<int>(round_even(v));
  }
  std::string tag_;
  int pointer_ = 0;
};

}  // namespace kyx::ui
