#pragma once
// The file format in which a client-side recordset is saved and read back (in place of
// Recordset.Save with adPersistADTG and Open through the MSPersist provider). The format is
// described in recordset_file_format.md.
#include <string>
#include <vector>

#include "platform/data/field.h"
#include "platform/data/status.h"
#include "platform/data/value.h"

namespace kyx::data {

// Writes the fields and rows (in this order) to `path`, through a temporary file renamed over
// it, so that a failed save never leaves a half-written file.
Status WriteRecordsetFile(const std::string& path, const std::vector<FieldInfo>& fields,
                          const std::vector<const std::vector<Value>*>& rows);

// Reads a file written by WriteRecordsetFile. A file of any other kind (an XML or binary
// recordset saved by another program, a truncated or damaged file) is refused with
// kNotRecordsetFile and a message that says what was found; nothing is returned then.
Status ReadRecordsetFile(const std::string& path, std::vector<FieldInfo>* fields,
                         std::vector<std::vector<Value>>* rows);

}  // namespace kyx::data
