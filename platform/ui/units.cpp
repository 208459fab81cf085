#include "platform/ui/units.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace kyx::ui {
namespace {

double override_x = 0, override_y = 0;

double from_dpi(double dpi) { return dpi > 0 ? 1440.0 / dpi : 15.0; }

QScreen* screen() {
  return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::primaryScreen()
                                                                      : nullptr;
}

}  // namespace

double Twips_Pixel_X() {
  if (override_x > 0) return override_x;
  QScreen* s = screen();
  return s ? from_dpi(s->logicalDotsPerInchX()) : 15.0;
}

double Twips_Pixel_Y() {
  if (override_y > 0) return override_y;
  QScreen* s = screen();
  return s ? from_dpi(s->logicalDotsPerInchY()) : 15.0;
}

void set_twips_per_pixel(double x, double y) {
  override_x = x > 0 ? x : 0;
  override_y = y > 0 ? y : 0;
}

long round_even(double value) {
  // nearbyint follows the current rounding mode; exact halves are settled explicitly so that the
  // answer does not depend on that mode.
  double r = std::nearbyint(value);
  if (std::fabs(value - std::trunc(value)) == 0.5) r = 2.0 * std::nearbyint(value / 2.0);
  return static_cast<long>(r);
}

int twips_to_px_x(double twips) { return static_cast<int>(round_even(twips / Twips_Pixel_X())); }
int twips_to_px_y(double twips) { return static_cast<int>(round_even(twips / Twips_Pixel_Y())); }

}  // namespace kyx::ui
