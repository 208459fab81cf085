#include "platform/ui/picture_canvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "platform/ui/colours.h"
#include "platform/ui/vb_events.h"

namespace kyx::ui {
namespace {
QString qt(std::string_view s) { return QString::fromStdString(kyx::text::to_utf8(s)); }
int px(float v) { return static_cast<int>(std::floor(v + 0.5f)); }
}  // namespace

PictureCanvas::PictureCanvas(QWidget* parent) : VbControl<QWidget>(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  image_ = QImage(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
  clear_to_background(image_);
}

QColor PictureCanvas::colour_of(int64_t c) const {
  return ole_to_qcolor(c < 0 ? fore_ : static_cast<uint32_t>(c));
}

void PictureCanvas::clear_to_background(QImage& img) const {
  img.fill(ole_to_qcolor(back_));
  if (!picture_.isNull()) {
    QPainter p(&img);
    p.drawImage(0, 0, picture_);
  }
}

void PictureCanvas::SetBackColor(uint32_t ole) {
  back_ = ole;
  Cls();
}

std::string PictureCanvas::FontName() const { return kyx::text::from_utf8(font().family().toStdString()); }
void PictureCanvas::SetFontName(std::string_view name) {
  QFont f = font();
  f.setFamily(qt(name));
  setFont(f);
}
void PictureCanvas::SetFontSize(float points) {
  QFont f = font();
  if (points > 0) f.setPointSizeF(points);
  setFont(f);
}
void PictureCanvas::SetFontBold(bool b) {
  QFont f = font();
  f.setBold(b);
  setFont(f);
}
void PictureCanvas::SetFontItalic(bool b) {
  QFont f = font();
  f.setItalic(b);
  setFont(f);
}

void PictureCanvas::Cls() {
  fit_image();
  clear_to_background(image_);
  cur_x_ = cur_y_ = 0;
  changed();
}

void PictureCanvas::Line(float x1, float y1, float x2, float y2, int64_t colour, LineBox box) {
  fit_image();
  QPainter p(&image_);
  p.setRenderHint(QPainter::Antialiasing, false);
  const QColor c = colour_of(colour);
  const QRect r = QRect(QPoint(px(x1), px(y1)), QPoint(px(x2), px(y2))).normalized();
  if (box == LineBox::BF) {
    p.fillRect(r, c);
  } else if (box == LineBox::B) {
    if (fill_style_ == vbFSSolid) p.fillRect(r, ole_to_qcolor(fill_));
    p.setPen(QPen(c, draw_width_, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    if (draw_width_ == 1) {
      p.drawRect(r.adjusted(0, 0, -1, -1));
    } else {
      p.drawRect(r);
    }
  } else {
    // The end point itself is left out: the line stops one pixel short along its longer axis.
    const int ax = px(x1), ay = px(y1), bx = px(x2), by = px(y2);
    const int dx = bx - ax, dy = by - ay;
    if (dx != 0 || dy != 0) {
      QPointF end;
      if (std::abs(dx) >= std::abs(dy)) {
        const double ex = bx - (dx > 0 ? 1 : -1);
        end = QPointF(ex, ay + static_cast<double>(dy) * (ex - ax) / dx);
      } else {
        const double ey = by - (dy > 0 ? 1 : -1);
        end = QPointF(ax + static_cast<double>(dx) * (ey - ay) / dy, ey);
      }
      p.setPen(QPen(c, draw_width_, Qt::SolidLine, draw_width_ == 1 ? Qt::SquareCap : Qt::RoundCap));
      p.drawLine(QPointF(ax, ay), QPointF(std::round(end.x()), std::round(end.y())));
    }
  }
  cur_x_ = x2;
  cur_y_ = y2;
  changed();
}

void PictureCanvas::PSet(float x, float y, int64_t colour) {
  fit_image();
  const QColor c = colour_of(colour);
  if (draw_width_ == 1) {
    const int ix = px(x), iy = px(y);
    if (image_.rect().contains(ix, iy)) image_.setPixelColor(ix, iy, c);
  } else {
    QPainter p(&image_);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QPointF(x, y), draw_width_ / 2.0, draw_width_ / 2.0);
  }
  cur_x_ = x;
  cur_y_ = y;
  changed();
}

int64_t PictureCanvas::Point(float x, float y) const {
  const int ix = px(x), iy = px(y);
  if (!image_.rect().contains(ix, iy)) return -1;
  return qcolor_to_ole(image_.pixelColor(ix, iy));
}

void PictureCanvas::Print(std::string_view text, bool newline) {
  fit_image();
  const QString s = qt(text);
  const QFontMetrics fm(font());
  {
    QPainter p(&image_);
    p.setFont(font());
    p.setPen(ole_to_qcolor(fore_));
    p.drawText(QPointF(cur_x_, cur_y_ + fm.ascent()), s);
  }
  if (newline) {
    cur_x_ = 0;
    cur_y_ += static_cast<float>(fm.height());
  } else {
    cur_x_ += static_cast<float>(fm.horizontalAdvance(s));
  }
  changed();
}

float PictureCanvas::TextWidth(std::string_view text) const {
  // The widest line of a text with line breaks.
  const QFontMetrics fm(font());
  int w = 0;
  for (const QString& line : qt(text).split(QChar('\n'))) {
    QString l = line;
    if (l.endsWith(QChar('\r'))) l.chop(1);
    w = std::max(w, fm.horizontalAdvance(l));
  }
  return static_cast<float>(w);
}

float PictureCanvas::TextHeight(std::string_view text) const {
  const QFontMetrics fm(font());
  const auto lines = std::max<qsizetype>(1, qt(text).count(QChar('\n')) + 1);
  return static_cast<float>(fm.height() * lines);
}

void PictureCanvas::SetPicture(const QImage& picture) {
  fit_image();
  picture_ = picture.isNull() ? QImage() : picture.convertToFormat(QImage::Format_ARGB32);
  QPainter p(&image_);
  if (!picture_.isNull()) p.drawImage(0, 0, picture_);
  changed();
}

void PictureCanvas::resizeEvent(QResizeEvent* e) {
  VbControl<QWidget>::resizeEvent(e);
  fit_image();
}

void PictureCanvas::fit_image() {
  // The drawing grows with the control and keeps what is on it. Drawing methods check too: a
  // hidden control gets its resize event only when it is shown.
  if (width() > image_.width() || height() > image_.height()) {
    QImage bigger(std::max(width(), image_.width()), std::max(height(), image_.height()),
                  QImage::Format_RGB32);
    clear_to_background(bigger);
    QPainter p(&bigger);
    p.drawImage(0, 0, image_);
    p.end();
    image_ = bigger;
  }
}

void PictureCanvas::changed() {
  // Drawing done by the Paint handler shows in the paint that is running.
  if (!in_paint_) update();
}

void PictureCanvas::paintEvent(QPaintEvent* e) {
  if (Paint) {
    in_paint_ = true;
    Paint();
    in_paint_ = false;
  }
  QPainter p(this);
  p.drawImage(e->rect().topLeft(), image_, e->rect());
}

void PictureCanvas::mousePressEvent(QMouseEvent* e) {
  pressed_ = true;
  if (MouseDown) {
    MouseDown(vb_button(e->button()), vb_shift(e->modifiers()), static_cast<float>(e->position().x()),
              static_cast<float>(e->position().y()));
  }
}

void PictureCanvas::mouseMoveEvent(QMouseEvent* e) {
  if (MouseMove) {
    MouseMove(vb_buttons(e->buttons()), vb_shift(e->modifiers()),
              static_cast<float>(e->position().x()), static_cast<float>(e->position().y()));
  }
}

void PictureCanvas::mouseReleaseEvent(QMouseEvent* e) {
  if (MouseUp) {
    MouseUp(vb_button(e->button()), vb_shift(e->modifiers()), static_cast<float>(e->position().x()),
            static_cast<float>(e->position().y()));
  }
  const bool click = pressed_ && rect().contains(e->position().toPoint());
  pressed_ = false;
  if (click && Click) Click();
}

void PictureCanvas::mouseDoubleClickEvent(QMouseEvent* e) {
  pressed_ = true;
  if (DblClick) DblClick();
  if (MouseDown) {
    MouseDown(vb_button(e->button()), vb_shift(e->modifiers()), static_cast<float>(e->position().x()),
              static_cast<float>(e->position().y()));
  }
}

}  // namespace kyx::ui
