#pragma once
// Case-insensitive comparison of Windows-1252 names, as Windows compares file names and
// settings-file section and key names: the letters of the code page (ASCII and the accented ones,
// "À" = "à", "Š" = "š", "Ÿ" = "ÿ") match their other case; every other byte only itself.
#include <string_view>

namespace kyx::files {

// The lower-case form of one Windows-1252 byte (the byte itself when it has none).
char fold_case(char c);

// True when both texts are equal apart from letter case.
bool equal_ignoring_case(std::string_view a, std::string_view b);

}  // namespace kyx::files
