#pragma once
// Writes a recordset's fields and rows as a TableGram file (adtg_format.md).
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/data/field.h"
#include "platform/data/status.h"
#include "platform/data/value.h"

namespace kyx::data {

// Yields row i (0 <= i < row count) of the rows being saved, in the order they are to be kept.
using RowSource = std::function<const std::vector<Value>&(size_t)>;

// Writes `fields` and `row_count` rows to `path` through a temporary file renamed over it, so a
// failed save leaves the previous file as it was. Rows are streamed through one buffer.
Status WriteAdtgFile(const std::string& path, const std::vector<FieldInfo>& fields, size_t row_count,
                     const RowSource& row);

}  // namespace kyx::data
