// The window helpers: four-line frames, the OLE colour translation and the dialog frame style.
#include "platform/ui/colours.h"
#include "platform/ui/line_control.h"
#include "tests/ui/ambiente_ui.h"
#include "ui/finestre.h"

namespace kyx::test {
namespace {

TEST(Finestre, FrameOfFourLines) {
  QWidget padre;
  ui::LineControl l1(&padre), l2(&padre), l3(&padre), l4(&padre);
  Posiziona_Cornice(100, 200, 50, 30, l1, l2, l3, l4);
  auto estremi = [](const ui::LineControl& l) {
    return std::vector<double>{l.X1(), l.Y1(), l.X2(), l.Y2()};
  };
  EXPECT_EQ(estremi(l1), (std::vector<double>{100, 200, 150, 200}));  // top
  EXPECT_EQ(estremi(l2), (std::vector<double>{150, 200, 150, 230}));  // right
  EXPECT_EQ(estremi(l4), (std::vector<double>{100, 200, 100, 229}));  // left
  EXPECT_EQ(estremi(l3), (std::vector<double>{100, 229, 150, 229}));  // bottom
}

TEST(Finestre, ColourTranslation) {
  const int32_t faccia = static_cast<int32_t>(ui::qcolor_to_ole(ui::ole_to_qcolor(0x8000000F)));
  struct Caso {
    uint32_t colore;
    int32_t atteso;
  };
  for (const Caso c : {Caso{0x0000FF, 0x0000FF}, Caso{0x123456, 0x123456},
                       Caso{0x02123456, 0x123456}, Caso{0x8000000F, faccia},
                       Caso{0x80000040, 65535}, Caso{0x01000003, 65535},
                       Caso{0x40000000, 65535}}) {
    EXPECT_EQ(Traduci_Colore(static_cast<int32_t>(c.colore)), c.atteso) << std::hex << c.colore;
  }
  EXPECT_EQ(Crea_Pennello(0x0000FF).color(), QColor(255, 0, 0));
  QWidget w;
  Imposta_Sfondo_Finestra(w, 0x00FF00);
  EXPECT_EQ(w.palette().color(QPalette::Window), QColor(0, 255, 0));
  EXPECT_TRUE(XPStyle_Inizializza());
}

TEST(Finestre, DialogFrameKeepsPlaceAndVisibility) {
  ui::KyForm f("frmProva");
  f.setGeometry(50, 60, 300, 200);
  f.show();
  Imposta_Finestra_Dialogo(f.hWnd());
  EXPECT_TRUE(f.isVisible());
  EXPECT_EQ(f.geometry(), QRect(50, 60, 300, 200));
  EXPECT_FALSE(f.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(f.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(f.windowFlags() & Qt::WindowContextHelpButtonHint);
  Imposta_Finestra_Dialogo(0);  // no such window: nothing
}

}  // namespace
}  // namespace kyx::test
