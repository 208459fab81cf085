// Lines, fills, text and images on a printer context's open page.
#include <QFontMetricsF>
#include <QImage>
#include <QPen>
#include <cmath>

#include "platform/gdi/detail.h"
#include "platform/text/cp1252.h"

namespace kyx::gdi {

using detail::Context;

namespace {

// The painter of the open page, or nullptr (a screen context, no page open).
QPainter* Page(Handle dc) {
  auto& all = detail::state().contexts;
  auto it = all.find(dc);
  if (it == all.end() || !it->second.printer || !it->second.painter || !it->second.painter->isActive()) {
    SetLastError(kErrorInvalidHandle);
    return nullptr;
  }
  return it->second.painter.get();
}

Context& Of(Handle dc) { return detail::state().contexts.at(dc); }

QRect To_QRect(const Rect& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }

}  // namespace

bool Polyline(Handle dc, const Point* points, int count) {
  QPainter* p = Page(dc);
  if (!p || !points || count < 2) return false;
  const auto& pen = std::get<detail::Pen>(Of(dc).pen.object);
  if (pen.style == PS_NULL) return true;
  QPen q(detail::To_QColor(pen.colour));
  // Width 0 is one dot whatever the device, as a cosmetic pen.
  q.setWidth(std::max(1, pen.width));
  q.setStyle(pen.style == PS_DASH ? Qt::DashLine : pen.style == PS_DOT ? Qt::DotLine : Qt::SolidLine);
  q.setCapStyle(Qt::RoundCap);
  q.setJoinStyle(Qt::RoundJoin);
  p->setPen(q);
  for (int i = 1; i < count; ++i) {
    p->drawLine(QPoint(points[i - 1].x, points[i - 1].y), QPoint(points[i].x, points[i].y));
  }
  return true;
}

int32_t FillRect(Handle dc, const Rect& rect, Handle brush) {
  QPainter* p = Page(dc);
  const auto o = detail::Find_Object(brush);
  if (!p || !o || !std::holds_alternative<detail::Brush>(*o)) return 0;
  if (rect.right <= rect.left || rect.bottom <= rect.top) return 1;
  p->fillRect(To_QRect(rect), detail::To_QColor(std::get<detail::Brush>(*o).colour));
  return 1;
}

int32_t DrawText(Handle dc, std::string_view text, const Rect& rect, uint32_t format) {
  QPainter* p = Page(dc);
  if (!p) return 0;
  Context& c = Of(dc);
  const QFont font = detail::To_QFont(std::get<LogFont>(c.font.object), detail::Dpi_Y(c));
  QString t = QString::fromStdString(text::to_utf8(text));
  int flags = 0;
  if (format & DT_SINGLELINE) {
    // On a single line, line breaks are not breaks.
    t.replace(QLatin1String("\r\n"), QLatin1String(" "));
    t.replace(QLatin1Char('\n'), QLatin1Char(' '));
    t.replace(QLatin1Char('\r'), QLatin1Char(' '));
    flags |= (format & DT_VCENTER) ? Qt::AlignVCenter : (format & DT_BOTTOM) ? Qt::AlignBottom : Qt::AlignTop;
  } else {
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    flags |= Qt::AlignTop;
    if (format & DT_WORDBREAK) flags |= Qt::TextWordWrap;
  }
  flags |= (format & DT_RIGHT) ? Qt::AlignRight : (format & DT_CENTER) ? Qt::AlignHCenter : Qt::AlignLeft;
  const QRect r = To_QRect(rect);
  p->save();
  if (!(format & DT_NOCLIP)) p->setClipRect(r);
  p->setFont(font);
  const QRect used = QFontMetrics(font, p->device()).boundingRect(r, flags, t);
  if (!t.isEmpty()) {
    // The opaque background mode: the text's own box takes the back colour.
    p->fillRect(used, detail::To_QColor(c.back_colour));
    p->setPen(detail::To_QColor(c.text_colour));
    p->drawText(r, flags, t);
  }
  p->restore();
  return t.isEmpty() ? 0 : used.height();
}

bool TextOut(Handle dc, int32_t x, int32_t y, std::string_view text) {
  QPainter* p = Page(dc);
  if (!p) return false;
  Context& c = Of(dc);
  const QFont font = detail::To_QFont(std::get<LogFont>(c.font.object), detail::Dpi_Y(c));
  const QString t = QString::fromStdString(text::to_utf8(text));
  const QFontMetricsF m(font, p->device());
  p->save();
  p->setFont(font);
  const double w = m.horizontalAdvance(t);
  p->fillRect(QRectF(x, y, w, std::ceil(m.ascent()) + std::ceil(m.descent())), detail::To_QColor(c.back_colour));
  p->setPen(detail::To_QColor(c.text_colour));
  p->drawText(QPointF(x, y + std::ceil(m.ascent())), t);
  p->restore();
  return true;
}

bool StretchImage(Handle dc, const Rect& dest, const QImage& image) {
  QPainter* p = Page(dc);
  if (!p || image.isNull()) return false;
  p->save();
  p->setRenderHint(QPainter::SmoothPixmapTransform, true);
  p->drawImage(To_QRect(dest), image);
  p->restore();
  return true;
}

}  // namespace kyx::gdi
