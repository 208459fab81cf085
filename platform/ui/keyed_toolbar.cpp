#include "platform/ui/keyed_toolbar.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "platform/ui/colours.h"
#include "platform/ui/image_list.h"
#include "platform/ui/key_error.h"
#include "platform/ui/vb_events.h"

namespace kyx::ui {
namespace {

constexpr int kSeparatorWidth = 8;
constexpr int kMargin = 2;

// A greyed copy of a picture for disabled buttons: every visible pixel becomes a light grey
// with a white shadow, the classic look of a disabled picture.
QPixmap disabled_picture(const QPixmap& pm) {
  QImage src = pm.toImage().convertToFormat(QImage::Format_ARGB32);
  QImage out(src.size(), QImage::Format_ARGB32);
  out.fill(Qt::transparent);
  for (int y = 0; y < src.height(); ++y) {
    for (int x = 0; x < src.width(); ++x) {
      const QRgb c = src.pixel(x, y);
      if (qAlpha(c) < 128) continue;
      const int lum = qGray(c);
      if (lum > 200) continue;  // light parts vanish
      if (x + 1 < out.width() && y + 1 < out.height()) out.setPixel(x + 1, y + 1, qRgb(255, 255, 255));
      out.setPixel(x, y, qRgb(128, 128, 128));
    }
  }
  return QPixmap::fromImage(out);
}

}  // namespace

void ToolbarButton::SetValue(int v) {
  if (value_ == v) return;
  value_ = v;
  if (bar_) bar_->update();
}

void ToolbarButton::SetEnabled(bool e) {
  if (enabled_ == e) return;
  enabled_ = e;
  if (bar_) bar_->update();
}

void ToolbarButton::SetVisible(bool v) {
  if (visible_ == v) return;
  visible_ = v;
  if (bar_) bar_->relayout();
}

void ToolbarButton::SetImage(int index) {
  if (index != 0 && (!bar_ || !bar_->images_ || index < 0 || index > bar_->images_->Count())) {
    throw KeyError::bad_index("Toolbar.Image", index);
  }
  image_ = index;
  if (bar_) bar_->update();
}

void ToolbarButton::SetImage(std::string_view key) {
  if (!bar_ || !bar_->images_) throw KeyError::not_found("Toolbar.Image", key);
  SetImage(bar_->images_->Index(key));
}

std::string ToolbarButton::ImageKey() const {
  if (image_ == 0 || !bar_ || !bar_->images_ || image_ > bar_->images_->Count()) return {};
  return bar_->images_->Key(image_);
}

KeyedToolbar::KeyedToolbar(QWidget* parent) : VbControl<QWidget>(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent, false);
  relayout();
}

ToolbarButton& KeyedToolbar::Add(std::string_view key, int style, std::string_view image_key) {
  if (!key.empty() && Exists(key)) throw KeyError::not_unique("Toolbar.Buttons", key);
  auto b = std::make_unique<ToolbarButton>();
  b->bar_ = this;
  b->key_ = std::string(key);
  b->style_ = style;
  b->index_ = Count() + 1;
  ToolbarButton& ref = *b;
  buttons_.push_back(std::move(b));
  if (!image_key.empty()) ref.SetImage(image_key);
  relayout();
  return ref;
}

bool KeyedToolbar::Exists(std::string_view key) const {
  if (key.empty()) return false;
  for (const auto& b : buttons_) {
    if (b->key_ == key) return true;
  }
  return false;
}

ToolbarButton& KeyedToolbar::Buttons(std::string_view key) {
  if (!key.empty()) {
    for (auto& b : buttons_) {
      if (b->key_ == key) return *b;
    }
  }
  throw KeyError::not_found("Toolbar.Buttons", key);
}

ToolbarButton& KeyedToolbar::Buttons(int index) {
  if (index < 1 || index > Count()) throw KeyError::bad_index("Toolbar.Buttons", index);
  return *buttons_[static_cast<std::size_t>(index - 1)];
}

void KeyedToolbar::SetImageList(const ImageList* list) {
  images_ = list;
  update();
}

void KeyedToolbar::relayout() {
  int x = 0;
  for (auto& b : buttons_) {
    b->left_ = x;
    b->top_ = kMargin;
    b->height_ = button_h_;
    if (!b->visible_) {
      b->width_ = 0;
      continue;
    }
    b->width_ = b->style_ == tbrSeparator ? kSeparatorWidth : button_w_;
    x += b->width_;
  }
  // The toolbar is as wide as its buttons, and one button plus margins high.
  resize(std::max(x, 1), button_h_ + 2 * kMargin);
  update();
}

