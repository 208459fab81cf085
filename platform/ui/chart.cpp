#include "platform/ui/chart.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPathStroker>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

#include "platform/text/cp1252.h"

namespace kyx::ui {

// ---- Data grid ------------------------------------------------------------------------------------

void ChartData::SetSize(int r, int c) {
  rows = std::max(0, r);
  columns = std::max(0, c);
  cells.assign(static_cast<size_t>(rows) * static_cast<size_t>(columns), 0.0);
  row_labels.assign(static_cast<size_t>(rows), "");
  column_labels.assign(static_cast<size_t>(columns), "");
  legend.assign(static_cast<size_t>(std::max(rows, columns)), "");
}

double ChartData::Cell(int row, int column) const {
  if (row < 1 || row > rows || column < 1 || column > columns) return 0;
  return cells[static_cast<size_t>(row - 1) * columns + (column - 1)];
}

void ChartData::SetCell(int row, int column, double value) {
  if (row < 1 || row > rows || column < 1 || column > columns) return;
  cells[static_cast<size_t>(row - 1) * columns + (column - 1)] = value;
}

double ChartData::Value(int series, int point) const {
  return series_in_rows ? Cell(series, point) : Cell(point, series);
}

std::string ChartData::PointLabel(int point) const {
  const auto& labels = series_in_rows ? column_labels : row_labels;
  return point >= 1 && point <= static_cast<int>(labels.size()) ? labels[point - 1] : "";
}

std::string ChartData::LegendText(int series) const {
  return series >= 1 && series <= static_cast<int>(legend.size()) ? legend[series - 1] : "";
}

void ChartData::SetLegendText(int series, const std::string& text) {
  if (series < 1) return;
  if (static_cast<int>(legend.size()) < series) legend.resize(series);
  legend[series - 1] = text;
}

QColor ChartData::SeriesColour(int series) const {
  auto it = series_colours.find(series);
  if (it != series_colours.end()) return it->second;
  static const QRgb palette[] = {0x9999ff, 0x993366, 0xffffcc, 0xccffff, 0x660066, 0xff8080,
                                 0x0066cc, 0xccccff, 0x000080, 0xff00ff, 0xffff00, 0x00ffff,
                                 0x800080, 0x800000, 0x008080, 0x0000ff};
  return QColor(palette[(std::max(series, 1) - 1) % 16]);
}

// ---- Hit test ------------------------------------------------------------------------------------

namespace {

// The half-open pixel rectangle [left, right) x [top, bottom) from real edges.
QRect PixelRect(double x0, double y0, double x1, double y1) {
  const int l = static_cast<int>(std::lround(std::min(x0, x1)));
  const int r = static_cast<int>(std::lround(std::max(x0, x1)));
  const int t = static_cast<int>(std::lround(std::min(y0, y1)));
  const int b = static_cast<int>(std::lround(std::max(y0, y1)));
  return QRect(l, t, r - l, b - t);
}

bool InPixelRect(const QRect& r, double x, double y) {
  return x >= r.left() && x < r.left() + r.width() && y >= r.top() && y < r.top() + r.height();
}

}  // namespace

ChartHit ChartLayout::HitTest(double x, double y) const {
  for (auto it = regions.rbegin(); it != regions.rend(); ++it) {
    const bool in = it->path.isEmpty() ? InPixelRect(it->rect, x, y)
                                       : it->path.contains(QPointF(x, y));
    if (in) return it->hit;
  }
  return {};
}

const ChartRegion* ChartLayout::Find(int part, int series, int point) const {
  for (const auto& r : regions) {
    if (r.hit.part == part && r.hit.series == series && r.hit.point == point) return &r;
  }
  return nullptr;
}

// ---- Drawing --------------------------------------------------------------------------------------

namespace {

QString Text(const std::string& cp1252) { return QString::fromStdString(text::to_utf8(cp1252)); }

QString Number(double v) {
  if (std::fabs(v - std::round(v)) < 1e-9 && std::fabs(v) < 1e15) {
    return QString::number(static_cast<qlonglong>(std::llround(v)));
  }
  return QString::number(v, 'g', 6);
}

bool Is3D(int type) {
  return type == kChartBars3D || type == kChartRibbons3D || type == kChartAreas3D ||
         type == kChartSteps3D;
}

class Renderer {
 public:
  Renderer(const ChartData& d, const QRectF& area, QPainter* p) : d_(d), area_(area), p_(p) {
    font_.setFamily("DejaVu Sans");
    font_.setPixelSize(11);
    font_.setHintingPreference(QFont::PreferFullHinting);
    fm_ = std::make_unique<QFontMetricsF>(font_);
    if (p_) {
      p_->save();
      p_->setRenderHint(QPainter::Antialiasing, false);
      p_->setRenderHint(QPainter::TextAntialiasing, false);
      p_->setFont(font_);
      p_->setClipRect(area_);
    }
  }
  ~Renderer() {
    if (p_) p_->restore();
  }

