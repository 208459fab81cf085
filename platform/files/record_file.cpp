#include "platform/files/record_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <utility>

#include "platform/files/files.h"

namespace kyx::files {

RecordFile::~RecordFile() { close(); }

RecordFile::RecordFile(RecordFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      record_length_(std::exchange(other.record_length_, 0)),
      error_(std::move(other.error_)) {}

RecordFile& RecordFile::operator=(RecordFile&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = std::exchange(other.fd_, -1);
    record_length_ = std::exchange(other.record_length_, 0);
    error_ = std::move(other.error_);
  }
  return *this;
}

bool RecordFile::open(std::string_view path, std::size_t record_length, bool read_only) {
  close();
  error_.clear();
  if (record_length == 0) {
    error_ = "record length 0";
    return false;
  }
  const std::string p = native_path(path);
  const int fd = p.empty() ? -1
                           : ::open(p.c_str(), read_only ? (O_RDONLY | O_CLOEXEC)
                                                         : (O_RDWR | O_CREAT | O_CLOEXEC),
                                    0666);
  if (fd < 0) {
    error_ = "cannot open " + p + ": " + std::strerror(errno);
    return false;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    error_ = "not a file: " + p;
    return false;
  }
  fd_ = fd;
  record_length_ = record_length;
  return true;
}

void RecordFile::close() {
  if (fd_ >= 0) ::close(fd_);  // also releases the lock
  fd_ = -1;
  record_length_ = 0;
}

bool RecordFile::lock_exclusive() {
  if (fd_ < 0) {
    error_ = "file not open";
    return false;
  }
  while (::flock(fd_, LOCK_EX) != 0) {
    if (errno != EINTR) {
      error_ = std::string("lock failed: ") + std::strerror(errno);
      return false;
    }
  }
  return true;
}

bool RecordFile::try_lock_exclusive() {
  if (fd_ < 0) {
    error_ = "file not open";
    return false;
  }
  if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return true;
  error_ = errno == EWOULDBLOCK ? "locked by another process"
                                : std::string("lock failed: ") + std::strerror(errno);
  return false;
}

void RecordFile::unlock() {
  if (fd_ >= 0) ::flock(fd_, LOCK_UN);
}

int64_t RecordFile::length() const {
  struct stat st;
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) return -1;
  return static_cast<int64_t>(st.st_size);
}

int64_t RecordFile::record_count() const {
  const int64_t bytes = length();
  if (bytes < 0) return 0;
  return bytes / static_cast<int64_t>(record_length_);
}

bool RecordFile::read(int64_t n, std::string& data) const {
  data.clear();
  if (fd_ < 0 || n < 1 || n > record_count()) return false;
  data.resize(record_length_);
  const off_t start = static_cast<off_t>((n - 1) * static_cast<int64_t>(record_length_));
  std::size_t done = 0;
  while (done < record_length_) {
    const ssize_t got = ::pread(fd_, data.data() + done, record_length_ - done,
                                start + static_cast<off_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {  // cut short under our feet by another process
      data.clear();
      return false;
    }
    done += static_cast<std::size_t>(got);
  }
  return true;
}

bool RecordFile::write(int64_t n, std::string_view data) {
  if (fd_ < 0) {
    error_ = "file not open";
    return false;
  }
  const auto len = static_cast<int64_t>(record_length_);
  if (n < 1 || n - 1 > (std::numeric_limits<int64_t>::max() - len) / len) {
    error_ = "bad record number " + std::to_string(n);
    return false;
  }
  std::string record(data.substr(0, record_length_));
  record.resize(record_length_, '\0');
  const off_t start = static_cast<off_t>((n - 1) * len);
  std::size_t done = 0;
  while (done < record.size()) {
    const ssize_t put = ::pwrite(fd_, record.data() + done, record.size() - done,
                                 start + static_cast<off_t>(done));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      error_ = std::string("write failed: ") + std::strerror(errno);
      return false;
    }
    done += static_cast<std::size_t>(put);
  }
  return true;
}

bool RecordFile::truncate(int64_t bytes) {
  if (fd_ < 0 || bytes < 0) {
    error_ = fd_ < 0 ? "file not open" : "negative length";
    return false;
  }
  if (::ftruncate(fd_, static_cast<off_t>(bytes)) != 0) {
    error_ = std::string("truncate failed: ") + std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace kyx::files
