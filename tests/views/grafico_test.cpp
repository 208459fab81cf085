// The chart of the result: the page and its scroll bar, the scale, the percentages, the series, and
// the pictures of every kind compared with stored references.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/modello.h"
#include "common/stato.h"
#include "engine/stato_motore.h"
#include "platform/data/static_recordset.h"
#include "platform/ui/chart.h"
#include "platform/ui/chart_control.h"
#include "tests/support/risultato_grafico.h"
#include "views/grafico.h"

namespace kyx {
namespace {

class Grafico : public ::testing::Test {
 protected:
  void SetUp() override {
    stato::reset();
    modello::reset();
    grafico::reset();
    test::Modello_Grafico();

    chart = std::make_unique<ui::Chart>();
    chart->resize(480, 300);
    scroll = std::make_unique<ui::VbScrollBar>(Qt::Horizontal);
    panel = std::make_unique<ui::PictureCanvas>();
    for (auto& l : labels) l = std::make_unique<ui::VbControl<QLabel>>();
    Grafico_Controlli = {chart.get(), scroll.get(), panel.get(), labels[0].get(),
                         labels[1].get(), labels[2].get(), labels[3].get(), {}};
  }

  void TearDown() override {
    Rs_Griglia.reset();
    grafico::reset();
    modello::reset();
    stato::reset();
  }

  void Risultato(int dettagli, const std::function<data::Value(int, int)>& valore) {
    test::Risultato_Grafico(dettagli, valore);
  }
  void Risultato(int dettagli) { test::Risultato_Grafico(dettagli); }

  // The codes of the charted rows, in page order.
  std::vector<std::string> Codici() const {
    std::vector<std::string> out;
    for (int r = 1; r <= chart->Data().rows; ++r) out.push_back(chart->Data().row_labels[r - 1]);
    return out;
  }

