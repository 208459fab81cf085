#pragma once
// Text comparison of the local databases, as the original engine compared text: letters compare
// without regard to case, accented letters included (é equals É); an accented letter sorts with
// its plain letter and after it (e < é < f); trailing blanks are ignored ("AB  " equals "ab").
// The same order serves the JET collation registered on every SQLite connection (text columns
// declare it, so =, IN, BETWEEN, ORDER BY, GROUP BY and indexes follow it), and the Sort, Filter
// and Find of client-side recordsets.
#include <string_view>

namespace kyx::data {

// <0, 0, >0. Both texts are Windows-1252 bytes.
int JetCompare(std::string_view a, std::string_view b);
inline bool JetEqual(std::string_view a, std::string_view b) { return JetCompare(a, b) == 0; }

// The same comparison on UTF-8 texts (the collation callback). Malformed bytes compare as
// themselves.
int JetCompareUtf8(std::string_view a, std::string_view b);

// The upper-case form of one Windows-1252 character (accented letters included).
unsigned char JetUpper(unsigned char c);
// The plain letter a Windows-1252 character sorts with first (its upper-case form without
// accent; the byte itself for other characters). Texts whose plain letters differ compare as
// their first differing plain letters do, whatever their accents.
unsigned char JetPrimary(unsigned char c);

// Pattern match of a Filter criterion "field LIKE 'pattern'": "*" and "%" stand for any run of
// characters; one character in brackets ("[*]", "[%]", "[[]") stands for itself; everything else
// matches itself without regard to case. Trailing blanks of the text are ignored, as in equality.
bool JetLike(std::string_view text, std::string_view pattern);

}  // namespace kyx::data
