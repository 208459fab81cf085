// FlexGrid: drawing and input.
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "platform/ui/colours.h"
#include "platform/ui/flex_grid.h"
#include "platform/ui/vb_events.h"

namespace kyx::ui {
namespace {

QString qt(std::string_view s) { return QString::fromStdString(kyx::text::to_utf8(s)); }

bool looks_numeric(const std::string& s) {
  bool digit = false;
  for (char ch : s) {
    if (ch >= '0' && ch <= '9') {
      digit = true;
    } else if (ch != ' ' && ch != '.' && ch != ',' && ch != '-' && ch != '+' && ch != '%') {
      return false;
    }
  }
  return digit;
}

Qt::Alignment alignment(int code, const std::string& text) {
  if (code == flexAlignGeneral) code = looks_numeric(text) ? flexAlignRightCenter : flexAlignLeftCenter;
  Qt::Alignment h = code <= 2 ? Qt::AlignLeft : (code <= 5 ? Qt::AlignHCenter : Qt::AlignRight);
  const int v = code % 3;
  return h | (v == 0 ? Qt::AlignTop : (v == 1 ? Qt::AlignVCenter : Qt::AlignBottom));
}

}  // namespace

void FlexGrid::render(QPainter& p) {
  p.fillRect(rect(), ole_to_qcolor(back_bkg_));
  // Columns and rows in drawing order: the fixed ones, then from LeftCol / TopRow on.
  std::vector<std::pair<int32_t, int>> xs, ys;  // index, left/top pixel
  int x = 0;
  for (int32_t c = 0; c < cols_ && x < width(); ++c) {
    if (c >= fixed_cols_ && c < left_col_) continue;
    xs.push_back({c, x});
    x += ColPixelWidth(c);
  }
  int y = 0;
  for (int32_t r = 0; r < rows_ && y < height(); ++r) {
    if (r >= fixed_rows_ && r < top_row_) continue;
    ys.push_back({r, y});
    y += RowPixelHeight(r);
  }
  const QColor grid = ole_to_qcolor(grid_colour_);
  const QColor light = ole_to_qcolor(0x80000014), shadow = ole_to_qcolor(0x80000010);
  const bool show_sel = highlight_ == flexHighlightAlways || (highlight_ == flexHighlightWithFocus && hasFocus());
  const int32_t r0 = std::min(row_, row_sel_), r1 = std::max(row_, row_sel_);
  const int32_t c0 = std::min(col_, col_sel_), c1 = std::max(col_, col_sel_);
  const QFont base = font();
  for (const auto& [r, top] : ys) {
    const int h = RowPixelHeight(r);
    if (h <= 0) continue;
    for (const auto& [c, left] : xs) {
      const int w = ColPixelWidth(c);
      if (w <= 0) continue;
      const Cell& cl = cell(r, c);
      const bool fixed = r < fixed_rows_ || c < fixed_cols_;
      QColor bg = ole_to_qcolor(cl.back >= 0 ? static_cast<uint32_t>(cl.back) : (fixed ? back_fixed_ : back_));
      QColor fg = ole_to_qcolor(cl.fore >= 0 ? static_cast<uint32_t>(cl.fore) : (fixed ? fore_fixed_ : fore_));
      if (show_sel && !fixed && r >= r0 && r <= r1 && c >= c0 && c <= c1) {
        bg = ole_to_qcolor(0x8000000D);
        fg = ole_to_qcolor(0x8000000E);
      }
      const QRect cellr(left, top, w, h);
      p.fillRect(cellr, bg);
      if (fixed) {
        // Fixed cells look raised.
        p.setPen(light);
        p.drawLine(cellr.topLeft(), cellr.topRight());
        p.drawLine(cellr.topLeft(), cellr.bottomLeft());
        p.setPen(shadow);
        p.drawLine(cellr.topRight(), cellr.bottomRight());
        p.drawLine(cellr.bottomLeft(), cellr.bottomRight());
      } else if (grid_lines_ != flexGridNone) {
        p.setPen(grid);
        p.drawLine(cellr.topRight(), cellr.bottomRight());
        p.drawLine(cellr.bottomLeft(), cellr.bottomRight());
      }
      if (!cl.text.empty()) {
        QFont f = base;
        if (cl.bold) f.setBold(true);
        p.setFont(f);
        p.setPen(fg);
        p.drawText(cellr.adjusted(2, 0, -3, -1), static_cast<int>(alignment(col_align_[static_cast<std::size_t>(c)], cl.text)) | Qt::TextSingleLine,
                   qt(cl.text));
      }
    }
  }
}

void FlexGrid::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (!redraw_ && !kept_.isNull()) {
    // Painting is suspended: the grid goes on showing its last picture.
    p.drawPixmap(0, 0, kept_);
    return;
  }
  QPixmap pm(size());
  {
    QPainter pp(&pm);
    render(pp);
  }
  ++paint_count_;
  kept_ = pm;
  p.drawPixmap(0, 0, pm);
}