  std::unique_ptr<ui::Chart> chart;
  std::unique_ptr<ui::VbScrollBar> scroll;
  std::unique_ptr<ui::PictureCanvas> panel;
  std::array<std::unique_ptr<ui::VbControl<QLabel>>, 4> labels;
};

std::vector<std::string> Da(int primo, int ultimo) {
  std::vector<std::string> v;
  for (int i = primo; i <= ultimo; ++i) v.push_back("A" + std::to_string(i));
  return v;
}

TEST_F(Grafico, PageAndScrollBarFollowTheChartableRows) {
  struct Caso {
    int dettagli, elementi, prima;
    int primo, ultimo;  // codes charted
    int max, large;
    bool enabled;
  } casi[] = {
      {12, 12, -1, 1, 12, 1, 1, false},  // 13 records with the total: all details, bar disabled
      {99, 12, 1, 1, 12, 88, 12, true},
      {99, 12, 88, 88, 99, 88, 12, true},  // the last page ends on the last detail row
      {99, 80, 1, 1, 80, 20, 19, true},    // large change capped at max - min
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(std::to_string(c.dettagli) + "/" + std::to_string(c.elementi) + "/" +
                 std::to_string(c.prima));
    Risultato(c.dettagli);
    Elementi_Grafico = static_cast<int16_t>(c.elementi);
    Prima_Riga = c.prima;
    Visualizza_Grafico();
    EXPECT_EQ(Codici(), Da(c.primo, c.ultimo));
    EXPECT_EQ(scroll->Min(), 1);
    EXPECT_EQ(scroll->Max(), c.max);
    EXPECT_EQ(scroll->LargeChange(), c.large);
    EXPECT_EQ(scroll->isEnabled(), c.enabled);
    EXPECT_TRUE(chart->Visible());
    EXPECT_EQ(Testo_Etichetta(labels[0].get()), "posizionare il mouse");
  }
}

// After a sort the grand total may stand anywhere: it is left out and the last record charted.
TEST_F(Grafico, GrandTotalIsLeftOutWhereverTheSortPutsIt) {
  Risultato(5);
  auto& rs = dynamic_cast<data::StaticRecordset&>(*Rs_Griglia);
  ASSERT_TRUE(rs.SetSort("c000 DESC").ok());  // the total first, then A5 .. A1
  Visualizza_Grafico();
  EXPECT_EQ(Codici(), (std::vector<std::string>{"A5", "A4", "A3", "A2", "A1"}));
  EXPECT_EQ(Grafico_Record, (std::vector<int32_t>{2, 3, 4, 5, 6}));
  // Without the total (a row filter) every row is charted, the last one included.
  ASSERT_TRUE(rs.SetFilter("c000 <> '9999994'").ok());
  Numero_Record = static_cast<int32_t>(rs.RecordCount());
  Visualizza_Grafico();
  EXPECT_EQ(Codici().size(), 5u);
  EXPECT_EQ(Codici().back(), "A1");
}

TEST(GraficoScala, StepAndAxisEnds) {
  struct Caso {
    double massimo, minimo, passo, basso, alto;
  } casi[] = {
      {850, 0, 10, 0, 860},
      {1000, 0, 10, 0, 1010},  // strictly greater: 1000 keeps step 10
      {20000, -3000, 1000, -40, 210},
      {5000000, 0, 100000, 0, 510},
      {200000000, 0, 10000000, 0, 210},
  };
  for (const Caso& c : casi) {
    const Scala_Grafico s = Calcola_Scala(c.massimo, c.minimo);
    EXPECT_EQ(s.Passo, c.passo) << c.massimo;
    EXPECT_EQ(s.Minimo, c.basso) << c.massimo;
    EXPECT_EQ(s.Massimo, c.alto) << c.massimo;
  }
}

TEST_F(Grafico, ValuesArePlottedInUnitsOfTheStep) {
  Risultato(3, [](int i, int c) { return c == 3 ? data::Value(i * 10000.0) : data::Value(-3000.0 * (c == 4)); });
  Visualizza_Grafico();
  const ui::ChartData& d = chart->Data();
  EXPECT_EQ(d.value_min, -40);
  EXPECT_EQ(d.value_max, 310);  // 30000: step 1000, high 30 + 1
  EXPECT_EQ(d.Cell(2, 1), 200);
  EXPECT_EQ(d.Cell(2, 2), -30);
}

// The percentage divides by the column's largest detail value itself: that value charts 100, a
// maximum of 2 works, and a maximum not above 0 charts 0.
TEST_F(Grafico, PercentagesOfTheColumnMaximum) {
  Grafico_Percentuale = true;
  Risultato(3, [](int i, int c) {
    if (c == 3) return data::Value(i == 3 ? 502.0 : 251.0);
    if (c == 4) return data::Value(static_cast<double>(i % 3));  // 1, 2, 0: maximum 2
    return data::Value(0.0);
  });
  Col_Visibile[5] = 2;
  Visualizza_Grafico();
  const ui::ChartData& d = chart->Data();
  EXPECT_EQ(d.value_min, 0);
  EXPECT_EQ(d.value_max, 100);
  EXPECT_DOUBLE_EQ(d.Cell(3, 1), 100);
  EXPECT_DOUBLE_EQ(d.Cell(1, 1), 50);
  EXPECT_DOUBLE_EQ(d.Cell(1, 2), 50);
  EXPECT_DOUBLE_EQ(d.Cell(2, 2), 100);
  EXPECT_DOUBLE_EQ(d.Cell(1, 3), 0);  // column of zeros
}

TEST_F(Grafico, SeriesAreTheShownValueColumns) {
  Risultato(2, [](int i, int c) { return c == 4 && i == 2 ? data::Value() : data::Value(c * 1.0); });
  Col_Visibile[5] = 2;
  Grafico_Serie = true;
  Visualizza_Grafico();
  const ui::ChartData& d = chart->Data();
  ASSERT_EQ(Grafico_Righe, 3);
  EXPECT_EQ(Grafico_Serie_Stato[0], 3);
  EXPECT_EQ(Grafico_Serie_Stato[2], 5);
  // Reversed: the first shown column fills chart column 3, its legend follows.
  EXPECT_EQ(d.LegendText(3), "Venduto");
  EXPECT_EQ(d.LegendText(2), "Reso anno");
  EXPECT_EQ(d.Cell(1, 3), 3);
  EXPECT_EQ(d.Cell(2, 2), 0);  // Null charts 0

  // A hidden column is neither a series nor in the scale; series in rows name the rows.
  Col_Visibile[5] = 1;
  Grafico_Serie = false;
  Grafico_In_Righe = true;
  Visualizza_Grafico();
  EXPECT_EQ(Grafico_Righe, 2);
  EXPECT_EQ(chart->Data().LegendText(1), "A1  Area 1");
  EXPECT_EQ(chart->Data().column_labels[1], "Reso anno");
}

// A Null key leaves its row's label empty (in rows mode the legend keeps the description); with
// no detail value at all the axis runs from 0 to 10.
TEST_F(Grafico, NullKeyAndNoValues) {
  Risultato(2, [](int, int) { return data::Value(); });
  auto& rs = dynamic_cast<data::StaticRecordset&>(*Rs_Griglia);
  rs.SetAbsolutePosition(1);
  rs.Set(1, data::Value());
  rs.Update();
  Visualizza_Grafico();
  EXPECT_EQ(Codici(), (std::vector<std::string>{"", "A2"}));
  EXPECT_EQ(chart->Data().value_min, 0);
  EXPECT_EQ(chart->Data().value_max, 10);
  EXPECT_EQ(chart->Data().Cell(1, 1), 0);
  Grafico_In_Righe = true;
  Visualizza_Grafico();
  EXPECT_EQ(chart->Data().LegendText(1), "  Area 1");
}

TEST_F(Grafico, NothingToChartLeavesItHidden) {
  Risultato(3);
  Grafico_Righe = 7;
  Grafico_Chiave = -1;
  Visualizza_Grafico();
  EXPECT_FALSE(chart->Visible());
  EXPECT_FALSE(panel->Visible());
  EXPECT_EQ(Grafico_Righe, 7);
}

// ---- Pictures ---------------------------------------------------------------------------------------

std::string Cartella_Riferimenti() { return std::string(KYX_SOURCE_DIR) + "/tests/fixtures/chart/"; }

// Share of pixels whose colour differs by more than a small amount in any channel.
double Differenza(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return 1;
  int64_t diverse = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      if (std::abs(qRed(p) - qRed(q)) > 24 || std::abs(qGreen(p) - qGreen(q)) > 24 ||
          std::abs(qBlue(p) - qBlue(q)) > 24) {
        ++diverse;
      }
    }
  }
  return static_cast<double>(diverse) / (a.width() * a.height());
}