  ChartLayout Run() {
    if (p_) p_->fillRect(area_, d_.wall_colour);
    QRectF plot = d_.plot_rect.isEmpty() ? area_ : d_.plot_rect.translated(area_.topLeft());
    if (d_.type == kChartPie2D) {
      Pies(plot);
    } else {
      Axes(plot);
    }
    if (d_.show_legend) Legend();
    return std::move(out_);
  }

 private:
  void Add(int part, int series, int point, const QRect& r) {
    if (r.width() <= 0 || r.height() <= 0) return;
    out_.regions.push_back({{part, series, point}, r, {}});
  }
  void Add(int part, int series, int point, const QPainterPath& path) {
    out_.regions.push_back({{part, series, point}, {}, path});
  }

  double Y(double v) const {
    const double t = (v - lo_) / (hi_ - lo_);
    return front_.bottom() - t * front_.height();
  }
  double Base() const { return Y(std::clamp(0.0, lo_, hi_)); }
  double CategoryLeft(int p) const { return front_.left() + (p - 1) * cw_; }
  double CategoryCentre(int p) const { return CategoryLeft(p) + cw_ / 2; }
  // Offset of series s towards the back: series 1 at the front.
  QPointF Depth(int s) const {
    if (S_ <= 0) return {};
    const double f = static_cast<double>(s - 1) / S_;
    return {f * ddx_, -f * ddy_};
  }
  QPointF Thickness() const {
    if (S_ <= 0) return {};
    return {0.8 * ddx_ / S_, -0.8 * ddy_ / S_};
  }

  void Label(const QRectF& box, const QString& s, int align, int part_point, bool region) {
    if (p_) {
      p_->setPen(d_.axes[0].colour);
      p_->drawText(box, align | Qt::TextSingleLine, s);
    }
    if (region) Add(kPartLabel, 0, part_point, PixelRect(box.left(), box.top(), box.right(), box.bottom()));
  }

