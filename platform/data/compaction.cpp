#include "platform/data/compaction.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/data/sqlite_connection.h"
#include "platform/data/sqlite_error.h"
#include "platform/data/value.h"
#include "platform/text/cp1252.h"
#include "platform/text/path_text.h"

namespace kyx::data {

namespace {

bool IsFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

Status FileError(const std::string& what, const std::string& path) {
  return Status::Error(kFileError, what + " " + path + ": " + std::strerror(errno));
}

std::string Folder(const std::string& path) {
  auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Flushes a file or folder to the disk, so that a rename is never seen before the data.
bool Sync(const std::string& path, bool folder) {
  int fd = ::open(path.c_str(), folder ? (O_RDONLY | O_DIRECTORY) : O_RDONLY);
  if (fd < 0) return false;
  bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

Status RemoveIfPresent(const std::string& path) {
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) return FileError("Cannot delete", path);
  return Status::Ok();
}

// Whether a file is a complete SQLite database (opened read-only, quick check passed).
bool SoundDatabase(const std::string& path) {
  sqlite3* db = nullptr;
  // A path may come converted already (native_path); converting it twice would spoil it.
  const std::string utf8 = text::path_to_utf8(path);
  if (sqlite3_open_v2(utf8.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    sqlite3_close_v2(db);
    return false;
  }
  RegisterJetCollation(db);
  bool ok = false;
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &st, nullptr) == SQLITE_OK &&
      sqlite3_step(st) == SQLITE_ROW) {
    const unsigned char* r = sqlite3_column_text(st, 0);
    ok = r && std::strcmp(reinterpret_cast<const char*>(r), "ok") == 0;
  }
  sqlite3_finalize(st);
  sqlite3_close_v2(db);
  return ok;
}

}  // namespace

Status CompactionCopyPath(const std::string& path, std::string* copy) {
  // The path is taken with its surrounding blanks removed, as the original did.
  size_t a = path.find_first_not_of(' ');
  size_t b = path.find_last_not_of(' ');
  std::string trimmed = a == std::string::npos ? std::string() : path.substr(a, b - a + 1);
  if (trimmed.size() < 4) return Status::Error(kFileError, "Invalid database path for compaction: " + path);
  *copy = trimmed.substr(0, trimmed.size() - 4) + "_NEW.MDB";
  return Status::Ok();
}

Status CompactDatabase(const std::string& path, const CompactionHook& hook) {
  std::string copy;
  Status s = CompactionCopyPath(path, &copy);
  if (!s.ok()) return s;
  auto stop = [&](CompactionStep step) {
    return hook && !hook(step);
  };
  const Status stopped = Status::Error(kFileError, "Compaction stopped");

  if (!IsFile(path)) return Status::Error(kFileNotFound, "Database file not found: " + path);
  if (!(s = RemoveIfPresent(copy)).ok()) return s;
  if (!(s = RemoveIfPresent(copy + "-journal")).ok()) return s;
  if (stop(CompactionStep::kLeftoverRemoved)) return stopped;

  {
    SqliteConnection source;
    if (!(s = source.Open(path, OpenMode::kExisting)).ok()) return s;
    std::unique_ptr<Statement> vacuum;
    if (!(s = source.Prepare("VACUUM INTO ?", &vacuum)).ok()) return s;
    if (!(s = vacuum->Bind(1, Value(copy))).ok()) return s;
    s = vacuum->Run();
    vacuum.reset();
    source.Close();
    if (!s.ok()) {
      ::unlink(copy.c_str());
      return s;
    }
  }
  if (!Sync(copy, false)) return FileError("Cannot flush", copy);
  if (stop(CompactionStep::kCopied)) return stopped;

  if (::rename(copy.c_str(), path.c_str()) != 0) return FileError("Cannot rename the compacted copy over", path);
  Sync(Folder(path), true);
  if (stop(CompactionStep::kReplaced)) return stopped;
  return Status::Ok();
}

Status RecoverInterruptedCompaction(const std::string& path) {
  if (IsFile(path)) return Status::Ok();
  std::string copy;
  if (!CompactionCopyPath(path, &copy).ok() || !IsFile(copy)) return Status::Ok();
  if (!SoundDatabase(copy))
    return Status::Error(kNotADatabase, "The database " + path + " is missing and its compaction copy " + copy +
                                            " is damaged; neither has been changed");
  if (::rename(copy.c_str(), path.c_str()) != 0) return FileError("Cannot restore the database from", copy);
  Sync(Folder(path), true);
  return Status::Ok();
}

bool DatabaseFileExists(const std::string& path) {
  // A copy that cannot be restored still counts: the caller then opens, gets the error and
  // reports it, instead of creating an empty database that a later compaction would put in
  // place of the copy.
  if (!RecoverInterruptedCompaction(path).ok()) return true;
  return IsFile(path);
}

Status DeleteDatabaseFile(const std::string& path) {
  Status s = RemoveIfPresent(path);
  if (!s.ok()) return s;
  RemoveIfPresent(path + "-journal");
  RemoveIfPresent(path + "-wal");
  RemoveIfPresent(path + "-shm");
  return Status::Ok();
}

Status ReplaceDatabaseFile(const std::string& from, const std::string& to) {
  const std::string src = text::path_to_utf8(from);
  const std::string dst = text::path_to_utf8(to);
  Status s;
  if (!(s = RemoveIfPresent(dst + "-journal")).ok()) return s;
  if (!(s = RemoveIfPresent(dst + "-wal")).ok()) return s;
  if (!(s = RemoveIfPresent(dst + "-shm")).ok()) return s;
  if (::rename(src.c_str(), dst.c_str()) != 0) return FileError("Cannot rename the new database over", to);
  return Status::Ok();
}

}  // namespace kyx::data
