// Device contexts: their metrics, text measurement, colours, documents and pages.
#include <QFile>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QScreen>
#include <cmath>

#include "platform/gdi/detail.h"
#include "platform/text/cp1252.h"

namespace kyx::gdi {
namespace detail {

namespace {

Context New_Context() {
  Context c;
  c.font = {kStockFont, *Find_Object(kStockFont)};
  c.pen = {kStockPen, *Find_Object(kStockPen)};
  c.brush = {kStockBrush, *Find_Object(kStockBrush)};
  return c;
}

int Screen_Dpi(bool x) {
  if (!Fonts_Available()) return 96;
  const QScreen* s = QGuiApplication::primaryScreen();
  if (!s) return 96;
  const double d = x ? s->logicalDotsPerInchX() : s->logicalDotsPerInchY();
  return d > 0 ? static_cast<int>(std::lround(d)) : 96;
}

}  // namespace

Context* Find_Context(Handle dc) {
  if (dc == 0) return nullptr;
  auto& all = state().contexts;
  auto it = all.find(dc);
  if (it != all.end()) return &it->second;
  // Printer contexts live in their own range; any other handle names a window's screen context.
  if (dc >= 0x20000000 && dc < 0x28000000) return nullptr;
  return &all.emplace(dc, New_Context()).first->second;
}

Handle Add_Printer_Context(Context c) {
  Context n = New_Context();
  n.printer = true;
  n.printer_name = std::move(c.printer_name);
  n.device = std::move(c.device);
  n.pdf_file = std::move(c.pdf_file);
  const Handle h = state().next_context++;
  state().contexts.emplace(h, std::move(n));
  return h;
}

int Dpi_X(const Context& c) { return c.printer ? c.device->resolution() : Screen_Dpi(true); }
int Dpi_Y(const Context& c) { return c.printer ? c.device->resolution() : Screen_Dpi(false); }

}  // namespace detail

using detail::Context;
using detail::state;

namespace {

Context* Printer_Context(Handle dc) {
  auto it = state().contexts.find(dc);
  if (it == state().contexts.end() || !it->second.printer) {
    SetLastError(kErrorInvalidHandle);
    return nullptr;
  }
  return &it->second;
}

QFont Selected_Font(const Context& c) {
  return detail::To_QFont(std::get<LogFont>(c.font.object), detail::Dpi_Y(c));
}

}  // namespace

int32_t DeleteDC(Handle dc) {
  auto it = state().contexts.find(dc);
  if (it == state().contexts.end()) {
    SetLastError(kErrorInvalidHandle);
    return 0;
  }
  Context& c = it->second;
  // A document left open is abandoned, as the spooler drops a job whose context goes.
  if (c.painter && c.painter->isActive()) {
    c.device->abort();
    c.painter->end();
  }
  state().contexts.erase(it);
  return 1;
}

int32_t GetDeviceCaps(Handle dc, int index) {
  Context* c = detail::Find_Context(dc);
  if (!c) return 0;
  switch (index) {
    case LOGPIXELSX:
      return detail::Dpi_X(*c);
    case LOGPIXELSY:
      return detail::Dpi_Y(*c);
    case HORZRES:
    case VERTRES: {
      if (c->printer) {
        const QRectF r = c->device->pageRect(QPrinter::DevicePixel);
        return static_cast<int32_t>(std::lround(index == HORZRES ? r.width() : r.height()));
      }
      const QScreen* s = detail::Fonts_Available() ? QGuiApplication::primaryScreen() : nullptr;
      if (!s) return index == HORZRES ? 1024 : 768;
      return index == HORZRES ? s->size().width() : s->size().height();
    }
    default:
      return 0;
  }
}

bool GetTextMetrics(Handle dc, TextMetric* out) {
  Context* c = detail::Find_Context(dc);
  if (!c || !out || !detail::Fonts_Available()) {
    SetLastError(kErrorInvalidParameter);
    return false;
  }
  const QFont f = Selected_Font(*c);
  const QFontMetricsF m(f);
  TextMetric t;
  t.Ascent = static_cast<int32_t>(std::ceil(m.ascent()));
  t.Descent = static_cast<int32_t>(std::ceil(m.descent()));
  t.Height = t.Ascent + t.Descent;
  // The internal leading is the room above the character height inside the cell.
  t.InternalLeading = std::max(0, t.Height - f.pixelSize());
  t.ExternalLeading = std::max(0, static_cast<int32_t>(std::lround(m.leading())));
  t.AveCharWidth = static_cast<int32_t>(std::lround(m.averageCharWidth()));
  t.MaxCharWidth = static_cast<int32_t>(std::lround(m.maxWidth()));
  *out = t;
  return true;
}

bool GetTextExtentPoint32(Handle dc, std::string_view text, Size* out) {
  Context* c = detail::Find_Context(dc);
  if (!c || !out || !detail::Fonts_Available()) {
    SetLastError(kErrorInvalidParameter);
    return false;
  }
  const QFontMetricsF m(Selected_Font(*c));
  out->cx = static_cast<int32_t>(std::lround(m.horizontalAdvance(QString::fromStdString(text::to_utf8(text)))));
  out->cy = static_cast<int32_t>(std::ceil(m.ascent()) + std::ceil(m.descent()));
  return true;
}

uint32_t SetTextColor(Handle dc, uint32_t colour) {
  Context* c = detail::Find_Context(dc);
  if (!c) return 0xFFFFFFFF;  // CLR_INVALID
  const uint32_t before = c->text_colour;
  c->text_colour = colour & 0xFFFFFF;
  return before;
}

uint32_t SetBkColor(Handle dc, uint32_t colour) {
  Context* c = detail::Find_Context(dc);
  if (!c) return 0xFFFFFFFF;
  const uint32_t before = c->back_colour;
  c->back_colour = colour & 0xFFFFFF;
  return before;
}

int32_t StartDoc(Handle dc, std::string_view document_name) {
  Context* c = Printer_Context(dc);
  if (!c) return -1;
  if (c->in_document) {
    SetLastError(kErrorInvalidParameter);
    return -1;
  }
  if (!c->pdf_file.empty()) {
    // The file must take the document before the job counts as started: the page painter
    // opens it only at the first page.
    QFile f(QString::fromStdString(c->pdf_file));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
      SetLastError(kErrorAccessDenied);
      return -1;
    }
  }
  c->device->setDocName(QString::fromStdString(text::to_utf8(document_name)));
  c->in_document = true;
  c->pages = 0;
  c->failed = false;
  Journal& j = state().journal;
  ++j.Documents_Started;
  j.Document_Name = std::string(document_name);
  j.Copies = c->device->copyCount();
  j.Orientation = c->device->pageLayout().orientation() == QPageLayout::Landscape ? DMORIENT_LANDSCAPE
                                                                                  : DMORIENT_PORTRAIT;
  return state().next_job++;
}