  void Axes(const QRectF& plot) {
    S_ = d_.SeriesCount();
    P_ = d_.PointCount();
    lo_ = d_.value_min;
    hi_ = d_.value_max > d_.value_min ? d_.value_max : d_.value_min + 1;
    const int div = std::max(1, d_.value_divisions);
    double label_w = 0;
    for (int i = 0; i <= div; ++i) {
      label_w = std::max(label_w, fm_->horizontalAdvance(Number(lo_ + (hi_ - lo_) * i / div)));
    }
    const double lh = fm_->height();
    const double left = d_.axes[1].hide_labels ? 6 : label_w + 10;
    const double right = d_.axes[2].hide_labels ? 6 : label_w + 10;
    const double bottom = d_.axes[0].hide_labels ? 6 : lh + 8;
    const QRectF R = plot.adjusted(left, lh / 2 + 4, -right, -bottom);
    three_d_ = Is3D(d_.type);
    if (three_d_) {
      const double D = 0.2 * std::min(R.width(), R.height());
      ddx_ = D * std::cos(20 * std::numbers::pi / 180);
      ddy_ = D * std::sin(20 * std::numbers::pi / 180);
    }
    front_ = R.adjusted(0, ddy_, -ddx_, 0);
    out_.front = front_;
    if (front_.width() < 4 || front_.height() < 4) return;
    cw_ = P_ > 0 ? front_.width() / P_ : front_.width();
    const QPointF back(ddx_, -ddy_);

    // Walls and grid lines.
    if (p_) {
      QPen axis_pen(d_.axes[1].colour);
      p_->setPen(axis_pen);
      if (three_d_) {
        p_->drawPolygon(QPolygonF({front_.topLeft() + back, front_.topRight() + back,
                                   front_.bottomRight() + back, front_.bottomLeft() + back}));
        p_->drawPolygon(QPolygonF({front_.bottomLeft(), front_.bottomRight(),
                                   front_.bottomRight() + back, front_.bottomLeft() + back}));
        p_->drawPolygon(QPolygonF({front_.topLeft(), front_.topLeft() + back,
                                   front_.bottomLeft() + back, front_.bottomLeft()}));
      }
      for (int i = 0; i <= div; ++i) {
        const double y = Y(lo_ + (hi_ - lo_) * i / div);
        const bool grid = (d_.axes[1].grid_lines || d_.axes[2].grid_lines) && i > 0;
        if (!grid) continue;
        p_->setPen(QPen(d_.axes[1].colour, 1, Qt::SolidLine));
        if (three_d_) {
          p_->drawLine(QPointF(front_.left(), y), QPointF(front_.left(), y) + back);
          p_->drawLine(QPointF(front_.left(), y) + back, QPointF(front_.right(), y) + back);
        } else {
          p_->drawLine(QPointF(front_.left(), y), QPointF(front_.right(), y));
        }
      }
      if (d_.axes[0].grid_lines && d_.axes[0].divisions_per_tick <= 1) {
        p_->setPen(QPen(d_.axes[0].colour, 1, Qt::SolidLine));
        for (int p = 1; p < P_; ++p) {
          const double x = CategoryLeft(p + 1);
          if (three_d_) {
            p_->drawLine(QPointF(x, front_.bottom()) + back, QPointF(x, front_.top()) + back);
            p_->drawLine(QPointF(x, front_.bottom()), QPointF(x, front_.bottom()) + back);
          } else {
            p_->drawLine(QPointF(x, front_.top()), QPointF(x, front_.bottom()));
          }
        }
      }
      p_->setPen(QPen(d_.axes[1].colour));
      p_->drawLine(front_.topLeft(), front_.bottomLeft());
      p_->setPen(QPen(d_.axes[0].colour));
      p_->drawLine(QPointF(front_.left(), Base()), QPointF(front_.right(), Base()));
      // Ticks on the category axis: one per category, or a single one at each end.
      const int tick_every = d_.axes[0].divisions_per_tick <= 1 ? 1 : std::max(P_, 1);
      for (int p = 0; p <= P_; p += tick_every) {
        const double x = front_.left() + p * cw_;
        p_->drawLine(QPointF(x, front_.bottom()), QPointF(x, front_.bottom() + 3));
      }
    }

    // Value labels, left and right.
    for (int i = 0; i <= div; ++i) {
      const double v = lo_ + (hi_ - lo_) * i / div;
      const double y = Y(v);
      if (!d_.axes[1].hide_labels) {
        Label(QRectF(plot.left(), y - lh / 2, front_.left() - 4 - plot.left(), lh), Number(v),
              Qt::AlignRight | Qt::AlignVCenter, 0, true);
      }
      if (!d_.axes[2].hide_labels) {
        const double x = front_.right() + ddx_ + 4;
        Label(QRectF(x, y - ddy_ - lh / 2, plot.right() - x, lh), Number(v),
              Qt::AlignLeft | Qt::AlignVCenter, 0, true);
      }
    }
    // Category labels, elided to the category's width.
    if (!d_.axes[0].hide_labels) {
      for (int p = 1; p <= P_; ++p) {
        const QRectF box(CategoryLeft(p), front_.bottom() + 4, cw_, lh);
        const QString s = fm_->elidedText(Text(d_.PointLabel(p)), Qt::ElideRight, cw_);
        Label(box, s, Qt::AlignHCenter | Qt::AlignTop, p, true);
      }
    }

    if (S_ <= 0 || P_ <= 0) return;
    if (p_) p_->setClipRect(QRectF(front_.left(), front_.top() - ddy_, front_.width() + ddx_ + 1,
                                   front_.height() + ddy_ + 1).intersected(area_));
    switch (d_.type) {
      case kChartBars2D: Bars2D(); break;
      case kChartBars3D: Boxes(0.15, 0.85); break;
      case kChartSteps3D: Boxes(0.0, 1.0); break;
      case kChartSteps2D: Steps2D(); break;
      case kChartLines2D: Lines(false); break;
      case kChartRibbons3D: Lines(true); break;
      case kChartAreas2D: Areas(false); break;
      case kChartAreas3D: Areas(true); break;
      default: Bars2D(); break;
    }
    if (p_) p_->setClipRect(area_);
  }

