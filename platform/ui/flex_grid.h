#pragma once
// A grid of text cells painted here, driven the way the system drives its grids: TextMatrix,
// Rows/Cols, FixedRows/FixedCols, row heights and column widths in twips, column alignments,
// cell colours applied to the selection (Row, Col to RowSel, ColSel), MouseRow/MouseCol, Redraw.
//
// Behaviour worth knowing:
// - Column widths and row heights keep the twips they were given and are drawn at the nearest
//   whole pixel, so widths read back and written again never drift. ColPos/RowPos answer the
//   twips of the whole pixels the grid draws. A width or height of 0 hides the column or row; -1
//   returns it to the default (the row height follows the font).
// - Setting Row or Col also moves RowSel or ColSel there; setting the cell colours colours every
//   cell of the selection (FillStyle flexFillRepeat, the default here), or only the current cell
//   with flexFillSingle.
// - The selection is not highlighted unless HighLight is set (the system colours rows itself).
// - While Redraw is False the grid keeps showing what it showed before; the changes appear when
//   Redraw is set True again.
// - A row or column number outside the grid raises KeyError (subscript out of range).
// - Mouse events carry X and Y in twips; MouseRow/MouseCol name the cell under the last mouse
//   position, held at the last row and column beyond the cells.
#include <QPixmap>
#include <QRect>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/control.h"

namespace kyx::ui {

// Column alignments.
inline constexpr int flexAlignLeftTop = 0;
inline constexpr int flexAlignLeftCenter = 1;
inline constexpr int flexAlignLeftBottom = 2;
inline constexpr int flexAlignCenterTop = 3;
inline constexpr int flexAlignCenterCenter = 4;
inline constexpr int flexAlignCenterBottom = 5;
inline constexpr int flexAlignRightTop = 6;
inline constexpr int flexAlignRightCenter = 7;
inline constexpr int flexAlignRightBottom = 8;
inline constexpr int flexAlignGeneral = 9;  // text left, numbers right
// FillStyle.
inline constexpr int flexFillSingle = 0;
inline constexpr int flexFillRepeat = 1;
// HighLight.
inline constexpr int flexHighlightNever = 0;
inline constexpr int flexHighlightAlways = 1;
inline constexpr int flexHighlightWithFocus = 2;
// GridLines.
inline constexpr int flexGridNone = 0;
inline constexpr int flexGridFlat = 1;

class FlexGrid : public VbControl<QWidget> {
 public:
  explicit FlexGrid(QWidget* parent = nullptr);

  int32_t Rows() const { return rows_; }
  int32_t Cols() const { return cols_; }
  // Growing keeps the cells there are; shrinking drops the cells past the new end.
  void SetRows(int32_t n);
  void SetCols(int32_t n);
  int32_t FixedRows() const { return fixed_rows_; }
  int32_t FixedCols() const { return fixed_cols_; }
  void SetFixedRows(int32_t n);
  void SetFixedCols(int32_t n);

  std::string TextMatrix(int32_t row, int32_t col) const;
  void SetTextMatrix(int32_t row, int32_t col, std::string_view cp1252);
  // Text of the current cell (Row, Col).
  std::string Text() const { return TextMatrix(row_, col_); }
  void SetText(std::string_view cp1252);
  // Appends a row (or inserts it before `index`) whose cells are the tab-separated parts.
  void AddItem(std::string_view tab_separated, int32_t index = -1);
  void RemoveItem(int32_t index);
  // Empties every cell and its colours; sizes and counts stay.
  void Clear();

  // Twips. Column -1 sets every column.
  int32_t ColWidth(int32_t col) const;
  void SetColWidth(int32_t col, int32_t twips);
  int32_t RowHeight(int32_t row) const;
  void SetRowHeight(int32_t row, int32_t twips);
  // Left edge of a column / top edge of a row in twips, as drawn (scrolled-off rows and columns
  // before TopRow and LeftCol count as if they were in view).
  int32_t ColPos(int32_t col) const;
  int32_t RowPos(int32_t row) const;
  // Whole-pixel width and height as drawn.
  int ColPixelWidth(int32_t col) const;
  int RowPixelHeight(int32_t row) const;
  // The band the header row (row 0) is drawn in, in the grid's own pixels: the whole width of the
  // grid, from its top edge down by row 0's height (empty when the grid has no rows). Cells are
  // drawn from the grid's corner: the grid has no frame of its own.
  QRect HeaderRect() const;
  int ColAlignment(int32_t col) const;
  void SetColAlignment(int32_t col, int alignment);

  int32_t Row() const { return row_; }
  int32_t Col() const { return col_; }
  int32_t RowSel() const { return row_sel_; }
  int32_t ColSel() const { return col_sel_; }
  void SetRow(int32_t r);
  void SetCol(int32_t c);
  void SetRowSel(int32_t r);
  void SetColSel(int32_t c);
  int32_t MouseRow() const { return mouse_row_; }
  int32_t MouseCol() const { return mouse_col_; }
  int32_t TopRow() const { return top_row_; }
  void SetTopRow(int32_t r);
  int32_t LeftCol() const { return left_col_; }
  void SetLeftCol(int32_t c);

