#pragma once
// A program with a data folder of its own for the local databases, and an independent reader of
// the SQLite files (straight through the C API, not through our data layer), so that the tests
// check what really reached the files.
#include <sqlite3.h>

#include <map>
#include <string>
#include <vector>

#include "common/stato.h"
#include "common/stato_db.h"
#include "db/mdb3.h"
#include "platform/files/files.h"
#include "tests/common/ambiente.h"

namespace kyx::test {

// Every row of `sql` as texts ("NULL" for Null). A plain case-insensitive JET collation is
// registered so that queries may compare collated columns.
inline std::vector<std::vector<std::string>> Sql(const std::string& path, const std::string& sql) {
  std::vector<std::vector<std::string>> rows;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return {{"open failed"}};
  }
  sqlite3_create_collation(db, "JET", SQLITE_UTF8, nullptr, [](void*, int la, const void* a, int lb, const void* b) {
    int c = sqlite3_strnicmp(static_cast<const char*>(a), static_cast<const char*>(b), la < lb ? la : lb);
    return c != 0 ? c : la - lb;
  });
  const char* tail = sql.c_str();
  while (*tail) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, tail, -1, &st, &tail) != SQLITE_OK) {
      rows = {{std::string("prepare failed: ") + sqlite3_errmsg(db)}};
      break;
    }
    if (!st) break;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
      std::vector<std::string> row;
      for (int i = 0; i < sqlite3_column_count(st); ++i) {
        const unsigned char* t = sqlite3_column_text(st, i);
        row.push_back(t ? reinterpret_cast<const char*>(t) : "NULL");
      }
      rows.push_back(row);
    }
    if (rc != SQLITE_DONE) rows.push_back({std::string("step failed: ") + sqlite3_errmsg(db)});
    sqlite3_finalize(st);
  }
  sqlite3_close(db);
  return rows;
}

// The user tables in creation order.
inline std::vector<std::string> Tabelle(const std::string& path) {
  std::vector<std::string> out;
  for (auto& r : Sql(path, "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%' ORDER BY rowid"))
    out.push_back(r[0]);
  return out;
}

// A table's columns as "NAME TYPE" in creation order, joined by "|".
inline std::string Colonne(const std::string& path, const std::string& table) {
  std::string out;
  for (auto& r : Sql(path, "PRAGMA table_info(\"" + table + "\")")) {
    if (r.size() < 3) return r[0];
    out += (out.empty() ? "" : "|") + r[1] + " " + r[2];
  }
  return out;
}

// A table's indexes: stored name -> "col1,col2" (with "unique" appended when unique).
inline std::map<std::string, std::string> Indici(const std::string& path, const std::string& table) {
  std::map<std::string, std::string> out;
  for (auto& r : Sql(path, "PRAGMA index_list(\"" + table + "\")")) {
    std::string cols;
    for (auto& c : Sql(path, "PRAGMA index_info(\"" + r[1] + "\")")) cols += (cols.empty() ? "" : ",") + c[2];
    if (r[2] != "0") cols += " unique";
    out[r[1]] = cols;
  }
  return out;
}

// Test fixture: a clean shared state, the data folder "Dati" in the program folder and the four
// database paths in their stored form (the folder text ends with a backslash, as the profile
// gives it).
class AmbienteDb : public Ambiente {
 protected:
  AmbienteDb() {
    stato_db::reset();
    mdb3::reset();
    files::make_folder(dir.file("Dati"));
    Cartella_Dati = dir.path() + "/Dati\\";
    File_MDB0 = Cartella_Dati + "KYX_0.MDB";
    File_MDB1 = Cartella_Dati + "KYX_1.MDB";
    File_MDB2 = Cartella_Dati + "KYX_2.MDB";
    File_MDB3 = Cartella_Dati + "KYX_3.MDB";
    Profilo_Corrente = 1;
  }
  ~AmbienteDb() override {
    stato_db::reset();
    mdb3::reset();
  }

 public:
  // The Linux path of a file of the data folder.
  std::string Dati(const std::string& name) const { return dir.file("Dati/" + name); }
  std::string Mdb(int n) const { return Dati("KYX_" + std::to_string(n) + ".MDB"); }
};

// "Errore 015 " & CR & number: the start of a numbered database message.
inline std::string Errore(const char* prefisso, int numero) { return std::string(prefisso) + "\r" + std::to_string(numero) + "\r"; }

}  // namespace kyx::test