  void Fill(const QRect& r, const QColor& c) {
    if (!p_ || r.width() <= 0 || r.height() <= 0) return;
    p_->fillRect(r, c);
    p_->setPen(c.darker(160));
    p_->setBrush(Qt::NoBrush);
    p_->drawRect(r.adjusted(0, 0, -1, -1));
  }
  void Fill(const QPolygonF& poly, const QColor& c) {
    if (!p_) return;
    p_->setPen(c.darker(160));
    p_->setBrush(c);
    p_->drawPolygon(poly);
    p_->setBrush(Qt::NoBrush);
  }
  static QPainterPath PathOf(const QPolygonF& poly) {
    QPainterPath path;
    path.addPolygon(poly);
    path.closeSubpath();
    return path;
  }

  // Side by side bars in each category, the whole group 0.8 of the category wide.
  void Bars2D() {
    const double bw = cw_ * 0.8 / S_;
    for (int p = 1; p <= P_; ++p) {
      for (int s = 1; s <= S_; ++s) {
        const double x0 = CategoryLeft(p) + cw_ * 0.1 + (s - 1) * bw;
        const QRect r = PixelRect(x0, Y(d_.Value(s, p)), x0 + bw, Base());
        Fill(r, d_.SeriesColour(s));
        Add(kPartPoint, s, p, r);
      }
    }
  }

  // Boxes with the series one behind the other (3-D bars and steps), drawn back to front.
  void Boxes(double from, double to) {
    const QPointF t = Thickness();
    for (int s = S_; s >= 1; --s) {
      const QPointF o = Depth(s);
      const QColor c = d_.SeriesColour(s);
      for (int p = 1; p <= P_; ++p) {
        const double x0 = CategoryLeft(p) + cw_ * from + o.x();
        const double x1 = CategoryLeft(p) + cw_ * to + o.x();
        const QRect r = PixelRect(x0, Y(d_.Value(s, p)) + o.y(), x1, Base() + o.y());
        if (r.width() <= 0 || r.height() <= 0) continue;
        const QPointF tl = r.topLeft(), tr = QPointF(r.left() + r.width(), r.top());
        const QPointF br(r.left() + r.width(), r.top() + r.height());
        const QPolygonF top({tl, tr, tr + t, tl + t});
        const QPolygonF side({tr, tr + t, br + t, br});
        Fill(top, c.lighter(130));
        Fill(side, c.darker(130));
        Fill(r, c);
        Add(kPartPoint, s, p, PathOf(top));
        Add(kPartPoint, s, p, PathOf(side));
        Add(kPartPoint, s, p, r);
      }
    }
  }

