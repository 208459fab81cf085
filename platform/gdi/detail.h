#pragma once
// The handle tables behind gdi.h: objects (fonts, pens, brushes), device contexts and open
// printers. One thread, as the system's code runs.
#include <QFont>
#include <QPainter>
#include <QPrinter>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "platform/gdi/gdi.h"

namespace kyx::gdi::detail {

struct Pen {
  int style = PS_SOLID;
  int width = 0;
  uint32_t colour = 0;
};
struct Brush {
  uint32_t colour = 0;
};
using Object = std::variant<LogFont, Pen, Brush>;

// What a context draws with: copies of the selected objects, so that deleting an object that is
// still selected cannot leave the context with nothing.
struct Selection {
  Handle handle = 0;
  Object object;
};

struct Context {
  bool printer = false;
  std::string printer_name;
  std::unique_ptr<QPrinter> device;  // printer contexts
  std::unique_ptr<QPainter> painter; // active while a page of a document is open
  std::string pdf_file;              // PDF printers: the output file
  Selection font;
  Selection pen;
  Selection brush;
  uint32_t text_colour = 0x000000;
  uint32_t back_colour = 0xFFFFFF;
  bool in_document = false;
  int pages = 0;  // pages started in the open document
  bool failed = false;  // a page of the open document could not be started
};

struct State {
  std::map<Handle, Object> objects;
  std::map<Handle, Context> contexts;
  std::map<Handle, std::string> printers_open;
  std::map<std::string, std::string> pdf_printers;  // name -> file, in the order added (by name)
  Handle next_object = 0x30000010;
  Handle next_context = 0x20000010;
  Handle next_printer = 0x28000010;
  int32_t next_job = 1;
  uint32_t last_error = 0;
  Journal journal;
};
State& state();

// The stock objects every context starts with.
inline constexpr Handle kStockFont = 0x3F000001;  // the system font
inline constexpr Handle kStockPen = 0x3F000002;   // black, one dot
inline constexpr Handle kStockBrush = 0x3F000003; // white
std::optional<Object> Find_Object(Handle h);

// A printer or screen context (a screen context is made on first use of its handle); nullptr
// for 0.
Context* Find_Context(Handle dc);
// Adds a printer context (device, name and PDF file set by the caller) and returns its handle.
Handle Add_Printer_Context(Context c);
// Dots per inch of a context.
int Dpi_X(const Context& c);
int Dpi_Y(const Context& c);

// The Qt font for a logical font on a device of `dpi_y` dots per inch down.
QFont To_QFont(const LogFont& f, int dpi_y);
// True when Qt can make fonts (a GUI application exists).
bool Fonts_Available();
QColor To_QColor(uint32_t colourref);

}  // namespace kyx::gdi::detail
