#include "platform/ui/progress_bar.h"

#include <QPainter>
#include <algorithm>

#include "platform/ui/colours.h"

namespace kyx::ui {

ProgressBar::ProgressBar(QWidget* parent) : VbControl<QWidget>(parent) { resize(150, 18); }

void ProgressBar::SetMin(float v) {
  min_ = v;
  if (max_ < min_) max_ = min_;
  value_ = std::clamp(value_, min_, max_);
  update();
}

void ProgressBar::SetMax(float v) {
  max_ = v;
  if (min_ > max_) min_ = max_;
  value_ = std::clamp(value_, min_, max_);
  update();
}

void ProgressBar::SetValue(float v) {
  value_ = std::clamp(v, min_, max_);
  update();
}

void ProgressBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect r = rect();
  p.fillRect(r, ole_to_qcolor(0x8000000F));
  p.setPen(ole_to_qcolor(0x80000010));
  p.drawLine(r.topLeft(), r.topRight());
  p.drawLine(r.topLeft(), r.bottomLeft());
  p.setPen(ole_to_qcolor(0x80000014));
  p.drawLine(r.topRight(), r.bottomRight());
  p.drawLine(r.bottomLeft(), r.bottomRight());
  if (max_ <= min_) return;
  const QRect inner = r.adjusted(2, 2, -2, -2);
  const int filled = static_cast<int>(inner.width() * ((value_ - min_) / (max_ - min_)));
  const int block = std::max(4, inner.height() * 2 / 3);
  const QColor c = ole_to_qcolor(0x8000000D);
  for (int x = 0; x < filled; x += block + 2) {
    p.fillRect(inner.left() + x, inner.top(), std::min(block, filled - x), inner.height(), c);
  }
}

}  // namespace kyx::ui
