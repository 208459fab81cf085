#include "platform/data/table_recordset.h"

#include <algorithm>

namespace kyx::data {

namespace {

constexpr int kFirstBatch = 16;
constexpr int kLargestBatch = 512;

// Whether a value already has the type that Coerce would give it for this field.
bool HasTypeOf(const FieldInfo& f, const Value& v) {
  switch (v.kind()) {
    case Value::Kind::Null: return true;
    case Value::Kind::Text: return f.type == FieldType::Text || f.type == FieldType::LongText || f.type == FieldType::Any;
    case Value::Kind::Integer:
      if (f.type == FieldType::Any) return true;
      if (f.type == FieldType::Int16) return v.integer() >= -32768 && v.integer() <= 32767;
      if (f.type == FieldType::Int32) return v.integer() >= -2147483648LL && v.integer() <= 2147483647LL;
      return false;
    case Value::Kind::Double: return f.type == FieldType::Double || f.type == FieldType::Numeric || f.type == FieldType::Any;
  }
  return false;
}

Status NoCurrent() {
  return Status::Error(kNoCurrentRecord, "Either BOF or EOF is True, or the current record has been deleted");
}

}  // namespace

TableRecordset::~TableRecordset() { Close(); }

bool TableRecordset::IsOpen() const { return cn_ && !life_.expired() && cn_->IsOpen(); }

Status TableRecordset::CheckOpen() const {
  if (!IsOpen()) return Status::Error(kNotOpen, "Operation is not allowed when the object is closed");
  return Status::Ok();
}

Status TableRecordset::Close() {
  for (auto* s : {&first_, &last_, &after_fast_, &after_, &before_, &insert_, &update_, &delete_, &count_, &probe_})
    s->reset();
  seek_.clear();
  cn_ = nullptr;
  life_.reset();
  SetFields({});
  key_names_.clear();
  key_ordinals_.clear();
  where_ = Where::kAfterLast;
  edit_ = Edit::kNone;
  batch_rows_ = 0;
  return Status::Ok();
}

Status TableRecordset::Open(Connection& cn, std::string_view table, std::string_view index) {
  Close();
  if (!cn.IsOpen()) return Status::Error(kNotOpen, "The connection is closed");
  if (cn.RowIdName().empty())
    return Status::Error(kNotSupported, "Table-direct recordsets are not available on this connection");
  std::vector<FieldInfo> columns;
  Status s = cn.ListColumns(table, &columns);
  if (!s.ok()) return s;
  cn_ = &cn;
  life_ = cn.LifeToken();
  table_ = std::string(table);
  rowid_ = cn.RowIdName();
  SetFields(std::move(columns));
  s = SetIndex(index);
  if (!s.ok()) Close();
  return s;
}

Status TableRecordset::SetIndex(std::string_view index) {
  Status s = CheckOpen();
  if (!s.ok()) return s;
  if (edit_ != Edit::kNone && !(s = SaveEdit()).ok()) return s;
  std::vector<std::string> keys;
  if (!index.empty()) {
    std::vector<IndexInfo> indexes;
    if (!(s = cn_->ListIndexes(table_, &indexes)).ok()) return s;
    auto it = std::find_if(indexes.begin(), indexes.end(), [&](const IndexInfo& i) { return SameName(i.name, index); });
    if (it == indexes.end())
      return Status::Error(kItemNotFound, "Index " + std::string(index) + " not found on table " + table_);
    keys = it->columns;
  }
  std::vector<int> ordinals;
  for (const std::string& k : keys) {
    int i = FieldIndex(k);
    if (i < 0) return Status::Error(kItemNotFound, "Index column " + k + " not found on table " + table_);
    ordinals.push_back(i);
  }
  index_ = std::string(index);
  key_names_ = std::move(keys);
  key_ordinals_ = std::move(ordinals);
  for (auto* st : {&first_, &last_, &after_fast_, &after_, &before_}) st->reset();
  seek_.clear();
  seek_.resize(key_names_.size() + 1);
  pos_keys_.assign(key_names_.size(), Value());
  batch_rows_ = 0;
  return Move(Fetch::kFirst);
}

std::string TableRecordset::SelectList() const {
  std::string sql = "SELECT " + rowid_;
  for (const FieldInfo& f : fields_) sql += ", " + cn_->QuoteName(f.name);
  sql += " FROM " + cn_->QuoteName(table_);
  return sql;
}

std::string TableRecordset::OrderBy(bool descending) const {
  std::string sql = " ORDER BY ";
  for (const std::string& k : key_names_) sql += cn_->QuoteName(k) + (descending ? " DESC, " : ", ");
  sql += rowid_ + (descending ? " DESC" : "");
  return sql;
}

Status TableRecordset::Prepared(std::unique_ptr<Statement>& slot, const std::string& sql, Statement** out) {
  if (!slot) {
    Status s = cn_->Prepare(sql, &slot);
    if (!s.ok()) return s;
  }
  *out = slot.get();
  return Status::Ok();
}

// Fetches the next batch in one of four ways and keeps it in batch_. The positional queries
// compare (keys..., rowid) with the current position; the fast form is a row-value range that
// the index serves directly, the general form also handles Null key values (which sort first).
Status TableRecordset::FetchBatch(Fetch how, bool* any) {
  *any = false;
  const int n = static_cast<int>(key_names_.size());
  auto param = [](int i) {
    std::string p(1, '?');
    return p += std::to_string(i);
  };
  Statement* st = nullptr;
  Status s;
  int limit_param = 1;
  bool has_null = std::any_of(pos_keys_.begin(), pos_keys_.end(), [](const Value& v) { return v.is_null(); });

  if (how == Fetch::kFirst || how == Fetch::kLast) {
    bool desc = how == Fetch::kLast;
    s = Prepared(desc ? last_ : first_, SelectList() + OrderBy(desc) + " LIMIT ?1", &st);
  } else if (how == Fetch::kAfter && !has_null) {
    std::string lhs = "(", rhs = "(";
    for (int i = 0; i < n; ++i) {
      lhs += cn_->QuoteName(key_names_[i]) + ", ";
      rhs += param(i + 1) + ", ";
    }
    lhs += rowid_ + ")";
    rhs += param(n + 1) + ")";
    s = Prepared(after_fast_, SelectList() + " WHERE " + lhs + " > " + rhs + OrderBy(false) + " LIMIT " + param(n + 2),
                 &st);
    limit_param = n + 2;
  } else {
    bool after = how == Fetch::kAfter;
    std::string where;
    for (int i = 0; i <= n; ++i) {
      std::string term;
      for (int j = 0; j < i; ++j) term += cn_->QuoteName(key_names_[j]) + " IS " + param(j + 1) + " AND ";
      std::string col = i < n ? cn_->QuoteName(key_names_[i]) : rowid_;
      std::string p = param(i + 1);
      if (after) term += "(" + col + " > " + p + " OR (" + p + " IS NULL AND " + col + " IS NOT NULL))";
      else term += "(" + col + " < " + p + " OR (" + p + " IS NOT NULL AND " + col + " IS NULL))";
      where += (i ? " OR (" : "(") + term + ")";
    }
    s = Prepared(after ? after_ : before_,
                 SelectList() + " WHERE " + where + OrderBy(!after) + " LIMIT " + param(n + 2), &st);
    limit_param = n + 2;
  }
  if (!s.ok()) return s;

  if (how == Fetch::kAfter || how == Fetch::kBefore) {
    for (int i = 0; i < n; ++i)
      if (!(s = st->Bind(i + 1, pos_keys_[i])).ok()) return s;
    if (!(s = st->Bind(n + 1, Value(pos_rowid_))).ok()) return s;
    batch_size_ = std::min(batch_size_ * 2, kLargestBatch);
  } else {
    batch_size_ = kFirstBatch;
  }
  if (!(s = st->Bind(limit_param, Value(batch_size_))).ok()) return s;

  const size_t stride = fields_.size() + 1;
  size_t rows = 0;
  bool have = false;
  while ((s = st->Step(&have)).ok() && have) {
    if (batch_.size() < (rows + 1) * stride) batch_.resize((rows + 1) * stride);
    for (size_t c = 0; c < stride; ++c) st->Read(static_cast<int>(c), &batch_[rows * stride + c]);
    ++rows;
  }
  st->Reset();
  if (!s.ok()) {
    batch_rows_ = 0;
    return s;
  }
  batch_rows_ = rows;
  batch_at_ = 0;
  batch_forward_ = how == Fetch::kFirst || how == Fetch::kAfter;
  batch_last_ = static_cast<int>(rows) < batch_size_;
  batch_counter_ = cn_->ChangeCounter();
  *any = rows > 0;
  return Status::Ok();
}

void TableRecordset::LandOnBatchRow(size_t i) {
  const size_t stride = fields_.size() + 1;
  batch_at_ = i;
  pos_rowid_ = batch_[i * stride].AsInteger();
  for (size_t c = 0; c < fields_.size(); ++c) row_[c] = batch_[i * stride + 1 + c];
  for (size_t k = 0; k < key_ordinals_.size(); ++k) pos_keys_[k] = row_[key_ordinals_[k]];
  where_ = Where::kOnRow;
  deleted_ = false;
  has_row_ = true;
}

Status TableRecordset::Move(Fetch how) {
  Status s = CheckOpen();
  if (!s.ok()) return s;
  if (edit_ != Edit::kNone && !(s = SaveEdit()).ok()) return s;

  if (how == Fetch::kAfter) {
    if (where_ == Where::kAfterLast) return NoCurrent();
    if (where_ == Where::kBeforeFirst) how = Fetch::kFirst;
  } else if (how == Fetch::kBefore) {
    if (where_ == Where::kBeforeFirst) return NoCurrent();
    if (where_ == Where::kAfterLast) how = Fetch::kLast;
  }
  bool forward = how == Fetch::kFirst || how == Fetch::kAfter;
  bool batch_valid = batch_rows_ > 0 && batch_counter_ == cn_->ChangeCounter() && batch_forward_ == forward;
  if ((how == Fetch::kAfter || how == Fetch::kBefore) && batch_valid) {
    if (batch_at_ + 1 < batch_rows_) {
      LandOnBatchRow(batch_at_ + 1);
      return Status::Ok();
    }
    if (batch_last_) {
      where_ = forward ? Where::kAfterLast : Where::kBeforeFirst;
      has_row_ = false;
      return Status::Ok();
    }
  }
  bool any = false;
  if (!(s = FetchBatch(how, &any)).ok()) return s;
  if (any) {
    LandOnBatchRow(0);
  } else {
    where_ = forward ? Where::kAfterLast : Where::kBeforeFirst;
    has_row_ = false;
  }
  return Status::Ok();
}

Status TableRecordset::MoveFirst() { return Move(Fetch::kFirst); }
Status TableRecordset::MoveNext() { return Move(Fetch::kAfter); }
Status TableRecordset::MovePrevious() { return Move(Fetch::kBefore); }
Status TableRecordset::MoveLast() { return Move(Fetch::kLast); }

Status TableRecordset::Seek(const Value* key, size_t key_size) {
  Status s = CheckOpen();
  if (!s.ok()) return s;
  if (edit_ != Edit::kNone && !(s = SaveEdit()).ok()) return s;
  if (key_size == 0 || key_size > key_names_.size())
    return Status::Error(kBadCriteria, "Seek with " + std::to_string(key_size) + " key values on an index of " +
                                           std::to_string(key_names_.size()) + " columns");
  size_t p = key_size;
  Statement* st = seek_[p].get();
  if (!st) {
    // One statement per key length, prepared at its first use and run again for every Seek.
    std::string sql = SelectList() + " WHERE ";
    for (size_t i = 0; i < p; ++i) {
      // IS compares as = (with the column's collation) and also lets a Null key find Null.
      if (i) sql += " AND ";
      sql += cn_->QuoteName(key_names_[i]) + " IS ?" + std::to_string(i + 1);
    }
    sql += OrderBy(false) + " LIMIT 1";
    if (!(s = Prepared(seek_[p], sql, &st)).ok()) return s;
  }
  for (size_t i = 0; i < p; ++i) {
    // Key values take the type of their column, so that a text "7" finds the number 7. A value
    // that already has its column's type is bound as it is (no copy: the caller's key outlives
    // the one run below).
    const FieldInfo& f = fields_[key_ordinals_[i]];
    if (HasTypeOf(f, key[i])) {
      if (!(s = st->BindForRun(static_cast<int>(i + 1), key[i])).ok()) return s;
      continue;
    }
    Value v;
    if (!Coerce(f, key[i], false, &v).ok()) v = key[i];
    if (!(s = st->Bind(static_cast<int>(i + 1), v)).ok()) return s;
  }
  const size_t stride = fields_.size() + 1;
  if (batch_.size() < stride) batch_.resize(stride);
  bool have = false;
  s = st->Step(&have);
  if (s.ok() && have)
    for (size_t c = 0; c < stride; ++c) st->Read(static_cast<int>(c), &batch_[c]);
  st->Reset();
  if (!s.ok()) return s;
  batch_size_ = kFirstBatch;
  if (!have) {
    batch_rows_ = 0;
    where_ = Where::kAfterLast;
    has_row_ = false;
    return Status::Ok();
  }
  batch_rows_ = 1;
  batch_forward_ = true;
  batch_last_ = false;
  batch_counter_ = cn_->ChangeCounter();
  LandOnBatchRow(0);
  return Status::Ok();
}

bool TableRecordset::Empty() const {
  if (!IsOpen()) return true;
  uint64_t counter = cn_->ChangeCounter();
  if (empty_ >= 0 && empty_counter_ == counter) return empty_ == 1;
  auto* self = const_cast<TableRecordset*>(this);
  Statement* st = nullptr;
  if (!self->Prepared(self->probe_, "SELECT 1 FROM " + cn_->QuoteName(table_) + " LIMIT 1", &st).ok()) return false;
  bool have = false;
  bool ok = st->Step(&have).ok();
  st->Reset();
  if (!ok) return false;
  empty_ = have ? 0 : 1;
  empty_counter_ = counter;
  return !have;
}

bool TableRecordset::BeforeFirst() const {
  if (!IsOpen()) return true;
  if (where_ == Where::kBeforeFirst) return true;
  return where_ == Where::kAfterLast && edit_ != Edit::kAdding && Empty();
}

bool TableRecordset::AfterLast() const {
  if (!IsOpen()) return true;
  if (where_ == Where::kAfterLast) return edit_ != Edit::kAdding;
  return where_ == Where::kBeforeFirst && Empty();
}

bool TableRecordset::CanSet() const {
  return IsOpen() && (edit_ == Edit::kAdding || (where_ == Where::kOnRow && !deleted_));
}

void TableRecordset::BeginEdit() {
  if (edit_ == Edit::kNone) {
    backup_ = row_;
    backup_valid_ = true;
    edit_ = Edit::kEditing;
  }
}

Status TableRecordset::AddNew() {
  Status s = CheckOpen();
  if (!s.ok()) return s;
  if (edit_ != Edit::kNone && !(s = SaveEdit()).ok()) return s;
  // The current row is kept for CancelUpdate. It is moved aside rather than copied, since the new
  // row starts empty anyway; without a current row (AddNew after a Seek that found nothing, as
  // the loaders do for every row) there is nothing to keep.
  backup_valid_ = where_ == Where::kOnRow && !deleted_;
  if (backup_valid_) backup_.swap(row_);
  row_.resize(fields_.size());
  for (Value& v : row_) v.SetNull();
  edit_ = Edit::kAdding;
  has_row_ = true;
  return Status::Ok();
}

Status TableRecordset::Update() {
  Status s = CheckOpen();
  if (!s.ok()) return s;
  if (edit_ == Edit::kNone) return Status::Ok();
  return SaveEdit();
}

Status TableRecordset::SaveEdit() {
  const int n = FieldCount();
  Status s;
  Statement* st = nullptr;
  if (edit_ == Edit::kAdding) {
    st = insert_.get();
    if (!st) {
      std::string cols, params;
      for (int i = 0; i < n; ++i) {
        if (i) {
          cols += ", ";
          params += ", ";
        }
        cols += cn_->QuoteName(fields_[i].name);
        params += '?';
        params += std::to_string(i + 1);
      }
      // The new row's identity is asked of the connection afterwards rather than with a
      // RETURNING clause, which makes SQLite build and drop a temporary table on every run.
      // OR FAIL: a one-row insert checks every constraint before it writes anything, so a refused
      // row leaves nothing behind either way, and SQLite then keeps no statement journal (a copy
      // of each page the insert touches) for undoing a half-done statement.
      if (!(s = Prepared(insert_,
                         "INSERT OR FAIL INTO " + cn_->QuoteName(table_) + " (" + cols + ") VALUES (" + params + ")", &st))
               .ok())
        return s;
    }
    // The row's own values are read in place: row_ does not change while the statement runs.
    for (int i = 0; i < n; ++i)
      if (!(s = st->BindForRun(i + 1, row_[i])).ok()) return s;
    if (!(s = st->Run()).ok()) return s;
    pos_rowid_ = cn_->LastInsertRowId();
    for (size_t k = 0; k < key_ordinals_.size(); ++k) pos_keys_[k] = row_[key_ordinals_[k]];
    where_ = Where::kOnRow;
    deleted_ = false;
    has_row_ = true;
    batch_rows_ = 0;  // the new row may fall inside the batch's range
    edit_ = Edit::kNone;
    return Status::Ok();
  }
  if (edit_ == Edit::kEditing) {
    st = update_.get();
    if (!st) {
      std::string sets;
      for (int i = 0; i < n; ++i) {
        if (i) sets += ", ";
        sets += cn_->QuoteName(fields_[i].name);
        sets += " = ?";
        sets += std::to_string(i + 1);
      }
      // OR FAIL, as for an insert: the one row is checked whole before it is written.
      if (!(s = Prepared(update_,
                         "UPDATE OR FAIL " + cn_->QuoteName(table_) + " SET " + sets + " WHERE " + rowid_ + " = ?" +
                             std::to_string(n + 1),
                         &st))
               .ok())
        return s;
    }
    for (int i = 0; i < n; ++i)
      if (!(s = st->BindForRun(i + 1, row_[i])).ok()) return s;
    if (!(s = st->Bind(n + 1, Value(pos_rowid_))).ok()) return s;
    bool batch_was_valid = batch_rows_ > 0 && batch_counter_ == cn_->ChangeCounter();
    if (!(s = st->Run()).ok()) return s;
    if (st->ChangedRows() == 0)
      return Status::Error(kRowNotFound, "The row to update is no longer in table " + table_);
    bool keys_same = true;
    for (size_t k = 0; k < key_ordinals_.size(); ++k) {
      if (!(pos_keys_[k] == row_[key_ordinals_[k]])) keys_same = false;
      pos_keys_[k] = row_[key_ordinals_[k]];
    }
    // A row that kept its place in the index leaves the rows after it as they were.
    if (keys_same && batch_was_valid) batch_counter_ = cn_->ChangeCounter();
    else batch_rows_ = 0;
    edit_ = Edit::kNone;
  }
  return Status::Ok();
}

void TableRecordset::CancelUpdate() {
  if (edit_ == Edit::kNone) return;
  if (backup_valid_) row_.swap(backup_);
  backup_valid_ = false;
  edit_ = Edit::kNone;
  has_row_ = where_ == Where::kOnRow && !deleted_;
}

Status TableRecordset::Delete() {
  Status s = CheckOpen();
  if (!s.ok()) return s;
  if (edit_ == Edit::kAdding) {
    CancelUpdate();
    return Status::Ok();
  }
  if (edit_ == Edit::kEditing) CancelUpdate();
  if (where_ != Where::kOnRow || deleted_) return NoCurrent();
  Statement* st = delete_.get();
  if (!st && !(s = Prepared(delete_, "DELETE FROM " + cn_->QuoteName(table_) + " WHERE " + rowid_ + " = ?1", &st)).ok())
    return s;
  if (!(s = st->Bind(1, Value(pos_rowid_))).ok()) return s;
  bool batch_was_valid = batch_rows_ > 0 && batch_counter_ == cn_->ChangeCounter();
  if (!(s = st->Run()).ok()) return s;
  if (st->ChangedRows() == 0) return Status::Error(kRowNotFound, "The row to delete is no longer in table " + table_);
  // The rest of the batch is untouched by removing the current row.
  if (batch_was_valid) batch_counter_ = cn_->ChangeCounter();
  deleted_ = true;
  has_row_ = false;
  return Status::Ok();
}

int64_t TableRecordset::RecordCount() {
  if (!IsOpen()) return -1;
  Statement* st = nullptr;
  if (!Prepared(count_, "SELECT count(*) FROM " + cn_->QuoteName(table_), &st).ok()) return -1;
  bool have = false;
  int64_t n = -1;
  if (st->Step(&have).ok() && have) n = st->Read(0).AsInteger();
  st->Reset();
  return n;
}

}  // namespace kyx::data
