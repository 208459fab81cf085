#include "platform/ui/flex_grid.h"

#include <QEvent>
#include <algorithm>

#include "platform/ui/key_error.h"

namespace kyx::ui {
namespace {
constexpr int kDefaultColPx = 64;
QString qt(std::string_view s) { return QString::fromStdString(kyx::text::to_utf8(s)); }
}  // namespace

FlexGrid::FlexGrid(QWidget* parent) : VbControl<QWidget>(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  SetCols(2);
  SetRows(2);
  SetFixedRows(1);
  SetFixedCols(1);
}

// ---- cells and sizes -------------------------------------------------------------------------

void FlexGrid::check_row(int32_t r, const char* what) const {
  if (r < 0 || r >= rows_) throw KeyError(381, std::string("FlexGrid.") + what + ": riga non valida (" + std::to_string(r) + ")");
}

void FlexGrid::check_col(int32_t c, const char* what) const {
  if (c < 0 || c >= cols_) throw KeyError(381, std::string("FlexGrid.") + what + ": colonna non valida (" + std::to_string(c) + ")");
}

FlexGrid::Cell& FlexGrid::cell(int32_t r, int32_t c) {
  return cells_[static_cast<std::size_t>(r) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(c)];
}
const FlexGrid::Cell& FlexGrid::cell(int32_t r, int32_t c) const {
  return cells_[static_cast<std::size_t>(r) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(c)];
}

void FlexGrid::resize_cells(int32_t rows, int32_t cols) {
  std::vector<Cell> next(static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols));
  for (int32_t r = 0; r < std::min(rows, rows_); ++r) {
    for (int32_t c = 0; c < std::min(cols, cols_); ++c) {
      next[static_cast<std::size_t>(r) * static_cast<std::size_t>(cols) + static_cast<std::size_t>(c)] =
          std::move(cell(r, c));
    }
  }
  cells_ = std::move(next);
  rows_ = rows;
  cols_ = cols;
  row_height_.resize(static_cast<std::size_t>(rows), -1);
  col_width_.resize(static_cast<std::size_t>(cols), -1);
  col_align_.resize(static_cast<std::size_t>(cols), flexAlignGeneral);
  // Positions stay inside the grid (or at 0 for an empty one).
  auto keep = [](int32_t& v, int32_t n, int32_t least) { v = std::clamp(v, std::min(least, std::max(0, n - 1)), std::max(0, n - 1)); };
  fixed_rows_ = std::min(fixed_rows_, rows_);
  fixed_cols_ = std::min(fixed_cols_, cols_);
  keep(row_, rows_, fixed_rows_);
  keep(col_, cols_, fixed_cols_);
  keep(row_sel_, rows_, 0);
  keep(col_sel_, cols_, 0);
  keep(mouse_row_, rows_, 0);
  keep(mouse_col_, cols_, 0);
  keep(top_row_, rows_, fixed_rows_);
  keep(left_col_, cols_, fixed_cols_);
  changed();
}

void FlexGrid::SetRows(int32_t n) { resize_cells(std::max(0, n), cols_); }
void FlexGrid::SetCols(int32_t n) { resize_cells(rows_, std::max(0, n)); }

void FlexGrid::SetFixedRows(int32_t n) {
  fixed_rows_ = std::clamp(n, 0, rows_);
  if (row_ < fixed_rows_ && fixed_rows_ < rows_) row_ = row_sel_ = fixed_rows_;
  // Scrolling starts again right after the fixed rows.
  top_row_ = std::min(fixed_rows_, std::max(0, rows_ - 1));
  changed();
}

void FlexGrid::SetFixedCols(int32_t n) {
  fixed_cols_ = std::clamp(n, 0, cols_);
  if (col_ < fixed_cols_ && fixed_cols_ < cols_) col_ = col_sel_ = fixed_cols_;
  left_col_ = std::min(fixed_cols_, std::max(0, cols_ - 1));
  changed();
}

std::string FlexGrid::TextMatrix(int32_t r, int32_t c) const {
  check_row(r, "TextMatrix");
  check_col(c, "TextMatrix");
  return cell(r, c).text;
}

void FlexGrid::SetTextMatrix(int32_t r, int32_t c, std::string_view t) {
  check_row(r, "TextMatrix");
  check_col(c, "TextMatrix");
  cell(r, c).text = std::string(t);
  changed();
}

