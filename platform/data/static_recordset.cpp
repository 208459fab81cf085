#include "platform/data/static_recordset.h"

#include <algorithm>
#include <limits>
#include <numeric>

#include "platform/data/recordset_file.h"

namespace kyx::data {

namespace {

Status NoCurrent() {
  return Status::Error(kNoCurrentRecord, "Either BOF or EOF is True, or the current record has been deleted");
}
Status Closed() { return Status::Error(kNotOpen, "Operation is not allowed when the object is closed"); }

}  // namespace

FieldLookup StaticRecordset::Lookup() const {
  return [this](std::string_view name) { return FieldIndex(name); };
}

Status StaticRecordset::Open(Connection& cn, std::string_view sql, LockMode lock) {
  Close();
  std::unique_ptr<Statement> st;
  Status s = cn.Prepare(sql, &st);
  if (!s.ok()) return s;
  const int n = st->ColumnCount();
  std::vector<FieldInfo> fields;
  std::vector<std::string> origins(n);
  std::string base;
  bool one_table = true;
  for (int i = 0; i < n; ++i) {
    fields.push_back(st->ColumnInfo(i));
    std::string table = st->ColumnTable(i);
    if (table.empty()) continue;
    if (base.empty()) base = table;
    else if (base != table) one_table = false;
    origins[i] = st->ColumnOrigin(i);
  }
  std::vector<std::vector<Value>> rows;
  bool have = false;
  while ((s = st->Step(&have)).ok() && have) {
    std::vector<Value> row(n);
    for (int i = 0; i < n; ++i) st->Read(i, &row[i]);
    rows.push_back(std::move(row));
  }
  st->Reset();
  if (!s.ok()) return s;

  SetFields(std::move(fields));
  rows_ = std::move(rows);
  live_.assign(rows_.size(), 1);
  cn_ = &cn;
  life_ = cn.LifeToken();
  lock_ = lock;
  base_table_ = one_table ? base : std::string();
  origins_ = one_table ? std::move(origins) : std::vector<std::string>(n);
  open_ = true;
  Rebuild();
  return Status::Ok();
}

Status StaticRecordset::AppendField(const FieldInfo& field) {
  if (open_) return Status::Error(kNotSupported, "Fields cannot be appended to an open recordset");
  if (field.name.empty()) return Status::Error(kItemNotFound, "A field needs a name");
  for (const FieldInfo& f : appended_)
    if (SameName(f.name, field.name)) return Status::Error(kAlreadyExists, "The field " + field.name + " already exists");
  appended_.push_back(field);
  return Status::Ok();
}

Status StaticRecordset::OpenFabricated() {
  if (open_) return Status::Error(kNotSupported, "The recordset is already open");
  if (appended_.empty()) return Status::Error(kNotSupported, "A fabricated recordset needs at least one field");
  SetFields(std::move(appended_));
  appended_.clear();
  rows_.clear();
  live_.clear();
  open_ = true;
  Rebuild();
  return Status::Ok();
}

Status StaticRecordset::Load(const std::string& path) {
  Close();
  std::vector<FieldInfo> fields;
  std::vector<std::vector<Value>> rows;
  Status s = ReadRecordsetFile(path, &fields, &rows);
  if (!s.ok()) return s;
  SetFields(std::move(fields));
  rows_ = std::move(rows);
  live_.assign(rows_.size(), 1);
  open_ = true;
  Rebuild();
  return Status::Ok();
}

Status StaticRecordset::Save(const std::string& path) {
  if (!open_) return Closed();
  Status s;
  if (edit_ != Edit::kNone && !(s = SaveEdit()).ok()) return s;
  std::vector<const std::vector<Value>*> rows;
  rows.reserve(view_.size());
  for (int r : view_) rows.push_back(&rows_[r]);
  return WriteRecordsetFile(path, fields_, rows);
}

void StaticRecordset::Disconnect() {
  cn_ = nullptr;
  life_.reset();
}

bool StaticRecordset::IsConnected() const { return cn_ && !life_.expired() && cn_->IsOpen(); }

Status StaticRecordset::Close() {
  open_ = false;
  Disconnect();
  SetFields({});
  rows_.clear();
  live_.clear();
  view_.clear();
  order_.clear();
  pos_ = 0;
  deleted_current_ = false;
  edit_ = Edit::kNone;
  sort_text_.clear();
  filter_text_.clear();
  sort_keys_.clear();
  filter_ = Criteria();
  base_table_.clear();
  origins_.clear();
  return Status::Ok();
}

// Recomputes the visible rows: live rows in reading order, stably sorted, then filtered.
void StaticRecordset::Rebuild() {
  order_.clear();
  order_.reserve(rows_.size());
  for (int r = 0; r < static_cast<int>(rows_.size()); ++r)
    if (live_[r]) order_.push_back(r);
  if (sort_keys_.size() == 1 && SortNumbers(sort_keys_[0])) {
    // One numeric key (the grid's usual sort): compared as plain numbers, Null first.
  } else if (!sort_keys_.empty()) {
    std::stable_sort(order_.begin(), order_.end(), [this](int a, int b) {
      for (const SortKey& k : sort_keys_) {
        int c = CompareForSort(rows_[a][k.field], rows_[b][k.field]);
        if (c != 0) return k.descending ? c > 0 : c < 0;
      }
      return false;
    });
  }
  Refilter();
}

// Sorts order_ by one key whose values are all numbers or Null; false (nothing done) when some
// value is of another kind.
bool StaticRecordset::SortNumbers(const SortKey& k) {
  struct Chiave {
    double v;
    int r;
  };
  std::vector<Chiave> chiavi;
  chiavi.reserve(order_.size());
  constexpr double kNullo = -std::numeric_limits<double>::infinity();
  for (int r : order_) {
    const Value& v = rows_[r][k.field];
    if (v.is_null()) chiavi.push_back({kNullo, r});
    else if (v.is_number()) chiavi.push_back({v.AsDouble(), r});
    else return false;
  }
  // Null sorts before every number, -infinity included: they are kept apart first.
  const auto nulli = std::stable_partition(chiavi.begin(), chiavi.end(), [&](const Chiave& c) {
    return rows_[c.r][k.field].is_null();
  });
  const auto per_valore = [&](const Chiave& a, const Chiave& b) { return k.descending ? a.v > b.v : a.v < b.v; };
  std::stable_sort(nulli, chiavi.end(), per_valore);
  order_.clear();
  if (k.descending) {
    for (auto it = nulli; it != chiavi.end(); ++it) order_.push_back(it->r);
    for (auto it = chiavi.begin(); it != nulli; ++it) order_.push_back(it->r);
  } else {
    for (const Chiave& c : chiavi) order_.push_back(c.r);
  }
  return true;
}

// The visible rows: the live rows of the sorted order that meet the filter.
void StaticRecordset::Refilter() {
  view_.clear();
  view_.reserve(order_.size());
  for (int r : order_)
    if (live_[r] && filter_.Matches(rows_[r])) view_.push_back(r);
  Land(0);
}

void StaticRecordset::Land(int64_t p) {
  const int64_t n = static_cast<int64_t>(view_.size());
  pos_ = std::clamp<int64_t>(p, -1, n);
  deleted_current_ = false;
  has_row_ = pos_ >= 0 && pos_ < n;
}

const Value& StaticRecordset::Field(int ordinal) const {
  if (edit_ != Edit::kNone) return Recordset::Field(ordinal);
  static const Value kNull;
  if (!has_row_ || !OnRow() || ordinal < 0 || ordinal >= FieldCount()) return kNull;
  return rows_[view_[pos_]][ordinal];
}

bool StaticRecordset::BeforeFirst() const { return !open_ || view_.empty() || pos_ < 0; }
bool StaticRecordset::AfterLast() const {
  if (!open_ || view_.empty()) return edit_ != Edit::kAdding;
  return pos_ >= static_cast<int64_t>(view_.size());
}

Status StaticRecordset::MoveFirst() {
  if (!open_) return Closed();
  Status s;
  if (edit_ != Edit::kNone && !(s = SaveEdit()).ok()) return s;
  Land(view_.empty() ? static_cast<int64_t>(view_.size()) : 0);
  return Status::Ok();
}

Status StaticRecordset::MoveLast() {
  if (!open_) return Closed();
  Status s;
  if (edit_ != Edit::kNone && !(s = SaveEdit()).ok()) return s;
  Land(static_cast<int64_t>(view_.size()) - 1);
  if (view_.empty()) pos_ = 0;
  return Status::Ok();
}

Status StaticRecordset::MoveNext() {
  if (!open_) return Closed();
  Status s;
  if (edit_ != Edit::kNone && !(s = SaveEdit()).ok()) return s;
  if (AfterLast()) return NoCurrent();
  // After Delete the slot of the deleted row already holds the next one.
  Land(deleted_current_ ? pos_ : pos_ + 1);
  return Status::Ok();
}

Status StaticRecordset::MovePrevious() {
  if (!open_) return Closed();
  Status s;
  if (edit_ != Edit::kNone && !(s = SaveEdit()).ok()) return s;
  if (BeforeFirst()) return NoCurrent();
  Land(pos_ - 1);
  return Status::Ok();
}

Status StaticRecordset::SetSort(std::string_view sort) {
  if (!open_) return Closed();
  Status s;
  if (edit_ != Edit::kNone && !(s = SaveEdit()).ok()) return s;
  std::vector<SortKey> keys;
  if (!(s = ParseSort(sort, Lookup(), &keys)).ok()) return s;
  sort_keys_ = std::move(keys);
  sort_text_ = std::string(sort);
  Rebuild();
  return Status::Ok();
}

Status StaticRecordset::SetFilter(std::string_view criteria) {
  if (!open_) return Closed();
  Status s;
  if (edit_ != Edit::kNone && !(s = SaveEdit()).ok()) return s;
  Criteria c;
  if (!(s = Criteria::Parse(criteria, Lookup(), &c)).ok()) return s;
  filter_ = std::move(c);
  filter_text_ = std::string(criteria);
  Refilter();
  return Status::Ok();
}

Status StaticRecordset::Find(std::string_view criterion, int64_t skip, bool forward) {
  if (!open_) return Closed();
  Status s;
  if (edit_ != Edit::kNone && !(s = SaveEdit()).ok()) return s;
  Criteria c;
  if (!(s = Criteria::Parse(criterion, Lookup(), &c)).ok()) return s;
  const int64_t n = static_cast<int64_t>(view_.size());
  int64_t start = OnRow() ? pos_ : (forward ? (deleted_current_ ? pos_ : 0) : n - 1);
  if (!OnRow() && forward && pos_ >= n) start = n;  // from EOF forward finds nothing
  start += forward ? skip : -skip;
  for (int64_t i = start; i >= 0 && i < n; i += forward ? 1 : -1) {
    if (c.Matches(rows_[view_[i]])) {
      Land(i);
      return Status::Ok();
    }
  }
  Land(forward ? n : -1);
  return Status::Ok();
}

int64_t StaticRecordset::AbsolutePosition() const {
  if (pos_ < 0 || view_.empty()) return -2;
  if (pos_ >= static_cast<int64_t>(view_.size())) return -3;
  return pos_ + 1;
}

Status StaticRecordset::SetAbsolutePosition(int64_t position) {
  if (!open_) return Closed();
  Status s;
  if (edit_ != Edit::kNone && !(s = SaveEdit()).ok()) return s;
  if (position < 1 || position > static_cast<int64_t>(view_.size()))
    return Status::Error(kBadCriteria, "Position " + std::to_string(position) + " is outside the recordset (1 to " +
                                           std::to_string(view_.size()) + ")");
  Land(position - 1);
  return Status::Ok();
}

bool StaticRecordset::CanSet() const { return open_ && (edit_ == Edit::kAdding || OnRow()); }

void StaticRecordset::BeginEdit() {
  if (edit_ == Edit::kNone) {
    // The row is copied only now, when one of its fields changes.
    row_ = rows_[view_[pos_]];
    backup_ = row_;
    edit_ = Edit::kEditing;
  }
}

Status StaticRecordset::AddNew() {
  if (!open_) return Closed();
  Status s;
  if (edit_ != Edit::kNone && !(s = SaveEdit()).ok()) return s;
  backup_ = row_;
  row_.assign(fields_.size(), Value());
  has_row_ = true;
  edit_ = Edit::kAdding;
  return Status::Ok();
}

Status StaticRecordset::Update() {
  if (!open_) return Closed();
  if (edit_ == Edit::kNone) return Status::Ok();
  return SaveEdit();
}

void StaticRecordset::CancelUpdate() {
  if (edit_ == Edit::kNone) return;
  row_ = backup_;
  edit_ = Edit::kNone;
  has_row_ = OnRow();
}

Status StaticRecordset::SaveEdit() {
  Status s;
  if (edit_ == Edit::kAdding) {
    if (!(s = WriteBack(Change::kInsert, {}, row_)).ok()) return s;
    rows_.push_back(row_);
    live_.push_back(1);
    order_.push_back(static_cast<int>(rows_.size()) - 1);
    view_.push_back(static_cast<int>(rows_.size()) - 1);
    edit_ = Edit::kNone;
    Land(static_cast<int64_t>(view_.size()) - 1);
    return Status::Ok();
  }
  if (edit_ == Edit::kEditing) {
    if (!(s = WriteBack(Change::kUpdate, backup_, row_)).ok()) return s;
    rows_[view_[pos_]] = row_;
    edit_ = Edit::kNone;
  }
  return Status::Ok();
}

Status StaticRecordset::Delete() {
  if (!open_) return Closed();
  if (edit_ == Edit::kAdding) {
    CancelUpdate();
    return Status::Ok();
  }
  if (edit_ == Edit::kEditing) CancelUpdate();
  if (!OnRow()) return NoCurrent();
  Status s = WriteBack(Change::kDelete, rows_[view_[pos_]], {});
  if (!s.ok()) return s;
  live_[view_[pos_]] = 0;
  view_.erase(view_.begin() + pos_);
  deleted_current_ = true;
  has_row_ = false;
  return Status::Ok();
}

// Applies a change of the copy to the table its fields come from, while connected. The row is
// found by the original values of every field that comes from the table; a row that is no longer
// there is an error and the copy stays as it was.
Status StaticRecordset::WriteBack(Change change, const std::vector<Value>& before, const std::vector<Value>& after) {
  if (!IsConnected()) return Status::Ok();
  if (lock_ == LockMode::kReadOnly)
    return Status::Error(kNotSupported, "The recordset is read-only while connected");
  if (base_table_.empty()) return Status::Error(kNotSupported, "The recordset's fields come from no single table");
  std::vector<int> mapped;
  for (int i = 0; i < FieldCount(); ++i)
    if (!origins_[i].empty()) mapped.push_back(i);
  std::string table = cn_->QuoteName(base_table_);
  std::string rowid = cn_->RowIdName();
  std::string find = " WHERE " + rowid + " = (SELECT " + rowid + " FROM " + table + " WHERE ";
  for (size_t k = 0; k < mapped.size(); ++k)
    find += (k ? " AND " : "") + cn_->QuoteName(origins_[mapped[k]]) + " IS ?" + std::to_string(k + 1);
  find += " LIMIT 1)";

  std::string sql;
  std::vector<Value> params;
  if (change == Change::kInsert) {
    std::string cols, marks;
    for (size_t k = 0; k < mapped.size(); ++k) {
      cols += (k ? ", " : "") + cn_->QuoteName(origins_[mapped[k]]);
      marks += (k ? ", ?" : "?") + std::to_string(k + 1);
      params.push_back(after[mapped[k]]);
    }
    sql = "INSERT INTO " + table + " (" + cols + ") VALUES (" + marks + ")";
  } else {
    for (int i : mapped) params.push_back(before[i]);
    if (change == Change::kDelete) {
      sql = "DELETE FROM " + table + find;
    } else {
      std::string sets;
      for (int i : mapped) {
        if (after[i] == before[i]) continue;
        params.push_back(after[i]);
        sets += (sets.empty() ? "" : ", ") + cn_->QuoteName(origins_[i]) + " = ?" + std::to_string(params.size());
      }
      if (sets.empty()) return Status::Ok();
      sql = "UPDATE " + table + " SET " + sets + find;
    }
  }
  std::unique_ptr<Statement> st;
  Status s = cn_->Prepare(sql, &st);
  if (!s.ok()) return s;
  for (size_t k = 0; k < params.size(); ++k)
    if (!(s = st->Bind(static_cast<int>(k + 1), params[k])).ok()) return s;
  if (!(s = st->Run()).ok()) return s;
  if (st->ChangedRows() == 0)
    return Status::Error(kRowNotFound, "Row cannot be located for updating in " + base_table_ +
                                           ": some values may have been changed since it was last read");
  return Status::Ok();
}

}  // namespace kyx::data
