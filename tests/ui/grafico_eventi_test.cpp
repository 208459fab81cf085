// The chart's events on the main window: decoding under the pointer, the click that filters and
// drills, presses that sort or recolour, and paging with the chart's scroll bar.
#include "platform/host/colour_dialog.h"
#include "platform/ui/colours.h"
#include "platform/ui/vb_events.h"
#include "tests/support/risultato_grafico.h"
#include "tests/ui/ambiente_ui.h"
#include "views/grafico.h"

namespace kyx::test {
namespace {

class GraficoEventi : public AmbienteUi {
 protected:
  GraficoEventi() {
    grafico::reset();
    f = &Carica();  // its load reads the chart settings: the fixture's come after
    Modello_Grafico();
    Col_Formato[4] = "#,##0.0";
    f->Grafico->resize(480, 300);
    Risultato_Grafico(5);
    Grafico_Visibile = true;
    Visualizza_Grafico();
    agganci_base::Carica_Filtro_Modifica = [this](int16_t k, const std::string& v1, const std::string& v2,
                                                  uint8_t op, const std::string& cmd, bool agg) {
      traccia.push_back("Filtro " + std::to_string(k) + " " + v1 + " " + v2 + " " + std::to_string(op) +
                        " " + cmd + (agg ? " S" : " N"));
    };
    agganci_base::Carica_da_Drill = [this](int16_t k, const std::string& e) {
      traccia.push_back("Drill " + std::to_string(k) + " " + e);
    };
    agganci_base::Visualizza_Ordina = [this] { traccia.push_back("Ordina " + std::to_string(Colonna_Corrente)); };
    traccia.clear();
  }
  ~GraficoEventi() override {
    host::set_colour_dialog(nullptr);
    Rs_Griglia.reset();
    grafico::reset();
  }

  // Centre of a drawn part.
  QPointF Centro(int part, int series, int point) const {
    const ui::ChartLayout l = f->Grafico->Layout();
    for (const auto& r : l.regions) {
      if (r.hit.part == part && r.hit.series == series && r.hit.point == point && r.path.isEmpty()) {
        return QPointF(r.rect.left() + r.rect.width() / 2, r.rect.top() + r.rect.height() / 2);
      }
    }
    ADD_FAILURE() << "no part " << part << " " << series << " " << point;
    return {};
  }
  void Muovi(const QPointF& p) { f->Grafico_MouseMove(0, 0, p.x(), p.y()); }
  std::array<std::string, 4> Pannello() const {
    return {Testo_Etichetta(f->lblX), Testo_Etichetta(f->lblXDec), Testo_Etichetta(f->lblY),
            Testo_Etichetta(f->lblZ)};
  }

