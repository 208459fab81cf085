#pragma once
// Device contexts, fonts, pens and brushes, text output and metrics, documents and pages, and
// the printers of the system, in place of gdi32 and winspool. Everything is named by 32-bit
// handles as the system's code expects, and the units are device units (dots of the printer,
// pixels of the screen); the caller converts its twips.
//
// Device contexts come in two kinds:
// - printer contexts (CreateDC with a printer name): a QPrinter with a QPainter started at the
//   first page, so that a document whose pages are all skipped puts nothing on paper;
// - screen contexts: any other handle (the system measures text on its windows' contexts, which
//   it names by window handle). They measure text in screen pixels and draw nothing.
//
// Printers are the system's (QPrinterInfo) plus PDF printers that write a file: those added with
// AddPdfPrinter (tests) and, when the environment names a file in KYX_PRINTER_PDF, one called
// "PDF" (a machine without printers, the demo). An empty printer name means the default printer.
//
// Failures return 0 (or a value of 0 or less where GDI does) and leave a Windows error code for
// GetLastError, as the system's code reads it. Nothing here shows a message.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class QImage;

namespace kyx::gdi {

using Handle = int32_t;

// Error codes left for GetLastError.
inline constexpr uint32_t kErrorAccessDenied = 5;         // the output cannot be written
inline constexpr uint32_t kErrorInvalidHandle = 6;
inline constexpr uint32_t kErrorInvalidParameter = 87;
inline constexpr uint32_t kErrorInvalidPrinterName = 1801;

// GetDeviceCaps indices.
inline constexpr int HORZRES = 8;
inline constexpr int VERTRES = 10;
inline constexpr int LOGPIXELSX = 88;
inline constexpr int LOGPIXELSY = 90;

// DrawText format flags (the ones the system uses).
inline constexpr uint32_t DT_LEFT = 0;
inline constexpr uint32_t DT_CENTER = 1;
inline constexpr uint32_t DT_RIGHT = 2;
inline constexpr uint32_t DT_VCENTER = 4;
inline constexpr uint32_t DT_BOTTOM = 8;
inline constexpr uint32_t DT_WORDBREAK = 16;
inline constexpr uint32_t DT_SINGLELINE = 32;
inline constexpr uint32_t DT_NOCLIP = 256;

// Pen styles.
inline constexpr int PS_SOLID = 0;
inline constexpr int PS_DASH = 1;
inline constexpr int PS_DOT = 2;
inline constexpr int PS_NULL = 5;

// Device mode fields and orientations.
inline constexpr uint32_t DM_ORIENTATION = 0x1;
inline constexpr uint32_t DM_COPIES = 0x100;
inline constexpr int16_t DMORIENT_PORTRAIT = 1;
inline constexpr int16_t DMORIENT_LANDSCAPE = 2;

struct LogFont {
  int32_t Height = 0;  // device units; negative = character height, positive = cell height
  int32_t Width = 0;
  int32_t Escapement = 0;
  int32_t Orientation = 0;
  int32_t Weight = 400;
  uint8_t Italic = 0;
  uint8_t Underline = 0;
  uint8_t StrikeOut = 0;
  uint8_t CharSet = 1;
  std::string FaceName;  // Windows-1252
};

struct TextMetric {
  int32_t Height = 0;
  int32_t Ascent = 0;
  int32_t Descent = 0;
  int32_t InternalLeading = 0;
  int32_t ExternalLeading = 0;
  int32_t AveCharWidth = 0;
  int32_t MaxCharWidth = 0;
};

struct Point {
  int32_t x = 0;
  int32_t y = 0;
};
struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};
struct Size {
  int32_t cx = 0;
  int32_t cy = 0;
};

// The part of a printer's settings the system changes.
struct DeviceMode {
  uint32_t Fields = 0;
  int16_t Orientation = DMORIENT_PORTRAIT;
  int16_t Copies = 1;
};

