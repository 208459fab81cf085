#pragma once
// System colours (GetSysColor) for OLE colours with the top bit set (&H800000nn = system colour
// nn). Without a window system the classic Windows scheme answers; the Qt layer installs a source
// that reads the application palette.
#include <cstdint>
#include <functional>

namespace kyx::host {

// The RGB value (red in the low byte) of system colour `index` (0..30); 0 for an unknown index.
uint32_t system_colour(int index);

// Replaces the source of system colours (nullptr restores the classic scheme).
void set_system_colour_source(std::function<uint32_t(int)> source);

// The classic scheme's value of system colour `index`.
uint32_t classic_system_colour(int index);

}  // namespace kyx::host
