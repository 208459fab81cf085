#pragma once
// Stable sort of (key, row) pairs by an unsigned 64-bit key: least significant byte first, one
// counting pass per byte, and bytes that are the same in every key passed over (small keys, such
// as ranks, take two or three passes). The order sorts of client-side recordsets use it.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kyx::data {

struct KeyedRow {
  uint64_t key;
  uint32_t row;
  uint32_t extra = 0;  // carried along for the caller (fills what would be padding)
};

// Sorts `items` by key, keeping equal keys in their order; `scratch` is working space.
void RadixSort(std::vector<KeyedRow>& items, std::vector<KeyedRow>& scratch);
// The same on n items at `items`, with room for n items at `scratch`.
void RadixSort(KeyedRow* items, size_t n, KeyedRow* scratch);

}  // namespace kyx::data
