// Moves that never replace what they land on, copies, and the folders of a folder.
#include <filesystem>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/files/files.h"

namespace kyx::files {

bool move_no_replace(std::string_view from, std::string_view to) {
  const std::string a = native_path(from);
  const std::string b = native_path(to);
  if (a.empty() || b.empty()) return false;
  // renameat2 with RENAME_NOREPLACE refuses an existing target in the kernel, with no window in
  // which another writer could slip in. File systems without it get a hard link (which also
  // refuses an existing target) and the removal of the old name; folders, which cannot be
  // linked, an existence test and a plain rename.
  if (::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  struct stat st;
  if (::lstat(a.c_str(), &st) != 0) return false;
  if (S_ISDIR(st.st_mode)) {
    if (::lstat(b.c_str(), &st) == 0) return false;
    return ::rename(a.c_str(), b.c_str()) == 0;
  }
  if (::link(a.c_str(), b.c_str()) != 0) return false;
  if (::unlink(a.c_str()) != 0) {
    ::unlink(b.c_str());
    return false;
  }
  return true;
}

bool exists(std::string_view path) {
  struct stat st;
  const std::string p = native_path(path);
  return !p.empty() && ::lstat(p.c_str(), &st) == 0;
}

bool copy_file(std::string_view from, std::string_view to) {
  std::string bytes;
  if (!read_file(from, bytes)) return false;
  return write_file_atomic(to, bytes);
}

bool remove_folder(std::string_view path) {
  const std::string p = native_path(path);
  return !p.empty() && ::rmdir(p.c_str()) == 0;
}

bool remove_tree(std::string_view path) {
  const std::string p = native_path(path);
  if (p.empty()) return false;
  std::error_code ec;
  std::filesystem::remove_all(p, ec);
  return !std::filesystem::exists(std::filesystem::symlink_status(p, ec));
}

std::vector<std::string> list_folders(std::string_view folder) {
  std::vector<std::string> names;
  const std::string p = native_path(folder);
  DIR* d = ::opendir(p.empty() ? "." : p.c_str());
  if (!d) return names;
  while (const dirent* e = ::readdir(d)) {
    const std::string n = e->d_name;
    if (n == "." || n == ".." || n.front() == '.') continue;
    struct stat st;
    if (::stat((p + "/" + n).c_str(), &st) == 0 && S_ISDIR(st.st_mode)) names.push_back(n);
  }
  ::closedir(d);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace kyx::files
