// Dir and Kill with wildcard patterns over one folder.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "platform/text/cp1252.h"
#include "platform/files/files.h"

namespace kyx::files {
namespace {

// "*" and "?" matching with one remembered star: linear in practice, never exponential on
// patterns full of stars.
bool wildcard_match(std::string_view name, std::string_view pattern) {
  std::size_t n = 0, p = 0;
  std::size_t star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || text::to_lower(pattern[p]) == text::to_lower(name[n]))) {
      ++n;
      ++p;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

bool matches_pattern(std::string_view name, std::string_view pattern) {
  if (wildcard_match(name, pattern)) return true;
  // Windows lets a final ".*" match "no extension" too: "*.*" lists every file, "KYX.*" finds
  // "KYX". Patterns written for Windows rely on it.
  if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*") {
    return wildcard_match(name, pattern.substr(0, pattern.size() - 2));
  }
  return false;
}

std::vector<std::string> list_files(std::string_view folder, std::string_view pattern) {
  std::vector<std::string> names;
  if (pattern.empty() || pattern.find_first_of("/\\") != std::string_view::npos) return names;
  const std::string native = native_path(folder);
  const std::string dir_path = native.empty() ? std::string(1, '.') : native;
  DIR* dir = ::opendir(dir_path.c_str());
  if (dir == nullptr) return names;
  const bool want_hidden = pattern.front() == '.';
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name.front() == '.' && !want_hidden) continue;
    if (!matches_pattern(name, pattern)) continue;
    struct stat st;  // follows links, as Dir reports what a link points to
    if (::fstatat(::dirfd(dir), entry->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode)) continue;
    names.emplace_back(name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

int remove_files(std::string_view folder, std::string_view pattern) {
  std::string base = native_path(folder);
  if (!base.empty() && base.back() != '/') base += '/';
  int removed = 0;
  for (const auto& name : list_files(folder, pattern)) {
    if (::unlink((base + name).c_str()) == 0) ++removed;
  }
  return removed;
}

}  // namespace kyx::files
