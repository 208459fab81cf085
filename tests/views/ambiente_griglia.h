#pragma once
// A result grid on its own: a real FlexGrid and its two scroll bars in an offscreen window, put
// into the views' slots, over a fabricated display recordset. Column 1 is a key column (key 1),
// column 2 a value column with format "0", column 3 a hidden value column; row keys are given by
// each test. 15 twips per pixel, distinct colour pairs so that each pair can be told apart.
#include <gtest/gtest.h>

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "common/modello.h"
#include "common/stato.h"
#include "engine/stato_motore.h"
#include "platform/data/static_recordset.h"
#include "platform/ui/flex_grid.h"
#include "platform/ui/units.h"
#include "platform/ui/vb_scroll_bar.h"
#include "tests/common/ambiente.h"
#include "views/agganci_viste.h"
#include "views/griglia.h"
#include "views/stato_griglia.h"

namespace kyx::test {

class AmbienteGriglia : public Ambiente {
 protected:
  AmbienteGriglia() {
    stato_motore::reset();
    stato_griglia::reset();
    agganci_viste::reset();
    ui::set_twips_per_pixel(15, 15);
    Twips_Pixel_X = Twips_Pixel_Y = 15;
    finestra.resize(900, 700);
    grid = new ui::FlexGrid(&finestra);
    grid->setGeometry(0, 0, 600, 300);
    sv = new ui::VbScrollBar(Qt::Vertical, &finestra);
    so = new ui::VbScrollBar(Qt::Horizontal, &finestra);
    agganci_viste::Griglia = [this] { return agganci_viste::Controlli{grid, sv, so}; };
    Font_Nome = "DejaVu Sans";
    Font_Dimensione = 8;
    for (size_t i = 0; i < Colori.size(); ++i) Colori[i] = static_cast<int32_t>(0x100 + i);
    for (size_t i = 0; i < Colori_Livello.size(); ++i) Colori_Livello[i] = static_cast<int32_t>(0x1000 + i);
    Modo_Griglia = 3;
    Numero_Colonne = 3;
    Righe_Intestazione = 1;
    for (int c = 0; c <= 3; ++c) {
      Col_Visibile[c] = 2;
      Col_Larghezza[c] = 1500;
      Col_Chiave[c] = -1;
      Col_Descrizione[c] = -1;
      Col_Intestazione[c] = "Col " + std::to_string(c);
    }
    Col_Tipo[0] = 10;
    Col_Tipo[1] = 10;
    Col_Chiave[1] = 1;
    Col_Formato[2] = "0";
    Col_Formato[3] = "0";
    Col_Visibile[3] = 1;
    Col_Allineamento[2] = 7;
    Colonna_Ordinamento = 0;
    Verso_Ordinamento = " ASC";
  }
  ~AmbienteGriglia() override {
    stato_motore::reset();
    stato_griglia::reset();
    agganci_viste::reset();
    ui::set_twips_per_pixel(0, 0);
  }

  // A result of the given row keys; record n (1-based) holds code "C<n>" and value n.
  void Risultato(const std::vector<std::string>& chiavi) {
    auto rs = std::make_unique<data::StaticRecordset>();
    rs->AppendField(data::TextField("c000", 20));
    rs->AppendField(data::TextField("c001", 5000));
    rs->AppendField(data::DoubleField("c002"));
    rs->AppendField(data::DoubleField("c003"));
    ASSERT_TRUE(rs->OpenFabricated().ok());
    int n = 0;
    for (const std::string& k : chiavi) {
      ++n;
      rs->AddNew();
      rs->SetText(0, k);
      rs->SetText(1, "C" + std::to_string(n));
      rs->Set(2, data::Value(static_cast<double>(n)));
      rs->Set(3, data::Value(static_cast<double>(-n)));
      ASSERT_TRUE(rs->Update().ok());
    }
    Numero_Record = static_cast<int32_t>(rs->RecordCount());
    Rs_Griglia = std::move(rs);
    Nuovo();
  }
  // N detail rows.
  void Dettagli(int n) { Risultato(std::vector<std::string>(static_cast<size_t>(n), "0000012")); }

  // What callers set before showing a new recordset or column model.
  static void Nuovo() {
    Prima_Riga = -1;
    Riga_Evidenziata = -1;
    Scorrimento_Colonne = -1;
  }

  // The grid's data rows with their text in column 1 (the record's code).
  std::vector<std::string> Codici() const {
    std::vector<std::string> out;
    for (int r = 1; r < grid->Rows(); ++r) out.push_back(grid->TextMatrix(r, 1));
    return out;
  }
  // Colours of cell (r, c) as "fore/back" of the colour tables: "C<i>" for Colori(i), "L<i>" for
  // Colori_Livello(i), "H" for the selection colours.
  std::string Colore(int r, int c) const {
    grid->SetRow(r);
    grid->SetCol(c);
    const auto nome = [](uint32_t v) -> std::string {
      if (v == 0x8000000E || v == 0x8000000D) return "H";
      if (v >= 0x1000) return "L" + std::to_string(v - 0x1000);
      if (v >= 0x100) return "C" + std::to_string(v - 0x100);
      return "?";
    };
    return nome(grid->CellForeColor()) + "/" + nome(grid->CellBackColor());
  }

  QWidget finestra;
  ui::FlexGrid* grid;
  ui::VbScrollBar* sv;
  ui::VbScrollBar* so;
};

}  // namespace kyx::test
