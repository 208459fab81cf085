#include "platform/ui/colours.h"

#include <QApplication>
#include <QPalette>

#include "platform/host/system_colours.h"

namespace kyx::ui {

QColor ole_to_qcolor(uint32_t ole) {
  uint32_t rgb = ole & 0x00FFFFFFu;
  if ((ole & 0xFF000000u) == 0x80000000u) rgb = kyx::host::system_colour(static_cast<int>(ole & 0xFFu));
  return QColor(static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                static_cast<int>((rgb >> 16) & 0xFF));
}

uint32_t qcolor_to_ole(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }

namespace {

// The palette entry that plays the part of each system colour; -1 keeps the classic value.
uint32_t palette_colour(int index) {
  const QPalette pal = QApplication::palette();
  auto c = [&](QPalette::ColorRole role, QPalette::ColorGroup group = QPalette::Active) {
    return qcolor_to_ole(pal.color(group, role));
  };
  switch (index) {
    case 0: return c(QPalette::Button);            // scroll bar
    case 4: return c(QPalette::Window);            // menu
    case 5: return c(QPalette::Base);              // window background
    case 6: return c(QPalette::Shadow);            // window frame
    case 7: return c(QPalette::WindowText);        // menu text
    case 8: return c(QPalette::Text);              // window text
    case 12: return c(QPalette::Dark);             // application workspace
    case 13: return c(QPalette::Highlight);        // selection background
    case 14: return c(QPalette::HighlightedText);  // selection text
    case 15: return c(QPalette::Button);           // button face
    case 16: return c(QPalette::Dark);             // 3-D shadow
    case 17: return c(QPalette::Text, QPalette::Disabled);  // grey text
    case 18: return c(QPalette::ButtonText);       // button text
    case 20: return c(QPalette::Light);            // 3-D highlight
    case 21: return c(QPalette::Shadow);           // 3-D dark shadow
    case 22: return c(QPalette::Midlight);         // 3-D light
    case 23: return c(QPalette::ToolTipText);
    case 24: return c(QPalette::ToolTipBase);
    case 26: return c(QPalette::Link);             // hot-track
    case 29: return c(QPalette::Highlight);        // menu highlight
    case 30: return c(QPalette::Window);           // menu bar
    default: return kyx::host::classic_system_colour(index);
  }
}

}  // namespace

void install_palette_colours() { kyx::host::set_system_colour_source(palette_colour); }

}  // namespace kyx::ui