void FlexGrid::SetText(std::string_view t) { SetTextMatrix(row_, col_, t); }

void FlexGrid::AddItem(std::string_view line, int32_t index) {
  if (index > rows_) throw KeyError(381, "FlexGrid.AddItem: riga non valida (" + std::to_string(index) + ")");
  const int32_t at = index < 0 ? rows_ : index;
  resize_cells(rows_ + 1, cols_);
  // Move the rows below the insertion point down by one.
  for (int32_t r = rows_ - 1; r > at; --r) {
    for (int32_t c = 0; c < cols_; ++c) cell(r, c) = std::move(cell(r - 1, c));
    row_height_[static_cast<std::size_t>(r)] = row_height_[static_cast<std::size_t>(r - 1)];
  }
  row_height_[static_cast<std::size_t>(at)] = -1;
  int32_t c = 0;
  std::size_t start = 0;
  for (c = 0; c < cols_; ++c) cell(at, c) = Cell{};
  c = 0;
  while (c < cols_) {
    const std::size_t tab = line.find('\t', start);
    cell(at, c).text = std::string(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
    ++c;
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  changed();
}

void FlexGrid::RemoveItem(int32_t index) {
  check_row(index, "RemoveItem");
  for (int32_t r = index; r + 1 < rows_; ++r) {
    for (int32_t c = 0; c < cols_; ++c) cell(r, c) = std::move(cell(r + 1, c));
    row_height_[static_cast<std::size_t>(r)] = row_height_[static_cast<std::size_t>(r + 1)];
  }
  resize_cells(rows_ - 1, cols_);
}

void FlexGrid::Clear() {
  for (auto& c : cells_) c = Cell{};
  changed();
}

int FlexGrid::default_row_px() const { return fontMetrics().height() + 3; }

int32_t FlexGrid::ColWidth(int32_t c) const {
  check_col(c, "ColWidth");
  const int32_t w = col_width_[static_cast<std::size_t>(c)];
  return w >= 0 ? w : static_cast<int32_t>(round_even(kDefaultColPx * Twips_Pixel_X()));
}

void FlexGrid::SetColWidth(int32_t c, int32_t twips) {
  const int32_t v = twips < 0 ? -1 : twips;
  if (c == -1) {
    std::fill(col_width_.begin(), col_width_.end(), v);
  } else {
    check_col(c, "ColWidth");
    col_width_[static_cast<std::size_t>(c)] = v;
  }
  changed();
}

int32_t FlexGrid::RowHeight(int32_t r) const {
  check_row(r, "RowHeight");
  const int32_t h = row_height_[static_cast<std::size_t>(r)];
  return h >= 0 ? h : static_cast<int32_t>(round_even(default_row_px() * Twips_Pixel_Y()));
}

void FlexGrid::SetRowHeight(int32_t r, int32_t twips) {
  const int32_t v = twips < 0 ? -1 : twips;
  if (r == -1) {
    std::fill(row_height_.begin(), row_height_.end(), v);
  } else {
    check_row(r, "RowHeight");
    row_height_[static_cast<std::size_t>(r)] = v;
  }
  changed();
}

int FlexGrid::ColPixelWidth(int32_t c) const {
  check_col(c, "ColWidth");
  const int32_t w = col_width_[static_cast<std::size_t>(c)];
  return w >= 0 ? twips_to_px_x(w) : kDefaultColPx;
}

int FlexGrid::RowPixelHeight(int32_t r) const {
  check_row(r, "RowHeight");
  const int32_t h = row_height_[static_cast<std::size_t>(r)];
  return h >= 0 ? twips_to_px_y(h) : default_row_px();
}

QRect FlexGrid::HeaderRect() const {
  if (rows_ == 0) return {};
  return QRect(0, 0, width(), RowPixelHeight(0));
}

int32_t FlexGrid::ColPos(int32_t c) const {
  check_col(c, "ColPos");
  int px = 0;
  for (int32_t i = 0; i < c; ++i) px += ColPixelWidth(i);
  return static_cast<int32_t>(round_even(px * Twips_Pixel_X()));
}

int32_t FlexGrid::RowPos(int32_t r) const {
  check_row(r, "RowPos");
  int px = 0;
  for (int32_t i = 0; i < r; ++i) px += RowPixelHeight(i);
  return static_cast<int32_t>(round_even(px * Twips_Pixel_Y()));
}

int FlexGrid::ColAlignment(int32_t c) const {
  check_col(c, "ColAlignment");
  return col_align_[static_cast<std::size_t>(c)];
}

void FlexGrid::SetColAlignment(int32_t c, int a) {
  if (c == -1) {
    std::fill(col_align_.begin(), col_align_.end(), a);
  } else {
    check_col(c, "ColAlignment");
    col_align_[static_cast<std::size_t>(c)] = a;
  }
  changed();
}

// ---- current cell and selection ---------------------------------------------------------------

void FlexGrid::SetRow(int32_t r) {
  check_row(r, "Row");
  row_ = row_sel_ = r;
  changed();
}
void FlexGrid::SetCol(int32_t c) {
  check_col(c, "Col");
  col_ = col_sel_ = c;
  changed();
}
void FlexGrid::SetRowSel(int32_t r) {
  check_row(r, "RowSel");
  row_sel_ = r;
  changed();
}
void FlexGrid::SetColSel(int32_t c) {
  check_col(c, "ColSel");
  col_sel_ = c;
  changed();
}
void FlexGrid::SetTopRow(int32_t r) {
  check_row(r, "TopRow");
  top_row_ = std::max(r, std::min(fixed_rows_, rows_ - 1));
  changed();
}
void FlexGrid::SetLeftCol(int32_t c) {
  check_col(c, "LeftCol");
  left_col_ = std::max(c, std::min(fixed_cols_, cols_ - 1));
  changed();
}

template <class F>
void FlexGrid::for_selection(F f) {
  if (rows_ == 0 || cols_ == 0) return;
  if (fill_style_ == flexFillSingle) {
    f(cell(row_, col_));
  } else {
    for (int32_t r = std::min(row_, row_sel_); r <= std::max(row_, row_sel_); ++r) {
      for (int32_t c = std::min(col_, col_sel_); c <= std::max(col_, col_sel_); ++c) f(cell(r, c));
    }
  }
  changed();
}

uint32_t FlexGrid::CellForeColor() const {
  if (rows_ == 0 || cols_ == 0) return fore_;
  const Cell& c = cell(row_, col_);
  return c.fore >= 0 ? static_cast<uint32_t>(c.fore) : (row_ < fixed_rows_ || col_ < fixed_cols_ ? fore_fixed_ : fore_);
}
uint32_t FlexGrid::CellBackColor() const {
  if (rows_ == 0 || cols_ == 0) return back_;
  const Cell& c = cell(row_, col_);
  return c.back >= 0 ? static_cast<uint32_t>(c.back) : (row_ < fixed_rows_ || col_ < fixed_cols_ ? back_fixed_ : back_);
}
void FlexGrid::SetCellForeColor(uint32_t ole) { for_selection([&](Cell& c) { c.fore = ole; }); }
void FlexGrid::SetCellBackColor(uint32_t ole) { for_selection([&](Cell& c) { c.back = ole; }); }
bool FlexGrid::CellFontBold() const { return rows_ > 0 && cols_ > 0 && cell(row_, col_).bold; }
void FlexGrid::SetCellFontBold(bool b) { for_selection([&](Cell& c) { c.bold = b; }); }

// ---- drawing state ----------------------------------------------------------------------------

void FlexGrid::SetRedraw(bool on) {
  if (redraw_ == on) return;
  redraw_ = on;
  if (on) update();
}

void FlexGrid::changed() {
  if (redraw_) update();
}

std::string FlexGrid::FontName() const { return kyx::text::from_utf8(font().family().toStdString()); }
void FlexGrid::SetFontName(std::string_view name) {
  QFont f = font();
  f.setFamily(qt(name));
  setFont(f);
}
void FlexGrid::SetFontSize(float points) {
  QFont f = font();
  if (points > 0) f.setPointSizeF(points);
  setFont(f);
}
void FlexGrid::SetFontBold(bool b) {
  QFont f = font();
  f.setBold(b);
  setFont(f);
}
void FlexGrid::SetFontItalic(bool b) {
  QFont f = font();
  f.setItalic(b);
  setFont(f);
}

void FlexGrid::changeEvent(QEvent* e) {
  VbControl<QWidget>::changeEvent(e);
  if (e->type() == QEvent::FontChange) changed();
}

}  // namespace kyx::ui
