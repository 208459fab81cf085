#pragma once
// SQLite result codes and messages turned into a Status (layer-internal).
#include "platform/data/status.h"

struct sqlite3;

namespace kyx::data {

// The status for a failed SQLite call: the extended result code and the connection's message
// in Windows-1252. The size and range checks that the catalog declares on columns come back as
// kFieldTooSmall and kNumericOverflow with the column's name.
Status SqliteError(sqlite3* db, int rc);

}  // namespace kyx::data
