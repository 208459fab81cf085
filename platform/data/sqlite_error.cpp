#include "platform/data/sqlite_error.h"

#include <sqlite3.h>

#include <string>

#include "platform/data/value.h"

namespace kyx::data {

Status SqliteError(sqlite3* db, int rc) {
  std::string message;
  Utf8ToCp1252(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc), &message);
  int extended = db ? sqlite3_extended_errcode(db) : rc;
  if (extended == SQLITE_CONSTRAINT_CHECK) {
    // Constraint names are "size:<column>" and "range:<column>" (see catalog.cpp).
    const std::string marker = "CHECK constraint failed: ";
    auto at = message.find(marker);
    if (at != std::string::npos) {
      std::string name = message.substr(at + marker.size());
      if (name.rfind("size:", 0) == 0)
        return Status::Error(kFieldTooSmall, "The field is too small to accept the amount of data you attempted "
                                             "to add (" + name.substr(5) + ")");
      if (name.rfind("range:", 0) == 0)
        return Status::Error(kNumericOverflow, "Numeric field overflow (" + name.substr(6) + ")");
    }
  }
  return Status::Error(extended ? extended : rc, message);
}

}  // namespace kyx::data
