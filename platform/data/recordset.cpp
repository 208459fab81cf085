#include "platform/data/recordset.h"

#include <cctype>
#include <cmath>

namespace kyx::data {

namespace {
const Value kNull;

Status FieldTooSmall(const FieldInfo& f) {
  return Status::Error(kFieldTooSmall,
                       "The field is too small to accept the amount of data you attempted to add (" + f.name + ")");
}
}  // namespace

size_t Recordset::HashName(std::string_view s) {
  size_t h = 1469598103934665603ull;
  // Names are ASCII; a-z folded inline, as SameName compares them.
  for (unsigned char c : s) h = (h ^ static_cast<size_t>(c >= 'a' && c <= 'z' ? c - 0x20 : c)) * 1099511628211ull;
  return h ^ (h >> 29);
}

void Recordset::SetFields(std::vector<FieldInfo> fields) {
  fields_ = std::move(fields);
  size_t slots = 8;
  while (slots < fields_.size() * 2) slots *= 2;
  names_.assign(slots, 0);
  for (int i = 0; i < static_cast<int>(fields_.size()); ++i) {
    for (size_t k = HashName(fields_[i].name) & (slots - 1);; k = (k + 1) & (slots - 1)) {
      if (names_[k] == 0) {
        names_[k] = i + 1;
        break;
      }
      if (SameName(fields_[names_[k] - 1].name, fields_[i].name)) break;  // first wins
    }
  }
  first_of_name_.assign(fields_.size(), 0);
  for (int i = 0; i < static_cast<int>(fields_.size()); ++i) first_of_name_[i] = LookUp(fields_[i].name) == i;
  next_guess_ = 0;
  row_.assign(fields_.size(), Value());
  has_row_ = false;
}

int Recordset::FieldIndex(std::string_view name) const {
  size_t g = next_guess_;
  if (g >= fields_.size()) g = 0;
  if (g < fields_.size() && first_of_name_[g] && SameName(fields_[g].name, name)) {
    next_guess_ = g + 1;
    return static_cast<int>(g);
  }
  const int i = LookUp(name);
  if (i >= 0) next_guess_ = static_cast<size_t>(i) + 1;
  return i;
}

int Recordset::LookUp(std::string_view name) const {
  const size_t mask = names_.size() - 1;
  if (names_.empty()) return -1;
  for (size_t k = HashName(name) & mask;; k = (k + 1) & mask) {
    const int i = names_[k];
    if (i == 0) return -1;
    if (SameName(fields_[i - 1].name, name)) return i - 1;
  }
}

const Value& Recordset::Field(int ordinal) const {
  if (!has_row_ || ordinal < 0 || ordinal >= static_cast<int>(row_.size())) return kNull;
  return row_[ordinal];
}

const Value& Recordset::Field(std::string_view name) const { return Field(FieldIndex(name)); }

Status Recordset::Read(std::string_view name, Value* out) const {
  int i = FieldIndex(name);
  if (i < 0) return Status::Error(kItemNotFound, "Item cannot be found in the collection: " + std::string(name));
  if (!has_row_) return Status::Error(kNoCurrentRecord, "Either BOF or EOF is True, or the current record has been deleted");
  *out = Field(i);
  return Status::Ok();
}

Status Recordset::Set(std::string_view name, const Value& value) {
  int i = FieldIndex(name);
  if (i < 0) return Status::Error(kItemNotFound, "Item cannot be found in the collection: " + std::string(name));
  return Set(i, value);
}

Status Recordset::Set(int ordinal, const Value& value) {
  if (ordinal < 0 || ordinal >= FieldCount())
    return Status::Error(kItemNotFound, "Item cannot be found in the collection: field " + std::to_string(ordinal));
  if (!CanSet()) return Status::Error(kNoCurrentRecord, "Either BOF or EOF is True, or the current record has been deleted");
  const FieldInfo& f = fields_[ordinal];
  if (value.kind() == Value::Kind::Text && (f.type == FieldType::Text || f.type == FieldType::LongText)) {
    // The common case of a text into a text field: checked, then copied into the row's own
    // buffer, which keeps its allocation from row to row.
    if (f.type == FieldType::Text && static_cast<int>(value.text().size()) > f.size) return FieldTooSmall(f);
    BeginEdit();
    row_[ordinal].AssignText(value.text());
    return Status::Ok();
  }
  if (value.kind() == Value::Kind::Integer && (f.type == FieldType::Int16 || f.type == FieldType::Int32)) {
    // A whole number into an integer field only needs its range checked.
    const int64_t i = value.integer();
    const int64_t lo = f.type == FieldType::Int16 ? -32768 : -2147483648LL;
    const int64_t hi = f.type == FieldType::Int16 ? 32767 : 2147483647LL;
    if (i < lo || i > hi) return Status::Error(kNumericOverflow, "Numeric field overflow (" + f.name + ")");
    BeginEdit();
    row_[ordinal].AssignInteger(i);
    return Status::Ok();
  }
  Value v;
  Status s = Coerce(fields_[ordinal], value, true, &v);
  if (!s.ok()) return s;
  BeginEdit();
  row_[ordinal] = std::move(v);
  return Status::Ok();
}

Status Recordset::SetText(std::string_view name, std::string_view text) {
  int i = FieldIndex(name);
  if (i < 0) return Status::Error(kItemNotFound, "Item cannot be found in the collection: " + std::string(name));
  return SetText(i, text);
}

Status Recordset::SetText(int ordinal, std::string_view text) {
  if (ordinal < 0 || ordinal >= FieldCount())
    return Status::Error(kItemNotFound, "Item cannot be found in the collection: field " + std::to_string(ordinal));
  const FieldInfo& f = fields_[ordinal];
  if (f.type != FieldType::Text && f.type != FieldType::LongText && f.type != FieldType::Any)
    return Set(ordinal, Value(text));  // converted to the field's type as any other value
  if (!CanSet()) return Status::Error(kNoCurrentRecord, "Either BOF or EOF is True, or the current record has been deleted");
  if (f.type == FieldType::Text && text.size() > static_cast<size_t>(f.size)) return FieldTooSmall(f);
  BeginEdit();
  row_[ordinal].AssignText(text);
  return Status::Ok();
}

Status Recordset::Coerce(const FieldInfo& f, const Value& value, bool check_size, Value* out) {
  if (value.is_null() || f.type == FieldType::Any) {
    *out = value;
    return Status::Ok();
  }
  switch (f.type) {
    case FieldType::Text:
    case FieldType::LongText: {
      if (value.kind() == Value::Kind::Text) *out = value;
      else *out = Value(value.AsText());
      if (check_size && f.type == FieldType::Text && static_cast<int>(out->text().size()) > f.size)
        return FieldTooSmall(f);
      return Status::Ok();
    }
    case FieldType::Int16:
    case FieldType::Int32: {
      Value n = value;
      if (value.kind() == Value::Kind::Text && !ParseNumber(value.text(), &n))
        return Status::Error(kTypeMismatch, "Data type mismatch: \"" + value.text() + "\" for " + f.name);
      if (n.kind() == Value::Kind::Double && !(std::fabs(n.real()) < 9.2e18))
        return Status::Error(kNumericOverflow, "Numeric field overflow (" + f.name + ")");
      int64_t i = n.AsInteger();
      int64_t lo = f.type == FieldType::Int16 ? -32768 : -2147483648LL;
      int64_t hi = f.type == FieldType::Int16 ? 32767 : 2147483647LL;
      if (i < lo || i > hi) return Status::Error(kNumericOverflow, "Numeric field overflow (" + f.name + ")");
      *out = Value(i);
      return Status::Ok();
    }
    case FieldType::Double:
    case FieldType::Numeric: {
      Value n = value;
      if (value.kind() == Value::Kind::Text && !ParseNumber(value.text(), &n))
        return Status::Error(kTypeMismatch, "Data type mismatch: \"" + value.text() + "\" for " + f.name);
      *out = Value(n.AsDouble());
      return Status::Ok();
    }
    case FieldType::Any: break;
  }
  *out = value;
  return Status::Ok();
}

}  // namespace kyx::data