// Paints the chart offscreen and compares it with its reference; KYX_UPDATE_GOLDEN=1 writes the
// references instead.
void Confronta(const ui::Chart& chart, const std::string& nome) {
  QImage img(chart.size(), QImage::Format_RGB32);
  img.fill(Qt::white);
  {
    QPainter p(&img);
    chart.PaintOn(p, QRectF(QPointF(0, 0), QSizeF(chart.size())));
  }
  const std::string file = Cartella_Riferimenti() + nome + ".png";
  if (std::getenv("KYX_UPDATE_GOLDEN")) {
    std::filesystem::create_directories(Cartella_Riferimenti());
    ASSERT_TRUE(img.save(QString::fromStdString(file)));
    return;
  }
  QImage ref(QString::fromStdString(file));
  ASSERT_FALSE(ref.isNull()) << "missing reference " << file;
  EXPECT_LT(Differenza(img, ref.convertToFormat(QImage::Format_RGB32)), 0.005) << nome;
}

TEST_F(Grafico, PicturesOfEveryKind) {
  Risultato(6, [](int i, int c) { return data::Value(c == 3 ? 120.0 * i : 400.0 - 35 * i); });
  const int tipi[] = {0, 1, 2, 3, 4, 5, 6, 7, 14};
  for (int tipo : tipi) {
    Grafico_Tipo = static_cast<int16_t>(tipo);
    Visualizza_Grafico();
    Confronta(*chart, "tipo_" + std::to_string(tipo));
  }
  Grafico_Tipo = 1;
  Grafico_Percentuale = true;
  Visualizza_Grafico();
  Confronta(*chart, "percentuale");
  Grafico_Percentuale = false;
  Grafico_In_Righe = true;
  Grafico_Divisioni_X = false;
  Grafico_Etichette_Y2 = false;
  Visualizza_Grafico();
  Confronta(*chart, "in_righe");
}

