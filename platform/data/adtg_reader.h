#pragma once
// Reads a TableGram (adtg_format.md) from bytes in memory into fields and rows.
#include <string_view>
#include <vector>

#include "platform/data/field.h"
#include "platform/data/status.h"
#include "platform/data/value.h"

namespace kyx::data {

// True when the bytes begin with a TableGram header.
bool IsAdtg(std::string_view bytes);

// Reads a whole TableGram. Anything it cannot read (truncated, a bad length or count, an unknown
// token or type, bytes after the end) gives kNotRecordsetFile with a description of what was
// wrong and where; `fields` and `rows` are then left empty. Memory stays bounded by the input.
Status ReadAdtg(std::string_view bytes, std::vector<FieldInfo>* fields, std::vector<std::vector<Value>>* rows);

}  // namespace kyx::data
