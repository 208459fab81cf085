// The printer and drawing layer on a PDF printer, read back by poppler: device metrics, the
// conversion of twips to dots, cells, text runs and arrows at their places, orientation and
// copies, and the failures of a printer that does not exist.
#include "print/stampanti.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/gdi/gdi.h"
#include "tests/common/ambiente.h"
#include "tests/print/pdf.h"

namespace kyx::test {
namespace {

class Stampanti : public Ambiente {
 protected:
  Stampanti() {
    stampanti::reset();
    gdi::RemovePdfPrinters();
    gdi::ResetJournal();
    gdi::AddPdfPrinter("PDF prova", pdf);
  }
  ~Stampanti() override {
    gdi::RemovePdfPrinters();
    stampanti::reset();
  }
  // A context of the PDF printer set up and measured.
  int32_t Apri(int16_t Verticale = -1, int32_t Copie = 1) {
    int32_t dc = Stampanti_Crea_DC("PDF prova");
    EXPECT_NE(dc, 0);
    EXPECT_EQ(Stampanti_Imposta(0, dc, "PDF prova", Verticale, Copie), 0);
    Stampanti_Caratteristiche(dc);
    return dc;
  }
  const std::string pdf = dir.file("prova.pdf");
};

TEST_F(Stampanti, MetricsAndTwipsToDotsRoundHalvesToEven) {
  int32_t dc = Apri();
  EXPECT_EQ(Stampanti_Punti_Pollice_X, 600);
  EXPECT_FLOAT_EQ(Stampanti_Twip_Punto_Y, 2.4f);
  // A4 (595 x 842 points, whole points as the page sizes are kept), the whole page printable.
  EXPECT_NEAR(Stampanti_Larghezza, 11900, 3);
  EXPECT_NEAR(Stampanti_Altezza, 16840, 3);
  const std::pair<int32_t, int32_t> casi[] = {{0, 0}, {3, 1}, {6, 2}, {12, 5}, {-6, -2}, {1440, 600}};
  for (const auto& [twips, punti] : casi) {
    EXPECT_EQ(Stampanti_Punto_X(twips), punti) << twips;
    EXPECT_EQ(Stampanti_Punto_Y(twips), punti) << twips;
  }
  Stampanti_Elimina_DC(dc);
}

TEST_F(Stampanti, OrientationAndCopiesReachTheDocument) {
  // Any nonzero portrait flag is portrait; only 0 is landscape.
  for (const auto& [flag, orientamento] : {std::pair{-1, gdi::DMORIENT_PORTRAIT}, std::pair{1, gdi::DMORIENT_PORTRAIT},
                                           std::pair{0, gdi::DMORIENT_LANDSCAPE}}) {
    SCOPED_TRACE(flag);
    gdi::ResetJournal();
    int32_t dc = Apri(static_cast<int16_t>(flag), 3);
    ASSERT_GT(Stampanti_Inizio_Doc(dc, "Q-KRE"), 0);
    Stampanti_Inizio_Pagina(dc);
    Stampanti_Fine_Pagina(dc);
    EXPECT_GT(Stampanti_Fine_Doc(dc), 0);
    Stampanti_Elimina_DC(dc);
    EXPECT_EQ(gdi::LastJournal().Orientation, orientamento);
    EXPECT_EQ(gdi::LastJournal().Copies, 3);
    EXPECT_EQ(gdi::LastJournal().Document_Name, "Q-KRE");
    const auto [w, h] = Formato(pdf);
    EXPECT_EQ(w > h, flag == 0) << w << " x " << h;
    if (flag == 0) {
      EXPECT_NEAR(Stampanti_Larghezza, 16840, 3) << "landscape swaps the printable sides";
    }
  }
}

TEST_F(Stampanti, APrinterThatDoesNotExistFailsAndLeavesTheContextAlone) {
  int32_t dc = Stampanti_Crea_DC("Nessuna");
  EXPECT_EQ(dc, 0);
  int32_t buono = Apri(-1, 1);
  EXPECT_EQ(Stampanti_Imposta(0, buono, "Nessuna", 0, 4), 1801);
  ASSERT_GT(Stampanti_Inizio_Doc(buono, "x"), 0);
  EXPECT_EQ(gdi::LastJournal().Orientation, gdi::DMORIENT_PORTRAIT);
  EXPECT_EQ(gdi::LastJournal().Copies, 1);
  Stampanti_Fine_Doc(buono);
  Stampanti_Elimina_DC(buono);
}

TEST_F(Stampanti, CellsTextAndArrowsLandWhereTheTwipsSay) {
  int32_t dc = Apri();
  ASSERT_GT(Stampanti_Inizio_Doc(dc, "Q-KRE"), 0);
  ASSERT_GT(Stampanti_Inizio_Pagina(dc), 0);
  const int32_t penna = Stampanti_Crea_Penna(0, Stampanti_Punto_Y(10), 0);
  const int32_t font = Stampanti_Crea_Font("Arial", -50, 0, 400, 0, 0);
  Stampanti_Seleziona(dc, penna);
  Stampanti_Seleziona(dc, font);
  // A red cell with all borders, its text left at the top inside the margin.
  Stampanti_Cella(dc, "Sinistra", 1440, 2880, 4320, 3600, 0, 30, true, true, true, true, 0, 0x0000FF, true);
  // A right-aligned cell without borders or fill: only its text.
  Stampanti_Cella(dc, "Destra", 1440, 4320, 4320, 4800, 2, 30, false, false, false, false, 0, 0xFFFFFF, false);
  // A text run moved by (dx, dy); the caller's point moves with it.
  int32_t x = 1440, y = 5760;
  Stampanti_Testo(dc, "Corsa", x, y, 720, 0, 0, 0xFFFFFF);
  EXPECT_EQ(x, 2160);
  EXPECT_EQ(y, 5760);
  // Arrows: " ASC " points up, anything else down.
  Stampanti_Freccia(dc, 1440, 8640, " ASC ");
  Stampanti_Freccia(dc, 2880, 8640, " DESC");
  Stampanti_Freccia(dc, 4320, 8640, "");
  Stampanti_Fine_Pagina(dc);
  ASSERT_GT(Stampanti_Fine_Doc(dc), 0);
  Stampanti_Elimina_DC(dc);
  Stampanti_Elimina_Oggetto(font);
  Stampanti_Elimina_Oggetto(penna);
  ASSERT_EQ(Pagine(pdf), 1);

  // Words in points (twips / 20).
  for (const Parola& p : Parole(pdf)) {
    if (p.testo == "Sinistra") {
      EXPECT_NEAR(p.x1, (1440 + 30) / 20.0, 1.0);
      EXPECT_NEAR(p.y1, (2880 + 30) / 20.0, 3.0);
    } else if (p.testo == "Destra") {
      EXPECT_NEAR(p.x2, (4320 - 30) / 20.0, 1.0);
    } else if (p.testo == "Corsa") {
      EXPECT_NEAR(p.x1, 2160 / 20.0, 1.0);
    }
  }
  // Pixels at 144 dpi (10 twips each): the fill, the borders, the white around.
  const Immagine img = Rendi(pdf, 1, 144, dir.file("pagina"));
  ASSERT_GT(img.larghezza, 0);
  const auto px = [&](int tx, int ty) { return img(tx / 10, ty / 10); };
  EXPECT_EQ(px(4000, 3400), (std::array<int, 3>{255, 0, 0})) << "inside the cell: its back colour";
  for (auto [tx, ty] : {std::pair{3000, 2880}, {4320, 3200}, {3000, 3600}, {1440, 3200}}) {
    const auto c = px(tx, ty);
    EXPECT_LT(c[0] + c[1] + c[2], 200) << "border at " << tx << "," << ty;
  }
  EXPECT_EQ(px(3000, 2700), (std::array<int, 3>{255, 255, 255}));
  EXPECT_EQ(px(2000, 4500), (std::array<int, 3>{255, 255, 255})) << "no border, no fill";
  // The up arrow has its base along y - 20, a down arrow only its apex there.
  const auto scuro = [&](int tx, int ty) {
    const auto c = px(tx, ty);
    return c[0] + c[1] + c[2] < 600;
  };
  EXPECT_TRUE(scuro(1440 + 40, 8640 - 20));
  EXPECT_FALSE(scuro(1440 + 70, 8640 - 120 + 30)) << "inside the triangle";
  EXPECT_FALSE(scuro(2880 + 40, 8640 - 20));
  EXPECT_TRUE(scuro(2880 + 40, 8640 - 120));
  EXPECT_FALSE(scuro(4320 + 40, 8640 - 20));
  EXPECT_TRUE(scuro(4320 + 40, 8640 - 120));
}

TEST_F(Stampanti, TheEnvironmentCanNameAPdfPrinter) {
  // A machine without printers (the demo) prints into the file KYX_PRINTER_PDF names.
  gdi::RemovePdfPrinters();
  const auto prima = gdi::Printers();
  EXPECT_EQ(std::count(prima.begin(), prima.end(), "PDF"), 0);
  setenv("KYX_PRINTER_PDF", dir.file("ambiente.pdf").c_str(), 1);
  const auto dopo = gdi::Printers();
  EXPECT_EQ(std::count(dopo.begin(), dopo.end(), "PDF"), 1);
  int32_t dc = Stampanti_Crea_DC("pdf");
  ASSERT_NE(dc, 0) << "printer names compare without regard to case";
  ASSERT_GT(Stampanti_Inizio_Doc(dc, "Q-KRE"), 0);
  Stampanti_Inizio_Pagina(dc);
  Stampanti_Fine_Pagina(dc);
  Stampanti_Fine_Doc(dc);
  Stampanti_Elimina_DC(dc);
  unsetenv("KYX_PRINTER_PDF");
  EXPECT_EQ(Pagine(dir.file("ambiente.pdf")), 1);
}

TEST_F(Stampanti, ScreenMeasurementNeedsNoPrinter) {
  // A window's context measures in pixels with the font selected into it, before any printer
  // was ever opened; the previous font comes back from the selection.
  int32_t finestra = 0x00010010;
  const int32_t font = Stampanti_Crea_Font("DejaVu Sans", -13, 0, 400, 0, 0);
  ASSERT_NE(font, 0);
  const int32_t prima = Stampanti_Seleziona(finestra, font);
  EXPECT_NE(prima, 0);
  const int32_t dieci = Stampanti_Larghezza_Testo(finestra, std::string(10, ' '));
  const int32_t venti = Stampanti_Larghezza_Testo(finestra, std::string(20, ' '));
  EXPECT_GT(dieci, 20);
  EXPECT_LT(dieci, 80);
  EXPECT_NEAR(venti, 2 * dieci, 1);
  EXPECT_EQ(Stampanti_Seleziona(finestra, prima), font);
  EXPECT_NE(Stampanti_Elimina_Oggetto(font), 0);
  EXPECT_EQ(Stampanti_Elimina_Oggetto(font), 0) << "deleted twice";
  EXPECT_EQ(Stampanti_Larghezza_Testo(finestra, ""), 0);
}

}  // namespace
}  // namespace kyx::test
