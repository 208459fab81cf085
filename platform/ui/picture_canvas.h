#pragma once
// A picture box that keeps what is drawn on it: every drawing method paints into an image held by
// the control, which is what the screen shows and what survives any repaint (AutoRedraw). The
// scale is pixels. Colours are OLE colours; a colour argument of -1 means ForeColor.
//
//   Cls                   clears to BackColor (and the Picture, when one is set), CurrentX/Y = 0
//   Line x1, y1, x2, y2   a line (the last point is not drawn, as the system's drawing does);
//                         with LineBox::B a box border filled by FillColor/FillStyle; with
//                         LineBox::BF a box filled with the line's colour
//   PSet x, y             one point (DrawWidth across)
//   Print text            at CurrentX/CurrentY in ForeColor; then CurrentY moves one line down and
//                         CurrentX back to 0, or, with newline false, CurrentX moves past the text
#include <QImage>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/ui/control.h"

namespace kyx::ui {

enum class LineBox { None, B, BF };

// FillStyle values.
inline constexpr int vbFSSolid = 0;
inline constexpr int vbFSTransparent = 1;

class PictureCanvas : public VbControl<QWidget> {
 public:
  explicit PictureCanvas(QWidget* parent = nullptr);

  bool AutoRedraw() const { return auto_redraw_; }
  void SetAutoRedraw(bool v) { auto_redraw_ = v; }
  uint32_t BackColor() const { return back_; }
  void SetBackColor(uint32_t ole);  // also clears the drawing, as Cls does
  uint32_t ForeColor() const { return fore_; }
  void SetForeColor(uint32_t ole) { fore_ = ole; }
  uint32_t FillColor() const { return fill_; }
  void SetFillColor(uint32_t ole) { fill_ = ole; }
  int FillStyle() const { return fill_style_; }
  void SetFillStyle(int s) { fill_style_ = s; }
  int DrawWidth() const { return draw_width_; }
  void SetDrawWidth(int w) { draw_width_ = w < 1 ? 1 : w; }
  float CurrentX() const { return cur_x_; }
  float CurrentY() const { return cur_y_; }
  void SetCurrentX(float v) { cur_x_ = v; }
  void SetCurrentY(float v) { cur_y_ = v; }
  int ScaleWidth() const { return width(); }
  int ScaleHeight() const { return height(); }

  // Font of the drawn text (the name in Windows-1252).
  std::string FontName() const;
  void SetFontName(std::string_view name);
  float FontSize() const { return static_cast<float>(font().pointSizeF()); }
  void SetFontSize(float points);
  bool FontBold() const { return font().bold(); }
  void SetFontBold(bool b);
  bool FontItalic() const { return font().italic(); }
  void SetFontItalic(bool b);

  void Cls();
  void Line(float x1, float y1, float x2, float y2, int64_t colour = -1, LineBox box = LineBox::None);
  void PSet(float x, float y, int64_t colour = -1);
  // The colour of a point (OLE), or -1 outside the picture.
  int64_t Point(float x, float y) const;
  void Print(std::string_view cp1252, bool newline = true);
  float TextWidth(std::string_view cp1252) const;
  float TextHeight(std::string_view cp1252) const;

  // The drawing as it stands (the Image property).
  const QImage& Image() const { return image_; }
  // A picture under the drawing that Cls does not remove (the Picture property); a null image
  // removes it.
  void SetPicture(const QImage& picture);
  const QImage& Picture() const { return picture_; }

  // Mouse events in pixels with BASIC button and shift codes.
  std::function<void(int Button, int Shift, float X, float Y)> MouseDown, MouseMove, MouseUp;
  std::function<void()> Click, DblClick;
  // Runs before each repaint; what it draws shows at once.
  std::function<void()> Paint;

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;
  void mouseDoubleClickEvent(QMouseEvent*) override;

 private:
  QColor colour_of(int64_t colour) const;
  void clear_to_background(QImage& img) const;
  void changed();
  void fit_image();

  QImage image_, picture_;
  bool auto_redraw_ = true;
  uint32_t back_ = 0x8000000F, fore_ = 0x80000012, fill_ = 0;
  int fill_style_ = vbFSTransparent, draw_width_ = 1;
  float cur_x_ = 0, cur_y_ = 0;
  bool pressed_ = false;
  bool in_paint_ = false;
};

}  // namespace kyx::ui
