#pragma once
// OLE colours as the system stores them: 0x00BBGGRR for plain colours (red in the low byte), and
// 0x800000nn for system colour nn (button face, highlight, window background, ...), which follow
// the desktop's palette.
#include <QColor>
#include <cstdint>

namespace kyx::ui {

// The colour an OLE colour value stands for. A system colour is looked up through
// kyx::host::system_colour (the palette once install_palette_colours has run); other values with
// the high byte set are read as plain colours from their low three bytes.
QColor ole_to_qcolor(uint32_t ole);
// The plain OLE value (0x00BBGGRR) of a colour.
uint32_t qcolor_to_ole(const QColor& colour);
// RGB(r, g, b) of the BASIC run-time.
constexpr uint32_t RGB(int r, int g, int b) {
  return static_cast<uint32_t>(r & 255) | (static_cast<uint32_t>(g & 255) << 8) |
         (static_cast<uint32_t>(b & 255) << 16);
}

// Makes the system colours follow the application palette (QApplication::palette), read each time
// a colour is asked for, so that a palette change shows at the next paint.
void install_palette_colours();

}  // namespace kyx::ui