int32_t StartPage(Handle dc) {
  Context* c = Printer_Context(dc);
  if (!c || !c->in_document) {
    if (c) SetLastError(kErrorInvalidParameter);
    return 0;
  }
  if (c->pages == 0) {
    c->painter = std::make_unique<QPainter>();
    if (!c->painter->begin(c->device.get())) {
      c->painter.reset();
      c->failed = true;
      SetLastError(kErrorAccessDenied);
      return 0;
    }
  } else if (!c->painter || !c->device->newPage()) {
    c->failed = true;
    SetLastError(kErrorAccessDenied);
    return 0;
  }
  ++c->pages;
  ++state().journal.Pages;
  return 1;
}

int32_t EndPage(Handle dc) {
  Context* c = Printer_Context(dc);
  if (!c || !c->in_document || c->pages == 0) return 0;
  return 1;
}

int32_t EndDoc(Handle dc) {
  Context* c = Printer_Context(dc);
  if (!c || !c->in_document) return 0;
  c->in_document = false;
  bool ok = !c->failed;
  if (c->painter) {
    ok = c->painter->end() && ok;
    c->painter.reset();
  } else if (!c->pdf_file.empty()) {
    // A document without pages puts nothing on paper: no file is left behind either.
    QFile::remove(QString::fromStdString(c->pdf_file));
  }
  ++state().journal.Documents_Ended;
  if (!ok) SetLastError(kErrorAccessDenied);
  return ok ? 1 : 0;
}

const Journal& LastJournal() { return state().journal; }
void ResetJournal() { state().journal = Journal{}; }

}  // namespace kyx::gdi
