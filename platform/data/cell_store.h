#pragma once
// The cells of a client-side recordset, kept by column: per column one kind byte and one 64-bit
// word per row (the integer, the bits of the double, or the offset of a text), and one text
// arena in which every text is stored once, behind its length. A row costs 9 bytes per field
// plus its texts; no row is an object of its own, so a million rows are a few arrays.
//
// For sorting, a column also yields one order key per row (OrderKeys): the texts ranked by the
// JET collation, the numbers as ordered bits, Null before numbers before texts, as
// CompareForSort orders values. The keys are kept until a cell of the column changes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/data/criteria.h"
#include "platform/data/radix_sort.h"
#include "platform/data/value.h"

namespace kyx::data {

class CellStore {
 public:
  // Order keys of one column: row r sorts by (kind_rank[r], payload[r]) as unsigned numbers.
  // kind_rank is empty when every row has the same rank (one class of values).
  struct OrderKeys {
    std::vector<uint8_t> kind_rank;  // 0 Null, 1 number, 2 text
    std::vector<uint64_t> payload;
  };

  void Reset(size_t columns);
  size_t columns() const { return cols_.size(); }
  size_t rows() const { return rows_; }

  // Adds a row (its first columns() values; missing ones are Null) and returns its index.
  size_t Append(const std::vector<Value>& row);
  // Rewrites the cells of row r that differ from `row`.
  void Replace(size_t r, const std::vector<Value>& row);

  // The cell at row r, column c, written into `out` (whose text buffer is reused).
  void Read(size_t r, size_t c, Value* out) const;
  void ReadRow(size_t r, std::vector<Value>* out) const;

  // The order keys of column c, built on first use after a change of the column.
  const OrderKeys& Keys(size_t c);
  // Sorts `order` (row indexes) stably by the keys, as CompareForSort orders each key's values.
  void Sort(std::vector<int>* order, const std::vector<SortKey>& keys);

 private:
  struct Column {
    std::vector<Value::Kind> kind;
    std::vector<int64_t> word;
    std::string arena;  // texts: a length (7 bits a byte, high bit = more) and the bytes
    OrderKeys keys;
    bool keys_valid = false;
  };

  static void Write(Column& col, size_t r, const Value& v, bool in_place);
  static std::string_view TextAt(const Column& col, size_t r);
  void BuildKeys(Column& col);
  void Grow(size_t n);

  std::vector<Column> cols_;
  size_t rows_ = 0;
  // Working space of the sorts, kept from one sort to the next: a large result is sorted again
  // and again as the user clicks, and fresh buffers would cost a page fault per 4 KiB each time.
  std::vector<KeyedRow> work_a_, work_b_;
};

}  // namespace kyx::data
