// The Like operator under Option Compare Binary.
#include <bitset>
#include <vector>

#include "platform/vb/detail.h"

namespace kyx::vb {
namespace {

struct Element {
  enum Kind { kChar, kAny, kDigit, kStar, kSet };
  explicit Element(Kind k, unsigned char ch = 0) : kind(k), c(ch) {}
  Kind kind;
  unsigned char c;       // for kChar
  std::bitset<256> set;  // for kSet: the bytes that match
};

// The pattern as elements; VbError 93 when a list is not closed or a range runs backwards.
std::vector<Element> compile(std::string_view pattern) {
  std::vector<Element> out;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const auto c = static_cast<unsigned char>(pattern[i]);
    switch (c) {
      case '?':
        out.emplace_back(Element::kAny);
        break;
      case '*':
        if (out.empty() || out.back().kind != Element::kStar) out.emplace_back(Element::kStar);
        break;
      case '#':
        out.emplace_back(Element::kDigit);
        break;
      case '[': {
        const size_t close = pattern.find(']', i + 1);
        if (close == std::string_view::npos) detail::raise(detail::kErrInvalidPattern);
        std::string_view list = pattern.substr(i + 1, close - i - 1);
        i = close;
        if (list.empty()) break;  // "[]" is the empty string
        if (list == "!") {        // "[!]" is "!" itself
          out.emplace_back(Element::kChar, '!');
          break;
        }
        Element e(Element::kSet);
        const bool negate = list[0] == '!';
        if (negate) list.remove_prefix(1);
        for (size_t k = 0; k < list.size(); ++k) {
          const auto from = static_cast<unsigned char>(list[k]);
          if (k + 2 < list.size() && list[k + 1] == '-') {
            const auto to = static_cast<unsigned char>(list[k + 2]);
            if (to < from) detail::raise(detail::kErrInvalidPattern);
            for (unsigned b = from; b <= to; ++b) e.set.set(b);
            k += 2;
          } else {
            e.set.set(from);  // a "-" first or last stands for itself
          }
        }
        if (negate) e.set.flip();
        out.push_back(e);
        break;
      }
      default:
        out.emplace_back(Element::kChar, c);
        break;
    }
  }
  return out;
}

bool matches(const Element& e, unsigned char c) {
  switch (e.kind) {
    case Element::kChar: return c == e.c;
    case Element::kAny: return true;
    case Element::kDigit: return c >= '0' && c <= '9';
    case Element::kSet: return e.set.test(c);
    case Element::kStar: return false;
  }
  return false;
}

}  // namespace

bool Like(std::string_view text, std::string_view pattern) {
  const std::vector<Element> p = compile(pattern);
  // Every element but "*" takes exactly one character, so backtracking to the last "*" suffices.
  size_t t = 0, k = 0;
  size_t star = std::string_view::npos, star_text = 0;
  while (t < text.size()) {
    if (k < p.size() && p[k].kind == Element::kStar) {
      star = k++;
      star_text = t;
    } else if (k < p.size() && matches(p[k], static_cast<unsigned char>(text[t]))) {
      ++k;
      ++t;
    } else if (star != std::string_view::npos) {
      k = star + 1;
      t = ++star_text;
    } else {
      return false;
    }
  }
  while (k < p.size() && p[k].kind == Element::kStar) ++k;
  return k == p.size();
}

}  // namespace kyx::vb
