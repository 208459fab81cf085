#pragma once
// Text measured in pixels with a font described as the system describes a GDI font: face,
// height (negative = the character height in pixels), weight and italic flag. Stands in for
// CreateFont, SelectObject and GetTextExtentPoint32 on a window's device context; the grid's
// column auto-width measures its cells with it.
#include <QFont>
#include <QFontMetrics>
#include <string_view>

namespace kyx::ui {

class TextMeasure {
 public:
  TextMeasure(std::string_view face_cp1252, int height, int weight, bool italic);
  // Width of a text (Windows-1252) in pixels.
  int Width(std::string_view cp1252) const;

 private:
  QFont font_;
  QFontMetrics metrics_;
};

}  // namespace kyx::ui