  FrmBase* f = nullptr;
};

TEST_F(GraficoEventi, PointerDecodesTheBarUnderIt) {
  Muovi(Centro(ui::kPartPoint, 2, 3));  // series "Reso", third row: A3 with 97
  EXPECT_EQ(Pannello(), (std::array<std::string, 4>{"A3", "Area 3   ", "Valore = 97.0", "Reso anno"}));
  Muovi(QPointF(1, 1));  // the background gives the hints back
  EXPECT_EQ(Pannello(), (std::array<std::string, 4>{"posizionare il mouse", "per ottenere la decodifica",
                                                    "dell'elemento del grafico", ""}));
  // Series reversed: the first chart series is the last value column.
  Grafico_Serie = true;
  Visualizza_Grafico();
  Muovi(Centro(ui::kPartPoint, 1, 2));
  EXPECT_EQ(Pannello()[2], "Valore = 98.0");
  // Series in rows: the series is the record, the point the column; no description column.
  Grafico_Serie = false;
  Grafico_In_Righe = true;
  Grafico_Chiave_Descrizione = -1;
  Visualizza_Grafico();
  Muovi(Centro(ui::kPartPoint, 4, 1));
  EXPECT_EQ(Pannello(), (std::array<std::string, 4>{"A4", " ", "Valore = 40", "A4"}));
}

// A click hands the decoded element to the filter panel and, in the drilling mouse modes, drills
// with the key of the category column and the element's stored code, as a press on its cell does.
TEST_F(GraficoEventi, ClickFiltersAndDrillsLikeTheCell) {
  Col_Chiave[1] = 7;
  Liv_Riga_Chiave[0] = 7;
  Operatore_Filtro = 1;
  Modo_Griglia = 3;
  struct Caso {
    uint8_t modo;
    std::vector<std::string> atteso;
  } casi[] = {
      {1, {"Filtro 7 A2 A2 1 E* S"}},
      {2, {"Filtro 7 A2 A2 1 E* S"}},
      {3, {"Filtro 7 A2 A2 1 E* S", "Drill 7 A2"}},
      {4, {"Filtro 7 A2 A2 1 E* S", "Drill 7 A2"}},
  };
  for (const Caso& c : casi) {
    Funzione_Mouse = c.modo;
    Muovi(Centro(ui::kPartPoint, 1, 2));
    traccia.clear();
    f->Grafico_Click();
    EXPECT_EQ(traccia, c.atteso) << int{c.modo};
  }
  // A row-level key column takes its key from the row key, as the cell does.
  Col_Chiave[1] = -2;
  auto& rs = dynamic_cast<data::StaticRecordset&>(*Rs_Griglia);
  rs.SetAbsolutePosition(2);
  rs.Set(0, data::Value(std::string("00000221101")));
  rs.Update();
  Muovi(Centro(ui::kPartPoint, 1, 2));
  traccia.clear();
  f->Grafico_Click();
  EXPECT_EQ(traccia.back(), "Drill 101 A2");
  // With the hints shown a click does nothing.
  Muovi(QPointF(1, 1));
  traccia.clear();
  f->Grafico_Click();
  EXPECT_TRUE(traccia.empty());
}

// The panel shows the element in its key's format; the filter gets the stored code.
TEST_F(GraficoEventi, ClickFiltersOnTheStoredCodeNotOnItsShownText) {
  Col_Chiave[1] = 7;
  Col_Attributo[1] = "1";
  Col_Formato[1] = "#MID(2,1)#";
  Liv_Riga_Chiave[0] = 7;
  Operatore_Filtro = 1;
  Funzione_Mouse = 1;
  Muovi(Centro(ui::kPartPoint, 1, 2));
  EXPECT_EQ(Pannello()[0], "2");
  traccia.clear();
  f->Grafico_Click();
  EXPECT_EQ(traccia, (std::vector<std::string>{"Filtro 7 A2 A2 1 E* S"}));
}

TEST_F(GraficoEventi, LeftPressSortsRightPressRecolours) {
  const QPointF legenda = Centro(ui::kPartSeries, 2, 0);
  const QPointF etichetta = Centro(ui::kPartLabel, 0, 2);
  f->Grafico_MouseDown(ui::vbLeftButton, 0, legenda.x(), legenda.y());
  f->Grafico_MouseDown(ui::vbLeftButton, 0, etichetta.x(), etichetta.y());
  EXPECT_EQ(traccia, (std::vector<std::string>{"Ordina 4", "Ordina 1"}));

  // Series in rows: a label does nothing, a series sorts on the category.
  Grafico_In_Righe = true;
  Visualizza_Grafico();
  traccia.clear();
  const QPointF etichetta_righe = Centro(ui::kPartLabel, 0, 1);
  f->Grafico_MouseDown(ui::vbLeftButton, 0, etichetta_righe.x(), etichetta_righe.y());
  const QPointF serie_righe = Centro(ui::kPartSeries, 3, 0);
  f->Grafico_MouseDown(ui::vbLeftButton, 0, serie_righe.x(), serie_righe.y());
  EXPECT_EQ(traccia, (std::vector<std::string>{"Ordina 1"}));

  // Right press on a series: the dialog starts from its colour and its answer becomes the pen.
  std::vector<std::pair<int32_t, int32_t>> aperture;
  host::set_colour_dialog([&](int32_t iniziale, int32_t flags) {
    aperture.push_back({iniziale, flags});
    return static_cast<int32_t>(ui::RGB(200, 10, 20));
  });
  const uint32_t prima = f->Grafico->SeriesPenColour(3);
  f->Grafico_MouseDown(ui::vbRightButton, 0, serie_righe.x(), serie_righe.y());
  ASSERT_EQ(aperture.size(), 1u);
  EXPECT_EQ(aperture[0], (std::pair<int32_t, int32_t>{static_cast<int32_t>(prima), 3}));
  EXPECT_EQ(f->Grafico->SeriesPenColour(3), ui::RGB(200, 10, 20));
  // A system colour is turned into its RGB value.
  host::set_colour_dialog([](int32_t, int32_t) { return Colore_OLE(0x80000005); });
  f->Grafico_MouseDown(ui::vbRightButton, 0, serie_righe.x(), serie_righe.y());
  EXPECT_EQ(f->Grafico->SeriesPenColour(3), ui::qcolor_to_ole(ui::ole_to_qcolor(0x80000005)));
  // A right press on a data point or on the background opens nothing.
  const QPointF punto = Centro(ui::kPartPoint, 1, 1);
  f->Grafico_MouseDown(ui::vbRightButton, 0, punto.x(), punto.y());
  f->Grafico_MouseDown(ui::vbRightButton, 0, 1, 1);
  EXPECT_EQ(aperture.size(), 1u);
}

TEST_F(GraficoEventi, ScrollBarPagesUnlessTheGridIsBeingDrawn) {
  Risultato_Grafico(30);
  Elementi_Grafico = 10;
  Prima_Riga = 1;
  Visualizza_Grafico();
  Griglia_In_Aggiornamento = true;
  f->Scroll_G->SetValue(5);
  EXPECT_EQ(Prima_Riga, 1);
  Griglia_In_Aggiornamento = false;
  f->Scroll_G->SetValue(6);
  EXPECT_EQ(Prima_Riga, 6);
  EXPECT_EQ(Grafico_Record.front(), 6);
  EXPECT_EQ(f->Grafico->Data().row_labels.front(), "A6");
  EXPECT_TRUE(f->Enabled());
}

}  // namespace
}  // namespace kyx::test
