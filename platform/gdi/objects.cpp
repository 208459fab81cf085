// Fonts, pens and brushes by handle, and the error code of the last failing call.
#include <QFontMetricsF>
#include <QGuiApplication>
#include <algorithm>
#include <cmath>

#include "platform/gdi/detail.h"
#include "platform/text/cp1252.h"

namespace kyx::gdi {
namespace detail {

State& state() {
  static State s;
  return s;
}

std::optional<Object> Find_Object(Handle h) {
  switch (h) {
    case kStockFont: {
      LogFont f;
      f.Height = -13;
      f.FaceName = "Arial";
      return Object{f};
    }
    case kStockPen:
      return Object{Pen{}};
    case kStockBrush:
      return Object{Brush{0xFFFFFF}};
    default:
      break;
  }
  const auto it = state().objects.find(h);
  if (it == state().objects.end()) return std::nullopt;
  return it->second;
}

bool Fonts_Available() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

QColor To_QColor(uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

QFont To_QFont(const LogFont& f, int dpi_y) {
  QFont q(QString::fromStdString(text::to_utf8(f.FaceName)));
  q.setStyleStrategy(QFont::PreferOutline);
  q.setHintingPreference(QFont::PreferNoHinting);
  if (f.Height < 0) {
    q.setPixelSize(std::max(1, -f.Height));
  } else if (f.Height > 0) {
    // A positive height is the cell height (ascent + descent): the character height is found
    // from the face's own proportions.
    QFont probe = q;
    probe.setPixelSize(1000);
    const QFontMetricsF m(probe);
    const double cella = m.ascent() + m.descent();
    q.setPixelSize(std::max(1, static_cast<int>(std::lround(f.Height * 1000.0 / (cella > 0 ? cella : 1000.0)))));
  } else {
    // 0: the default size, 12 points on the device.
    q.setPixelSize(std::max(1, static_cast<int>(std::lround(12.0 * dpi_y / 72.0))));
  }
  const int peso = f.Weight <= 0 ? 400 : std::clamp(f.Weight, 1, 1000);
  q.setWeight(static_cast<QFont::Weight>(peso));
  q.setItalic(f.Italic != 0);
  q.setUnderline(f.Underline != 0);
  q.setStrikeOut(f.StrikeOut != 0);
  return q;
}

}  // namespace detail

using detail::state;

uint32_t GetLastError() { return state().last_error; }
void SetLastError(uint32_t code) { state().last_error = code; }

namespace {

Handle Add(detail::Object o) {
  const Handle h = state().next_object++;
  state().objects.emplace(h, std::move(o));
  return h;
}

}  // namespace

Handle CreateFontIndirect(const LogFont& font) {
  // The face field holds 31 characters and its terminating zero.
  LogFont f = font;
  if (f.FaceName.size() > 31) f.FaceName.resize(31);
  return Add(f);
}

Handle CreatePen(int style, int width, uint32_t colour) { return Add(detail::Pen{style, width, colour}); }

Handle CreateSolidBrush(uint32_t colour) { return Add(detail::Brush{colour}); }

Handle SelectObject(Handle dc, Handle object) {
  detail::Context* c = detail::Find_Context(dc);
  const auto o = detail::Find_Object(object);
  if (!c || !o) {
    SetLastError(kErrorInvalidHandle);
    return 0;
  }
  detail::Selection* slot = std::holds_alternative<LogFont>(*o)       ? &c->font
                            : std::holds_alternative<detail::Pen>(*o) ? &c->pen
                                                                      : &c->brush;
  const Handle before = slot->handle;
  slot->handle = object;
  slot->object = *o;
  return before;
}

int32_t DeleteObject(Handle object) {
  if (state().objects.erase(object) == 0) {
    SetLastError(kErrorInvalidHandle);
    return 0;
  }
  return 1;
}

}  // namespace kyx::gdi
