#include "tools/dataserver/faults.h"

#include <algorithm>

namespace kyx::dataserver {

char RequestLetter(RequestKind kind) {
  switch (kind) {
    case RequestKind::kLogin: return 'u';
    case RequestKind::kReplicaLogin: return 'r';
    case RequestKind::kUserLogin: return 's';
    case RequestKind::kLibrary: return 'a';
    case RequestKind::kUserFile: return 'c';
    case RequestKind::kElements: return 'b';
    case RequestKind::kDrill: return 'm';
    case RequestKind::kTime: return 'k';
    case RequestKind::kDescriptions: return 'd';
    case RequestKind::kLayout: return 'l';
    case RequestKind::kQuery: return 'h';
    case RequestKind::kNextBlock: return 'i';
    case RequestKind::kDataSetFirst: return 'e';
    case RequestKind::kDataSetNext: return 'f';
    case RequestKind::kDataSetCancel: return 'g';
    default: return '\0';
  }
}

RequestKind KindOfLetter(char letter) {
  for (int k = 0; k < static_cast<int>(RequestKind::kCount); ++k) {
    const auto kind = static_cast<RequestKind>(k);
    if (RequestLetter(kind) != '\0' && RequestLetter(kind) == letter) return kind;
  }
  return RequestKind::kOther;
}

const char* KindName(RequestKind kind) {
  switch (kind) {
    case RequestKind::kGreeting: return "greeting";
    case RequestKind::kLogin: return "login";
    case RequestKind::kReplicaLogin: return "replica login";
    case RequestKind::kUserLogin: return "user login";
    case RequestKind::kLibrary: return "library";
    case RequestKind::kUserFile: return "user file";
    case RequestKind::kElements: return "elements";
    case RequestKind::kDrill: return "drill";
    case RequestKind::kTime: return "time";
    case RequestKind::kDescriptions: return "descriptions";
    case RequestKind::kLayout: return "layout";
    case RequestKind::kQuery: return "query";
    case RequestKind::kNextBlock: return "next block";
    case RequestKind::kDataSetFirst: return "data set";
    case RequestKind::kDataSetNext: return "data-set block";
    case RequestKind::kDataSetCancel: return "data-set cancel";
    default: return "other";
  }
}

void FaultPlan::Arm(RequestKind kind, const Fault& fault) {
  std::lock_guard<std::mutex> lock(mutex_);
  slots_[static_cast<std::size_t>(kind)] = Slot{fault, 0};
}

void FaultPlan::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  slots_.fill(Slot{});
}

std::optional<Fault> FaultPlan::Next(RequestKind kind) {
  std::lock_guard<std::mutex> lock(mutex_);
  Slot& slot = slots_[static_cast<std::size_t>(kind)];
  if (slot.fault.type == FaultType::kNone) return std::nullopt;
  ++slot.seen;
  Fault fired = slot.fault;
  fired.exchange = slot.seen;
  if (slot.fault.on == 0) return fired;
  if (slot.seen == slot.fault.on) {
    slot = Slot{};
    return fired;
  }
  return std::nullopt;
}

std::vector<Chunk> ChunkPlan(const Fault& fault, RequestKind kind, std::size_t size) {
  // splitmix64 over the seed, the kind and the exchange: the same on every platform.
  uint64_t state = fault.seed ^ (static_cast<uint64_t>(kind) << 56) ^
                   (static_cast<uint64_t>(static_cast<uint32_t>(fault.exchange)) * 0x9E3779B97F4A7C15ull);
  const auto next = [&state] {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  };
  const std::size_t largest = std::max<std::size_t>(1, fault.max_chunk);
  int bits = 0;
  while (bits < 62 && (std::size_t{1} << (bits + 1)) <= largest) ++bits;
  const uint64_t longest_pause_us = static_cast<uint64_t>(std::max(0, fault.pause_ms)) * 1000;

  std::vector<Chunk> plan;
  std::size_t left = size;
  // Bounded: every pass takes at least one byte.
  while (left > 0) {
    // A power of two drawn first, then a size below it: short pieces as often as long ones.
    const std::size_t limit = std::min(largest, std::size_t{1} << (next() % static_cast<uint64_t>(bits + 1)));
    Chunk c;
    c.bytes = std::min(left, 1 + static_cast<std::size_t>(next() % limit));
    left -= c.bytes;
    if (left > 0 && next() % 4 == 0) c.pause_us = static_cast<int>(next() % (longest_pause_us + 1));
    plan.push_back(c);
  }
  return plan;
}

}  // namespace kyx::dataserver
