// Byte-wise string functions and Str.
#include <cmath>

#include "platform/vb/detail.h"

namespace kyx::vb {

std::string Mid(std::string_view text, long start, long length) {
  if (start < 1 || length < -1) detail::raise(kErrInvalidCall);
  const auto from = static_cast<size_t>(start - 1);
  if (from >= text.size()) return {};
  const size_t count = length == -1 ? std::string_view::npos : static_cast<size_t>(length);
  return std::string(text.substr(from, count));
}

std::string Left(std::string_view text, long length) {
  if (length < 0) detail::raise(kErrInvalidCall);
  return std::string(text.substr(0, static_cast<size_t>(length)));
}

std::string Right(std::string_view text, long length) {
  if (length < 0) detail::raise(kErrInvalidCall);
  const auto n = static_cast<size_t>(length);
  return n >= text.size() ? std::string(text) : std::string(text.substr(text.size() - n));
}

long InStr(long start, std::string_view text, std::string_view find) {
  if (start < 1) detail::raise(kErrInvalidCall);
  const auto from = static_cast<size_t>(start - 1);
  if (from > text.size()) return 0;
  if (find.empty()) return start;
  const size_t at = text.find(find, from);
  return at == std::string_view::npos ? 0 : static_cast<long>(at + 1);
}

std::string Trim(std::string_view text) { return LTrim(RTrim(text)); }

std::string LTrim(std::string_view text) {
  const size_t b = text.find_first_not_of(' ');
  return b == std::string_view::npos ? std::string() : std::string(text.substr(b));
}

std::string RTrim(std::string_view text) {
  const size_t e = text.find_last_not_of(' ');
  return e == std::string_view::npos ? std::string() : std::string(text.substr(0, e + 1));
}

std::string UCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = detail::upper(c);
  return out;
}

std::string LCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = detail::lower(c);
  return out;
}

std::string Space(long count) {
  if (count < 0) detail::raise(kErrInvalidCall);
  return std::string(static_cast<size_t>(count), ' ');
}

std::string String(long count, char c) {
  if (count < 0) detail::raise(kErrInvalidCall);
  return std::string(static_cast<size_t>(count), c);
}

std::string Replace(std::string_view text, std::string_view find, std::string_view with) {
  if (find.empty()) return std::string(text);
  std::string out;
  size_t pos = 0;
  for (size_t at; (at = text.find(find, pos)) != std::string_view::npos; pos = at + find.size()) {
    out.append(text, pos, at - pos);
    out.append(with);
  }
  out.append(text, pos);
  return out;
}

std::string Str(double value) {
  if (!std::isfinite(value)) {
    const std::string text = detail::non_finite(value);
    return text[0] == '-' ? text : " " + text;
  }
  const detail::Decimal d = detail::decimal_of(value);
  const std::string text = detail::general(d, '.', /*leading_zero=*/false);
  return d.negative ? text : " " + text;
}

}  // namespace kyx::vb
