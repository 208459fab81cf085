#pragma once
// Text inside the system is std::string of Windows-1252 bytes, one byte per character, so that
// fixed widths, positions and blank padding behave as the system expects. These helpers convert
// at the edges (Qt, SQLite, ODBC, XML, terminal) and build fixed-width fields.
#include <cstddef>
#include <string>
#include <string_view>

namespace kyx::text {

// Windows-1252 bytes to UTF-8. The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) become the C1 control of the same number, as Windows converts them, so that every
// byte survives a round trip.
std::string to_utf8(std::string_view cp1252);

// UTF-8 to Windows-1252. A character the code page cannot hold, and every byte of a malformed
// UTF-8 sequence, becomes `replacement`.
std::string from_utf8(std::string_view utf8, char replacement = '?');

// True when every character of the UTF-8 text has a Windows-1252 byte.
bool fits_cp1252(std::string_view utf8);

// The Unicode code point of one Windows-1252 byte.
char32_t code_point(unsigned char byte);

// The text cut or padded on the right with `fill` to exactly `width` characters
// (Left(text & Space(width), width)).
std::string fixed(std::string_view text, std::size_t width, char fill = ' ');

// The text padded on the left with `fill` to `width` characters; a longer text keeps its
// rightmost `width` characters.
std::string fixed_right(std::string_view text, std::size_t width, char fill = ' ');

// The text without trailing blanks (only the blank, not tabs or line ends).
std::string_view rtrim_blanks(std::string_view text);

// The text without blanks at both ends.
std::string_view trim_blanks(std::string_view text);

// Upper and lower case of one Windows-1252 character: ASCII letters, the accented letters
// (À..Þ and à..þ but the multiplication and division signs) and the four letters of the 0x80
// block (Š, Œ, Ž, Ÿ and their small forms). Every other byte is its own upper and lower case.
char to_upper(char c);
char to_lower(char c);

// True when both texts are equal apart from letter case.
bool equal_ignoring_case(std::string_view a, std::string_view b);

// The filler character "¿" (0xBF) that the system writes where a character cannot be encoded.
inline constexpr char kFiller = '\xBF';

}  // namespace kyx::text
