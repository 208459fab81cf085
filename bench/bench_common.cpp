#include "bench/bench_common.h"

#include <sqlite3.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "common/opzioni.h"
#include "common/stato.h"
#include "common/stato_db.h"

namespace kyx::bench {

Options ParseOptions(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--keep") {
      o.keep = true;
    } else if (a == "--only-kyx") {
      o.only_kyx = true;
    } else if (a == "-n" && i + 1 < argc) {
      o.rows = std::atoll(argv[++i]);
    } else if (!a.empty() && a[0] >= '0' && a[0] <= '9') {
      o.rows = std::atoll(a.c_str());
    } else {
      std::fprintf(stderr, "usage: %s [-n rows] [--keep] [--only-kyx]\n", argv[0]);
      std::exit(2);
    }
  }
  if (o.rows < 1) o.rows = 1;
  return o;
}

Scratch::Scratch(bool keep) : keep_(keep) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/kyx-bench-XXXXXX";
  if (!::mkdtemp(pattern.data())) {
    std::perror("mkdtemp");
    std::exit(1);
  }
  path_ = pattern;
  std::filesystem::create_directory(path_ + "/Dati");
}

Scratch::~Scratch() {
  if (keep_) {
    std::printf("  (scratch folder kept: %s)\n", path_.c_str());
    return;
  }
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void PrepareProgram(const std::string& folder) {
  stato::reset();
  stato_db::reset();
  setenv("KYX_HOME", folder.c_str(), 1);
  Cartella_Programma = folder + "/";
  File_Ini = Cartella_Programma + "KYX.INI";
  File_Istanze = Cartella_Programma + "KYX.DAT";
  Cartella_Dati = folder + "/Dati\\";
  Cartella_Storico = Cartella_Dati + "STORICO\\";
  // Every data and history file name, derived from the folders as the program derives them.
  Ricostruisci_Nomi_File();
  Profilo_Corrente = 1;
}

double Now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

std::vector<std::string> SchemaForShell(const std::string& database, const std::vector<std::string>& tables) {
  std::vector<std::string> out = SchemaOf(database, tables);
  for (std::string& sql : out)
    for (size_t p; (p = sql.find("COLLATE JET")) != std::string::npos;) sql.replace(p, 11, "COLLATE NOCASE");
  return out;
}

std::vector<std::string> SchemaOf(const std::string& database, const std::vector<std::string>& tables) {
  std::vector<std::string> out;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return out;
  }
  sqlite3_stmt* st = nullptr;
  // Tables first, then their indexes, each in creation order.
  sqlite3_prepare_v2(db,
                     "SELECT sql FROM sqlite_master WHERE tbl_name = ?1 AND sql IS NOT NULL "
                     "ORDER BY type = 'index', rowid",
                     -1, &st, nullptr);
  for (const std::string& t : tables) {
    sqlite3_bind_text(st, 1, t.c_str(), -1, SQLITE_TRANSIENT);
    while (sqlite3_step(st) == SQLITE_ROW) {
      out.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    }
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return out;
}

std::string StorageSettings(data::Connection& cn) {
  // The shell prints what PRAGMA journal_mode returns: not into the figures.
  std::string out = ".output /dev/null\n";
  for (const char* name : {"page_size", "journal_mode", "synchronous", "cache_size"}) {
    std::unique_ptr<data::Statement> st;
    bool have = false;
    if (!cn.Prepare(std::string("PRAGMA ") + name, &st).ok() || !st->Step(&have).ok() || !have) continue;
    out += std::string("PRAGMA ") + name + " = " + st->Read(0).AsText() + ";\n";
  }
  return out + ".output stdout\n";
}

double RunShell(const std::string& database, const std::string& script, const std::string& script_file) {
  {
    std::ofstream f(script_file, std::ios::binary);
    f << script;
  }
  const std::string command = "sqlite3 -bail '" + database + "' < '" + script_file + "'";
  const double start = Now();
  const int rc = std::system(command.c_str());
  const double seconds = Now() - start;
  if (rc != 0) {
    std::fprintf(stderr, "sqlite3 shell failed (%d): %s\n", rc, command.c_str());
    return -1;
  }
  return seconds;
}

int64_t CountRows(const std::string& database, const std::string& table) {
  sqlite3* db = nullptr;
  int64_t n = -1;
  if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    // count(*) may walk an index on a JET column: a plain stand-in for the collation is enough.
    sqlite3_create_collation(db, "JET", SQLITE_UTF8, nullptr, [](void*, int la, const void* a, int lb, const void* b) {
      const int c = sqlite3_strnicmp(static_cast<const char*>(a), static_cast<const char*>(b), la < lb ? la : lb);
      return c != 0 ? c : la - lb;
    });
    sqlite3_stmt* st = nullptr;
    const std::string sql = "SELECT count(*) FROM \"" + table + "\"";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
      n = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
  }
  sqlite3_close(db);
  return n;
}

std::string Grouped(int64_t n) {
  std::string digits = std::to_string(n < 0 ? -n : n);
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return n < 0 ? "-" + out : out;
}

void PrintRate(const char* label, int64_t rows, double seconds, const char* unit) {
  if (seconds < 0) {
    std::printf("  %-34s  failed\n", label);
    return;
  }
  std::printf("  %-34s %9.3f s  %12s %s/s\n", label, seconds, Grouped(static_cast<int64_t>(rows / seconds)).c_str(),
              unit);
}

void PrintRatio(int64_t rows, double ours, double reference) {
  if (ours <= 0 || reference <= 0) return;
  const double ratio = (rows / ours) / (rows / reference);
  std::printf("  %-34s %9.2f   (target >= 1.00: %s)\n", "ratio Kyx / sqlite3 shell", ratio,
              ratio >= 1.0 ? "met" : "NOT met");
}

}  // namespace kyx::bench
