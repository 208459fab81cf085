#pragma once
// Screen units. Forms are placed in twips (1/1440 inch); the insides of the windows, the controls
// and the mouse positions the system reads back are pixels. Twips_Pixel_X/Y give the twips per
// pixel of the screen (1440 / logical DPI: 15 at 96 DPI, 12 at 120 DPI).
namespace kyx::ui {

// Twips per pixel across and down, from the primary screen's logical DPI (15 when there is no
// screen). An override set with set_twips_per_pixel wins.
double Twips_Pixel_X();
double Twips_Pixel_Y();

// Fixes the twips per pixel (tests, or a user setting); 0 returns to the screen's value.
void set_twips_per_pixel(double x, double y);

// Rounds to the nearest whole number, halves to the even neighbour, as the BASIC conversions do.
long round_even(double value);

// Twips to whole pixels (rounded) and pixels to twips.
int twips_to_px_x(double twips);
int twips_to_px_y(double twips);
inline double px_to_twips_x(double px) { return px * Twips_Pixel_X(); }
inline double px_to_twips_y(double px) { return px * Twips_Pixel_Y(); }

}  // namespace kyx::ui