ToolbarButton* KeyedToolbar::ButtonAt(QPoint p) {
  for (auto& b : buttons_) {
    if (!b->visible_ || b->width_ == 0) continue;
    if (p.x() >= b->left_ && p.x() < b->left_ + b->width_ && p.y() >= b->top_ &&
        p.y() < b->top_ + b->height_) {
      return b.get();
    }
  }
  return nullptr;
}

void KeyedToolbar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QColor face = ole_to_qcolor(0x8000000F);
  const QColor light = ole_to_qcolor(0x80000014);
  const QColor shadow = ole_to_qcolor(0x80000010);
  p.fillRect(rect(), face);
  for (const auto& b : buttons_) {
    if (!b->visible_) continue;
    const QRect r(b->left_, b->top_, b->width_, b->height_);
    if (b->style_ == tbrSeparator) {
      const int cx = r.center().x();
      p.setPen(shadow);
      p.drawLine(cx, r.top() + 2, cx, r.bottom() - 2);
      p.setPen(light);
      p.drawLine(cx + 1, r.top() + 2, cx + 1, r.bottom() - 2);
      continue;
    }
    const bool pressed = b->value_ == tbrPressed;
    const bool hot = b.get() == hot_ && b->enabled_;
    if (pressed) {
      // A pressed button is sunken on a lighter, dotted face.
      p.fillRect(r.adjusted(1, 1, -1, -1), QBrush(light, Qt::Dense4Pattern));
    }
    if (pressed || hot) {
      p.setPen(pressed ? shadow : light);
      p.drawLine(r.left(), r.top(), r.right(), r.top());
      p.drawLine(r.left(), r.top(), r.left(), r.bottom());
      p.setPen(pressed ? light : shadow);
      p.drawLine(r.right(), r.top(), r.right(), r.bottom());
      p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    }
    if (b->image_ > 0 && images_ && b->image_ <= images_->Count()) {
      QPixmap pm = images_->Picture(b->image_);
      if (!b->enabled_) pm = disabled_picture(pm);
      const int off = pressed ? 1 : 0;
      p.drawPixmap(r.left() + (r.width() - pm.width()) / 2 + off,
                   r.top() + (r.height() - pm.height()) / 2 + off, pm);
    }
  }
}

void KeyedToolbar::mousePressEvent(QMouseEvent* e) {
  const QPointF pos = e->position();
  if (MouseDown) {
    MouseDown(vb_button(e->button()), vb_shift(e->modifiers()),
              static_cast<float>(px_to_twips_x(pos.x())), static_cast<float>(px_to_twips_y(pos.y())));
  }
}

void KeyedToolbar::mouseMoveEvent(QMouseEvent* e) {
  ToolbarButton* h = ButtonAt(e->position().toPoint());
  if (h && h->style_ == tbrSeparator) h = nullptr;
  if (h != hot_) {
    hot_ = h;
    update();
  }
  if (MouseMove) {
    const QPointF pos = e->position();
    MouseMove(vb_buttons(e->buttons()), vb_shift(e->modifiers()),
              static_cast<float>(px_to_twips_x(pos.x())), static_cast<float>(px_to_twips_y(pos.y())));
  }
}

void KeyedToolbar::mouseReleaseEvent(QMouseEvent* e) {
  if (MouseUp) {
    const QPointF pos = e->position();
    MouseUp(vb_button(e->button()), vb_shift(e->modifiers()),
            static_cast<float>(px_to_twips_x(pos.x())), static_cast<float>(px_to_twips_y(pos.y())));
  }
}

void KeyedToolbar::leaveEvent(QEvent*) {
  if (hot_) {
    hot_ = nullptr;
    update();
  }
}

bool KeyedToolbar::event(QEvent* e) {
  if (e->type() == QEvent::ToolTip) {
    auto* he = static_cast<QHelpEvent*>(e);
    ToolbarButton* b = ButtonAt(he->pos());
    if (b && !b->tooltip_.empty()) {
      QToolTip::showText(he->globalPos(), QString::fromStdString(kyx::text::to_utf8(b->tooltip_)),
                         this);
    } else {
      QToolTip::hideText();
    }
    return true;
  }
  return VbControl<QWidget>::event(e);
}

}  // namespace kyx::ui
