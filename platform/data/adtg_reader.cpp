#include "platform/data/adtg_reader.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/data/adtg_tokens.h"

namespace kyx::data {

namespace {

using namespace adtg;

constexpr size_t kMaxColumns = 4096;

// A bounds-checked cursor over the input; every read fails rather than run past the end.
class Cursor {
 public:
  explicit Cursor(std::string_view d) : d_(d) {}
  template <typename T>
  bool Get(T* v) {
    if (d_.size() - i_ < sizeof(T)) return false;
    uint64_t x = 0;
    for (size_t k = 0; k < sizeof(T); ++k) x |= static_cast<uint64_t>(static_cast<unsigned char>(d_[i_ + k])) << (8 * k);
    i_ += sizeof(T);
    *v = static_cast<T>(x);
    return true;
  }
  bool Bytes(size_t n, const unsigned char** p) {
    if (d_.size() - i_ < n) return false;
    *p = reinterpret_cast<const unsigned char*>(d_.data() + i_);
    i_ += n;
    return true;
  }
  bool Skip(size_t n) {
    if (d_.size() - i_ < n) return false;
    i_ += n;
    return true;
  }
  // A length-prefixed UTF-16 string, as cp1252.
  bool String(std::string* out) {
    uint16_t n = 0;
    const unsigned char* p = nullptr;
    if (!Get(&n) || !Bytes(2 * size_t{n}, &p)) return false;
    Utf16ToCp1252(p, n, out);
    return true;
  }
  size_t at() const { return i_; }
  size_t left() const { return d_.size() - i_; }
  // The element that begins here and ends `size` bytes on; false if it runs past the input.
  bool Element(size_t size, Cursor* body) {
    if (left() < size) return false;
    *body = Cursor(d_.substr(i_, size));
    i_ += size;
    return true;
  }

