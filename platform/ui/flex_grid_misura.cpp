#include "platform/ui/flex_grid_misura.h"

#include <QString>
#include <algorithm>
#include <cstdlib>

#include "platform/text/cp1252.h"

namespace kyx::ui {
namespace {

QFont Make_Font(std::string_view face, int height, int weight, bool italic) {
  QFont f(QString::fromStdString(text::to_utf8(face)));
  // A negative height asks for the character height, a positive one for the cell height; the
  // pixel size of a Qt font is the character height, so the cell height loses its leading.
  if (height < 0) {
    f.setPixelSize(-height);
  } else if (height > 0) {
    f.setPixelSize(std::max(1, height * 4 / 5));
  }
  f.setBold(weight >= 700);
  f.setItalic(italic);
  return f;
}

}  // namespace

TextMeasure::TextMeasure(std::string_view face, int height, int weight, bool italic)
    : font_(Make_Font(face, height, weight, italic)), metrics_(font_) {}

int TextMeasure::Width(std::string_view cp1252) const {
  return metrics_.horizontalAdvance(QString::fromStdString(text::to_utf8(cp1252)));
}

}  // namespace kyx::ui
