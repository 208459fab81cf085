#pragma once
// Val for text read from users' files and typed into boxes, where the original program would have
// had an error handler around it.
#include <optional>
#include <string_view>

namespace kyx::vb {

// Val, or nothing when the number does not fit a Double ("1E999"), instead of VbError 6.
std::optional<double> TryVal(std::string_view text);

}  // namespace kyx::vb
