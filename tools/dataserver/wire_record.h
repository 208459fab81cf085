#pragma once
// Fixed-layout records as they travel on the wire, built field by field at 1-based positions:
// text ("A") through the code table, blank-padded and cut to its width; unsigned binary ("B"),
// most significant byte first and never translated; zoned decimal ("S"), one digit per byte in
// the low half with F in the high half, the last byte's high half D for a negative number.
// Writes that fall outside the record are dropped, so a layout mistake can never overrun.
#include <cstdint>
#include <string>
#include <string_view>

#include "tools/dataserver/code_table.h"

namespace kyx::dataserver {

class WireRecord {
 public:
  // A record of `length` bytes, all zero (binary fields read 0, unfilled text reads as "Ø").
  WireRecord(const CodeTable& table, std::size_t length) : table_(table), bytes_(length, '\0') {}

  // Text at `position` (from 1), `width` characters: cut or padded on the right with blanks.
  WireRecord& Text(std::size_t position, std::size_t width, std::string_view text);
  // Unsigned binary of `width` bytes (1..4); larger values keep their low bytes.
  WireRecord& Binary(std::size_t position, std::size_t width, uint32_t value);
  // Zoned decimal of `width` digits; the magnitude keeps its low digits.
  WireRecord& Zoned(std::size_t position, std::size_t width, int64_t value);
  // One raw byte.
  WireRecord& Raw(std::size_t position, uint8_t byte);
  // `width` encoded blanks from `position`.
  WireRecord& Blanks(std::size_t position, std::size_t width);

  const std::string& bytes() const { return bytes_; }
  std::size_t size() const { return bytes_.size(); }

 private:
  const CodeTable& table_;
  std::string bytes_;
};

// Field readers for requests: the same conventions, on wire bytes, 1-based positions.
// A text field decoded through the table ("" when the request is too short).
std::string ReadText(const CodeTable& table, std::string_view wire, std::size_t position, std::size_t width);
// A field of decimal digits as the program sends them (translated characters): true and the
// value when every character is a digit, false otherwise.
bool ReadDigits(const CodeTable& table, std::string_view wire, std::size_t position, std::size_t width,
                int64_t* value);

}  // namespace kyx::dataserver
