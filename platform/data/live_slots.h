#pragma once
// The slots of a recordset's visible order, each live or deleted, with the count of live slots
// before any slot in logarithmic time (a Fenwick tree): a deletion marks its slot instead of
// erasing it from the order, and positions, moves and record counts skip the marked ones.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kyx::data {

class LiveSlots {
 public:
  static constexpr size_t kNone = static_cast<size_t>(-1);

  // n slots, all live.
  void Reset(size_t n);
  // One more live slot at the end.
  void Append();
  // Marks a live slot deleted.
  void Kill(size_t slot);

  bool live(size_t slot) const { return flags_[slot] != 0; }
  size_t size() const { return flags_.size(); }
  size_t live_count() const { return live_; }
  bool all_live() const { return live_ == flags_.size(); }

  // The number of live slots before `slot` (slot <= size()).
  size_t Before(size_t slot) const;
  // The slot of the live slot with k live slots before it, or size() when k >= live_count().
  size_t Select(size_t k) const;
  // The first live slot at or after `slot`, or size().
  size_t NextLive(size_t slot) const;
  // The last live slot at or before `slot` (kNone counts as before the first), or kNone.
  size_t PrevLive(size_t slot) const;

 private:
  std::vector<char> flags_;
  std::vector<uint32_t> tree_;  // 1-based Fenwick tree of the live flags
  size_t live_ = 0;
};

}  // namespace kyx::data
