// The row colours of one result, row by row, in the grid (a real FlexGrid), the web page, the
// Excel 97 and the Open XML workbook: for a layout of row levels (L, the level in the key's 8th
// character) and one of row-level layouts (R, the level in the 12th).
#include <gtest/gtest.h>

#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "common/modello.h"
#include "common/stato.h"
#include "engine/stato_motore.h"
#include "export/esporta_htm.h"
#include "export/esporta_xls.h"
#include "export/esporta_xlsx.h"
#include "platform/data/static_recordset.h"
#include "platform/files/files.h"
#include "platform/ui/flex_grid.h"
#include "platform/ui/units.h"
#include "platform/ui/vb_scroll_bar.h"
#include "tests/export/formati/ambiente_formati.h"
#include "views/agganci_viste.h"
#include "views/griglia.h"
#include "views/stato_griglia.h"

namespace kyx::test {
namespace {

// Colours of the workbook's standard palette (RRGGBB), so that the Excel 97 file can hold each
// exactly; the palette's last entries, which the export may take for other colours, are left.
constexpr uint32_t kSfondi[] = {0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0x800000,
                                0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080, 0x9999FF,
                                0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF, 0x00CCFF, 0xCCFFCC,
                                0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99, 0x3366FF, 0x33CCCC, 0x99CC00};

int32_t Ole(uint32_t rgb) { return static_cast<int32_t>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | (rgb >> 16)); }
std::string Esadecimale(uint32_t rgb) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%06X", rgb & 0xFFFFFF);
  return buf;
}

class Colori_Righe : public AmbienteFormati {
 protected:
  void SetUp() override {
    AmbienteFormati::SetUp();
    // Black texts; every background of a row kind a colour of its own.
    size_t k = 0;
    for (size_t i = 0; i < Colori.size(); i += 2) {
      Colori[i] = 0;
      Colori[i + 1] = Ole(kSfondi[k++ % std::size(kSfondi)]);
    }
    for (size_t i = 0; i < Colori_Livello.size(); i += 2) {
      Colori_Livello[i] = 0;
      Colori_Livello[i + 1] = Ole(kSfondi[k++ % std::size(kSfondi)]);
    }
    ui::set_twips_per_pixel(15, 15);
    Twips_Pixel_X = Twips_Pixel_Y = 15;
    finestra.resize(900, 700);
    grid = new ui::FlexGrid(&finestra);
    grid->setGeometry(0, 0, 800, 600);
    sv = new ui::VbScrollBar(Qt::Vertical, &finestra);
    so = new ui::VbScrollBar(Qt::Horizontal, &finestra);
    agganci_viste::Griglia = [this] { return agganci_viste::Controlli{grid, sv, so}; };
  }
  void TearDown() override {
    agganci_viste::reset();
    stato_griglia::reset();
    ui::set_twips_per_pixel(0, 0);
    AmbienteFormati::TearDown();
  }

  // The background of every row in the grid, as RRGGBB.
  std::vector<std::string> Griglia() {
    Prima_Riga = -1;
    Riga_Evidenziata = -1;
    Scorrimento_Colonne = -1;
    Visualizza_Griglia();
    std::vector<std::string> out;
    for (int r = 1; r < grid->Rows() && static_cast<int64_t>(out.size()) < Rs_Griglia->RecordCount(); ++r) {
      grid->SetRow(r);
      grid->SetCol(1);
      const uint32_t c = grid->CellBackColor();
      out.push_back(Esadecimale(((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF)));
    }
    return out;
  }
  // The backgrounds of a file's last n rows, as the reader finds them.
  std::vector<std::string> File(const std::string& tipo, const std::string& file, size_t n) {
    const std::vector<std::string> tutte = Righe_Lettore(std::string(KYX_LEGGI_CELLE) + " colori-" + tipo, file);
    EXPECT_GE(tutte.size(), n) << tipo;
    return std::vector<std::string>(tutte.end() - static_cast<std::ptrdiff_t>(std::min(n, tutte.size())), tutte.end());
  }

  void Confronta(const std::string& nome, const std::vector<std::string>& chiavi) {
    SCOPED_TRACE(nome);
    Risultato_Da_Chiavi(chiavi, "x");
    Numero_Record = static_cast<int32_t>(chiavi.size());
    Col_Larghezza[1] = Col_Larghezza[2] = 1500;
    const std::vector<std::string> griglia = Griglia();
    ASSERT_EQ(griglia.size(), chiavi.size());
    std::string htm = dir.file(nome + ".htm"), xls = dir.file(nome + ".xls"), xlsx = dir.file(nome + ".xlsx");
    Esporta_HTM(htm);
    Esporta_XLS(xls);
    Esporta_XLSX(xlsx);
    const std::vector<std::string> pagina = File("htm", htm, chiavi.size()), libro = File("xls", xls, chiavi.size()),
                                   libro_x = File("xlsx", xlsx, chiavi.size());
    for (size_t i = 0; i < chiavi.size(); ++i) {
      SCOPED_TRACE("row key \"" + chiavi[i] + "\"");
      EXPECT_EQ(pagina[i], griglia[i]) << "web page";
      EXPECT_EQ(libro[i], griglia[i]) << "Excel 97";
      EXPECT_EQ(libro_x[i], griglia[i]) << "Open XML";
    }
  }

  QWidget finestra;
  ui::FlexGrid* grid = nullptr;
  ui::VbScrollBar* sv = nullptr;
  ui::VbScrollBar* so = nullptr;
};

TEST_F(Colori_Righe, GridWebPageAndBothWorkbooksColourEveryRowAlike) {
  // Row levels: head rows and subtotals of levels 1 and 2, details, the grand total.
  Confronta("L", {"00000111", "00000112", "0000012", "0000012", "00000132", "0000012", "00000131", "9999994"});
  // Row-level layouts: the key number in characters 9-11, the level in the 12th.
  Confronta("R", {"000001110011", "000001120022", "00000122   2", "000001220022", "0000012     ", "000001320022",
                  "000001310011", "9999994"});
}

}  // namespace
}  // namespace kyx::test
