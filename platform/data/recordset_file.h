#pragma once
// The files in which a client-side recordset is saved and read back: TableGrams
// (adtg_format.md), the format the earlier Windows version saved its results in, so that history
// folders stay readable by both. Files of Kyx's own older format (recordset_file_format.md) are
// still read.
#include <string>
#include <vector>

#include "platform/data/adtg_writer.h"
#include "platform/data/field.h"
#include "platform/data/status.h"
#include "platform/data/value.h"

namespace kyx::data {

// Writes the fields and rows (in this order) to `path`, through a temporary file renamed over
// it, so that a failed save never leaves a half-written file.
Status WriteRecordsetFile(const std::string& path, const std::vector<FieldInfo>& fields,
                          const std::vector<const std::vector<Value>*>& rows);
// The same, taking the rows one by one from `row` (0 .. row_count - 1), so that no list of rows
// needs to be built for the save.
Status WriteRecordsetFile(const std::string& path, const std::vector<FieldInfo>& fields, size_t row_count,
                          const RowSource& row);

// Reads a TableGram (ours or one saved by the earlier version) or a file of the older own
// format. A file of any other kind (an XML or binary file of another program, a truncated or
// damaged file) is refused with
// kNotRecordsetFile and a message that says what was found; nothing is returned then.
Status ReadRecordsetFile(const std::string& path, std::vector<FieldInfo>* fields,
                         std::vector<std::vector<Value>>* rows);

}  // namespace kyx::data
