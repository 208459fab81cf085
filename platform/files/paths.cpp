// The program folder and the turning of stored Windows-form folder texts into Linux paths.
#include <unistd.h>

#include <cstdlib>
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

// GetModuleFileName of the program itself, cut to its folder; $KYX_HOME takes precedence so that
// tests and the demo run the program over a folder of their own.
std::string program_folder() {
  std::string folder;
  if (const char* home = std::getenv("KYX_HOME"); home != nullptr && *home != '\0') {
    folder = native_path(home);
  } else {
    std::string exe(4096, '\0');
    const ssize_t n = readlink("/proc/self/exe", exe.data(), exe.size());
    if (n > 0 && static_cast<std::size_t>(n) < exe.size()) {
      exe.resize(static_cast<std::size_t>(n));
      const auto slash = exe.rfind('/');
      if (slash != std::string::npos) folder = exe.substr(0, slash == 0 ? 1 : slash);
    }
    // Without /proc the working folder is the best we know.
    if (folder.empty()) folder.assign(1, '.');
  }
  if (folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace kyx::files
