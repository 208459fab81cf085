#include "platform/data/field.h"

#include <cctype>
#include <charconv>

namespace kyx::data {

std::string DeclaredType(const FieldInfo& f) {
  switch (f.type) {
    case FieldType::Text: return "TEXT(" + std::to_string(f.size) + ")";
    case FieldType::Int16: return "SMALLINT";
    case FieldType::Int32: return "INTEGER";
    case FieldType::Double: return "DOUBLE";
    case FieldType::Numeric: return "NUMERIC_REAL(17,3)";
    case FieldType::LongText: return "LONGTEXT(" + std::to_string(f.size) + ")";
    case FieldType::Any: return "";
  }
  return "";
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  // Names are mostly written as the columns were created: equal bytes settle it at once.
  if (a == b) return true;
  auto upper = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 0x20 : c; };
  for (size_t i = 0; i < a.size(); ++i)
    if (upper(static_cast<unsigned char>(a[i])) != upper(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

FieldInfo ParseDeclaredType(std::string_view d) {
  FieldInfo f;
  auto size_in = [&](std::string_view prefix) -> int {
    if (d.size() < prefix.size() + 2 || !SameName(d.substr(0, prefix.size()), prefix) ||
        d[prefix.size()] != '(' || d.back() != ')')
      return -1;
    int n = 0;
    auto inner = d.substr(prefix.size() + 1, d.size() - prefix.size() - 2);
    auto r = std::from_chars(inner.data(), inner.data() + inner.size(), n);
    if (r.ec != std::errc() || r.ptr != inner.data() + inner.size()) return -1;
    return n;
  };
  if (int n = size_in("TEXT"); n >= 0) {
    f.type = FieldType::Text;
    f.size = n;
  } else if (int m = size_in("LONGTEXT"); m >= 0) {
    f.type = FieldType::LongText;
    f.size = m;
  } else if (SameName(d, "SMALLINT")) {
    f.type = FieldType::Int16;
  } else if (SameName(d, "INTEGER")) {
    f.type = FieldType::Int32;
  } else if (SameName(d, "DOUBLE")) {
    f.type = FieldType::Double;
  } else if (SameName(d, "NUMERIC_REAL(17,3)")) {
    f.type = FieldType::Numeric;
  }
  return f;
}

}  // namespace kyx::data
