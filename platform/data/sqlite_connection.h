#pragma once
// The SQLite backend of Connection: the four local databases (files named like KYX_0.MDB).
//
// Every connection registers the JET collation (collation.h), which the text columns that the
// catalog creates declare, and waits up to 10 seconds for a lock held by another connection (the
// original's connection time-out). Opening never creates a file unless asked to, never alters a
// file that is not a database, and first restores a database whose compaction was interrupted
// after the old file had gone (compaction.h).
#include <memory>
#include <string>

#include "platform/data/connection.h"

struct sqlite3;
struct sqlite3_stmt;

namespace kyx::data {

enum class OpenMode {
  kExisting,   // the file must exist and be a database
  kCreate,     // an existing database is opened, a missing file is created empty
  kReadOnly,   // the file must exist; nothing is ever written
};

class SqliteConnection final : public Connection {
 public:
  SqliteConnection() = default;
  ~SqliteConnection() override;

  // ADODB.Connection.Open on a Jet file (Provider, Data Source). Closes an open connection first.
  Status Open(const std::string& path, OpenMode mode = OpenMode::kExisting);
  const std::string& path() const { return path_; }

  Backend backend() const override { return Backend::SQLite; }
  bool IsOpen() const override;
  Status Close() override;
  Status Execute(std::string_view sql, int64_t* rows_affected = nullptr) override;
  Status Prepare(std::string_view sql, std::unique_ptr<Statement>* out) override;
  Status BeginTransaction() override;
  Status Commit() override;
  Status Rollback() override;
  bool InTransaction() const override;
  Status SetDurability(Durability durability) override;
  uint64_t ChangeCounter() const override;
  std::string RowIdName() const override { return "rowid"; }
  int64_t LastInsertRowId() const override;
  Status ListTables(std::vector<std::string>* tables) override;
  Status ListColumns(std::string_view table, std::vector<FieldInfo>* columns) override;
  Status ListIndexes(std::string_view table, std::vector<IndexInfo>* indexes) override;
  std::string StoredIndexName(std::string_view table, std::string_view index) const override;

  // The raw handle, for the layer's own SQLite-only work (compaction); nullptr when closed.
  sqlite3* handle() const;

  struct Handle;

 private:
  std::shared_ptr<Handle> handle_;
  std::string path_;
};

// Result column i of the current row of `st` into `out` as Statement::Read gives it for a column
// declared `declared` (texts converted to Windows-1252 through `scratch`).
void ReadSqliteColumn(sqlite3_stmt* st, int i, FieldType declared, Value* out, std::string* scratch);

// Registers the JET collation on a raw SQLite handle (for tools that open a file directly).
int RegisterJetCollation(sqlite3* db);

}  // namespace kyx::data
