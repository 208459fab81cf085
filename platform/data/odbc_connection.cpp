#include "platform/data/odbc_connection.h"

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace kyx::data {

struct OdbcConnection::Handles {
  SQLHENV env = SQL_NULL_HENV;
  SQLHDBC dbc = SQL_NULL_HDBC;
  bool connected = false;

  ~Handles() {
    if (connected) SQLDisconnect(dbc);
    if (dbc != SQL_NULL_HDBC) SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    if (env != SQL_NULL_HENV) SQLFreeHandle(SQL_HANDLE_ENV, env);
  }
};

namespace {

bool Succeeded(SQLRETURN r) { return r == SQL_SUCCESS || r == SQL_SUCCESS_WITH_INFO; }

Status Closed() { return Status::Error(kNotOpen, "The connection is closed"); }

// The first diagnostic record of a handle as a status: the driver's native error number (or -1)
// and its message, prefixed with the SQLSTATE.
Status Diagnostic(SQLSMALLINT type, SQLHANDLE handle, const char* what) {
  SQLCHAR state[6] = {0};
  SQLCHAR text[1024] = {0};
  SQLINTEGER native = 0;
  SQLSMALLINT length = 0;
  std::string message;
  if (handle != SQL_NULL_HANDLE &&
      Succeeded(SQLGetDiagRec(type, handle, 1, state, &native, text, sizeof text, &length))) {
    std::string utf8(reinterpret_cast<const char*>(text));
    Utf8ToCp1252(utf8, &message);
    message = std::string(reinterpret_cast<const char*>(state)) + " " + message;
  } else {
    message = std::string(what) + " failed";
  }
  return Status::Error(native != 0 ? native : -1, message);
}

bool NeedsBraces(std::string_view v) {
  for (char c : v) {
    if (c == ';' || c == '{' || c == '}' || c == '=' || c == ' ') return true;
  }
  return false;
}

std::string Keyword(const std::string& key, std::string_view value) {
  std::string out = key + "=";
  if (NeedsBraces(value)) {
    out += '{';
    for (char c : value) {
      out += c;
      if (c == '}') out += '}';
    }
    out += '}';
  } else {
    out += value;
  }
  return out + ";";
}

FieldType TypeOf(SQLSMALLINT sql_type) {
  switch (sql_type) {
    case SQL_CHAR: case SQL_VARCHAR: case SQL_WCHAR: case SQL_WVARCHAR: return FieldType::Text;
    case SQL_LONGVARCHAR: case SQL_WLONGVARCHAR: return FieldType::LongText;
    case SQL_SMALLINT: case SQL_TINYINT: case SQL_BIT: return FieldType::Int16;
    case SQL_INTEGER: return FieldType::Int32;
    case SQL_REAL: case SQL_FLOAT: case SQL_DOUBLE: return FieldType::Double;
    case SQL_NUMERIC: case SQL_DECIMAL: return FieldType::Numeric;
    default: return FieldType::Any;  // BIGINT, binaries, dates: values keep their own kind
  }
}

bool IsBinary(SQLSMALLINT t) { return t == SQL_BINARY || t == SQL_VARBINARY || t == SQL_LONGVARBINARY; }
bool IsInteger(SQLSMALLINT t) {
  return t == SQL_SMALLINT || t == SQL_TINYINT || t == SQL_BIT || t == SQL_INTEGER || t == SQL_BIGINT;
}
bool IsReal(SQLSMALLINT t) {
  return t == SQL_REAL || t == SQL_FLOAT || t == SQL_DOUBLE || t == SQL_NUMERIC || t == SQL_DECIMAL;
}

class OdbcStatement final : public Statement {
 public:
  OdbcStatement(OdbcConnection* cn, std::shared_ptr<OdbcConnection::Handles> h, SQLHSTMT st)
      : cn_(cn), h_(std::move(h)), st_(st) {}
  ~OdbcStatement() override {
    if (st_ != SQL_NULL_HSTMT) SQLFreeHandle(SQL_HANDLE_STMT, st_);
  }

  Status Bind(int position, const Value& value) override {
    if (position < 1) return Status::Error(kItemNotFound, "Parameter " + std::to_string(position) + " does not exist");
    Param& p = Slot(position);
    p.value = value;
    p.binary = false;
    return Status::Ok();
  }
  void BindBytes(int position, std::string_view bytes) {
    Param& p = Slot(position);
    p.value = Value(std::string(bytes));
    p.binary = true;
  }

  Status Step(bool* row) override {
    *row = false;
    if (!executed_) {
      Status s = Run();
      if (!s.ok()) return s;
    }
    if (done_) return Status::Ok();
    Describe();
    SQLRETURN r = SQLFetch(st_);
    if (r == SQL_NO_DATA) {
      done_ = true;
      SQLCloseCursor(st_);
      return Status::Ok();
    }
    if (!Succeeded(r)) return Diagnostic(SQL_HANDLE_STMT, st_, "SQLFetch");
    for (size_t i = 0; i < columns_.size(); ++i) {
      Status s = Fetch(static_cast<SQLUSMALLINT>(i + 1), &row_[i]);
      if (!s.ok()) return s;
    }
    *row = true;
    return Status::Ok();
  }

  void Reset() override {
    if (executed_ && !done_) SQLCloseCursor(st_);
    executed_ = false;
    done_ = false;
  }

  int ColumnCount() const override {
    Describe();
    return static_cast<int>(columns_.size());
  }
  FieldInfo ColumnInfo(int i) const override {
    Describe();
    return i >= 0 && i < static_cast<int>(columns_.size()) ? columns_[static_cast<size_t>(i)].info : FieldInfo{};
  }
  std::string ColumnTable(int) const override { return ""; }
  std::string ColumnOrigin(int) const override { return ""; }
  void Read(int i, Value* out) const override {
    if (i < 0 || i >= static_cast<int>(row_.size())) {
      out->SetNull();
      return;
    }
    *out = row_[static_cast<size_t>(i)];
  }
  int64_t ChangedRows() const override { return changed_; }

 private:
  struct Param {
    Value value;
    bool binary = false;
    std::string buffer;
    double real = 0;
    SQLBIGINT integer = 0;
    SQLLEN indicator = 0;
  };
  struct Column {
    FieldInfo info;
    SQLSMALLINT sql_type = 0;
  };

  Param& Slot(int position) {
    if (params_.size() < static_cast<size_t>(position)) params_.resize(static_cast<size_t>(position));
    return params_[static_cast<size_t>(position - 1)];
  }

  // Reads the result columns once: after SQLPrepare when the driver can tell them, else by
  // running the statement (then the first Step fetches from that run).
  void Describe() const {
    if (described_) return;
    described_ = true;
    SQLSMALLINT n = 0;
    if (!Succeeded(SQLNumResultCols(st_, &n))) n = 0;
    if (n == 0 && !executed_ && params_.empty()) {
      auto* self = const_cast<OdbcStatement*>(this);
      if (self->Run().ok() && !Succeeded(SQLNumResultCols(st_, &n))) n = 0;
    }
    columns_.clear();
    for (SQLSMALLINT i = 1; i <= n; ++i) {
      SQLCHAR name[256] = {0};
      SQLSMALLINT name_length = 0, type = 0, digits = 0, nullable = 0;
      SQLULEN size = 0;
      Column c;
      if (Succeeded(SQLDescribeCol(st_, static_cast<SQLUSMALLINT>(i), name, sizeof name, &name_length, &type, &size,
                                   &digits, &nullable))) {
        Utf8ToCp1252(reinterpret_cast<const char*>(name), &c.info.name);
        c.sql_type = type;
        c.info.type = TypeOf(type);
        if (c.info.type == FieldType::Text || c.info.type == FieldType::LongText)
          c.info.size = size > 0 && size < 1000000 ? static_cast<int>(size) : 255;
      }
      columns_.push_back(std::move(c));
    }
    row_.assign(columns_.size(), Value());
  }

  Status Run() {
    SQLFreeStmt(st_, SQL_RESET_PARAMS);
    for (size_t i = 0; i < params_.size(); ++i) {
      Param& p = params_[i];
      const auto n = static_cast<SQLUSMALLINT>(i + 1);
      SQLRETURN r;
      switch (p.value.kind()) {
        case Value::Kind::Null:
          p.indicator = SQL_NULL_DATA;
          r = SQLBindParameter(st_, n, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 1, 0, nullptr, 0, &p.indicator);
          break;
        case Value::Kind::Integer:
          p.integer = p.value.integer();
          p.indicator = 0;
          r = SQLBindParameter(st_, n, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0, 0, &p.integer, 0, &p.indicator);
          break;
        case Value::Kind::Double:
          p.real = p.value.real();
          p.indicator = 0;
          r = SQLBindParameter(st_, n, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 0, 0, &p.real, 0, &p.indicator);
          break;
        default:
          if (p.binary) p.buffer = p.value.text();
          else Cp1252ToUtf8(p.value.text(), &p.buffer);
          p.indicator = static_cast<SQLLEN>(p.buffer.size());
          r = SQLBindParameter(st_, n, SQL_PARAM_INPUT, p.binary ? SQL_C_BINARY : SQL_C_CHAR,
                               p.binary ? SQL_LONGVARBINARY : SQL_VARCHAR,
                               std::max<SQLULEN>(p.buffer.size(), 1), 0, p.buffer.data(),
                               static_cast<SQLLEN>(p.buffer.size()), &p.indicator);
          break;
      }
      if (!Succeeded(r)) return Diagnostic(SQL_HANDLE_STMT, st_, "SQLBindParameter");
    }
    SQLRETURN r = SQLExecute(st_);
    executed_ = true;
    done_ = false;
    changed_ = 0;
    if (r == SQL_NO_DATA) {
      done_ = true;
      return Status::Ok();
    }
    if (!Succeeded(r)) {
      done_ = true;
      return Diagnostic(SQL_HANDLE_STMT, st_, "SQLExecute");
    }
    SQLSMALLINT n = 0;
    SQLNumResultCols(st_, &n);
    if (n == 0) {
      SQLLEN rows = 0;
      if (Succeeded(SQLRowCount(st_, &rows)) && rows > 0) changed_ = rows;
      cn_->NoteChange();
      done_ = true;
    }
    return Status::Ok();
  }

  // Column `n` of the fetched row, in pieces when it is long.
  Status Fetch(SQLUSMALLINT n, Value* out) {
    const SQLSMALLINT type = columns_[n - 1].sql_type;
    SQLLEN indicator = 0;
    SQLRETURN r;
    if (IsInteger(type)) {
      SQLBIGINT v = 0;
      r = SQLGetData(st_, n, SQL_C_SBIGINT, &v, 0, &indicator);
      if (!Succeeded(r)) return Diagnostic(SQL_HANDLE_STMT, st_, "SQLGetData");
      if (indicator == SQL_NULL_DATA) out->SetNull();
      else out->AssignInteger(v);
      return Status::Ok();
    }
    if (IsReal(type)) {
      double v = 0;
      r = SQLGetData(st_, n, SQL_C_DOUBLE, &v, 0, &indicator);
      if (!Succeeded(r)) return Diagnostic(SQL_HANDLE_STMT, st_, "SQLGetData");
      if (indicator == SQL_NULL_DATA) out->SetNull();
      else out->AssignDouble(v);
      return Status::Ok();
    }
    const bool binary = IsBinary(type);
    const SQLSMALLINT c_type = binary ? SQL_C_BINARY : SQL_C_CHAR;
    const SQLLEN terminator = binary ? 0 : 1;
    bytes_.clear();
    char piece[8192];
    for (;;) {
      r = SQLGetData(st_, n, c_type, piece, sizeof piece, &indicator);
      if (r == SQL_NO_DATA) break;
      if (!Succeeded(r)) return Diagnostic(SQL_HANDLE_STMT, st_, "SQLGetData");
      if (indicator == SQL_NULL_DATA) {
        out->SetNull();
        return Status::Ok();
      }
      const SQLLEN room = static_cast<SQLLEN>(sizeof piece) - terminator;
      const SQLLEN got = indicator == SQL_NO_TOTAL || indicator > room ? room : indicator;
      bytes_.append(piece, static_cast<size_t>(got));
      if (r == SQL_SUCCESS) break;  // the last piece
    }
    if (binary) out->AssignText(bytes_);
    else {
      std::string text;
      Utf8ToCp1252(bytes_, &text);
      out->AssignText(text);
    }
    return Status::Ok();
  }

  OdbcConnection* cn_;
  std::shared_ptr<OdbcConnection::Handles> h_;  // keeps the connection's handles alive
  SQLHSTMT st_;
  std::vector<Param> params_;
  mutable std::vector<Column> columns_;
  mutable std::vector<Value> row_;
  mutable bool described_ = false;
  bool executed_ = false, done_ = false;
  int64_t changed_ = 0;
  std::string bytes_;
};

}  // namespace

std::string OdbcConnectionString(const OdbcTarget& t) {
  const char* driver = std::getenv("KYX_ODBC_DRIVER");
  std::string s = Keyword("DRIVER", driver && *driver ? driver : "FreeTDS");
  s += Keyword("SERVER", t.server);
  if (!t.database.empty()) s += Keyword("DATABASE", t.database);
  s += Keyword("UID", t.user);
  if (!t.password.empty()) s += Keyword("PWD", t.password);
  if (const char* extra = std::getenv("KYX_ODBC_EXTRA"); extra && *extra) {
    s += extra;
    if (s.back() != ';') s += ';';
  }
  return s;
}

OdbcConnection::OdbcConnection() = default;
OdbcConnection::~OdbcConnection() { Close(); }

Status OdbcConnection::Open(const OdbcTarget& target, int timeout_seconds) {
  return OpenString(OdbcConnectionString(target), timeout_seconds);
}

Status OdbcConnection::OpenString(const std::string& connection_string, int timeout_seconds) {
  Close();
  auto h = std::make_shared<Handles>();
  if (!Succeeded(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &h->env)))
    return Status::Error(-1, "The ODBC environment cannot be created");
  SQLSetEnvAttr(h->env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  if (!Succeeded(SQLAllocHandle(SQL_HANDLE_DBC, h->env, &h->dbc)))
    return Diagnostic(SQL_HANDLE_ENV, h->env, "SQLAllocHandle");
  SQLSetConnectAttr(h->dbc, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(static_cast<intptr_t>(timeout_seconds)), 0);
  SQLSetConnectAttr(h->dbc, SQL_ATTR_CONNECTION_TIMEOUT,
                    reinterpret_cast<SQLPOINTER>(static_cast<intptr_t>(timeout_seconds)), 0);
  std::string utf8;
  Cp1252ToUtf8(connection_string, &utf8);
  std::vector<SQLCHAR> in(utf8.begin(), utf8.end());
  in.push_back(0);
  SQLCHAR out[1024];
  SQLSMALLINT out_length = 0;
  SQLRETURN r = SQLDriverConnect(h->dbc, nullptr, in.data(), SQL_NTS, out, sizeof out, &out_length, SQL_DRIVER_NOPROMPT);
  if (!Succeeded(r)) return Diagnostic(SQL_HANDLE_DBC, h->dbc, "SQLDriverConnect");
  h->connected = true;
  SQLCHAR name[128] = {0};
  SQLSMALLINT name_length = 0;
  if (Succeeded(SQLGetInfo(h->dbc, SQL_DBMS_NAME, name, sizeof name, &name_length)))
    dbms_ = reinterpret_cast<const char*>(name);
  h_ = std::move(h);
  in_transaction_ = false;
  return Status::Ok();
}

bool OdbcConnection::IsOpen() const { return h_ && h_->connected; }

Status OdbcConnection::Close() {
  if (h_ && in_transaction_) Rollback();
  h_.reset();  // statements still alive keep the handles until they go
  in_transaction_ = false;
  return Status::Ok();
}

Status OdbcConnection::Execute(std::string_view sql, int64_t* rows_affected) {
  std::unique_ptr<Statement> st;
  Status s = Prepare(sql, &st);
  if (!s.ok()) return s;
  s = st->Run();
  if (rows_affected) *rows_affected = st->ChangedRows();
  return s;
}

Status OdbcConnection::Prepare(std::string_view sql, std::unique_ptr<Statement>* out) {
  if (!IsOpen()) return Closed();
  SQLHSTMT st = SQL_NULL_HSTMT;
  if (!Succeeded(SQLAllocHandle(SQL_HANDLE_STMT, h_->dbc, &st))) return Diagnostic(SQL_HANDLE_DBC, h_->dbc, "SQLAllocHandle");
  auto statement = std::make_unique<OdbcStatement>(this, h_, st);
  std::string utf8;
  Cp1252ToUtf8(sql, &utf8);
  std::vector<SQLCHAR> text(utf8.begin(), utf8.end());
  text.push_back(0);
  if (!Succeeded(SQLPrepare(st, text.data(), SQL_NTS))) return Diagnostic(SQL_HANDLE_STMT, st, "SQLPrepare");
  *out = std::move(statement);
  return Status::Ok();
}

Status OdbcConnection::BeginTransaction() {
  if (!IsOpen()) return Closed();
  if (in_transaction_) return Status::Error(-1, "A transaction is already open");
  if (!Succeeded(SQLSetConnectAttr(h_->dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0)))
    return Diagnostic(SQL_HANDLE_DBC, h_->dbc, "BeginTrans");
  in_transaction_ = true;
  return Status::Ok();
}

Status OdbcConnection::Commit() {
  if (!IsOpen()) return Closed();
  if (!in_transaction_) return Status::Error(-1, "No transaction is open");
  SQLRETURN r = SQLEndTran(SQL_HANDLE_DBC, h_->dbc, SQL_COMMIT);
  Status s = Succeeded(r) ? Status::Ok() : Diagnostic(SQL_HANDLE_DBC, h_->dbc, "CommitTrans");
  SQLSetConnectAttr(h_->dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
  in_transaction_ = false;
  return s;
}

Status OdbcConnection::Rollback() {
  if (!IsOpen()) return Closed();
  if (!in_transaction_) return Status::Error(-1, "No transaction is open");
  SQLRETURN r = SQLEndTran(SQL_HANDLE_DBC, h_->dbc, SQL_ROLLBACK);
  Status s = Succeeded(r) ? Status::Ok() : Diagnostic(SQL_HANDLE_DBC, h_->dbc, "RollbackTrans");
  SQLSetConnectAttr(h_->dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
  in_transaction_ = false;
  ++changes_;
  return s;
}

std::string OdbcConnection::QuoteName(std::string_view name) const {
  bool plain = !name.empty() && !(name[0] >= '0' && name[0] <= '9');
  for (char c : name) {
    plain = plain && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_');
  }
  return plain ? std::string(name) : Connection::QuoteName(name);
}

std::string OdbcConnection::ColumnType(const FieldInfo& f) const {
  const bool sql_server = dbms_.find("SQL Server") != std::string::npos;
  switch (f.type) {
    case FieldType::Text: return "VARCHAR(" + std::to_string(f.size) + ")";
    case FieldType::Int16: return "SMALLINT";
    case FieldType::Int32: return "INT";
    case FieldType::Double: return "FLOAT";
    case FieldType::Numeric: return "NUMERIC(17,3)";
    case FieldType::LongText: return sql_server ? "VARCHAR(MAX)" : "TEXT";
    case FieldType::Any: return "";
  }
  return "";
}

Status OdbcConnection::ListTables(std::vector<std::string>* tables) {
  tables->clear();
  if (!IsOpen()) return Closed();
  SQLHSTMT h = SQL_NULL_HSTMT;
  if (!Succeeded(SQLAllocHandle(SQL_HANDLE_STMT, h_->dbc, &h))) return Diagnostic(SQL_HANDLE_DBC, h_->dbc, "SQLTables");
  SQLCHAR type[] = "TABLE";
  SQLRETURN r = SQLTables(h, nullptr, 0, nullptr, 0, nullptr, 0, type, SQL_NTS);
  Status s = Succeeded(r) ? Status::Ok() : Diagnostic(SQL_HANDLE_STMT, h, "SQLTables");
  while (s.ok() && Succeeded(SQLFetch(h))) {
    SQLCHAR name[256] = {0};
    SQLLEN indicator = 0;
    if (Succeeded(SQLGetData(h, 3, SQL_C_CHAR, name, sizeof name, &indicator)) && indicator != SQL_NULL_DATA) {
      std::string t;
      Utf8ToCp1252(reinterpret_cast<const char*>(name), &t);
      tables->push_back(t);
    }
  }
  SQLFreeHandle(SQL_HANDLE_STMT, h);
  return s;
}

Status OdbcConnection::ListColumns(std::string_view table, std::vector<FieldInfo>* columns) {
  columns->clear();
  if (!IsOpen()) return Closed();
  // The columns as a query on the table describes them: the same names and types the program's
  // recordsets see, whatever case the server keeps its catalog in.
  std::unique_ptr<Statement> st;
  Status s = Prepare("SELECT * FROM " + QuoteName(table) + " WHERE 1=0", &st);
  if (!s.ok()) return s;
  bool row = false;
  s = st->Step(&row);
  if (!s.ok()) return Status::Error(kItemNotFound, "Table " + std::string(table) + ": " + s.description());
  for (int i = 0; i < st->ColumnCount(); ++i) columns->push_back(st->ColumnInfo(i));
  st->Reset();
  return Status::Ok();
}

Status OdbcConnection::ListIndexes(std::string_view table, std::vector<IndexInfo>* indexes) {
  indexes->clear();
  if (!IsOpen()) return Closed();
  return Status::Error(kNotSupported, "The indexes of " + std::string(table) + " cannot be listed over ODBC");
}

std::string OdbcConnection::StoredIndexName(std::string_view table, std::string_view index) const {
  return std::string(index) + "__" + std::string(table);
}

bool BindOdbcBytes(Statement& statement, int position, std::string_view bytes) {
  auto* st = dynamic_cast<OdbcStatement*>(&statement);
  if (!st || position < 1) return false;
  st->BindBytes(position, bytes);
  return true;
}

}  // namespace kyx::data
