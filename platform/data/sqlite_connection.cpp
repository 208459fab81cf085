#include "platform/data/sqlite_connection.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <cstring>

#include "platform/data/collation.h"
#include "platform/data/compaction.h"
#include "platform/data/sqlite_error.h"
#include "platform/text/cp1252.h"
#include "platform/text/path_text.h"

namespace kyx::data {

struct SqliteConnection::Handle {
  sqlite3* db = nullptr;
  bool open = false;
  // The journal mode and synchronous setting in force before Durability::kRebuilt ("" = full).
  std::string full_journal, full_synchronous;
  ~Handle() {
    if (db) sqlite3_close_v2(db);
  }
};

namespace {

// The length to bind a text with. SQLite copies a text that it does not know to end in a NUL
// before anything reads it as a string (the size check of every text column calls length() on
// each row stored), so a text with no NUL inside, which a std::string always ends with one, is
// bound by its terminator (-1); one that holds a NUL keeps its whole length.
int BindLength(const std::string& s) {
  return std::memchr(s.data(), 0, s.size()) ? static_cast<int>(s.size()) : -1;
}

int JetCollate(void*, int la, const void* a, int lb, const void* b) {
  return JetCompareUtf8(std::string_view(static_cast<const char*>(a), la),
                        std::string_view(static_cast<const char*>(b), lb));
}

Status Closed() { return Status::Error(kNotOpen, "The connection is closed"); }

class SqliteStatement final : public Statement {
 public:
  SqliteStatement(std::shared_ptr<SqliteConnection::Handle> h, sqlite3_stmt* st) : h_(std::move(h)), st_(st) {
    int n = sqlite3_column_count(st_);
    columns_.resize(n);
    for (int i = 0; i < n; ++i) {
      const char* decl = sqlite3_column_decltype(st_, i);
      FieldInfo f = decl ? ParseDeclaredType(decl) : FieldInfo{};
      std::string name;
      Utf8ToCp1252(sqlite3_column_name(st_, i), &name);
      f.name = std::move(name);
      columns_[i] = std::move(f);
    }
    params_.resize(sqlite3_bind_parameter_count(st_) + 1);
    in_place_.resize(params_.size());
  }
  ~SqliteStatement() override { sqlite3_finalize(st_); }

  Status Bind(int position, const Value& v) override {
    if (!h_->open) return Closed();
    if (position < 1 || position >= static_cast<int>(params_.size()))
      return Status::Error(kItemNotFound, "No parameter " + std::to_string(position) + " in the statement");
    in_place_[position] = InPlace{};
    int rc = SQLITE_OK;
    switch (v.kind()) {
      case Value::Kind::Null: rc = sqlite3_bind_null(st_, position); break;
      case Value::Kind::Integer: rc = sqlite3_bind_int64(st_, position, v.integer()); break;
      case Value::Kind::Double: rc = sqlite3_bind_double(st_, position, v.real()); break;
      case Value::Kind::Text: {
        // The statement keeps its own copy of each text parameter (the caller's value may be gone
        // before the next run), in a buffer per parameter that keeps its allocation from run to
        // run; SQLite then reads it in place.
        // (A statement in the middle of a run refuses new bindings: its buffer is left alone.)
        if (sqlite3_stmt_busy(st_)) {
          rc = sqlite3_bind_text(st_, position, v.text().data(), BindLength(v.text()), SQLITE_TRANSIENT);
          break;
        }
        std::string& buf = params_[position];
        Cp1252ToUtf8(v.text(), &buf);
        rc = sqlite3_bind_text(st_, position, buf.data(), BindLength(buf), SQLITE_STATIC);
        break;
      }
    }
    if (rc != SQLITE_OK) return SqliteError(h_->db, rc);
    return Status::Ok();
  }

  Status BindForRun(int position, const Value& v) override {
    // An ASCII text is the same in UTF-8: SQLite reads the caller's bytes where they are (the
    // caller keeps them until the run is over). Anything else goes the way of Bind.
    if (v.kind() != Value::Kind::Text || !h_->open || position < 1 || position >= static_cast<int>(params_.size()) ||
        !IsAscii(v.text()) || sqlite3_stmt_busy(st_))
      return Bind(position, v);
    // SQLite reads a text bound in place only when the statement runs: when the parameter already
    // points at these very bytes, with this length, the binding is still right whatever they hold
    // now. A loader binds the same row buffers run after run, so most bindings are kept as they
    // are (binding again costs more than the rest of the work on an empty description).
    InPlace& last = in_place_[position];
    const std::string& t = v.text();
    if (last.data == t.data() && last.size == t.size()) return Status::Ok();
    const int rc = sqlite3_bind_text(st_, position, t.data(), BindLength(t), SQLITE_STATIC);
    if (rc != SQLITE_OK) {
      last = InPlace{};
      return SqliteError(h_->db, rc);
    }
    last = InPlace{t.data(), t.size()};
    return Status::Ok();
  }

