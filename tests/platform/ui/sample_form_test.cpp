// Builds a sample form with the layer's controls and saves its picture (sample_form.png in the
// test's build folder) for people to look at.
#include <gtest/gtest.h>

#include <QTest>

#include "platform/ui/colours.h"
#include "platform/ui/flex_grid.h"
#include "platform/ui/image_list.h"
#include "platform/ui/keyed_status_bar.h"
#include "platform/ui/keyed_toolbar.h"
#include "platform/ui/keyed_tree.h"
#include "platform/ui/ky_form.h"
#include "platform/ui/line_control.h"
#include "platform/ui/picture_canvas.h"
#include "platform/ui/progress_bar.h"
#include "platform/ui/standard_images.h"
#include "platform/ui/vb_scroll_bar.h"

namespace kyx::ui {
namespace {

TEST(SampleForm, BuildsAndSavesItsPicture) {
  ImageList images;
  add_standard_images(images);
  KyForm form("frmSample");
  form.resize(720, 420);
  form.SetCaption(" Kyx  -  Vendite");

  auto* bar = new KeyedToolbar(&form);
  bar->SetImageList(&images);
  for (const char* k : {"Uscita", "SInf", "Server", "DatiLocali", "", "Precedente", "Successivo",
                        "Preferiti", "", "Grafico", "Visualizza", "Colonne", "FiltroPulizia",
                        "FiltroTipo", "MouseTipo", "", "Elabora", "SetStampa", "Stampa", "Salva",
                        "Opzioni", "Help", "Help_1"}) {
    const std::string key = k;
    if (key.empty()) {
      bar->Add("", tbrSeparator);
      continue;
    }
    std::string image = key == "Server" ? "Start" : key == "FiltroTipo" ? "FiltroTipo1"
                                         : key == "MouseTipo" ? "MouseTipo1" : key;
    bar->Add(key, tbrDefault, image);
  }
  bar->Buttons("Precedente").SetEnabled(false);
  bar->Buttons("Elabora").SetValue(tbrPressed);
  bar->Move(4, 4);

  auto* status = new KeyedStatusBar(&form);
  for (const char* k : {"Utente", "Ambiente", "Progress", "Numero"}) status->Add(k).SetWidth(80);
  status->Add("Stato").SetAutoSize(sbrSpring);
  status->Add("Data", "", sbrDate).SetAutoSize(sbrContents);
  status->Add("Ora", "", sbrTime).SetAutoSize(sbrContents);
  status->Panels("Utente").SetText(" Mario Rossi ");
  status->Panels("Ambiente").SetText(" Locale ");
  status->Panels("Numero").SetText(" 1.250 ");
  status->Panels("Numero").SetAlignment(sbrRight);
  status->Panels("Stato").SetText("Elaborazione completata");

  const int top = bar->Height() + 8;
  const int h = form.height() - top - status->Height() - 3;
  auto* tree = new KeyedTree(&form);
  tree->SetImageList(&images);
  tree->Move(5, top + 2, 180, h - 4);
  tree->Add("", tvwLast, "A___B_AA_RIF", "Anno riferimento: 2024", "AnnoRiferimento")
      .SetForeColor(0xFF0000);
  tree->Add("", tvwLast, "A___K012", "Agente", "Filtro");
  tree->Add("A___K012", tvwChild, "A___K012R0001I", "Rossi", "Filtro_Uguale").SetForeColor(0xFF0000);
  tree->Add("A___K012", tvwChild, "A___K012R0002N", "Bianchi", "Filtro_Diverso");
  tree->Nodes("A___K012").SetExpanded(true);
  tree->Add("", tvwLast, "A001", "Clienti", "Chiavi").SetExpandedImage("Chiavi1");
  tree->Add("A001", tvwChild, "A001K003", "Provincia", "Filtro_No");
  tree->Nodes("A001").SetExpanded(true);
  tree->Add("", tvwLast, "A002", "Prodotti", "Chiavi").SetExpandedImage("Chiavi1");

  // Sunken frame of four lines around the right pane.
  const int L = 190, W = form.width() - L - 4;
  const uint32_t shadow = 0x80000010, light = 0x80000014;
  struct Edge {
    double x1, y1, x2, y2;
    uint32_t c;
  } edges[] = {{double(L), double(top), double(L + W), double(top), shadow},
               {double(L + W), double(top), double(L + W), double(top + h), light},
               {double(L), double(top + h - 1), double(L + W), double(top + h - 1), light},
               {double(L), double(top), double(L), double(top + h), shadow}};
  for (const Edge& e : edges) {
    auto* line = new LineControl(&form);
    line->SetEnds(e.x1, e.y1, e.x2, e.y2);
    line->SetBorderColor(e.c);
  }

  auto* grid = new FlexGrid(&form);
  grid->Move(L + 1, top + 21, W - 18, h - 40);
  grid->SetCols(4);
  grid->SetRows(1);
  grid->SetFixedCols(0);
  for (int c = 0; c < 4; ++c) grid->SetColWidth(c, c == 0 ? 1800 : 1500);
  grid->SetColAlignment(0, flexAlignLeftCenter);
  for (int c = 1; c < 4; ++c) grid->SetColAlignment(c, flexAlignRightCenter);
  const char* heads[] = {"Agente", "Quantit\xE0", "Importo", "Margine %"};
  for (int c = 0; c < 4; ++c) grid->SetTextMatrix(0, c, heads[c]);
  const char* names[] = {"Rossi", "Bianchi", "Verdi", "Neri", "Gialli", "Blu", "  totale"};
  for (int r = 0; r < 7; ++r) {
    grid->AddItem(std::string(names[r]) + "\t" + std::to_string(120 + r * 37) + "\t" +
                  std::to_string(15000 + r * 1234) + ",00\t" + std::to_string(10 + r) + ",5");
    grid->SetRow(r + 1);
    grid->SetCol(0);
    grid->SetColSel(3);
    const bool odd = (r % 2) == 0;
    grid->SetCellBackColor(r == 6 ? RGB(255, 230, 180) : odd ? RGB(255, 255, 255) : RGB(235, 242, 255));
    grid->SetCellForeColor(RGB(0, 0, 0));
  }
  grid->SetRow(3);
  grid->SetCol(0);
  grid->SetColSel(3);
  grid->SetCellBackColor(0x8000000D);
  grid->SetCellForeColor(0x8000000E);

  auto* vbar = new VbScrollBar(Qt::Vertical, &form);
  vbar->Move(L + W - 17, top + 21, 17, h - 40);
  vbar->SetMin(1);
  vbar->SetMax(1000000);
  vbar->SetLargeChange(20);
  vbar->SetValue(250000);
  auto* hbar = new VbScrollBar(Qt::Horizontal, &form);
  hbar->Move(L + 1, top + h - 19, W - 18, 17);
  hbar->SetMin(1);
  hbar->SetMax(4);

  // Caption strip drawn on a picture canvas, with a sort glyph.
  auto* head = new PictureCanvas(&form);
  head->Move(L + 1, top + 1, W - 1, 19);
  head->SetBackColor(0x8000000F);
  head->SetForeColor(0x80000012);
  head->Line(0, 0, W - 2, 18, 0x80000014, LineBox::B);
  head->Line(0, 18, W - 1, 18, 0x80000010);
  head->SetCurrentX(6);
  head->SetCurrentY(2);
  head->Print("Risultato: vendite per agente", false);
  for (int i = 0; i < 4; ++i) head->Line(W - 20 + i, 12 - i, W - 12 - i, 12 - i, 0x80000015);

  auto* progress = new ProgressBar(&form);
  progress->Move(L + W - 160, top + 3, 150, 14);
  progress->SetMax(100);
  progress->SetValue(65);

  form.Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  const QPixmap shot = form.grab();
  const QString path = QStringLiteral(KYX_UI_SHOT_DIR "/sample_form.png");
  ASSERT_TRUE(shot.save(path, "PNG"));
  EXPECT_EQ(shot.size(), QSize(720, 420));
  form.Unload();
}

}  // namespace
}  // namespace kyx::ui
