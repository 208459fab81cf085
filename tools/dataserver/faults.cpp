#include "tools/dataserver/faults.h"

namespace kyx::dataserver {

char RequestLetter(RequestKind kind) {
  switch (kind) {
    case RequestKind::kLogin: return 'u';
    case RequestKind::kLibrary: return 'a';
    case RequestKind::kUserFile: return 'c';
    case RequestKind::kElements: return 'b';
    case RequestKind::kDrill: return 'm';
    case RequestKind::kTime: return 'k';
    case RequestKind::kDescriptions: return 'd';
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
    case RequestKind::kLibrary: return "library";
    case RequestKind::kUserFile: return "user file";
    case RequestKind::kElements: return "elements";
    case RequestKind::kDrill: return "drill";
    case RequestKind::kTime: return "time";
    case RequestKind::kDescriptions: return "descriptions";
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
  if (slot.fault.on == 0) return slot.fault;
  if (slot.seen == slot.fault.on) {
    Fault fired = slot.fault;
    slot = Slot{};
    return fired;
  }
  return std::nullopt;
}

}  // namespace kyx::dataserver
