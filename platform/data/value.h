#pragma once
// A field value (in place of the Variant that ADO fields hold): Null, a 64-bit integer, a double
// or a text of Windows-1252 bytes. Text is converted to UTF-8 only where it meets the database.
#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

namespace kyx::data {

class Value {
 public:
  enum class Kind : uint8_t { Null, Integer, Double, Text };

  Value() = default;
  Value(int v) : kind_(Kind::Integer), bits_(v) {}
  Value(int64_t v) : kind_(Kind::Integer), bits_(v) {}
  Value(double v) : kind_(Kind::Double), bits_(std::bit_cast<int64_t>(v)) {}
  Value(std::string v) : kind_(Kind::Text), text_(std::move(v)) {}
  Value(std::string_view v) : kind_(Kind::Text), text_(v) {}
  Value(const char* v) : kind_(Kind::Text), text_(v) {}
  static Value Null() { return Value(); }

  // A copy takes the text only when the value is one. An assignment writes into this value's
  // own text buffer, which it keeps whatever kind it holds afterwards: a row of values assigned
  // row after row (a recordset's current row, a statement's result) allocates only when a text
  // is longer than any before it.
  Value(const Value& o) : kind_(o.kind_), bits_(o.bits_) {
    if (kind_ == Kind::Text) text_ = o.text_;
  }
  Value(Value&& o) noexcept : kind_(o.kind_), bits_(o.bits_) {
    if (kind_ == Kind::Text) text_ = std::move(o.text_);
  }
  Value& operator=(const Value& o) {
    if (this != &o) {
      if (o.kind_ == Kind::Text) text_.assign(o.text_);
      kind_ = o.kind_;
      bits_ = o.bits_;
    }
    return *this;
  }
  // Moving a text swaps the buffers, so that neither side loses its allocation (the moved-from
  // value is left an empty text, as after a moving copy).
  Value& operator=(Value&& o) noexcept {
    if (this != &o) {
      if (o.kind_ == Kind::Text) {
        text_.swap(o.text_);
        o.text_.clear();
      }
      kind_ = o.kind_;
      bits_ = o.bits_;
    }
    return *this;
  }

  Kind kind() const { return kind_; }
  bool is_null() const { return kind_ == Kind::Null; }
  bool is_number() const { return kind_ == Kind::Integer || kind_ == Kind::Double; }

  // Raw access; only meaningful for the matching kind.
  int64_t integer() const { return kind_ == Kind::Integer ? bits_ : 0; }
  double real() const { return kind_ == Kind::Double ? std::bit_cast<double>(bits_) : 0.0; }
  const std::string& text() const { return kind_ == Kind::Text ? text_ : Empty(); }

  // Conversions as the system's code applies them when it reads a field into a variable:
  // Null gives 0 or ""; a double becomes an integer rounded half to even (CLng); a text is read
  // as a number when it is one (leading and trailing blanks allowed), else 0.
  int64_t AsInteger() const;
  double AsDouble() const;
  // Numbers as text: integers in decimal, doubles with up to 15 significant digits and a point.
  std::string AsText() const;

  // Replaces the value by a text, or a number, or Null, keeping the text buffer for later.
  void AssignText(std::string_view text) {
    text_.assign(text.data(), text.size());
    kind_ = Kind::Text;
  }
  // The same for a text of n bytes that the caller then writes at the address returned: a
  // decoder fills the value in place, and a text of the same size keeps the same address.
  char* ResizeText(size_t n) {
    text_.resize(n);
    kind_ = Kind::Text;
    return text_.data();
  }
  void AssignInteger(int64_t v) {
    kind_ = Kind::Integer;
    bits_ = v;
  }
  void AssignDouble(double v) {
    kind_ = Kind::Double;
    bits_ = std::bit_cast<int64_t>(v);
  }
  void SetNull() { kind_ = Kind::Null; }

  bool operator==(const Value& other) const;

 private:
  static const std::string& Empty();

  Kind kind_ = Kind::Null;
  int64_t bits_ = 0;  // the integer, or the bits of the double
  std::string text_;  // the text when kind_ is Text; otherwise a buffer kept for the next text
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
