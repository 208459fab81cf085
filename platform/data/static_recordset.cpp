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
  CellStore store;
  store.Reset(static_cast<size_t>(n));
  std::vector<Value> row(static_cast<size_t>(n));
  bool have = false;
  while ((s = st->Step(&have)).ok() && have) {
    for (int i = 0; i < n; ++i) st->Read(i, &row[static_cast<size_t>(i)]);
    store.Append(row);
  }
  st->Reset();
  if (!s.ok()) return s;

  SetFields(std::move(fields));
  store_ = std::move(store);
  live_.assign(store_.rows(), 1);
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
  std::vector<FieldInfo> fields = std::move(appended_);
  appended_.clear();
  Adopt(std::move(fields), {});
  return Status::Ok();
}

// Takes fields and rows read elsewhere as the recordset's own, with no connection.
void StaticRecordset::Adopt(std::vector<FieldInfo> fields, std::vector<std::vector<Value>> rows) {
  store_.Reset(fields.size());
  SetFields(std::move(fields));
  for (std::vector<Value>& row : rows) {
    store_.Append(row);
    std::vector<Value>().swap(row);  // each row's memory goes back as soon as it is kept
  }
  live_.assign(store_.rows(), 1);
  open_ = true;
  Rebuild();
}

Status StaticRecordset::Load(const std::string& path) {
  Close();
  std::vector<FieldInfo> fields;
  std::vector<std::vector<Value>> rows;
  Status s = ReadRecordsetFile(path, &fields, &rows);
  if (!s.ok()) return s;
  Adopt(std::move(fields), std::move(rows));
  return Status::Ok();
}

