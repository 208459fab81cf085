#include "platform/ui/keyed_status_bar.h"

#include <QDateTime>
#include <QHelpEvent>
#include <QLocale>
#include <QPainter>
#include <QToolTip>

#include "platform/ui/colours.h"
#include "platform/ui/key_error.h"

namespace kyx::ui {
namespace {
constexpr int kGap = 2;
QString qt(std::string_view s) { return QString::fromStdString(kyx::text::to_utf8(s)); }
}  // namespace

void StatusPanel::SetText(std::string_view t) {
  if (text_ == t) return;
  text_ = std::string(t);
  if (bar_) {
    if (autosize_ == sbrContents) {
      bar_->relayout();
    } else {
      bar_->update();
    }
  }
}
void StatusPanel::SetWidth(int px) {
  width_ = std::max(0, px);
  if (bar_) bar_->relayout();
}
void StatusPanel::SetAlignment(int a) {
  alignment_ = a;
  if (bar_) bar_->update();
}
void StatusPanel::SetAutoSize(int a) {
  autosize_ = a;
  if (bar_) bar_->relayout();
}
void StatusPanel::SetStyle(int s) {
  style_ = s;
  if (bar_) bar_->relayout();
}
void StatusPanel::SetVisible(bool v) {
  visible_ = v;
  if (bar_) bar_->relayout();
}

std::string StatusPanel::ShownText() const {
  const QLocale loc;
  if (style_ == sbrDate) {
    return kyx::text::from_utf8(loc.toString(QDate::currentDate(), QLocale::ShortFormat).toStdString());
  }
  if (style_ == sbrTime) {
    return kyx::text::from_utf8(loc.toString(QTime::currentTime(), QLocale::ShortFormat).toStdString());
  }
  return text_;
}

KeyedStatusBar::KeyedStatusBar(QWidget* parent) : VbControl<QWidget>(parent) {
  resize(200, std::max(20, fontMetrics().height() + 6));
  clock_.setInterval(1000);
  QObject::connect(&clock_, &QTimer::timeout, this, [this] { update(); });
  if (parent) parent->installEventFilter(this);
  dock();
}

StatusPanel& KeyedStatusBar::Add(std::string_view key, std::string_view text, int style) {
  if (Exists(key)) throw KeyError::not_unique("StatusBar.Panels", key);
  auto p = std::make_unique<StatusPanel>();
  p->bar_ = this;
  p->key_ = std::string(key);
  p->text_ = std::string(text);
  p->style_ = style;
  p->index_ = Count() + 1;
  StatusPanel& ref = *p;
  panels_.push_back(std::move(p));
  relayout();
  return ref;
}

bool KeyedStatusBar::Exists(std::string_view key) const {
  if (key.empty()) return false;
  for (const auto& p : panels_) {
    if (p->key_ == key) return true;
  }
  return false;
}

StatusPanel& KeyedStatusBar::Panels(std::string_view key) {
  if (!key.empty()) {
    for (auto& p : panels_) {
      if (p->key_ == key) return *p;
    }
  }
  throw KeyError::not_found("StatusBar.Panels", key);
}

StatusPanel& KeyedStatusBar::Panels(int index) {
  if (index < 1 || index > Count()) throw KeyError::bad_index("StatusBar.Panels", index);
  return *panels_[static_cast<std::size_t>(index - 1)];
}

void KeyedStatusBar::SetAlign(int align) {
  align_ = align;
  dock();
}

void KeyedStatusBar::dock() {
  QWidget* parent = parentWidget();
  if (align_ != vbAlignBottom || !parent) return;
  setGeometry(0, parent->height() - height(), parent->width(), height());
}

bool KeyedStatusBar::eventFilter(QObject* watched, QEvent* e) {
  if (watched == parentWidget() && e->type() == QEvent::Resize) dock();
  return false;
}

void KeyedStatusBar::relayout() {
  // Fixed and contents panels take their width; springs share what is left (at least their
  // own width).
  const QFontMetrics fm = fontMetrics();
  int fixed = 0, springs = 0;
  bool clock = false;
  for (auto& p : panels_) {
    if (!p->visible_) continue;
    if (p->style_ == sbrDate || p->style_ == sbrTime) clock = true;
    if (p->autosize_ == sbrSpring) {
      ++springs;
      continue;
    }
    p->shown_width_ = p->width_;
    if (p->autosize_ == sbrContents) {
      p->shown_width_ = std::max(p->width_, fm.horizontalAdvance(qt(p->ShownText())) + 10);
    }
    fixed += p->shown_width_ + kGap;
  }
  int spare = width() - fixed - springs * kGap;
  int x = 0;
  for (auto& p : panels_) {
    if (!p->visible_) {
      p->left_ = x;
      p->shown_width_ = 0;
      continue;
    }
    if (p->autosize_ == sbrSpring) {
      p->shown_width_ = std::max(p->width_, springs > 0 ? spare / springs : 0);
      spare -= p->shown_width_;
      --springs;
    }
    p->left_ = x;
    x += p->shown_width_ + kGap;
  }
  if (clock && !clock_.isActive()) clock_.start();
  if (!clock && clock_.isActive()) clock_.stop();
  update();
}

StatusPanel* KeyedStatusBar::PanelAt(QPoint pt) {
  for (auto& p : panels_) {
    if (p->visible_ && pt.x() >= p->left_ && pt.x() < p->left_ + p->shown_width_) return p.get();
  }
  return nullptr;
}

void KeyedStatusBar::resizeEvent(QResizeEvent* e) {
  VbControl<QWidget>::resizeEvent(e);
  relayout();
}

void KeyedStatusBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QColor face = ole_to_qcolor(0x8000000F);
  const QColor light = ole_to_qcolor(0x80000014);
  const QColor shadow = ole_to_qcolor(0x80000010);
  p.fillRect(rect(), face);
  p.setFont(font());
  for (const auto& pn : panels_) {
    if (!pn->visible_ || pn->shown_width_ <= 0) continue;
    // Each panel is a sunken box.
    const QRect r(pn->left_, 2, pn->shown_width_, height() - 3);
    p.setPen(shadow);
    p.drawLine(r.left(), r.top(), r.right(), r.top());
    p.drawLine(r.left(), r.top(), r.left(), r.bottom());
    p.setPen(light);
    p.drawLine(r.right(), r.top(), r.right(), r.bottom());
    p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    Qt::Alignment a = Qt::AlignVCenter;
    a |= pn->alignment_ == sbrCenter ? Qt::AlignHCenter
                                     : (pn->alignment_ == sbrRight ? Qt::AlignRight : Qt::AlignLeft);
    p.setPen(ole_to_qcolor(0x80000012));
    p.drawText(r.adjusted(3, 1, -3, -1), static_cast<int>(a), qt(pn->ShownText()));
  }
}

bool KeyedStatusBar::event(QEvent* e) {
  if (e->type() == QEvent::ToolTip) {
    auto* he = static_cast<QHelpEvent*>(e);
    StatusPanel* pn = PanelAt(he->pos());
    if (pn && !pn->tooltip_.empty()) {
      QToolTip::showText(he->globalPos(), qt(pn->tooltip_), this);
    } else {
      QToolTip::hideText();
    }
    return true;
  }
  return VbControl<QWidget>::event(e);
}

}  // namespace kyx::ui
