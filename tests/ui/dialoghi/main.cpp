// The dialogs' tests run on the offscreen platform with one QApplication for the program. The
// same program, started with "--copia-registrata", plays another running copy of Kyx.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "platform/ui/colours.h"
#include "tests/ui/dialoghi/copia_registrata.h"

int main(int argc, char** argv) {
  const int copia = kyx::test::Esegui_Copia_Registrata(argc, argv);
  if (copia >= 0) return copia;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  kyx::ui::install_palette_colours();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
