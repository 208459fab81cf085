// Feeds arbitrary bytes to the TableGram reader: it must refuse or read them, never crash, hang
// or allocate without bound.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/data/adtg_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<kyx::data::FieldInfo> fields;
  std::vector<std::vector<kyx::data::Value>> rows;
  kyx::data::Status s = kyx::data::ReadAdtg(std::string_view(reinterpret_cast<const char*>(data), size), &fields, &rows);
  if (!s.ok() && (!fields.empty() || !rows.empty())) __builtin_trap();  // a refusal returns nothing
  return 0;
}