  // Each point a step as wide as its category; later series behind earlier ones.
  void Steps2D() {
    for (int s = S_; s >= 1; --s) {
      const QColor c = d_.SeriesColour(s);
      for (int p = 1; p <= P_; ++p) {
        const QRect r = PixelRect(CategoryLeft(p), Y(d_.Value(s, p)), CategoryLeft(p) + cw_, Base());
        Fill(r, c);
        Add(kPartPoint, s, p, r);
      }
    }
  }

  QPolygonF Points(int s, const QPointF& o) const {
    QPolygonF pts;
    for (int p = 1; p <= P_; ++p) pts << QPointF(CategoryCentre(p), Y(d_.Value(s, p))) + o;
    return pts;
  }

  void Markers(int s, const QPolygonF& pts) {
    const QColor c = d_.SeriesColour(s);
    for (int p = 1; p <= P_; ++p) {
      const QPointF& q = pts[p - 1];
      const QRect r = PixelRect(q.x() - 4, q.y() - 4, q.x() + 4, q.y() + 4);
      if (p_) {
        p_->fillRect(r.adjusted(1, 1, -1, -1), c);
      }
      Add(kPartPoint, s, p, r);
    }
  }

  // A line per series (2-D), or a ribbon at the series' depth (3-D); the line as a whole is the
  // series, its markers the points.
  void Lines(bool ribbon) {
    for (int s = S_; s >= 1; --s) {
      const QColor c = d_.SeriesColour(s);
      const QPolygonF pts = Points(s, ribbon ? Depth(s) : QPointF());
      QPainterPath line;
      if (ribbon) {
        const QPointF t = Thickness();
        for (int i = 0; i + 1 < pts.size(); ++i) {
          const QPolygonF band({pts[i], pts[i + 1], pts[i + 1] + t, pts[i] + t});
          Fill(band, c);
          line.addPolygon(band);
          line.closeSubpath();
        }
      } else {
        if (p_) {
          p_->setPen(QPen(c, 2));
          p_->drawPolyline(pts);
        }
        line.addPolygon(pts);
        QPainterPathStroker stroker;
        stroker.setWidth(6);
        line = stroker.createStroke(line);
      }
      Add(kPartSeries, s, 0, line);
      Markers(s, pts);
    }
  }

  // An area per series down to the base line, later series behind earlier ones; each point owns
  // the column of its category under the line.
  void Areas(bool deep) {
    for (int s = S_; s >= 1; --s) {
      const QColor c = d_.SeriesColour(s);
      const QPointF o = deep ? Depth(s) : QPointF();
      const QPolygonF pts = Points(s, o);
      QPolygonF poly;
      poly << QPointF(CategoryCentre(1), Base()) + o << pts << QPointF(CategoryCentre(P_), Base()) + o;
      if (P_ == 1) poly = QPolygonF({QPointF(CategoryLeft(1), Base()) + o, QPointF(CategoryLeft(1), pts[0].y()),
                                     QPointF(CategoryLeft(1) + cw_, pts[0].y()),
                                     QPointF(CategoryLeft(1) + cw_, Base()) + o});
      if (deep) {
        const QPointF t = Thickness();
        for (int i = 0; i + 1 < pts.size(); ++i) {
          Fill(QPolygonF({pts[i], pts[i + 1], pts[i + 1] + t, pts[i] + t}), c.lighter(130));
        }
      }
      Fill(poly, c);
      for (int p = 1; p <= P_; ++p) {
        const double y = pts[p - 1].y();
        Add(kPartPoint, s, p,
            PixelRect(CategoryLeft(p) + o.x(), y, CategoryLeft(p) + cw_ + o.x(), Base() + o.y()));
      }
    }
  }

