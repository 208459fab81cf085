#include "platform/data/connection.h"

namespace kyx::data {

Status Statement::Run() {
  bool row = false;
  Status s;
  do {
    s = Step(&row);
  } while (s.ok() && row);
  Reset();
  return s;
}

std::string Connection::QuoteName(std::string_view name) const {
  std::string q = "\"";
  for (char c : name) {
    if (c == '"') q += '"';
    q += c;
  }
  q += '"';
  return q;
}

}  // namespace kyx::data
