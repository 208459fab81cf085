#include "platform/host/system_colours.h"

#include <array>
#include <utility>

namespace kyx::host {
namespace {

constexpr uint32_t rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

// The Windows classic ("Windows Standard") scheme, COLOR_SCROLLBAR (0) .. COLOR_MENUBAR (30).
constexpr std::array<uint32_t, 31> kClassic = {
    rgb(212, 208, 200),  // 0 scroll bar
    rgb(58, 110, 165),   // 1 desktop
    rgb(10, 36, 106),    // 2 active caption
    rgb(128, 128, 128),  // 3 inactive caption
    rgb(212, 208, 200),  // 4 menu
    rgb(255, 255, 255),  // 5 window background
    rgb(0, 0, 0),        // 6 window frame
    rgb(0, 0, 0),        // 7 menu text
    rgb(0, 0, 0),        // 8 window text
    rgb(255, 255, 255),  // 9 caption text
    rgb(212, 208, 200),  // 10 active border
    rgb(212, 208, 200),  // 11 inactive border
    rgb(128, 128, 128),  // 12 application workspace
    rgb(10, 36, 106),    // 13 highlight
    rgb(255, 255, 255),  // 14 highlight text
    rgb(212, 208, 200),  // 15 button face
    rgb(128, 128, 128),  // 16 button shadow
    rgb(128, 128, 128),  // 17 grey text
    rgb(0, 0, 0),        // 18 button text
    rgb(212, 208, 200),  // 19 inactive caption text
    rgb(255, 255, 255),  // 20 button highlight
    rgb(64, 64, 64),     // 21 3D dark shadow
    rgb(212, 208, 200),  // 22 3D light
    rgb(0, 0, 0),        // 23 tooltip text
    rgb(255, 255, 225),  // 24 tooltip background
    rgb(181, 181, 181),  // 25 (unused)
    rgb(0, 0, 128),      // 26 hot-track
    rgb(166, 202, 240),  // 27 gradient active caption
    rgb(192, 192, 192),  // 28 gradient inactive caption
    rgb(49, 106, 197),   // 29 menu highlight
    rgb(236, 233, 216),  // 30 menu bar
};

std::function<uint32_t(int)>& source() {
  static std::function<uint32_t(int)> s;
  return s;
}

}  // namespace

uint32_t classic_system_colour(int index) {
  if (index < 0 || index >= static_cast<int>(kClassic.size())) return 0;
  return kClassic[static_cast<std::size_t>(index)];
}

uint32_t system_colour(int index) {
  if (source()) return source()(index);
  return classic_system_colour(index);
}

void set_system_colour_source(std::function<uint32_t(int)> s) { source() = std::move(s); }

}  // namespace kyx::host
