#pragma once
// What the loading benchmarks share: a scratch program folder, a clock, the sqlite3 shell as the
// reference loader (same tables and indexes, copied from the database our code made), and the
// printing of the figures side by side.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/data/connection.h"

namespace kyx::bench {

// Command line shared by the benchmarks: a row count ("-n 50000" or a bare number; default one
// million), "--keep" to leave the scratch folder behind, "--only-kyx" to skip the reference run
// (for profiling our side alone).
struct Options {
  int64_t rows = 1000000;
  bool keep = false;
  bool only_kyx = false;
};
Options ParseOptions(int argc, char** argv);

// A scratch folder under $TMPDIR (default /tmp), removed at the end unless kept.
class Scratch {
 public:
  explicit Scratch(bool keep);
  ~Scratch();
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
  bool keep_;
};

// Sets the shared state of a program whose folder is `folder` and whose data folder is
// `folder`/Dati (the database and work-file paths in their stored form).
void PrepareProgram(const std::string& folder);

// Seconds on a monotonic clock.
double Now();

// The CREATE statements of `tables` and of their indexes as stored in `database`, with the JET
// collation (which the sqlite3 shell does not have) replaced by NOCASE: the reference loads into
// tables with the same columns, checks and indexes as ours.
std::vector<std::string> SchemaForShell(const std::string& database, const std::vector<std::string>& tables);
// The same statements as stored, JET collation and all, for a reference in this process that
// registers our collation: it keeps its indexes in the very order ours does.
std::vector<std::string> SchemaOf(const std::string& database, const std::vector<std::string>& tables);

// The PRAGMA lines (page_size, journal_mode, synchronous, cache_size) that give a shell run the
// storage settings and page cache in force on `cn`, for the head of its script (their echo sent
// to /dev/null): both sides of a loading benchmark write with the same durability and cache.
std::string StorageSettings(data::Connection& cn);

// Writes `script` to a file and runs `sqlite3 database < file`; returns the wall-clock seconds of
// the whole run, or a negative value when the shell failed.
double RunShell(const std::string& database, const std::string& script, const std::string& script_file);

// SELECT count(*) FROM table through the C API (-1 on error).
int64_t CountRows(const std::string& database, const std::string& table);

// One line of figures: a label, seconds, rate.
void PrintRate(const char* label, int64_t rows, double seconds, const char* unit);
// The closing lines: the ratio ours / reference (higher is better) and the target.
void PrintRatio(int64_t rows, double ours, double reference);

// 1234567 -> "1,234,567".
std::string Grouped(int64_t n);

}  // namespace kyx::bench
