#include "tools/dataserver/wire_record.h"

namespace kyx::dataserver {

WireRecord& WireRecord::Text(std::size_t position, std::size_t width, std::string_view text) {
  for (std::size_t i = 0; i < width; ++i) {
    const std::size_t at = position - 1 + i;
    if (position == 0 || at >= bytes_.size()) break;
    bytes_[at] = static_cast<char>(table_.Encode(i < text.size() ? text[i] : ' '));
  }
  return *this;
}

WireRecord& WireRecord::Binary(std::size_t position, std::size_t width, uint32_t value) {
  for (std::size_t i = 0; i < width; ++i) {
    const std::size_t shift = 8 * (width - 1 - i);
    const uint8_t byte = shift < 32 ? static_cast<uint8_t>(value >> shift) : 0;
    Raw(position + i, byte);
  }
  return *this;
}

WireRecord& WireRecord::Zoned(std::size_t position, std::size_t width, int64_t value) {
  const bool negative = value < 0;
  uint64_t magnitude = negative ? static_cast<uint64_t>(-(value + 1)) + 1 : static_cast<uint64_t>(value);
  for (std::size_t i = width; i-- > 0;) {
    uint8_t zone = 0xF0;
    if (i == width - 1 && negative) zone = 0xD0;
    Raw(position + i, static_cast<uint8_t>(zone | (magnitude % 10)));
    magnitude /= 10;
  }
  return *this;
}

WireRecord& WireRecord::Raw(std::size_t position, uint8_t byte) {
  if (position >= 1 && position - 1 < bytes_.size()) bytes_[position - 1] = static_cast<char>(byte);
  return *this;
}

WireRecord& WireRecord::Blanks(std::size_t position, std::size_t width) { return Text(position, width, ""); }

std::string ReadText(const CodeTable& table, std::string_view wire, std::size_t position, std::size_t width) {
  if (position == 0 || position - 1 + width > wire.size()) return "";
  return table.DecodeText(wire.substr(position - 1, width));
}

bool ReadDigits(const CodeTable& table, std::string_view wire, std::size_t position, std::size_t width,
                int64_t* value) {
  const std::string text = ReadText(table, wire, position, width);
  if (text.size() != width || width == 0) return false;
  int64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  *value = v;
  return true;
}

}  // namespace kyx::dataserver