 private:
  std::string_view d_;
  size_t i_ = 0;
};

Status Bad(const std::string& why, size_t at) {
  return Status::Error(kNotRecordsetFile, why + " (at byte " + std::to_string(at) + ")");
}

struct Column {
  uint16_t type = 0;
  FieldInfo info;
};

Status ReadColumn(Cursor& c, size_t at, Column* col) {
  const unsigned char* map = nullptr;
  uint16_t ordinal = 0;
  if (!c.Bytes(kPresenceMapSize, &map) || !c.Get(&ordinal)) return Bad("a column descriptor is truncated", at);
  if ((map[0] & kHasName) && !c.String(&col->info.name)) return Bad("a column name runs past its descriptor", at);
  // Where the column came from: each part present by its own bit; not needed here.
  uint16_t ordinal_in_base = 0;
  std::string base;
  if (((map[0] & kHasBaseTableOrdinal) && !c.Get(&ordinal_in_base)) ||
      ((map[0] & kHasBaseColumnOrdinal) && !c.Get(&ordinal_in_base)) ||
      ((map[0] & kHasBaseColumnName) && !c.String(&base)))
    return Bad("the base table of a column runs past its descriptor", at);
  uint32_t max_length = 0, precision = 0, scale = 0, flags = 0;
  if (!c.Get(&col->type) || !c.Get(&max_length) || !c.Get(&precision) || !c.Get(&scale) || !c.Get(&flags))
    return Bad("the type of column " + col->info.name + " is truncated", at);
  // The optional properties that may follow (catalog, collation, defaults...) and the closing
  // IsVisible are skipped with the rest of the element.
  FieldInfo& f = col->info;
  int size = max_length > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(max_length);
  switch (col->type) {
    case kTypeWStr:
    case kTypeStr:
      f.type = (flags & kFlagLong) ? FieldType::LongText : FieldType::Text;
      f.size = size;
      break;
    case kTypeI2: f.type = FieldType::Int16; break;
    case kTypeI4:
    case kTypeBool: f.type = col->type == kTypeBool ? FieldType::Int16 : FieldType::Int32; break;
    case kTypeR8: f.type = FieldType::Double; break;
    case kTypeNumeric: f.type = FieldType::Numeric; break;
    case kTypeI8:
    case kTypeVariant: f.type = FieldType::Any; break;
    default:
      return Bad("column " + f.name + " has the unsupported type " + std::to_string(col->type), at);
  }
  return Status::Ok();
}

bool ReadText(Cursor& c, bool wide, std::string* scratch, Value* v) {
  uint32_t n = 0;
  const unsigned char* p = nullptr;
  if (!c.Get(&n)) return false;
  if (wide) {
    if (n % 2 != 0 || !c.Bytes(n, &p)) return false;
    Utf16ToCp1252(p, n / 2, scratch);
    v->AssignText(*scratch);
  } else {
    if (!c.Bytes(n, &p)) return false;
    v->AssignText(std::string_view(reinterpret_cast<const char*>(p), n));
  }
  return true;
}

bool ReadNumeric(Cursor& c, Value* v) {
  const unsigned char* p = nullptr;
  if (!c.Bytes(kNumericSize, &p)) return false;
  unsigned __int128 m = 0;
  for (int i = 15; i >= 0; --i) m = (m << 8) | p[3 + i];
  double d = static_cast<double>(m);
  for (int s = 0; s < p[1] && s < 40; ++s) d /= 10.0;
  v->AssignDouble(p[2] == 0 ? -d : d);
  return true;
}

// One non-null value of a column; false when it runs past the input or is malformed.
bool ReadValue(Cursor& c, uint16_t type, std::string* scratch, Value* v) {
  switch (type) {
    case kTypeWStr: return ReadText(c, true, scratch, v);
    case kTypeStr: return ReadText(c, false, scratch, v);
    case kTypeI2: {
      int16_t x = 0;
      if (!c.Get(&x)) return false;
      v->AssignInteger(x);
      return true;
    }
    case kTypeBool: {
      int16_t x = 0;
      if (!c.Get(&x)) return false;
      v->AssignInteger(x != 0 ? -1 : 0);
      return true;
    }
    case kTypeI4: {
      int32_t x = 0;
      if (!c.Get(&x)) return false;
      v->AssignInteger(x);
      return true;
    }
    case kTypeI8: {
      uint64_t x = 0;
      if (!c.Get(&x)) return false;
      v->AssignInteger(static_cast<int64_t>(x));
      return true;
    }
    case kTypeR8: {
      uint64_t bits = 0;
      if (!c.Get(&bits)) return false;
      double d;
      std::memcpy(&d, &bits, sizeof d);
      v->AssignDouble(d);
      return true;
    }
    case kTypeNumeric: return ReadNumeric(c, v);
    case kTypeVariant: {
      uint16_t vt = 0;
      if (!c.Get(&vt)) return false;
      switch (vt) {
        case kVtNull: v->SetNull(); return true;
        case kVtI8: return ReadValue(c, kTypeI8, scratch, v);
        case kVtR8: return ReadValue(c, kTypeR8, scratch, v);
        case kVtBstr: return ReadText(c, true, scratch, v);
        default: return false;
      }
    }
  }
  return false;
}

// The data of one row: a null bitmap (bit i % 8 of byte i / 8 set: column i is null and has no
// bytes), then each non-null value in column order.
Status ReadRowData(Cursor& c, const std::vector<Column>& columns, size_t at, size_t number, std::string* scratch,
                   std::vector<Value>* row) {
  const unsigned char* mask = nullptr;
  if (!c.Bytes((columns.size() + 7) / 8, &mask)) return Bad("a row is truncated", at);
  row->assign(columns.size(), Value());
  for (size_t i = 0; i < columns.size(); ++i) {
    if (mask[i / 8] & (1 << (i % 8))) continue;
    if (!ReadValue(c, columns[i].type, scratch, &(*row)[i]))
      return Bad("a value of column " + columns[i].info.name + " in row " + std::to_string(number) +
                     " is truncated or malformed",
                 at);
  }
  return Status::Ok();
}

}  // namespace

bool IsAdtg(std::string_view d) {
  return d.size() >= 5 && static_cast<uint8_t>(d[0]) == kTokenHeader && d.substr(2, 3) == "TG!";
}

Status ReadAdtg(std::string_view bytes, std::vector<FieldInfo>* fields, std::vector<std::vector<Value>>* rows) {
  fields->clear();
  rows->clear();
  Cursor c(bytes);
  uint8_t token = 0, size8 = 0;
  const unsigned char* h = nullptr;
  if (!c.Get(&token) || !c.Get(&size8) || token != kTokenHeader || size8 < kHeaderSize || !c.Bytes(size8, &h) ||
      std::memcmp(h, "TG!", 3) != 0)
    return Bad("the header is missing or truncated", 0);
  if (h[5] != 0) return Bad("it is a big-endian TableGram, which is not supported", 0);
  if (h[6] != 1) return Bad("its strings are not Unicode, which is not supported", 0);

  std::vector<Column> columns;
  size_t declared_columns = 0;
  bool have_result = false;
  std::vector<std::vector<Value>> rs;
  std::vector<bool> deleted;
  // The original row a change or delete marker may follow (none right after any other token).
  constexpr size_t kNone = static_cast<size_t>(-1);
  size_t last_original = kNone;
  std::string scratch;
  for (;;) {
    size_t at = c.at();
    if (!c.Get(&token)) return Bad("it is truncated: the end token is missing", at);
    if (token == kTokenDone) break;
    if (token == kTokenRow || token == kTokenInsertRow || token == kTokenChangeRow || token == kTokenDeleteRow) {
      if (!have_result || columns.size() != declared_columns)
        return Bad("a row comes before the description of all its columns", at);
      const size_t follows = last_original;
      last_original = kNone;
      if ((token == kTokenChangeRow || token == kTokenDeleteRow) && follows == kNone)
        return Bad("a pending change or deletion does not follow the row it applies to", at);
      if (token == kTokenDeleteRow) {
        deleted[follows] = true;
        continue;
      }
      // A null costs one bit of the file but a whole Value in memory: rows that are almost all
      // nulls could make a small file take gigabytes. The values held stay within four per
      // byte of input (real results carry their key texts in every row, far below that).
      if ((rs.size() + 1) * columns.size() > 4 * bytes.size() + (1 << 20))
        return Bad("it holds too many empty values for its size", at);
      std::vector<Value> row;
      Status s = ReadRowData(c, columns, at, token == kTokenChangeRow ? follows + 1 : rs.size() + 1, &scratch, &row);
      if (!s.ok()) return s;
      if (token == kTokenChangeRow) {
        rs[follows] = std::move(row);  // the values the row has after its pending change
        continue;
      }
      if (token == kTokenRow) last_original = rs.size();
      rs.push_back(std::move(row));
      deleted.push_back(false);
      continue;
    }
    last_original = kNone;
    if (token != kTokenHandlerOptions && token != kTokenTableDescriptor && token != kTokenResultDescriptor &&
        token != kTokenColumnDescriptor && token != kTokenResultContext)
      return Bad("unknown token " + std::to_string(token), at);
    // Every other element carries its size.
    uint16_t size = 0;
    Cursor body("");
    if (!c.Get(&size) || !c.Element(size, &body)) return Bad("an element of token " + std::to_string(token) + " is truncated", at);
    switch (token) {
      case kTokenHandlerOptions:
      case kTokenTableDescriptor:
      case kTokenResultContext: break;  // how the data was fetched or where it came from: not needed
      case kTokenResultDescriptor: {
        uint16_t visible = 0, total = 0;
        if (have_result) return Bad("it holds more than one recordset", at);
        if (!body.Skip(16 + 3) || !body.Get(&visible) || !body.Get(&total))
          return Bad("the result descriptor is truncated", at);
        if (visible == 0 || visible > kMaxColumns || total < visible)
          return Bad("the result descriptor declares " + std::to_string(visible) + " columns", at);
        declared_columns = visible;
        columns.reserve(visible);
        have_result = true;
        break;
      }
      case kTokenColumnDescriptor: {
        if (!have_result) return Bad("a column descriptor comes before the result descriptor", at);
        if (columns.size() == declared_columns) return Bad("there are more column descriptors than columns", at);
        Column col;
        Status s = ReadColumn(body, at, &col);
        if (!s.ok()) return s;
        columns.push_back(std::move(col));
        break;
      }
      default: return Bad("unknown token " + std::to_string(token), at);
    }
  }
  if (!have_result || columns.size() != declared_columns) return Bad("the column descriptions are incomplete", c.at());
  if (c.left() != 0) return Bad("there are unexpected bytes after the end token", c.at());
  fields->reserve(columns.size());
  for (Column& col : columns) fields->push_back(std::move(col.info));
  // Rows deleted while the recordset was open are gone from it.
  size_t kept = 0;
  for (size_t r = 0; r < rs.size(); ++r)
    if (!deleted[r]) {
      if (kept != r) rs[kept] = std::move(rs[r]);
      ++kept;
    }
  rs.resize(kept);
  *rows = std::move(rs);
  return Status::Ok();
}

}  // namespace kyx::data
