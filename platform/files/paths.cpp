// The turning of stored Windows-form folder texts into Linux paths.
#include <string>

#include "platform/files/files.h"

namespace kyx::files {

std::string native_path(std::string_view path) {
  std::string out;
  out.reserve(path.size());
  for (char c : path) {
    if (c == '\\') c = '/';
    // Folder texts are often joined as folder & "\" & name, which doubles separators that Windows
    // takes in its stride; keep one.
    if (c == '/' && !out.empty() && out.back() == '/') continue;
    out += c;
  }
  return out;
}

}  // namespace kyx::files
