// Existence tests, single-file operations and whole-file reading and writing.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <filesystem>
#include <string>

#include "platform/files/atomic_file.h"
#include "platform/files/files.h"

namespace kyx::files {
namespace {

bool stat_path(std::string_view path, struct stat& st) {
  const std::string p = native_path(path);
  return !p.empty() && ::stat(p.c_str(), &st) == 0;
}

// The folder part of a path ("." when it has none).
std::string folder_of(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a write lands on: a symbolic link is followed to its target (also a target that does
// not exist yet), so that replacing the file never replaces the link itself.
std::string write_target(std::string path) {
  for (int depth = 0; depth < 40; ++depth) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::string link(PATH_MAX, '\0');
    const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= link.size()) return path;
    link.resize(static_cast<std::size_t>(n));
    path = link.front() == '/' ? link : folder_of(path) + "/" + link;
  }
  return path;
}

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// A fresh, exclusively created temporary file next to `target`; -1 when the folder refuses it.
int create_temporary(const std::string& target, mode_t mode, std::string& temp_path) {
  static std::atomic<unsigned> counter{0};
  const auto slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto stamp = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    temp_path = folder + "." + name + ".tmp" + std::to_string(::getpid()) + "_" +
                std::to_string(counter++) + "_" + std::to_string(stamp % 1000000);
    const int fd = ::open(temp_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0) return fd;
    if (errno != EEXIST) return -1;
  }
  return -1;
}

}  // namespace

bool file_exists(std::string_view path) {
  struct stat st;
  return stat_path(path, st) && S_ISREG(st.st_mode);
}

bool folder_exists(std::string_view path) {
  struct stat st;
  return stat_path(path, st) && S_ISDIR(st.st_mode);
}

bool make_folder(std::string_view path) {
  const std::string p = native_path(path);
  if (p.empty()) return false;
  std::error_code ec;
  std::filesystem::create_directories(p, ec);
  return folder_exists(p);
}

int64_t file_length(std::string_view path) {
  struct stat st;
  if (!stat_path(path, st) || !S_ISREG(st.st_mode)) return -1;
  return static_cast<int64_t>(st.st_size);
}

bool remove_file(std::string_view path) {
  const std::string p = native_path(path);
  if (p.empty()) return false;
  struct stat st;
  if (::lstat(p.c_str(), &st) != 0) return errno == ENOENT;
  if (S_ISDIR(st.st_mode)) return false;  // Kill deletes files, never folders
  return ::unlink(p.c_str()) == 0 || errno == ENOENT;
}

bool rename_file(std::string_view from, std::string_view to) {
  const std::string a = native_path(from), b = native_path(to);
  return !a.empty() && !b.empty() && ::rename(a.c_str(), b.c_str()) == 0;
}

bool read_file(std::string_view path, std::string& bytes) {
  bytes.clear();
  const std::string p = native_path(path);
  if (p.empty()) return false;
  // Without waiting: opening a FIFO for reading would wait for a writer that may never come. The
  // flag changes nothing for the regular files read below.
  const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  bytes.reserve(static_cast<std::size_t>(st.st_size));
  char buffer[65536];
  bool ok = true;
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  if (!ok) bytes.clear();
  return ok;
}

bool write_file_atomic(std::string_view path, std::string_view bytes, bool owner_only) {
  AtomicFile file;
  return file.open(path, owner_only) && file.write(bytes) && file.commit();
}

// ---- AtomicFile -----------------------------------------------------------------------------------

AtomicFile::~AtomicFile() { discard(); }

bool AtomicFile::open(std::string_view path, bool owner_only) {
  discard();
  const std::string given = native_path(path);
  if (given.empty() || given.back() == '/') return false;
  target_ = write_target(given);

  struct stat st;
  const bool exists = ::stat(target_.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) return false;
  // A read-only file is not replaced, as Windows refuses to open it for writing; the rename alone
  // would need only the folder's permission.
  if (exists && ::access(target_.c_str(), W_OK) != 0) return false;

  fd_ = create_temporary(target_, owner_only ? 0600 : 0666, temp_);
  if (fd_ < 0) return false;
  failed_ = false;
  keep_mode_ = owner_only || exists;
  mode_ = owner_only ? 0600 : (exists ? (st.st_mode & 07777) : 0);
  buffer_.clear();
  return true;
}

bool AtomicFile::write(std::string_view bytes) {
  if (fd_ < 0 || failed_) return false;
  buffer_.append(bytes);
  if (buffer_.size() >= (1u << 16)) return flush();
  return true;
}

bool AtomicFile::flush() {
  if (!failed_ && !write_all(fd_, buffer_)) failed_ = true;
  buffer_.clear();
  return !failed_;
}

bool AtomicFile::commit() {
  if (fd_ < 0) return false;
  bool ok = flush();
  // The replacement keeps the old file's mode (a private file stays private).
  if (ok && keep_mode_) ok = ::fchmod(fd_, mode_) == 0;
  // The data must be on disk before the rename makes it the file, or a crash could leave an
  // empty file where the old one was.
  ok = ok && ::fsync(fd_) == 0;
  ok = (::close(fd_) == 0) && ok;
  fd_ = -1;
  ok = ok && ::rename(temp_.c_str(), target_.c_str()) == 0;
  if (!ok) {
    ::unlink(temp_.c_str());
    temp_.clear();
    return false;
  }
  temp_.clear();
  const int dir = ::open(folder_of(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

void AtomicFile::discard() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!temp_.empty()) {
    ::unlink(temp_.c_str());
    temp_.clear();
  }
  buffer_.clear();
}

bool append_file(std::string_view path, std::string_view bytes) {
  const std::string target = native_path(path);
  if (target.empty() || target.back() == '/') return false;
  const int fd = ::open(target.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  const bool ok = write_all(fd, bytes);
  return (::close(fd) == 0) && ok;
}

}  // namespace kyx::files