  Status Step(bool* row) override {
    *row = false;
    if (!h_->open) return Closed();
    int rc = sqlite3_step(st_);
    if (rc == SQLITE_ROW) {
      *row = true;
      return Status::Ok();
    }
    if (rc == SQLITE_DONE) {
      changed_ = sqlite3_changes64(h_->db);
      return Status::Ok();
    }
    Status s = SqliteError(h_->db, rc);
    sqlite3_reset(st_);
    return s;
  }

  void Reset() override { sqlite3_reset(st_); }
  int ColumnCount() const override { return static_cast<int>(columns_.size()); }
  FieldInfo ColumnInfo(int i) const override {
    return i >= 0 && i < ColumnCount() ? columns_[i] : FieldInfo{};
  }
  std::string ColumnTable(int i) const override {
    const char* t = sqlite3_column_table_name(st_, i);
    std::string out;
    if (t) Utf8ToCp1252(t, &out);
    return out;
  }
  std::string ColumnOrigin(int i) const override {
    const char* t = sqlite3_column_origin_name(st_, i);
    std::string out;
    if (t) Utf8ToCp1252(t, &out);
    return out;
  }

  void Read(int i, Value* out) const override {
    if (i < 0 || i >= ColumnCount()) {
      out->SetNull();
      return;
    }
    ReadSqliteColumn(st_, i, columns_[i].type, out, &scratch_);
  }

  int64_t ChangedRows() const override { return changed_; }

 private:
  std::shared_ptr<SqliteConnection::Handle> h_;
  sqlite3_stmt* st_;
  std::vector<FieldInfo> columns_;
  std::vector<std::string> params_;
  // Per parameter: the caller's bytes it was last bound to in place by BindForRun (none when
  // data is null, or after any other binding).
  struct InPlace {
    const char* data = nullptr;
    size_t size = 0;
  };
  std::vector<InPlace> in_place_;
  mutable std::string scratch_;
  int64_t changed_ = 0;
};

bool FileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

void ReadSqliteColumn(sqlite3_stmt* st, int i, FieldType declared, Value* out, std::string* scratch) {
  switch (sqlite3_column_type(st, i)) {
    case SQLITE_NULL: out->SetNull(); break;
    case SQLITE_INTEGER: {
      int64_t v = sqlite3_column_int64(st, i);
      if (declared == FieldType::Double || declared == FieldType::Numeric) out->AssignDouble(static_cast<double>(v));
      else out->AssignInteger(v);
      break;
    }
    case SQLITE_FLOAT: out->AssignDouble(sqlite3_column_double(st, i)); break;
    default: {
      const char* p = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
      std::string_view t(p ? p : "", sqlite3_column_bytes(st, i));
      if (IsAscii(t)) {
        out->AssignText(t);
      } else {
        Utf8ToCp1252(t, scratch);
        out->AssignText(*scratch);
      }
      break;
    }
  }
}

int RegisterJetCollation(sqlite3* db) {
  return sqlite3_create_collation_v2(db, "JET", SQLITE_UTF8, nullptr, JetCollate, nullptr);
}

SqliteConnection::~SqliteConnection() { Close(); }

bool SqliteConnection::IsOpen() const { return handle_ && handle_->open; }

sqlite3* SqliteConnection::handle() const { return IsOpen() ? handle_->db : nullptr; }

Status SqliteConnection::Open(const std::string& path, OpenMode mode) {
  Close();
  path_ = path;
  // A compaction stopped after the old file went away left only the new copy: take it back
  // before anything can decide that the database is missing and create it empty.
  Status recovered = RecoverInterruptedCompaction(path);
  if (!recovered.ok()) return recovered;
  if (mode != OpenMode::kCreate && !FileExists(path))
    return Status::Error(kFileNotFound, "Database file not found: " + path);

  // SQLite keeps memory statistics behind a process-wide mutex taken at every allocation; nothing
  // here reads them. The setting only takes when SQLite has not started yet (else it is refused
  // and nothing changes).
  static const bool no_memory_statistics = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK;
  (void)no_memory_statistics;
  int flags = mode == OpenMode::kReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
  if (mode == OpenMode::kCreate) flags |= SQLITE_OPEN_CREATE;
  flags |= SQLITE_OPEN_NOMUTEX;
  // A path may come converted already (native_path); converting it twice would spoil it.
  const std::string utf8 = text::path_to_utf8(path);
  auto h = std::make_shared<Handle>();
  int rc = sqlite3_open_v2(utf8.c_str(), &h->db, flags, nullptr);
  if (rc != SQLITE_OK) {
    Status s = h->db ? SqliteError(h->db, rc) : Status::Error(rc, "Cannot open " + path);
    if (rc == SQLITE_CANTOPEN) s = Status::Error(kFileError, "Cannot open or create the database file " + path);
    return s;
  }
  sqlite3_extended_result_codes(h->db, 1);
  sqlite3_busy_timeout(h->db, 10000);
  RegisterJetCollation(h->db);
  // Reading the schema checks the file header: a file that is not a database fails here,
  // before anything has been written to it.
  rc = sqlite3_exec(h->db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    int primary = rc & 0xFF;
    if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT)
      return Status::Error(kNotADatabase, "The file is not a database in a recognised format: " + path);
    return SqliteError(h->db, rc);
  }
  // A page cache large enough for the indexes of a big load (the default 2 MB makes a load of a
  // few hundred thousand rows in key order write pages out and read them back again and again).
  // Memory is taken only as pages are used.
  sqlite3_exec(h->db, "PRAGMA cache_size = -65536", nullptr, nullptr, nullptr);
  h->open = true;
  handle_ = std::move(h);
  return Status::Ok();
}

Status SqliteConnection::Close() {
  if (!handle_) return Status::Ok();
  if (handle_->open && !sqlite3_get_autocommit(handle_->db))
    sqlite3_exec(handle_->db, "ROLLBACK", nullptr, nullptr, nullptr);
  handle_->open = false;
  // Statements still held by recordsets keep the handle alive as a zombie until they are
  // finalised; they refuse to run because `open` is false.
  sqlite3_close_v2(handle_->db);
  handle_->db = nullptr;
  handle_.reset();
  return Status::Ok();
}

Status SqliteConnection::Execute(std::string_view sql, int64_t* rows_affected) {
  if (rows_affected) *rows_affected = 0;
  if (!IsOpen()) return Closed();
  std::string utf8;
  Cp1252ToUtf8(sql, &utf8);
  const char* p = utf8.c_str();
  const char* end = p + utf8.size();
  while (p < end) {
    sqlite3_stmt* st = nullptr;
    const char* tail = nullptr;
    int rc = sqlite3_prepare_v2(handle_->db, p, static_cast<int>(end - p), &st, &tail);
    if (rc != SQLITE_OK) return SqliteError(handle_->db, rc);
    p = tail;
    if (!st) continue;  // blanks or a comment
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) {
      Status s = SqliteError(handle_->db, rc);
      sqlite3_finalize(st);
      return s;
    }
    if (rows_affected) *rows_affected += sqlite3_changes64(handle_->db);
    sqlite3_finalize(st);
  }
  return Status::Ok();
}

