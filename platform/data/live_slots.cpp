#include "platform/data/live_slots.h"

namespace kyx::data {

void LiveSlots::Reset(size_t n) {
  flags_.assign(n, 1);
  tree_.assign(n + 1, 0);
  // A tree of all ones: node i covers (i - lowbit(i), i], so it holds lowbit(i).
  for (size_t i = 1; i <= n; ++i) tree_[i] = static_cast<uint32_t>(i & (~i + 1));
  live_ = n;
}

void LiveSlots::Append() {
  flags_.push_back(1);
  const size_t i = flags_.size();
  const size_t low = i & (~i + 1);
  // Node i covers the slots (i - low, i]: the new one plus the live slots before it in that range.
  tree_.push_back(static_cast<uint32_t>(1 + Before(i - 1) - Before(i - low)));
  ++live_;
}

void LiveSlots::Kill(size_t slot) {
  if (slot >= flags_.size() || !flags_[slot]) return;
  flags_[slot] = 0;
  --live_;
  for (size_t i = slot + 1; i < tree_.size(); i += i & (~i + 1)) --tree_[i];
}

size_t LiveSlots::Before(size_t slot) const {
  if (all_live()) return slot;
  size_t n = 0;
  for (size_t i = slot; i > 0; i -= i & (~i + 1)) n += tree_[i];
  return n;
}

size_t LiveSlots::Select(size_t k) const {
  if (k >= live_) return flags_.size();
  if (all_live()) return k;
  // Descends the tree for the largest prefix holding at most k live slots.
  size_t pos = 0, step = 1;
  while (step * 2 < tree_.size()) step *= 2;
  for (; step > 0; step /= 2) {
    if (pos + step < tree_.size() && tree_[pos + step] <= k) {
      pos += step;
      k -= tree_[pos];
    }
  }
  return pos;  // the prefix of pos slots holds k live slots; slot pos is the next live one
}

size_t LiveSlots::NextLive(size_t slot) const {
  if (slot >= flags_.size()) return flags_.size();
  if (flags_[slot]) return slot;
  return Select(Before(slot));
}

size_t LiveSlots::PrevLive(size_t slot) const {
  if (slot == kNone || flags_.empty()) return kNone;
  if (slot >= flags_.size()) slot = flags_.size() - 1;
  if (flags_[slot]) return slot;
  const size_t k = Before(slot + 1);
  return k == 0 ? kNone : Select(k - 1);
}

}  // namespace kyx::data
