#pragma once
// Random-access files of fixed-length records (Open ... For Random ... Len = n, Get, Put; in place
// of CreateFile/ReadFile/WriteFile at record offsets): records count from 1; a short last record is
// not a record (it is ignored by reads and counts). Every failing call sets error().
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kyx::files {

class RecordFile {
 public:
  RecordFile() = default;
  ~RecordFile();
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;
  RecordFile(RecordFile&& other) noexcept;
  RecordFile& operator=(RecordFile&& other) noexcept;

  // Opens for reading and writing, creating the file when missing (read_only: never creates or
  // writes). False with error() set when it cannot be opened.
  bool open(std::string_view path, std::size_t record_length, bool read_only = false);
  void close();
  bool is_open() const { return fd_ >= 0; }

  // An exclusive lock on the whole file between processes (flock; in place of Lock #n), released
  // by unlock or close. lock_exclusive waits for the lock; try_lock_exclusive returns false at once
  // when another open file holds it.
  bool lock_exclusive();
  bool try_lock_exclusive();
  void unlock();

  std::size_t record_length() const { return record_length_; }
  // Length of the file in bytes.
  int64_t length() const;
  // Number of whole records.
  int64_t record_count() const;

  // Reads record n (from 1) into `data` (exactly record_length bytes); false when it is not there.
  bool read(int64_t n, std::string& data) const;
  // Writes record n (from 1); `data` is cut or padded with NUL bytes to the record length. A record
  // past the end extends the file (a gap reads as NUL bytes); bytes after the record are kept.
  bool write(int64_t n, std::string_view data);
  // Cuts (or extends with NUL bytes) the file to `bytes`.
  bool truncate(int64_t bytes);

  const std::string& error() const { return error_; }

 private:
  int fd_ = -1;
  std::size_t record_length_ = 0;
  std::string error_;
};

}  // namespace kyx::files
