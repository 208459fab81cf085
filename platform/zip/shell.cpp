#include "platform/zip/shell.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <system_error>
#include <vector>

#include "platform/text/path_text.h"
#include "platform/zip/zip_writer.h"

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
  std::error_code e;
  if (!fs::is_directory(root, e)) return Fail(error, "Folder not found: " + root.string());

  // The entries in a stable order: what the folder holds, each folder before its contents.
  std::vector<fs::path> entries;
  for (fs::recursive_directory_iterator it(root, e), end; !e && it != end; it.increment(e)) entries.push_back(it->path());
  if (e) return Fail(error, "Cannot list " + root.string() + ": " + e.message());
  std::sort(entries.begin(), entries.end());

  // Written beside the archive and renamed over it when whole: an old archive stays until then.
  ZipWriter w(6);
  if (!w.Open(archive)) return Fail(error, w.error());
  std::vector<char> buffer(1 << 20);
  for (const fs::path& p : entries) {
    const std::string name = p.lexically_relative(root).generic_string();
    if (fs::is_directory(p, e)) {
      if (!w.AddFolder(name + "/")) return Fail(error, w.error());
      continue;
    }
    FILE* f = std::fopen(p.c_str(), "rb");
    if (!f) return Fail(error, "Cannot read " + p.string() + ": " + std::strerror(errno));
    bool ok = w.Begin(name);
    size_t n;
    while (ok && (n = std::fread(buffer.data(), 1, buffer.size(), f)) > 0) ok = w.Write(std::string_view(buffer.data(), n));
    ok = ok && !std::ferror(f);
    std::fclose(f);
    if (!ok) return Fail(error, w.error().empty() ? "Cannot read " + p.string() : w.error());
  }
  if (!w.Commit()) return Fail(error, w.error());
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