Status SqliteConnection::Prepare(std::string_view sql, std::unique_ptr<Statement>* out) {
  out->reset();
  if (!IsOpen()) return Closed();
  std::string utf8;
  Cp1252ToUtf8(sql, &utf8);
  sqlite3_stmt* st = nullptr;
  int rc = sqlite3_prepare_v3(handle_->db, utf8.c_str(), static_cast<int>(utf8.size()), SQLITE_PREPARE_PERSISTENT,
                              &st, nullptr);
  if (rc != SQLITE_OK) return SqliteError(handle_->db, rc);
  if (!st) return Status::Error(kBadCriteria, "Empty statement");
  *out = std::make_unique<SqliteStatement>(handle_, st);
  return Status::Ok();
}

Status SqliteConnection::BeginTransaction() {
  if (!IsOpen()) return Closed();
  if (InTransaction()) return Status::Error(kNotSupported, "A transaction is already in progress");
  return Execute("BEGIN");
}

Status SqliteConnection::Commit() {
  if (!IsOpen()) return Closed();
  if (!InTransaction()) return Status::Error(kNotSupported, "No transaction is in progress");
  return Execute("COMMIT");
}

Status SqliteConnection::Rollback() {
  if (!IsOpen()) return Closed();
  if (!InTransaction()) return Status::Error(kNotSupported, "No transaction is in progress");
  return Execute("ROLLBACK");
}

namespace {
// The text of the one row a pragma returns ("" when none).
std::string PragmaValue(sqlite3* db, const char* sql) {
  sqlite3_stmt* st = nullptr;
  std::string out;
  if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW) {
    const unsigned char* t = sqlite3_column_text(st, 0);
    if (t) out = reinterpret_cast<const char*>(t);
  }
  sqlite3_finalize(st);
  return out;
}
}  // namespace

