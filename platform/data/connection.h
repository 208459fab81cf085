#pragma once
// The connection interface of the data layer (in place of ADODB.Connection and ADODB.Command).
// SQLite serves the local databases; an ODBC connection for SQL Server implements the same
// interface, so that callers hold a Connection and never name the backend.
//
// All text crossing this interface (SQL, names, values, messages) is Windows-1252; each backend
// converts at its own edge. One thread uses a connection and its statements.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/data/field.h"
#include "platform/data/status.h"
#include "platform/data/value.h"

namespace kyx::data {

enum class Backend { SQLite, ODBC };

// How the commits of a connection reach the disk.
enum class Durability {
  // A committed transaction survives a crash or a power cut (the default).
  kFull,
  // For a database rebuilt from scratch whenever it is opened, whose loss costs nothing: the undo
  // copy of the pages a transaction changes is kept in memory and a commit does not wait for the
  // disk. Rolling back still works; a crash in the middle of a commit may leave the file damaged.
  kRebuilt,
};

// A prepared statement (ADODB.Command with parameters), run again and again with new bindings.
class Statement {
 public:
  virtual ~Statement() = default;

  // Binds parameter `position` (from 1); the binding stays until replaced.
  virtual Status Bind(int position, const Value& value) = 0;
  // The same for the next run only: the statement may read a text in place instead of keeping a
  // copy, so `value` must stay unchanged until that run is over (Step has said there are no more
  // rows, or Reset), and the parameter must be bound again before any later run. For callers
  // that bind every parameter from their own row just before each run.
  virtual Status BindForRun(int position, const Value& value) { return Bind(position, value); }
  // Runs the statement or advances it by one row; *row tells whether a row is available.
  virtual Status Step(bool* row) = 0;
  // Ends the current run so that the statement can run again (bindings are kept).
  virtual void Reset() = 0;
  // Runs a statement that returns no rows from start to end, then resets it.
  Status Run();

  virtual int ColumnCount() const = 0;
  // Name and declared type of result column i (from 0); FieldType::Any for an expression.
  virtual FieldInfo ColumnInfo(int i) const = 0;
  // The table and column a result column comes from ("" for an expression).
  virtual std::string ColumnTable(int i) const = 0;
  virtual std::string ColumnOrigin(int i) const = 0;
  // Reads column i of the current row into `out`, reusing its text buffer. A column declared
  // double or numeric always reads as a double, an integer column as an integer.
  virtual void Read(int i, Value* out) const = 0;
  Value Read(int i) const {
    Value v;
    Read(i, &v);
    return v;
  }
  // Rows changed by the last run of an INSERT, UPDATE or DELETE.
  virtual int64_t ChangedRows() const = 0;
};

class Connection {
 public:
  Connection() : life_(std::make_shared<char>(0)) {}
  virtual ~Connection() = default;
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  virtual Backend backend() const = 0;
  // ADODB.Connection.State = adStateOpen.
  virtual bool IsOpen() const = 0;
  // ADODB.Connection.Close; closing a closed connection succeeds.
  virtual Status Close() = 0;

  // ADODB.Connection.Execute for statements without rows (one or several, separated by ";").
  virtual Status Execute(std::string_view sql, int64_t* rows_affected = nullptr) = 0;
  // A prepared statement for repeated runs.
  virtual Status Prepare(std::string_view sql, std::unique_ptr<Statement>* out) = 0;

  // BeginTrans / CommitTrans / RollbackTrans. Transactions do not nest.
  virtual Status BeginTransaction() = 0;
  virtual Status Commit() = 0;
  virtual Status Rollback() = 0;
  virtual bool InTransaction() const = 0;
  // Changes the durability of the commits that follow (only outside a transaction). A backend
  // without the choice keeps full durability and succeeds.
  virtual Status SetDurability(Durability) { return Status::Ok(); }

  // A number that grows whenever this connection inserts, updates or deletes rows; recordsets use
  // it to notice that the rows they hold may be stale.
  virtual uint64_t ChangeCounter() const = 0;
  // The name of the hidden row identity column ("rowid"), or "" when the backend has none (then
  // table-direct recordsets are not available on it).
  virtual std::string RowIdName() const = 0;
  // The row identity of the last row that a successful INSERT on this connection added (0 when
  // the backend has no row identity): what a table-direct recordset takes as the position of the
  // row it has just added.
  virtual int64_t LastInsertRowId() const { return 0; }
  // A table, column or index name quoted for SQL.
  virtual std::string QuoteName(std::string_view name) const;
  // The column type a server backend declares for a column of the catalog ("" for SQLite, whose
  // catalog declares its own types with the JET collation and the size checks).
  virtual std::string ColumnType(const FieldInfo&) const { return ""; }

  // Catalog reading (ADOX Catalog): user tables in creation order; a table's columns in
  // creation order with declared types and sizes; a table's indexes with their columns.
  virtual Status ListTables(std::vector<std::string>* tables) = 0;
  virtual Status ListColumns(std::string_view table, std::vector<FieldInfo>* columns) = 0;
  virtual Status ListIndexes(std::string_view table, std::vector<IndexInfo>* indexes) = 0;
  // The name under which an index of a table is stored (index names are per table in the
  // system but per database in SQLite).
  virtual std::string StoredIndexName(std::string_view table, std::string_view index) const = 0;

  // Lets holders of a raw pointer (recordsets) find out that the connection object is gone.
  std::weak_ptr<char> LifeToken() const { return life_; }

 private:
  std::shared_ptr<char> life_;
};

}  // namespace kyx::data