  // One pie per point (data row), its slices the series; pies laid out in a near-square grid.
  void Pies(const QRectF& plot) {
    S_ = d_.SeriesCount();
    P_ = d_.PointCount();
    out_.front = plot;
    if (S_ <= 0 || P_ <= 0) return;
    const int cols = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(P_))));
    const int rows = (P_ + cols - 1) / cols;
    const double cell_w = plot.width() / cols, cell_h = plot.height() / rows;
    const double lh = fm_->height();
    for (int p = 1; p <= P_; ++p) {
      const QRectF cell(plot.left() + ((p - 1) % cols) * cell_w, plot.top() + ((p - 1) / cols) * cell_h,
                        cell_w, cell_h);
      const double radius = 0.4 * std::min(cell.width(), cell.height() - lh - 4);
      if (radius < 2) continue;
      const QPointF centre(cell.center().x(), cell.top() + 2 + (cell.height() - lh - 4) / 2);
      const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
      double total = 0;
      for (int s = 1; s <= S_; ++s) total += std::max(0.0, d_.Value(s, p));
      double angle = 90;
      for (int s = 1; s <= S_ && total > 0; ++s) {
        const double sweep = -360 * std::max(0.0, d_.Value(s, p)) / total;
        if (sweep == 0) continue;
        QPainterPath slice(centre);
        slice.arcTo(box, angle, sweep);
        slice.closeSubpath();
        if (p_) {
          p_->setPen(d_.SeriesColour(s).darker(160));
          p_->setBrush(d_.SeriesColour(s));
          p_->drawPath(slice);
          p_->setBrush(Qt::NoBrush);
        }
        Add(kPartPoint, s, p, slice);
        angle += sweep;
      }
      if (!d_.axes[0].hide_labels) {
        const QRectF label(cell.left(), box.bottom() + 2, cell.width(), lh);
        Label(label, fm_->elidedText(Text(d_.PointLabel(p)), Qt::ElideRight, cell.width()),
              Qt::AlignHCenter | Qt::AlignTop, p, true);
      }
    }
  }

  void Legend() {
    const int S = d_.SeriesCount();
    QRectF r = d_.legend_rect.isEmpty()
                   ? QRectF(area_.left() + area_.width() * 0.75, area_.top(), area_.width() * 0.25,
                            area_.height())
                   : d_.legend_rect.translated(area_.topLeft());
    const double lh = fm_->height() + 4;
    for (int s = 1; s <= S; ++s) {
      const QRectF entry(r.left() + 4, r.top() + 4 + (s - 1) * lh, r.width() - 8, lh);
      if (entry.bottom() > r.bottom()) break;
      if (p_) {
        const QRect swatch = PixelRect(entry.left(), entry.top() + (lh - 10) / 2, entry.left() + 10,
                                       entry.top() + (lh - 10) / 2 + 10);
        Fill(swatch, d_.SeriesColour(s));
        p_->setPen(d_.text_colour);
        const QRectF text_box = entry.adjusted(14, 0, 0, 0);
        p_->drawText(text_box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     fm_->elidedText(Text(d_.LegendText(s)), Qt::ElideRight, text_box.width()));
      }
      Add(kPartSeries, s, 0, PixelRect(entry.left(), entry.top(), entry.right(), entry.bottom()));
    }
  }

  const ChartData& d_;
  QRectF area_;
  QPainter* p_;
  QFont font_;
  std::unique_ptr<QFontMetricsF> fm_;
  ChartLayout out_;
  QRectF front_;
  int S_ = 0, P_ = 0;
  double lo_ = 0, hi_ = 1, cw_ = 0, ddx_ = 0, ddy_ = 0;
  bool three_d_ = false;
};

}  // namespace

ChartLayout RenderChart(const ChartData& data, const QRectF& area, QPainter* painter) {
  Renderer r(data, area, painter);
  return r.Run();
}

}  // namespace kyx::ui
