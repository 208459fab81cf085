#include "platform/ui/line_control.h"

#include <QPainter>
#include <algorithm>

#include "platform/ui/colours.h"
#include "platform/ui/units.h"

namespace kyx::ui {

LineControl::LineControl(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  place();
}

void LineControl::SetX1(double v) { SetEnds(v, y1_, x2_, y2_); }
void LineControl::SetY1(double v) { SetEnds(x1_, v, x2_, y2_); }
void LineControl::SetX2(double v) { SetEnds(x1_, y1_, v, y2_); }
void LineControl::SetY2(double v) { SetEnds(x1_, y1_, x2_, v); }

void LineControl::SetEnds(double x1, double y1, double x2, double y2) {
  x1_ = x1;
  y1_ = y1;
  x2_ = x2;
  y2_ = y2;
  place();
}

void LineControl::SetBorderColor(uint32_t ole) {
  colour_ = ole;
  update();
}

void LineControl::SetBorderWidth(int px) {
  width_ = std::max(1, px);
  place();
}

void LineControl::place() {
  // The widget covers the line's bounding box, widened by the pen, and sits behind its siblings.
  const int ax = static_cast<int>(round_even(x1_)), ay = static_cast<int>(round_even(y1_));
  const int bx = static_cast<int>(round_even(x2_)), by = static_cast<int>(round_even(y2_));
  const int half = (width_ - 1) / 2;
  const QRect r(QPoint(std::min(ax, bx) - half, std::min(ay, by) - half),
                QPoint(std::max(ax, bx) + width_ - 1 - half, std::max(ay, by) + width_ - 1 - half));
  setGeometry(r);
  lower();
  update();
}

void LineControl::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing, false);
  const QPoint origin = geometry().topLeft();
  const QPoint a(static_cast<int>(round_even(x1_)), static_cast<int>(round_even(y1_)));
  const QPoint b(static_cast<int>(round_even(x2_)), static_cast<int>(round_even(y2_)));
  const QColor c = ole_to_qcolor(colour_);
  if (width_ == 1) {
    p.setPen(c);
    p.drawLine(a - origin, b - origin);
  } else {
    p.setPen(QPen(c, width_, Qt::SolidLine, Qt::SquareCap));
    p.drawLine(a - origin, b - origin);
  }
}

}  // namespace kyx::ui
