// Widget tests run on the offscreen platform with one QApplication for the whole program.
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