// ---- Errors ---------------------------------------------------------------------------------
uint32_t GetLastError();
void SetLastError(uint32_t code);

// ---- Objects ----------------------------------------------------------------------------------
Handle CreateFontIndirect(const LogFont& font);
Handle CreatePen(int style, int width, uint32_t colour);
Handle CreateSolidBrush(uint32_t colour);
// Selects a font, pen or brush into a context; returns the one of its kind selected before
// (0 when the context or object is not valid).
Handle SelectObject(Handle dc, Handle object);
// Nonzero when the object existed. A context that holds it keeps drawing with its description.
int32_t DeleteObject(Handle object);

// ---- Device contexts ------------------------------------------------------------------------
// CreateDC(driver, device, port, settings) for a printer: the driver text is ignored, as the
// system ignores it for printers. 0 when there is no such printer.
Handle CreateDC(std::string_view driver, std::string_view device);
int32_t DeleteDC(Handle dc);
int32_t GetDeviceCaps(Handle dc, int index);
bool GetTextMetrics(Handle dc, TextMetric* out);
bool GetTextExtentPoint32(Handle dc, std::string_view text, Size* out);
uint32_t SetTextColor(Handle dc, uint32_t colour);
uint32_t SetBkColor(Handle dc, uint32_t colour);

// ---- Documents and pages (printer contexts only) ----------------------------------------------
// StartDoc: the job number (> 0), or 0 or less when the document cannot start (the output
// cannot be written, no such context).
int32_t StartDoc(Handle dc, std::string_view document_name);
int32_t EndDoc(Handle dc);
int32_t StartPage(Handle dc);
int32_t EndPage(Handle dc);

// ---- Drawing (printer contexts; a screen context draws nothing and answers 0) -------------------
// Lines through the points with the selected pen.
bool Polyline(Handle dc, const Point* points, int count);
// The rectangle without its right and bottom edges, in the brush's colour.
int32_t FillRect(Handle dc, const Rect& rect, Handle brush);
// Text in the rectangle by the DT_ flags, clipped to it unless DT_NOCLIP; the background of the
// text is filled with the back colour (the opaque background mode). Height of the text drawn.
int32_t DrawText(Handle dc, std::string_view text, const Rect& rect, uint32_t format);
// One line of text with its top left corner at (x, y), on the back colour.
bool TextOut(Handle dc, int32_t x, int32_t y, std::string_view text);
// An image drawn scaled into the rectangle.
bool StretchImage(Handle dc, const Rect& dest, const QImage& image);

// ---- Printers -------------------------------------------------------------------------------
// The installed printers in the system's order, and the default one ("" when there is none).
std::vector<std::string> Printers();
std::string DefaultPrinter();
// OpenPrinter: a handle for the named printer, 0 (error 1801) when it is not installed.
Handle OpenPrinter(std::string_view name);
bool ClosePrinter(Handle printer);
// The printer's current settings (DocumentProperties with an output buffer).
bool GetDeviceMode(Handle printer, DeviceMode* out);
// Merges and validates settings (DocumentProperties with input and output buffers): copies
// below 1 become 1, an orientation other than landscape is portrait.
bool ValidateDeviceMode(Handle printer, DeviceMode* mode);
// Applies the orientation and copies to a printer context before its document starts.
bool ResetDC(Handle dc, const DeviceMode& mode);

// A printer that writes its documents as PDF into `file` (A4, 600 dots per inch, the whole page
// printable). Adding a name again changes its file.
void AddPdfPrinter(const std::string& name, const std::string& file);
void RemovePdfPrinters();

// What the printer contexts did since the last ResetJournal, for tests: documents started and
// ended, pages started, and the copies and orientation of the last document.
struct Journal {
  int Documents_Started = 0;
  int Documents_Ended = 0;
  int Pages = 0;
  int Copies = 0;
  int16_t Orientation = 0;
  std::string Document_Name;
};
const Journal& LastJournal();
void ResetJournal();

}  // namespace kyx::gdi
