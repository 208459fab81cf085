#pragma once
// The ODBC backend of Connection (unixODBC), in place of ADO with the SQL Server provider: the
// master database and the system databases that a profile naming an SQL database reads.
//
// The driver comes from the environment: KYX_ODBC_DRIVER (default "FreeTDS", the usual road to
// SQL Server on Linux) and KYX_ODBC_EXTRA, further "key=value;" pairs appended as they stand (a
// port, a character set, driver options). The profile's server, database, user and password fill
// the rest. Texts travel as UTF-8 and come back as Windows-1252; binary columns are read and
// bound as raw bytes, one byte per character of the text.
//
// Tables have no row identity here, so only query recordsets (forward and static) run on it.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/data/connection.h"

namespace kyx::data {

// What a connection string is built from.
struct OdbcTarget {
  std::string server;    // Data Source
  std::string database;  // Initial Catalog; empty: the server's default
  std::string user;      // User ID
  std::string password;  // empty: no password keyword at all
};

// "DRIVER={...};SERVER=...;[DATABASE=...;]UID=...;[PWD=...;]" and the extra keywords, each value
// braced when it holds a character the syntax gives a meaning to.
std::string OdbcConnectionString(const OdbcTarget& target);

class OdbcConnection final : public Connection {
 public:
  OdbcConnection();
  ~OdbcConnection() override;

  // Opens with the connection string of `target`, waiting at most `timeout_seconds` for the
  // server. Closes an open connection first.
  Status Open(const OdbcTarget& target, int timeout_seconds = 10);
  // Opens with a whole connection string (tools and tests).
  Status OpenString(const std::string& connection_string, int timeout_seconds = 10);
  // The DBMS name the driver reports ("Microsoft SQL Server", "PostgreSQL", ...).
  const std::string& dbms() const { return dbms_; }

  Backend backend() const override { return Backend::ODBC; }
  bool IsOpen() const override;
  Status Close() override;
  Status Execute(std::string_view sql, int64_t* rows_affected = nullptr) override;
  Status Prepare(std::string_view sql, std::unique_ptr<Statement>* out) override;
  Status BeginTransaction() override;
  Status Commit() override;
  Status Rollback() override;
  bool InTransaction() const override { return in_transaction_; }
  uint64_t ChangeCounter() const override { return changes_; }
  std::string RowIdName() const override { return ""; }
  // Plain names stay unquoted, so that the server folds them as it folds the names in the
  // program's own query texts (PostgreSQL keeps quoted names case-sensitive).
  std::string QuoteName(std::string_view name) const override;
  std::string ColumnType(const FieldInfo& field) const override;
  Status ListTables(std::vector<std::string>* tables) override;
  Status ListColumns(std::string_view table, std::vector<FieldInfo>* columns) override;
  Status ListIndexes(std::string_view table, std::vector<IndexInfo>* indexes) override;
  std::string StoredIndexName(std::string_view table, std::string_view index) const override;

  // Counts a change made through one of this connection's statements.
  void NoteChange() { ++changes_; }

  struct Handles;

 private:
  std::shared_ptr<Handles> h_;
  std::string dbms_;
  bool in_transaction_ = false;
  uint64_t changes_ = 0;
};

// Binds parameter `position` of a statement prepared on an OdbcConnection to raw bytes (a binary
// column); false when the statement is of another backend.
bool BindOdbcBytes(Statement& statement, int position, std::string_view bytes);

}  // namespace kyx::data
