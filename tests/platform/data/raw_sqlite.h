#pragma once
// Reads a database file straight through the SQLite C API, independently of the layer, so that
// tests check what really reached the file.
#include <sqlite3.h>

#include <string>
#include <vector>

namespace kyx::test {

// Every row of `sql` as texts (NULL for Null). The JET collation is not registered, so only
// queries that need no text comparison on collated columns may be used.
inline std::vector<std::vector<std::string>> RawQuery(const std::string& path, const std::string& sql) {
  std::vector<std::vector<std::string>> rows;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return {{"open failed"}};
  }
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
    rows = {{std::string("prepare failed: ") + sqlite3_errmsg(db)}};
    sqlite3_close(db);
    return rows;
  }
  while (sqlite3_step(st) == SQLITE_ROW) {
    std::vector<std::string> row;
    for (int i = 0; i < sqlite3_column_count(st); ++i) {
      const unsigned char* t = sqlite3_column_text(st, i);
      row.push_back(t ? reinterpret_cast<const char*>(t) : "NULL");
    }
    rows.push_back(row);
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return rows;
}

}  // namespace kyx::test
