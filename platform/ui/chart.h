#pragma once
// The chart of the main window, drawn by ourselves: a data grid of numbers with row and column
// labels, one series per column (or per row), value axes, a category axis, a legend, and the
// kinds the program offers (bars, ribbons and lines, areas, steps, in 2-D and 3-D, and pies).
//
// The drawing takes any QPainter (a widget, an image, a printer page), so the printed chart is
// the same picture as the one on screen. Drawing also yields the layout of every part, from which
// the hit test answers which part lies under a point: the test is exact to the pixel, a bar
// covering the half-open pixel range [left, right) x [top, bottom) of its integer rectangle.
//
// Part kinds of the hit test, the numbers the program's events compare:
//   5 a series as a whole (its legend entry, the line of a line chart)
//   7 a data point (a bar, a slice, a step, the marker of a line, the column of an area)
//  10 an axis label (category or value axis)
//   0 nothing (the background, the walls, the legend's free space)
#include <QColor>
#include <QPainterPath>
#include <QRectF>
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class QPainter;

namespace kyx::ui {

// Chart kinds by the program's type codes.
inline constexpr int kChartBars3D = 0;
inline constexpr int kChartBars2D = 1;
inline constexpr int kChartRibbons3D = 2;
inline constexpr int kChartLines2D = 3;
inline constexpr int kChartAreas3D = 4;
inline constexpr int kChartAreas2D = 5;
inline constexpr int kChartSteps3D = 6;
inline constexpr int kChartSteps2D = 7;
inline constexpr int kChartPie2D = 14;

inline constexpr int kPartNone = 0;
inline constexpr int kPartSeries = 5;
inline constexpr int kPartPoint = 7;
inline constexpr int kPartLabel = 10;

// Axes by number: 0 category (X), 1 value (Y), 2 second value (Y2), 3 depth (Z).
struct ChartAxis {
  bool hide_labels = false;
  bool grid_lines = true;       // major grid pen solid (true) or none
  int divisions_per_tick = 1;   // 1 = one tick per category; more = a single tick
  QColor colour = Qt::black;    // pen, grid and label colour
};

struct ChartData {
  int type = kChartBars3D;
  // The data grid, rows x columns, 1-based like the component's; cells default to 0.
  int rows = 0;
  int columns = 0;
  std::vector<double> cells;             // row-major, (row - 1) * columns + (column - 1)
  std::vector<std::string> row_labels;   // Windows-1252
  std::vector<std::string> column_labels;
  // Rows are the series (and columns the categories) instead of the reverse.
  bool series_in_rows = false;
  // Legend text per series (index series - 1).
  std::vector<std::string> legend;
  bool show_legend = true;
  // Value axis scale.
  double value_min = 0;
  double value_max = 100;
  int value_divisions = 10;
  std::array<ChartAxis, 4> axes;
  QColor text_colour = Qt::black;   // legend text
  QColor wall_colour = Qt::white;   // wall and background
  // Pen colours the user chose for some series (series number -> colour).
  std::map<int, QColor> series_colours;
  // Plot and legend rectangles in the drawing's pixels; an empty one takes the whole area
  // (plot) or the right quarter (legend).
  QRectF plot_rect;
  QRectF legend_rect;

  // Resizes the grid, keeping nothing: every cell 0, every label empty.
  void SetSize(int rows, int columns);
  double Cell(int row, int column) const;
  void SetCell(int row, int column, double value);
  int SeriesCount() const { return series_in_rows ? rows : columns; }
  int PointCount() const { return series_in_rows ? columns : rows; }
  // Value of a series at a point (1-based).
  double Value(int series, int point) const;
  // Category label of a point.
  std::string PointLabel(int point) const;
  std::string LegendText(int series) const;
  void SetLegendText(int series, const std::string& text);
  // The colour a series is drawn in: the user's, or the palette's.
  QColor SeriesColour(int series) const;
};

// What lies under a point.
struct ChartHit {
  int part = kPartNone;
  int series = 0;  // 1-based, 0 when the part has none
  int point = 0;
};

// One region of the drawn chart, in drawing order.
struct ChartRegion {
  ChartHit hit;
  QRect rect;          // used when path is empty: the half-open integer rectangle
  QPainterPath path;   // a face, a slice, a stroked line
};

struct ChartLayout {
  std::vector<ChartRegion> regions;
  QRectF front;  // the plot's front plane
  // The region drawn last wins: the one on top.
  ChartHit HitTest(double x, double y) const;
  // The region of a part, or nullptr (for tests and printing).
  const ChartRegion* Find(int part, int series, int point) const;
};

// Lays the chart out in `area` and, when painter is given, draws it there. The fonts are DejaVu
// Sans at fixed pixel sizes, so a picture does not depend on the machine's default font.
ChartLayout RenderChart(const ChartData& data, const QRectF& area, QPainter* painter);

}  // namespace kyx::ui
