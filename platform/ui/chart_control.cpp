#include "platform/ui/chart_control.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "platform/ui/vb_events.h"

namespace kyx::ui {

Chart::Chart(QWidget* parent) : VbControl<QWidget>(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void Chart::SetRepaint(bool on) {
  repaint_ = on;
  if (on) update();
}

ChartLayout Chart::Layout() const { return RenderChart(data_, QRectF(rect()), nullptr); }

ChartHit Chart::HitTest(double x, double y) const {
  return Layout().HitTest(std::round(x), std::round(y));
}

uint32_t Chart::SeriesPenColour(int series) const {
  const QColor c = data_.SeriesColour(series);
  return static_cast<uint32_t>(c.red()) | static_cast<uint32_t>(c.green()) << 8 |
         static_cast<uint32_t>(c.blue()) << 16;
}

void Chart::SetSeriesPenColour(int series, uint32_t rgb) {
  data_.series_colours[series] = QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
  if (repaint_) update();
}

void Chart::PaintOn(QPainter& painter, const QRectF& area) const { RenderChart(data_, area, &painter); }

void Chart::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!repaint_) return;
  PaintOn(painter, QRectF(rect()));
}

void Chart::mousePressEvent(QMouseEvent* e) {
  pressed_ = true;
  if (MouseDown) {
    MouseDown(vb_button(e->button()), vb_shift(e->modifiers()), static_cast<float>(e->position().x()),
              static_cast<float>(e->position().y()));
  }
}

void Chart::mouseMoveEvent(QMouseEvent* e) {
  if (MouseMove) {
    MouseMove(vb_buttons(e->buttons()), vb_shift(e->modifiers()), static_cast<float>(e->position().x()),
              static_cast<float>(e->position().y()));
  }
}

void Chart::mouseReleaseEvent(QMouseEvent* e) {
  if (MouseUp) {
    MouseUp(vb_button(e->button()), vb_shift(e->modifiers()), static_cast<float>(e->position().x()),
            static_cast<float>(e->position().y()));
  }
  const bool was_pressed = pressed_;
  pressed_ = false;
  if (was_pressed && rect().contains(e->position().toPoint()) && Click) Click();
}

}  // namespace kyx::ui
