#pragma once
// The chart control of the main window: a widget that shows a ChartData through RenderChart, with
// what the program's code asks of it: repainting suspended while a redraw is built, the part under
// a point (the hit test of the drawn layout), the selected part, series pen colours, and mouse
// events in pixels with BASIC button and shift codes.
#include <QWidget>
#include <functional>

#include "platform/ui/chart.h"
#include "platform/ui/control.h"

namespace kyx::ui {

class Chart : public VbControl<QWidget> {
 public:
  explicit Chart(QWidget* parent = nullptr);

  ChartData& Data() { return data_; }
  const ChartData& Data() const { return data_; }

  // Repaint off while the data is rebuilt; turning it on repaints once.
  void SetRepaint(bool on);
  bool Repaint() const { return repaint_; }

  // The part under a point of the control, in pixels (rounded to whole pixels first).
  ChartHit HitTest(double x, double y) const;
  // The layout of the picture as the control shows it now.
  ChartLayout Layout() const;

  // The selected part (kind and indexes), kept for the program; nothing is drawn for it.
  void SelectPart(int part, int series, int point) { selected_ = {part, series, point}; }
  ChartHit Selected() const { return selected_; }

  // A series' pen colour as an RGB value (red in the low byte), and setting it.
  uint32_t SeriesPenColour(int series) const;
  void SetSeriesPenColour(int series, uint32_t rgb);

  // Paints the chart on any painter, in `area` (the printing uses this).
  void PaintOn(QPainter& painter, const QRectF& area) const;

  std::function<void(int Button, int Shift, float X, float Y)> MouseDown, MouseMove, MouseUp;
  std::function<void()> Click;

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;

 private:
  ChartData data_;
  bool repaint_ = true;
  bool pressed_ = false;
  ChartHit selected_;
};

}  // namespace kyx::ui
