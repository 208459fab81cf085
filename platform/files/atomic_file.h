#pragma once
// A file written in pieces that appears under its name only when it is complete: the bytes go to
// a temporary file in the same folder, which commit() flushes to disk and renames over the
// target. Until then, and whenever a step fails, the old file (if any) stays as it was and the
// temporary file is removed, so a reader never finds a half-written file.
#include <string>
#include <string_view>
#include <sys/types.h>

namespace kyx::files {

class AtomicFile {
 public:
  AtomicFile() = default;
  ~AtomicFile();  // discards an uncommitted file
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Starts the file `path` (system text, turned into a Linux path). The new file gets mode 0600
  // with `owner_only`, else the mode of the file it replaces (0666 less the umask for a new one).
  // A symbolic link is followed: its target is replaced, the link stays. False when the target is
  // not a regular file, an existing target is read-only (as Windows refuses to open it for
  // writing), or the folder refuses the temporary file.
  bool open(std::string_view path, bool owner_only = false);
  bool is_open() const { return fd_ >= 0; }

  // Adds bytes (buffered). False once any write has failed; the file then cannot be committed.
  bool write(std::string_view bytes);

  // Writes what is buffered, flushes to disk and renames the file over its target. False (and the
  // target untouched) when any step, or any earlier write, failed.
  bool commit();
  // Drops the temporary file; the target stays as it was.
  void discard();

 private:
  bool flush();

  int fd_ = -1;
  bool failed_ = false;
  bool keep_mode_ = false;
  mode_t mode_ = 0;
  std::string temp_, target_, buffer_;
};

}  // namespace kyx::files
