#pragma once
// A zip archive written as a stream: entries are added one after the other, each deflated as its
// bytes arrive, so that memory stays the same however large an entry grows. The archive is built
// in a temporary file beside its target and renamed over it only when the central directory is
// written (files::AtomicFile): a failure at any step leaves the old file, if any, as it was.
//
// The layout follows the ZIP application note (PKWARE APPNOTE.TXT): each entry is a local header
// with general-purpose flag bit 3 set (sizes and CRC-32 follow the data in a data descriptor,
// since they are known only at the end), the raw deflate stream, the data descriptor; then the
// central directory, which repeats the sizes, and the end-of-central-directory record. No ZIP64
// records are written: an entry or an archive past 4 GiB - 1 is refused with an error instead of
// being written damaged.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/atomic_file.h"

namespace kyx::zip {

class ZipWriter {
 public:
  // `level` is the deflate level, 1 (fastest) to 9 (smallest).
  explicit ZipWriter(int level);
  ~ZipWriter();  // an archive not committed is discarded
  ZipWriter(const ZipWriter&) = delete;
  ZipWriter& operator=(const ZipWriter&) = delete;

  // Starts the archive that will replace `path` (system text). False when the folder refuses the
  // temporary file or the target cannot be replaced (see files::AtomicFile::open).
  bool Open(std::string_view path);
  // Starts an entry of that name ("/"-separated, ASCII or UTF-8); ends the entry before it.
  bool Begin(std::string_view name);
  // Adds an entry for a folder ("name/"): stored, empty; ends the entry before it.
  bool AddFolder(std::string_view name);
  // Adds bytes to the current entry. Larger pieces are cheaper than many small ones.
  bool Write(std::string_view bytes);
  // Ends the current entry, writes the central directory and renames the archive over its
  // target. False, with the target untouched, when this or any earlier step failed.
  bool Commit();
  // Drops the archive; the target stays as it was.
  void Discard();

  // What went wrong first, in English; empty while all is well.
  const std::string& error() const { return error_; }

 private:
  struct Entry {
    std::string name;
    bool folder = false;
    uint32_t crc = 0;
    uint64_t compressed = 0, size = 0, offset = 0;
  };
  bool Header(std::string_view name, bool folder);
  bool EndEntry();
  bool Deflate(int flush);
  bool Emit(std::string_view bytes);
  bool Fail(std::string message);

  int level_;
  struct Stream;
  std::unique_ptr<Stream> z_;
  files::AtomicFile file_;
  std::vector<Entry> entries_;
  bool in_entry_ = false;
  bool failed_ = false;
  uint64_t written_ = 0;
  uint16_t dos_time_ = 0, dos_date_ = 0;
  std::string out_;  // deflate's output window
  std::string error_;
};

}  // namespace kyx::zip
