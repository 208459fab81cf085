#include "platform/data/status.h"

namespace kyx::data {

std::string Status::ToString() const {
  if (ok()) return "OK";
  return std::to_string(number_) + " - " + description_;
}

}  // namespace kyx::data
