#include "tools/dataserver/code_table.h"

#include <fstream>
#include <iterator>

namespace kyx::dataserver {

CodeTable::CodeTable() {
  std::array<uint8_t, 256> identity{};
  for (int i = 0; i < 256; ++i) identity[i] = static_cast<uint8_t>(i);
  Set(identity);
}

bool CodeTable::Load(const std::string& path, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error) *error = "cannot open the code table " + path;
    return false;
  }
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.size() < 6 + 256) {
    if (error) *error = "the code table " + path + " is shorter than 262 bytes";
    return false;
  }
  std::array<uint8_t, 256> table{};
  for (int i = 0; i < 256; ++i) table[i] = static_cast<uint8_t>(bytes[6 + i]);
  Set(table);
  return true;
}

void CodeTable::Set(const std::array<uint8_t, 256>& table) {
  to_char_ = table;
  to_wire_.fill(0);
  for (int i = 0; i < 256; ++i) to_wire_[to_char_[i]] = static_cast<uint8_t>(i);
}

std::string CodeTable::DecodeText(std::string_view wire) const {
  std::string out(wire.size(), ' ');
  for (std::size_t i = 0; i < wire.size(); ++i) out[i] = Decode(static_cast<uint8_t>(wire[i]));
  return out;
}

std::string CodeTable::EncodeText(std::string_view text) const {
  std::string out(text.size(), '\0');
  for (std::size_t i = 0; i < text.size(); ++i) out[i] = static_cast<char>(Encode(text[i]));
  return out;
}

}  // namespace kyx::dataserver
