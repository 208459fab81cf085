#pragma once
// Compaction of a local database (in place of JRO JetEngine.CompactDatabase and the file moves
// around it) and the file operations that go with it.
//
// A database is compacted into a copy beside it, named as the original less its last four
// characters followed by "_NEW.MDB" (KYX_1.MDB -> KYX_1_NEW.MDB), and the copy then replaces the
// original in one atomic rename. The original is never deleted first, so an interruption at any
// point leaves either the old or the new database under the original name. A copy left by an
// interrupted compaction is removed by the next one. Should the original name be missing while a
// copy is present (the state an older, delete-then-rename sequence could leave), opening the
// database restores it from the copy instead of creating it empty.
#include <functional>
#include <string>

#include "platform/data/status.h"

namespace kyx::data {

enum class CompactionStep {
  kLeftoverRemoved,  // a copy left by an earlier compaction is gone
  kCopied,           // the compacted copy is written and flushed
  kReplaced,         // the copy has replaced the original
};

// Called after each step; returning false stops the compaction there, as if the program had
// ended at that point (used by tests to show that no step loses the database).
using CompactionHook = std::function<bool(CompactionStep)>;

// The path of the compaction copy; an error when the path is shorter than four characters.
Status CompactionCopyPath(const std::string& path, std::string* copy);

// Compacts the database at `path` (VACUUM INTO the copy, then rename over the original). No
// connection may be open on the file. A stop requested by the hook returns an error status.
Status CompactDatabase(const std::string& path, const CompactionHook& hook = {});

// When `path` is missing and its compaction copy is a sound database, renames the copy to
// `path`. A missing path with an unusable copy is an error (the copy is left for inspection);
// nothing to do is success.
Status RecoverInterruptedCompaction(const std::string& path);

// Whether the database file exists, after restoring it from an interrupted compaction (callers
// use this to decide between creating and opening a database). True also when only a damaged
// copy is there: opening then reports the damage rather than a new empty database replacing it.
bool DatabaseFileExists(const std::string& path);

// Deletes a database file with its journal; a missing file is not an error.
Status DeleteDatabaseFile(const std::string& path);

// Renames the closed database `from` over `to` in one step (the journal files `to` left behind
// are removed first: they belong to the file being replaced). On failure `to` is unchanged.
Status ReplaceDatabaseFile(const std::string& from, const std::string& to);

}  // namespace kyx::data
