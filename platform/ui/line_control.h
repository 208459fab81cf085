#pragma once
// A line drawn on its container between two end points that the code reads back (X1, Y1, X2, Y2
// in the container's pixels, fractions kept as given). It takes no mouse input and stays behind
// the container's other controls, as a line drawn on the container's surface would.
#include <QWidget>
#include <cstdint>

namespace kyx::ui {

class LineControl : public QWidget {
 public:
  explicit LineControl(QWidget* parent = nullptr);

  double X1() const { return x1_; }
  double Y1() const { return y1_; }
  double X2() const { return x2_; }
  double Y2() const { return y2_; }
  void SetX1(double v);
  void SetY1(double v);
  void SetX2(double v);
  void SetY2(double v);
  // All four ends at once.
  void SetEnds(double x1, double y1, double x2, double y2);

  uint32_t BorderColor() const { return colour_; }
  void SetBorderColor(uint32_t ole);
  int BorderWidth() const { return width_; }
  void SetBorderWidth(int px);
  bool Visible() const { return !isHidden(); }
  void SetVisible(bool v) { setVisible(v); }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  void place();
  double x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
  uint32_t colour_ = 0x80000008;
  int width_ = 1;
};

}  // namespace kyx::ui
