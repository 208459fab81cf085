#pragma once
// The colour dialog the system's code opens (the common dialog's ShowColor), behind a function
// that the program fills with the Qt dialog and tests with a scripted answer.
#include <cstdint>
#include <functional>

namespace kyx::host {

// Common dialog flags: 1 the initial colour is given, 2 the full dialog with custom colours.
inline constexpr int32_t cdlCCRGBInit = 1;
inline constexpr int32_t cdlCCFullOpen = 2;

// Opens the dialog with an initial colour (an OLE colour) and returns the chosen colour; closing
// it without a choice returns the initial colour.
using ColourDialog = std::function<int32_t(int32_t initial, int32_t flags)>;

// The installed dialog; before any is installed, the initial colour comes back unchanged.
int32_t ShowColor(int32_t initial, int32_t flags);
// Installs `dialog` (empty restores the default) and returns the previous one.
ColourDialog set_colour_dialog(ColourDialog dialog);

}  // namespace kyx::host