Status StaticRecordset::Save(const std::string& path) {
  if (!open_) return Closed();
  Status s;
  if (edit_ != Edit::kNone && !(s = SaveEdit()).ok()) return s;
  // The rows are decoded one at a time into one buffer as the writer asks for them, in the
  // visible order, passing over the slots of rows deleted since the last sort or filter.
  std::vector<Value> row;
  size_t slot = 0;
  const RowSource next = [&](size_t i) -> const std::vector<Value>& {
    slot = i == 0 ? slots_.NextLive(0) : slots_.NextLive(slot + 1);
    store_.ReadRow(static_cast<size_t>(view_[slot]), &row);
    return row;
  };
  return WriteRecordsetFile(path, fields_, slots_.live_count(), next);
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
  store_.Reset(0);
  live_.clear();
  view_.clear();
  order_.clear();
  slots_.Reset(0);
  cur_.clear();
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

// Recomputes the visible rows: live rows in reading order, stably sorted (rows equal on every key
// keep the order in which they were read), then filtered.
void StaticRecordset::Rebuild() {
  order_.clear();
  order_.reserve(live_.size());
  for (int r = 0; r < static_cast<int>(live_.size()); ++r)
    if (live_[static_cast<size_t>(r)]) order_.push_back(r);
  store_.Sort(&order_, sort_keys_);
  Refilter();
}

// Whether kept row `row` meets the criteria, reading only the fields they name.
bool StaticRecordset::RowMatches(const Criteria& c, int row) const {
  struct Source {
    const CellStore* store;
    std::vector<Value>* cells;
    size_t row;
  } source{&store_, &probe_, static_cast<size_t>(row)};
  probe_.resize(fields_.size());
  return c.Matches(
      [](const void* p, int f) -> const Value& {
        const Source& src = *static_cast<const Source*>(p);
        Value& v = (*src.cells)[static_cast<size_t>(f)];
        src.store->Read(src.row, static_cast<size_t>(f), &v);
        return v;
      },
      &source);
}

// The visible rows: the live rows of the sorted order that meet the filter.
void StaticRecordset::Refilter() {
  view_.clear();
  if (filter_.empty()) {
    for (int r : order_)
      if (live_[static_cast<size_t>(r)]) view_.push_back(r);
  } else {
    // The rows are tested in the order they are kept (their cells read sequentially, not in the
    // jumps of a sorted order), then taken in the sorted order.
    std::vector<char> meets(live_.size(), 0);
    for (size_t r = 0; r < live_.size(); ++r) meets[r] = live_[r] && RowMatches(filter_, static_cast<int>(r));
    for (int r : order_)
      if (meets[static_cast<size_t>(r)]) view_.push_back(r);
  }
  slots_.Reset(view_.size());
  Land(0);
}

// Lands on slot p of the visible order (-1 = BOF, Slots() = EOF); p is a live slot or one of those.
void StaticRecordset::Land(int64_t p) {
  pos_ = std::clamp<int64_t>(p, -1, Slots());
  deleted_current_ = false;
  has_row_ = pos_ >= 0 && pos_ < Slots();
}

const Value& StaticRecordset::Field(int ordinal) const {
  if (edit_ != Edit::kNone) return Recordset::Field(ordinal);
  static const Value kNull;
  if (!has_row_ || !OnRow() || ordinal < 0 || ordinal >= FieldCount()) return kNull;
  if (cur_.size() != fields_.size()) cur_.resize(fields_.size());
  Value& v = cur_[static_cast<size_t>(ordinal)];
  store_.Read(static_cast<size_t>(view_[static_cast<size_t>(pos_)]), static_cast<size_t>(ordinal), &v);
  return v;
}

bool StaticRecordset::BeforeFirst() const { return !open_ || slots_.live_count() == 0 || pos_ < 0; }
bool StaticRecordset::AfterLast() const {
  if (!open_ || slots_.live_count() == 0) return edit_ != Edit::kAdding;
  if (pos_ >= Slots()) return true;
  // On a row just deleted: EOF when no row follows it.
  return deleted_current_ && pos_ >= 0 && slots_.NextLive(static_cast<size_t>(pos_)) >= view_.size();
}

Status StaticRecordset::MoveFirst() {
  if (!open_) return Closed();
  Status s;
  if (edit_ != Edit::kNone && !(s = SaveEdit()).ok()) return s;
  Land(static_cast<int64_t>(slots_.NextLive(0)));
  return Status::Ok();
}

Status StaticRecordset::MoveLast() {
  if (!open_) return Closed();
  Status s;
  if (edit_ != Edit::kNone && !(s = SaveEdit()).ok()) return s;
  if (slots_.live_count() == 0) Land(Slots());
  else Land(static_cast<int64_t>(slots_.PrevLive(view_.size())));
  return Status::Ok();
}

Status StaticRecordset::MoveNext() {
  if (!open_) return Closed();
  Status s;
  if (edit_ != Edit::kNone && !(s = SaveEdit()).ok()) return s;
  if (AfterLast()) return NoCurrent();
  // After Delete the next row is the first live one after the deleted row's slot.
  Land(static_cast<int64_t>(slots_.NextLive(static_cast<size_t>(pos_ + 1))));
  return Status::Ok();
}

Status StaticRecordset::MovePrevious() {
  if (!open_) return Closed();
  Status s;
  if (edit_ != Edit::kNone && !(s = SaveEdit()).ok()) return s;
  if (BeforeFirst()) return NoCurrent();
  const size_t before = pos_ == 0 ? LiveSlots::kNone : slots_.PrevLive(static_cast<size_t>(pos_ - 1));
  Land(before == LiveSlots::kNone ? -1 : static_cast<int64_t>(before));
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
  // Positions here count live rows only (rank 0 = the first visible row).
  const int64_t n = static_cast<int64_t>(slots_.live_count());
  const int64_t here = pos_ < 0 ? -1 : static_cast<int64_t>(slots_.Before(static_cast<size_t>(std::min(pos_, Slots()))));
  int64_t start;
  if (OnRow()) start = here;
  else if (forward) start = deleted_current_ ? here : (pos_ >= Slots() ? n : 0);  // from EOF forward finds nothing
  else start = n - 1;
  start += forward ? skip : -skip;
  if (start >= 0 && start < n) {
    size_t slot = slots_.Select(static_cast<size_t>(start));
    while (slot < view_.size() && slot != LiveSlots::kNone) {
      if (RowMatches(c, view_[slot])) {
        Land(static_cast<int64_t>(slot));
        return Status::Ok();
      }
      if (forward) slot = slots_.NextLive(slot + 1);
      else slot = slot == 0 ? LiveSlots::kNone : slots_.PrevLive(slot - 1);
    }
  }
  Land(forward ? Slots() : -1);
  return Status::Ok();
}

int64_t StaticRecordset::AbsolutePosition() const {
  if (pos_ < 0 || slots_.live_count() == 0) return -2;
  if (pos_ >= Slots()) return -3;
  // A deleted current row stands where the row after it is.
  const size_t rank = slots_.Before(static_cast<size_t>(pos_));
  if (rank >= slots_.live_count()) return -3;
  return static_cast<int64_t>(rank) + 1;
}

Status StaticRecordset::SetAbsolutePosition(int64_t position) {
  if (!open_) return Closed();
  Status s;
  if (edit_ != Edit::kNone && !(s = SaveEdit()).ok()) return s;
  const int64_t n = static_cast<int64_t>(slots_.live_count());
  if (position < 1 || position > n)
    return Status::Error(kBadCriteria, "Position " + std::to_string(position) + " is outside the recordset (1 to " +
                                           std::to_string(n) + ")");
  Land(static_cast<int64_t>(slots_.Select(static_cast<size_t>(position - 1))));
  return Status::Ok();
}

bool StaticRecordset::CanSet() const { return open_ && (edit_ == Edit::kAdding || OnRow()); }

void StaticRecordset::BeginEdit() {
  if (edit_ == Edit::kNone) {
    // The row is copied only now, when one of its fields changes.
    store_.ReadRow(static_cast<size_t>(view_[static_cast<size_t>(pos_)]), &row_);
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
    const int r = static_cast<int>(store_.Append(row_));
    live_.push_back(1);
    order_.push_back(r);
    view_.push_back(r);
    slots_.Append();
    edit_ = Edit::kNone;
    Land(Slots() - 1);
    return Status::Ok();
  }
  if (edit_ == Edit::kEditing) {
    if (!(s = WriteBack(Change::kUpdate, backup_, row_)).ok()) return s;
    store_.Replace(static_cast<size_t>(view_[static_cast<size_t>(pos_)]), row_);
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
  const size_t slot = static_cast<size_t>(pos_);
  Status s;
  if (IsConnected()) {
    std::vector<Value> before;
    store_.ReadRow(static_cast<size_t>(view_[slot]), &before);
    if (!(s = WriteBack(Change::kDelete, before, {})).ok()) return s;
  }
  // Marked, not erased: the row stays in the store and its slot in the order, skipped by all.
  live_[static_cast<size_t>(view_[slot])] = 0;
  slots_.Kill(slot);
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
