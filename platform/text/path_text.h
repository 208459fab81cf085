#pragma once
// Path texts at the file-system boundary.
#include <string>
#include <string_view>

namespace kyx::text {

// A file name for the file system, which names files in UTF-8: a Windows-1252 text beyond ASCII
// is converted, while a text that already reads as well-formed UTF-8 (a path Linux gave, or one
// this function made) is kept, so that converting twice changes nothing.
std::string path_to_utf8(std::string_view text);

}  // namespace kyx::text
