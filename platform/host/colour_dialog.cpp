#include "platform/host/colour_dialog.h"

#include <utility>

namespace kyx::host {
namespace {
ColourDialog& installed() {
  static ColourDialog d;
  return d;
}
}  // namespace

int32_t ShowColor(int32_t initial, int32_t flags) {
  const ColourDialog& d = installed();
  return d ? d(initial, flags) : initial;
}

ColourDialog set_colour_dialog(ColourDialog dialog) { return std::exchange(installed(), std::move(dialog)); }

}  // namespace kyx::host
