#include "platform/data/radix_sort.h"

#include <array>
#include <algorithm>
#include <cstddef>
#include <utility>

namespace kyx::data {

void RadixSort(std::vector<KeyedRow>& items, std::vector<KeyedRow>& scratch) {
  scratch.resize(items.size());
  RadixSort(items.data(), items.size(), scratch.data());
}

void RadixSort(KeyedRow* items, size_t n, KeyedRow* scratch) {
  if (n < 2) return;
  std::array<std::array<size_t, 256>, 8> counts{};
  for (size_t i = 0; i < n; ++i)
    for (int b = 0; b < 8; ++b) ++counts[static_cast<size_t>(b)][(items[i].key >> (8 * b)) & 0xFF];
  KeyedRow* from = items;
  KeyedRow* to = scratch;
  for (int b = 0; b < 8; ++b) {
    std::array<size_t, 256>& count = counts[static_cast<size_t>(b)];
    // A byte that every key shares orders nothing.
    if (count[(from[0].key >> (8 * b)) & 0xFF] == n) continue;
    size_t at = 0;
    for (size_t& c : count) {
      const size_t k = c;
      c = at;
      at += k;
    }
    for (size_t i = 0; i < n; ++i) to[count[(from[i].key >> (8 * b)) & 0xFF]++] = from[i];
    std::swap(from, to);
  }
  if (from != items) std::copy(from, from + n, items);
}

}  // namespace kyx::data
