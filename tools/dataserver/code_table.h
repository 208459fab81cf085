#pragma once
// The code table KYX.Tbl as the server reads it: 6 bytes of header, then 256 bytes, byte i being
// the Windows-1252 code of the character that wire byte i stands for. The server decodes every
// request byte through it and encodes every text field of its replies through its inverse, the
// same two tables the program builds from the same file, so both ends agree byte for byte.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kyx::dataserver {

class CodeTable {
 public:
  // An identity table (wire byte i is character i); replaced by Load.
  CodeTable();

  // Reads the table file; false with a reason when it is missing or shorter than 262 bytes.
  bool Load(const std::string& path, std::string* error);
  // Takes the 256 table bytes directly (the bytes after the header).
  void Set(const std::array<uint8_t, 256>& table);

  // Wire byte -> character.
  char Decode(uint8_t wire) const { return static_cast<char>(to_char_[wire]); }
  // Character -> wire byte. Where two wire bytes give one character the higher one wins, and a
  // character no wire byte gives is sent as 0, as the program's own inverse table does.
  uint8_t Encode(char c) const { return to_wire_[static_cast<uint8_t>(c)]; }

  std::string DecodeText(std::string_view wire) const;
  std::string EncodeText(std::string_view text) const;

 private:
  std::array<uint8_t, 256> to_char_{};
  std::array<uint8_t, 256> to_wire_{};
};

}  // namespace kyx::dataserver