// Paging with the scroll bar moves the chart's window, and the picture with it.
TEST_F(Grafico, PagesSteppedWithTheScrollBar) {
  Risultato(30);
  Elementi_Grafico = 10;
  Visualizza_Grafico();
  Confronta(*chart, "pagina_1");
  Prima_Riga = 11;
  Visualizza_Grafico();
  EXPECT_EQ(Codici(), Da(11, 20));
  EXPECT_EQ(scroll->Value(), 11);
  Confronta(*chart, "pagina_11");
}

// ---- Hit test ---------------------------------------------------------------------------------------

// A bar covers [left, right) x [top, bottom) exactly; the pixel outside each edge is not it. In
// 3-D the front series is checked (the ones behind are partly covered by it).
TEST_F(Grafico, HitTestIsExactOnBarEdges) {
  Risultato(4);
  for (int tipo : {1, 0}) {
    SCOPED_TRACE(tipo);
    Grafico_Tipo = static_cast<int16_t>(tipo);
    Visualizza_Grafico();
    const ui::ChartLayout layout = chart->Layout();
    for (int s = 1; s <= (tipo == 1 ? 2 : 1); ++s) {
      for (int p = 1; p <= 4; ++p) {
        const ui::ChartRegion* r = nullptr;
        for (const auto& reg : layout.regions) {
          if (reg.hit.part == ui::kPartPoint && reg.hit.series == s && reg.hit.point == p &&
              reg.path.isEmpty()) {
            r = &reg;
          }
        }
        ASSERT_NE(r, nullptr);
        const QRect b = r->rect;
        const auto at = [&](int x, int y) { return chart->HitTest(x, y); };
        const ui::ChartHit inside[] = {at(b.left(), b.top() + b.height() / 2),
                                       at(b.left() + b.width() - 1, b.top() + b.height() - 1),
                                       at(b.left() + b.width() / 2, b.top() + b.height() - 1)};
        for (const ui::ChartHit& h : inside) {
          EXPECT_EQ(h.part, ui::kPartPoint);
          EXPECT_EQ(h.series, s);
          EXPECT_EQ(h.point, p);
        }
        const ui::ChartHit left = at(b.left() - 1, b.top() + b.height() / 2);
        const ui::ChartHit below = at(b.left() + b.width() / 2, b.top() + b.height());
        EXPECT_FALSE(left.part == ui::kPartPoint && left.series == s && left.point == p);
        EXPECT_FALSE(below.part == ui::kPartPoint && below.series == s && below.point == p);
      }
    }
  }
}

TEST_F(Grafico, HitTestFindsLegendLabelsAndLines) {
  Risultato(4);
  Grafico_Tipo = 3;
  Visualizza_Grafico();
  const ui::ChartLayout layout = chart->Layout();
  const ui::ChartRegion* legenda = nullptr;  // the legend entry (the line is a path)
  for (const auto& r : layout.regions) {
    if (r.hit.part == ui::kPartSeries && r.hit.series == 2 && r.path.isEmpty()) legenda = &r;
  }
  ASSERT_NE(legenda, nullptr);
  const ui::ChartHit h = chart->HitTest(legenda->rect.center().x(), legenda->rect.center().y());
  EXPECT_EQ(h.part, ui::kPartSeries);
  EXPECT_EQ(h.series, 2);
  const ui::ChartRegion* etichetta = layout.Find(ui::kPartLabel, 0, 3);
  ASSERT_NE(etichetta, nullptr);
  EXPECT_EQ(chart->HitTest(etichetta->rect.center().x(), etichetta->rect.center().y()).part, ui::kPartLabel);
  EXPECT_EQ(chart->HitTest(2, 2).part, ui::kPartNone);
  // On the line between two markers: the series as a whole.
  const ui::ChartRegion* m1 = layout.Find(ui::kPartPoint, 1, 1);
  const ui::ChartRegion* m2 = layout.Find(ui::kPartPoint, 1, 2);
  ASSERT_TRUE(m1 && m2);
  const QPointF mezzo = (QRectF(m1->rect).center() + QRectF(m2->rect).center()) / 2;
  const ui::ChartHit linea = chart->HitTest(mezzo.x(), mezzo.y());
  EXPECT_EQ(linea.part, ui::kPartSeries);
  EXPECT_EQ(linea.series, 1);
}

}  // namespace
}  // namespace kyx