Status SqliteConnection::SetDurability(Durability durability) {
  if (!IsOpen()) return Closed();
  if (InTransaction())
    return Status::Error(kNotSupported, "The durability cannot change while a transaction is in progress");
  Handle& h = *handle_;
  if (durability == Durability::kRebuilt) {
    if (h.full_journal.empty()) {
      h.full_journal = PragmaValue(h.db, "PRAGMA journal_mode");
      h.full_synchronous = PragmaValue(h.db, "PRAGMA synchronous");
    }
    // The rollback journal in memory: no journal file written and deleted at every commit.
    if (PragmaValue(h.db, "PRAGMA journal_mode = MEMORY") != "memory")
      return Status::Error(kNotSupported, "The journal of " + path_ + " cannot be kept in memory");
    return Execute("PRAGMA synchronous = OFF");
  }
  if (h.full_journal.empty()) return Status::Ok();
  const std::string journal = "PRAGMA journal_mode = " + h.full_journal;
  const std::string synchronous = "PRAGMA synchronous = " + h.full_synchronous;
  if (PragmaValue(h.db, journal.c_str()) != h.full_journal)
    return Status::Error(kNotSupported, "The journal of " + path_ + " cannot be set back to " + h.full_journal);
  Status s = Execute(synchronous);
  if (s.ok()) h.full_journal.clear();
  return s;
}

bool SqliteConnection::InTransaction() const { return IsOpen() && !sqlite3_get_autocommit(handle_->db); }

int64_t SqliteConnection::LastInsertRowId() const {
  return IsOpen() ? static_cast<int64_t>(sqlite3_last_insert_rowid(handle_->db)) : 0;
}

uint64_t SqliteConnection::ChangeCounter() const {
  return IsOpen() ? static_cast<uint64_t>(sqlite3_total_changes64(handle_->db)) : 0;
}

namespace {

// Runs a one-parameter catalog query and hands each row to `row`.
template <typename Fn>
Status Query(SqliteConnection& cn, const char* sql, std::string_view param, Fn row) {
  std::unique_ptr<Statement> st;
  Status s = cn.Prepare(sql, &st);
  if (!s.ok()) return s;
  if (!param.empty() || std::string_view(sql).find('?') != std::string_view::npos) {
    s = st->Bind(1, Value(param));
    if (!s.ok()) return s;
  }
  bool have = false;
  while ((s = st->Step(&have)).ok() && have) row(*st);
  return s;
}

}  // namespace

Status SqliteConnection::ListTables(std::vector<std::string>* tables) {
  tables->clear();
  if (!IsOpen()) return Closed();
  return Query(*this,
               "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
               "ORDER BY rowid",
               "", [&](Statement& st) { tables->push_back(st.Read(0).AsText()); });
}

Status SqliteConnection::ListColumns(std::string_view table, std::vector<FieldInfo>* columns) {
  columns->clear();
  if (!IsOpen()) return Closed();
  Status s = Query(*this, "SELECT name, type FROM pragma_table_info(?) ORDER BY cid", table, [&](Statement& st) {
    FieldInfo f = ParseDeclaredType(st.Read(1).AsText());
    f.name = st.Read(0).AsText();
    columns->push_back(std::move(f));
  });
  if (s.ok() && columns->empty())
    return Status::Error(kItemNotFound, "Table not found: " + std::string(table));
  return s;
}

std::string SqliteConnection::StoredIndexName(std::string_view table, std::string_view index) const {
  return std::string(index) + "__" + std::string(table);
}

Status SqliteConnection::ListIndexes(std::string_view table, std::vector<IndexInfo>* indexes) {
  indexes->clear();
  if (!IsOpen()) return Closed();
  std::vector<std::string> stored;
  Status s = Query(*this,
                   "SELECT name FROM sqlite_master WHERE type='index' AND tbl_name=? AND sql IS NOT NULL "
                   "ORDER BY rowid",
                   table, [&](Statement& st) { stored.push_back(st.Read(0).AsText()); });
  if (!s.ok()) return s;
  std::string suffix = "__" + std::string(table);
  for (const std::string& name : stored) {
    IndexInfo info;
    info.name = name;
    if (name.size() > suffix.size() && SameName(std::string_view(name).substr(name.size() - suffix.size()), suffix))
      info.name = name.substr(0, name.size() - suffix.size());
    s = Query(*this, "SELECT name FROM pragma_index_info(?) ORDER BY seqno", name,
              [&](Statement& st) { info.columns.push_back(st.Read(0).AsText()); });
    if (!s.ok()) return s;
    indexes->push_back(std::move(info));
  }
  return Status::Ok();
}

}  // namespace kyx::data
