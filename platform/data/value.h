#pragma once
// A field value (in place of the Variant that ADO fields hold): Null, a 64-bit integer, a double
// or a text of Windows-1252 bytes. Text is converted to UTF-8 only where it meets the database.
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace kyx::data {

class Value {
 public:
  enum class Kind : uint8_t { Null, Integer, Double, Text };

  Value() = default;
  Value(int v) : v_(static_cast<int64_t>(v)) {}
  Value(int64_t v) : v_(v) {}
  Value(double v) : v_(v) {}
  Value(std::string v) : v_(std::move(v)) {}
  Value(std::string_view v) : v_(std::string(v)) {}
  Value(const char* v) : v_(std::string(v)) {}
  static Value Null() { return Value(); }

  Kind kind() const { return static_cast<Kind>(v_.index()); }
  bool is_null() const { return kind() == Kind::Null; }
  bool is_number() const { return kind() == Kind::Integer || kind() == Kind::Double; }

  // Raw access; only valid for the matching kind.
  int64_t integer() const { return std::get<int64_t>(v_); }
  double real() const { return std::get<double>(v_); }
  const std::string& text() const { return std::get<std::string>(v_); }

  // Conversions as the system's code applies them when it reads a field into a variable:
  // Null gives 0 or ""; a double becomes an integer rounded half to even (CLng); a text is read
  // as a number when it is one (leading and trailing blanks allowed), else 0.
  int64_t AsInteger() const;
  double AsDouble() const;
  // Numbers as text: integers in decimal, doubles with up to 15 significant digits and a point.
  std::string AsText() const;

  // Replaces the value by a text, reusing this value's buffer when it already holds text.
  void AssignText(std::string_view text);
  void SetNull() { v_ = std::monostate(); }

  bool operator==(const Value& other) const { return v_ == other.v_; }

 private:
  std::variant<std::monostate, int64_t, double, std::string> v_;
};

// Parses a whole text as a number: optional blanks, sign, digits, one decimal point, exponent,
// blanks. True and the number when it is one. Integers that fit in 64 bits come back exact.
bool ParseNumber(std::string_view text, Value* out);

// Windows-1252 to UTF-8 and back into a caller's buffer (cleared first), so that loops reuse one
// allocation. Characters outside the code page become `?`.
void Cp1252ToUtf8(std::string_view cp1252, std::string* out);
void Utf8ToCp1252(std::string_view utf8, std::string* out);
// True when every byte is ASCII (the text is the same in both encodings).
bool IsAscii(std::string_view text);

}  // namespace kyx::data