void FlexGrid::CellAt(QPoint pt, int32_t& row, int32_t& col) const {
  row = 0;
  col = 0;
  int y = 0;
  for (int32_t r = 0; r < rows_; ++r) {
    if (r >= fixed_rows_ && r < top_row_) continue;
    row = r;
    y += RowPixelHeight(r);
    if (pt.y() < y) break;
  }
  int x = 0;
  for (int32_t c = 0; c < cols_; ++c) {
    if (c >= fixed_cols_ && c < left_col_) continue;
    col = c;
    x += ColPixelWidth(c);
    if (pt.x() < x) break;
  }
}

void FlexGrid::track_mouse(QPoint p) { CellAt(p, mouse_row_, mouse_col_); }

void FlexGrid::mousePressEvent(QMouseEvent* e) {
  const QPoint pt = e->position().toPoint();
  track_mouse(pt);
  setFocus(Qt::MouseFocusReason);
  pressed_ = true;
  // A press on a movable cell makes it the current cell, as the user expects of a grid.
  if (e->button() == Qt::LeftButton && mouse_row_ >= fixed_rows_ && mouse_col_ >= fixed_cols_ &&
      rows_ > fixed_rows_ && cols_ > fixed_cols_) {
    row_ = row_sel_ = mouse_row_;
    col_ = col_sel_ = mouse_col_;
    changed();
  }
  if (MouseDown) {
    MouseDown(vb_button(e->button()), vb_shift(e->modifiers()),
              static_cast<float>(px_to_twips_x(e->position().x())),
              static_cast<float>(px_to_twips_y(e->position().y())));
  }
}

void FlexGrid::mouseMoveEvent(QMouseEvent* e) {
  track_mouse(e->position().toPoint());
  if (MouseMove) {
    MouseMove(vb_buttons(e->buttons()), vb_shift(e->modifiers()),
              static_cast<float>(px_to_twips_x(e->position().x())),
              static_cast<float>(px_to_twips_y(e->position().y())));
  }
}

void FlexGrid::mouseReleaseEvent(QMouseEvent* e) {
  track_mouse(e->position().toPoint());
  if (MouseUp) {
    MouseUp(vb_button(e->button()), vb_shift(e->modifiers()),
            static_cast<float>(px_to_twips_x(e->position().x())),
            static_cast<float>(px_to_twips_y(e->position().y())));
  }
  const bool click = pressed_;
  pressed_ = false;
  if (click && Click) Click();
}

void FlexGrid::mouseDoubleClickEvent(QMouseEvent* e) {
  track_mouse(e->position().toPoint());
  pressed_ = true;
  if (DblClick) DblClick();
  if (MouseDown) {
    MouseDown(vb_button(e->button()), vb_shift(e->modifiers()),
              static_cast<float>(px_to_twips_x(e->position().x())),
              static_cast<float>(px_to_twips_y(e->position().y())));
  }
}

void FlexGrid::keyPressEvent(QKeyEvent* e) {
  int code = vb_key_code(*e);
  if (code != 0 && KeyDown) KeyDown(code, vb_shift(e->modifiers()));
  e->accept();
}

void FlexGrid::keyReleaseEvent(QKeyEvent* e) {
  int code = vb_key_code(*e);
  if (code != 0 && KeyUp) KeyUp(code, vb_shift(e->modifiers()));
  e->accept();
}

}  // namespace kyx::ui
