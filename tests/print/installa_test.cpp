// The program's wiring of the printing: after start-up every slot of the printer layer and of the
// print run is filled, and each reaches the real main window.
#include "ui/installa_stampa.h"

#include <string>
#include <utility>
#include <vector>

#include "platform/ui/vb_events.h"
#include "print/agganci_stampa.h"
#include "print/stato_stampa.h"
#include "tests/ui/ambiente_ui.h"

namespace kyx::test {
namespace {

using Installa = AmbienteUi;

TEST_F(Installa, EverySlotOfThePrintingIsFilledAndReachesTheMainWindow) {
  agganci_stampa::reset();
  agganci::reset();
  agganci_base::Stampa_Documento = nullptr;
  Installa_Stampa();
  const std::vector<std::pair<const char*, bool>> slot = {
      {"Stampanti_Crea_Font", bool(agganci::Stampanti_Crea_Font)},
      {"Stampanti_Seleziona", bool(agganci::Stampanti_Seleziona)},
      {"Stampanti_Larghezza_Testo", bool(agganci::Stampanti_Larghezza_Testo)},
      {"Stampanti_Elimina_Oggetto", bool(agganci::Stampanti_Elimina_Oggetto)},
      {"Tooltip_Stampa", bool(agganci::Tooltip_Stampa)},
      {"agganci_base::Stampa_Documento", bool(agganci_base::Stampa_Documento)},
      {"hWnd_Base", bool(agganci_stampa::hWnd_Base)},
      {"Titolo_Griglia", bool(agganci_stampa::Titolo_Griglia)},
      {"Prepara_Grafico", bool(agganci_stampa::Prepara_Grafico)},
      {"Immagine_Grafico", bool(agganci_stampa::Immagine_Grafico)},
  };
  for (const auto& [nome, pieno] : slot) EXPECT_TRUE(pieno) << nome;

  FrmBase& f = *frmBase;
  f.resize(900, 600);
  f.show();
  agganci::Tooltip_Stampa(" Stampa (PDF) ");
  EXPECT_EQ(f.Toolbar1->Buttons("Stampa").ToolTipText(), " Stampa (PDF) ");
  EXPECT_EQ(agganci_stampa::hWnd_Base(), f.hWnd());
  f.lbl_twE[0]->setText(QString::fromUtf8("Vendite più alte"));
  EXPECT_EQ(agganci_stampa::Titolo_Griglia(), "Vendite pi\xF9 alte");

  // The chart's capture: the decoding panel is hidden for it and shown again, and the window
  // keeps the enabled state it had (a window disabled by the print dialog stays disabled).
  f.Grafico->setGeometry(10, 10, 300, 150);
  f.Grafico->SetVisible(true);
  f.pnlDecod->SetVisible(true);
  f.SetEnabled(false);
  agganci_stampa::Prepara_Grafico(true);
  EXPECT_FALSE(f.pnlDecod->isVisible());
  EXPECT_FALSE(f.Enabled());
  const QImage img = agganci_stampa::Immagine_Grafico();
  EXPECT_EQ(img.width(), 300);
  EXPECT_EQ(img.height(), 150);
  agganci_stampa::Prepara_Grafico(false);
  EXPECT_TRUE(f.pnlDecod->isVisible());
  EXPECT_FALSE(f.Enabled());

  // The toolbar's print key prints every page, whatever range the dialog used last (the grid is
  // empty here: nothing is printed and no message shown).
  f.SetEnabled(true);
  Stampa_Da_Pagina = 3;
  Stampa_A_Pagina = 4;
  f.Esegui_Pulsante(f.Toolbar1->Buttons("Stampa"), ui::vbLeftButton);
  EXPECT_EQ(Stampa_Da_Pagina, 0);
  EXPECT_EQ(Stampa_A_Pagina, 0);
  EXPECT_EQ(host.pending(), 0u);
  agganci_stampa::reset();
  agganci::reset();
}

}  // namespace
}  // namespace kyx::test
