// The formats' tests compare the exports with the grid, a real widget: one QApplication on the
// offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "platform/ui/colours.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  kyx::ui::install_palette_colours();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
