#include "platform/zip/shell.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <system_error>
#include <vector>

#include "platform/text/path_text.h"

namespace kyx::zip {

namespace fs = std::filesystem;

namespace {

fs::path Native(std::string_view path) {
  std::string p = text::path_to_utf8(path);
  std::replace(p.begin(), p.end(), '\\', '/');
  return fs::path(p);
}

bool Fail(std::string* error, std::string message) {
  if (error) *error = std::move(message);
  return false;
}

}  // namespace

bool PackFolder(std::string_view folder, std::string_view archive, std::string* error) {
  const fs::path root = Native(folder);
  const fs::path target = Native(archive);
  std::error_code e;
  if (!fs::is_directory(root, e)) return Fail(error, "Folder not found: " + root.string());

  // The entries in a stable order: what the folder holds, each folder before its contents.
  std::vector<fs::path> entries;
  for (fs::recursive_directory_iterator it(root, e), end; !e && it != end; it.increment(e)) entries.push_back(it->path());
  if (e) return Fail(error, "Cannot list " + root.string() + ": " + e.message());
  std::sort(entries.begin(), entries.end());

  int code = 0;
  zip_t* z = zip_open(target.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
  if (!z) {
    zip_error_t ze;
    zip_error_init_with_code(&ze, code);
    std::string message = "Cannot create " + target.string() + ": " + zip_error_strerror(&ze);
    zip_error_fini(&ze);
    return Fail(error, message);
  }
  auto abandon = [&](const std::string& message) {
    zip_discard(z);
    fs::remove(target, e);
    return Fail(error, message);
  };
  for (const fs::path& p : entries) {
    const std::string name = p.lexically_relative(root).generic_string();
    if (fs::is_directory(p, e)) {
      if (zip_dir_add(z, name.c_str(), ZIP_FL_ENC_UTF_8) < 0)
        return abandon("Cannot add " + name + ": " + zip_strerror(z));
      continue;
    }
    zip_source_t* src = zip_source_file(z, p.c_str(), 0, -1);
    if (!src) return abandon("Cannot read " + p.string() + ": " + zip_strerror(z));
    if (zip_file_add(z, name.c_str(), src, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) < 0) {
      zip_source_free(src);
      return abandon("Cannot add " + name + ": " + zip_strerror(z));
    }
  }
  // An archive of an empty folder: libzip writes no file for no entries, the shell an empty one.
  if (entries.empty()) {
    zip_discard(z);
    static const char kEmpty[22] = {'P', 'K', 5, 6};
    FILE* f = std::fopen(target.c_str(), "wb");
    if (!f) return Fail(error, "Cannot create " + target.string() + ": " + std::strerror(errno));
    const bool ok = std::fwrite(kEmpty, 1, sizeof kEmpty, f) == sizeof kEmpty;
    if (std::fclose(f) != 0 || !ok) {
      fs::remove(target, e);
      return Fail(error, "Cannot write " + target.string());
    }
    return true;
  }
  if (zip_close(z) < 0) {
    std::string message = "Cannot write " + target.string() + ": " + zip_strerror(z);
    return abandon(message);
  }
  return true;
}

int FolderItemCount(std::string_view folder) {
  std::error_code e;
  int n = 0;
  for (fs::directory_iterator it(Native(folder), e), end; !e && it != end; it.increment(e)) ++n;
  return e ? -1 : n;
}

int ArchiveItemCount(std::string_view archive) {
  int code = 0;
  zip_t* z = zip_open(Native(archive).c_str(), ZIP_RDONLY, &code);
  if (!z) return -1;
  std::set<std::string> top;
  const zip_int64_t n = zip_get_num_entries(z, 0);
  for (zip_int64_t i = 0; i < n; ++i) {
    const char* name = zip_get_name(z, i, ZIP_FL_ENC_RAW);
    if (!name) continue;
    std::string s(name);
    top.insert(s.substr(0, s.find('/')));
  }
  zip_discard(z);
  return static_cast<int>(top.size());
}

bool OpenDocument(std::string_view path, std::string* error) {
  const char* custom = std::getenv("KYX_OPEN_COMMAND");
  const std::string command = custom && *custom ? custom : "xdg-open";
  const std::string file = Native(path).string();
  // Started in a grandchild, so that no child is left to wait for and the program goes on.
  const pid_t child = ::fork();
  if (child < 0) return Fail(error, std::string("Cannot start ") + command + ": " + std::strerror(errno));
  if (child == 0) {
    if (::fork() == 0) {
      ::setsid();
      const int null = ::open("/dev/null", O_RDWR);
      if (null >= 0) {
        ::dup2(null, 0);
        ::dup2(null, 1);
      }
      ::execlp(command.c_str(), command.c_str(), file.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return true;
}

}  // namespace kyx::zip
