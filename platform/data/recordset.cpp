#include "platform/data/recordset.h"

#include <cctype>
#include <cmath>

namespace kyx::data {

namespace {
const Value kNull;
}

size_t Recordset::NameHash::operator()(std::string_view s) const {
  size_t h = 1469598103934665603ull;
  for (unsigned char c : s) h = (h ^ static_cast<size_t>(std::toupper(c))) * 1099511628211ull;
  return h;
}

void Recordset::SetFields(std::vector<FieldInfo> fields) {
  fields_ = std::move(fields);
  names_.clear();
  for (int i = 0; i < static_cast<int>(fields_.size()); ++i) names_.emplace(fields_[i].name, i);  // first wins
  row_.assign(fields_.size(), Value());
  has_row_ = false;
}

int Recordset::FieldIndex(std::string_view name) const {
  auto it = names_.find(name);
  return it == names_.end() ? -1 : it->second;
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
  *out = row_[i];
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
  Value v;
  Status s = Coerce(fields_[ordinal], value, true, &v);
  if (!s.ok()) return s;
  BeginEdit();
  row_[ordinal] = std::move(v);
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
        return Status::Error(kFieldTooSmall, "The field is too small to accept the amount of data you attempted to add (" +
                                                 f.name + ")");
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
