#pragma once
// The main window's 16 x 16 pictures, drawn in code: toolbar buttons, tree nodes, filter
// operators, row and column levels, mouse modes.
#include <QPixmap>
#include <string_view>

#include "platform/ui/image_list.h"

namespace kyx::ui {

// The 72 keys of the main window's image list, in their order.
const std::vector<std::string_view>& standard_image_keys();
// Draws the picture of one key (an empty, transparent picture for a key that is not listed).
QPixmap draw_standard_image(std::string_view key);
// Fills `list` with the 72 pictures in order (the list is cleared first).
void add_standard_images(ImageList& list);

}  // namespace kyx::ui