  // Colours (OLE) of the current cell; setting them colours the selection (see FillStyle).
  uint32_t CellForeColor() const;
  uint32_t CellBackColor() const;
  void SetCellForeColor(uint32_t ole);
  void SetCellBackColor(uint32_t ole);
  bool CellFontBold() const;
  void SetCellFontBold(bool bold);
  int FillStyle() const { return fill_style_; }
  void SetFillStyle(int s) { fill_style_ = s; }

  bool Redraw() const { return redraw_; }
  void SetRedraw(bool on);
  // How many times the grid has drawn itself (not counting repeats of the kept picture while
  // Redraw is False).
  int PaintCount() const { return paint_count_; }

  std::string FontName() const;
  void SetFontName(std::string_view name);
  float FontSize() const { return static_cast<float>(font().pointSizeF()); }
  void SetFontSize(float points);
  bool FontBold() const { return font().bold(); }
  void SetFontBold(bool b);
  bool FontItalic() const { return font().italic(); }
  void SetFontItalic(bool b);

  int GridLines() const { return grid_lines_; }
  void SetGridLines(int g) { grid_lines_ = g; changed(); }
  uint32_t GridColor() const { return grid_colour_; }
  void SetGridColor(uint32_t c) { grid_colour_ = c; changed(); }
  uint32_t BackColor() const { return back_; }
  void SetBackColor(uint32_t c) { back_ = c; changed(); }
  uint32_t ForeColor() const { return fore_; }
  void SetForeColor(uint32_t c) { fore_ = c; changed(); }
  uint32_t BackColorFixed() const { return back_fixed_; }
  void SetBackColorFixed(uint32_t c) { back_fixed_ = c; changed(); }
  uint32_t ForeColorFixed() const { return fore_fixed_; }
  void SetForeColorFixed(uint32_t c) { fore_fixed_ = c; changed(); }
  uint32_t BackColorBkg() const { return back_bkg_; }
  void SetBackColorBkg(uint32_t c) { back_bkg_ = c; changed(); }
  int HighLight() const { return highlight_; }
  void SetHighLight(int h) { highlight_ = h; changed(); }

  // Events. X and Y in twips; KeyCode may be set to 0 to drop the key.
  std::function<void(int Button, int Shift, float X, float Y)> MouseDown, MouseUp, MouseMove;
  std::function<void()> Click, DblClick;
  std::function<void(int& KeyCode, int Shift)> KeyDown, KeyUp;

  // The cell under a point in pixels (held at the last row/column beyond the cells).
  void CellAt(QPoint p, int32_t& row, int32_t& col) const;

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;
  void mouseDoubleClickEvent(QMouseEvent*) override;
  void keyPressEvent(QKeyEvent*) override;
  void keyReleaseEvent(QKeyEvent*) override;
  void changeEvent(QEvent*) override;

 private:
  struct Cell {
    std::string text;
    int64_t fore = -1, back = -1;  // -1: the grid's colours
    bool bold = false;
  };
  Cell& cell(int32_t r, int32_t c);
  const Cell& cell(int32_t r, int32_t c) const;
  void check_row(int32_t r, const char* what) const;
  void check_col(int32_t c, const char* what) const;
  void resize_cells(int32_t rows, int32_t cols);
  int default_row_px() const;
  void changed();
  void render(QPainter& p);
  void track_mouse(QPoint p);
  template <class F>
  void for_selection(F f);

  int32_t rows_ = 0, cols_ = 0, fixed_rows_ = 0, fixed_cols_ = 0;
  std::vector<Cell> cells_;  // rows_ x cols_, row by row
  std::vector<int32_t> col_width_;   // twips, -1 default
  std::vector<int32_t> row_height_;  // twips, -1 default
  std::vector<int> col_align_;
  int32_t row_ = 0, col_ = 0, row_sel_ = 0, col_sel_ = 0;
  int32_t mouse_row_ = 0, mouse_col_ = 0, top_row_ = 0, left_col_ = 0;
  int fill_style_ = flexFillRepeat, highlight_ = flexHighlightNever, grid_lines_ = flexGridFlat;
  uint32_t grid_colour_ = 0xC0C0C0, back_ = 0x80000005, fore_ = 0x80000008;
  uint32_t back_fixed_ = 0x8000000F, fore_fixed_ = 0x80000012, back_bkg_ = 0x8000000C;
  bool redraw_ = true;
  bool pressed_ = false;
  int paint_count_ = 0;
  QPixmap kept_;  // the last picture drawn, shown while Redraw is False
};

}  // namespace kyx::ui
