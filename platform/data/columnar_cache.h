#pragma once
// A columnar copy of one data-set table of a local database, kept in memory so that the closed
// set of queries that the elaboration engine sends (columnar_query.h) is answered by one scan
// with hash aggregation instead of SQLite's sorting GROUP BY through the collation callback.
//
// Key columns ("K_###") are dictionary-coded: every row holds a code, code 0 is Null and the
// other codes stand for one class of texts that the JET collation holds equal (case and trailing
// blanks ignored), each carrying its rank in collation order. Value columns ("V_###_##") are
// doubles with a Null flag per row.
//
// A copy is never used on stale data: it carries a stamp of the database file (identity, size,
// modification time), of SQLite's data version (commits of other connections) and of the
// connection's own change count; any difference makes the registry build it again.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/data/connection.h"

namespace kyx::data {

// Memory for the per-row arrays of a copy. A large block is laid on huge pages where the system
// allows it: filling a fresh array costs one page fault per page, and a copy of ten million rows
// fills some hundred megabytes.
void* AllocateBulk(size_t bytes);
void FreeBulk(void* p, size_t bytes);

template <typename T>
struct BulkAllocator {
  using value_type = T;
  BulkAllocator() = default;
  template <typename U>
  BulkAllocator(const BulkAllocator<U>&) {}
  T* allocate(size_t n) { return static_cast<T*>(AllocateBulk(n * sizeof(T))); }
  // Growing an array leaves the new elements unset: the reader writes each of them once, and
  // zeroing first would touch every page twice.
  template <typename U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <typename U, typename... A>
  void construct(U* p, A&&... a) {
    ::new (static_cast<void*>(p)) U(std::forward<A>(a)...);
  }
  void deallocate(T* p, size_t n) { FreeBulk(p, n * sizeof(T)); }
  template <typename U>
  bool operator==(const BulkAllocator<U>&) const {
    return true;
  }
};

template <typename T>
using BulkVector = std::vector<T, BulkAllocator<T>>;

struct ColumnarKey {
  std::string name;                // as the table declares it
  BulkVector<uint32_t> codes;      // per row; 0 = Null
  std::vector<std::string> texts;  // per code (entry 0 unused): the first text seen of the class
  std::vector<uint32_t> ranks;     // per code: position in collation order (Null = 0)
  // Only when some class is spelt in more than one way ("NORD", "nord"): per row the number of
  // its exact spelling, and the spellings (entry 0 unused). A group shows the spelling of its
  // first row, as SQLite's GROUP BY does.
  BulkVector<uint32_t> spellings;
  std::vector<std::string> spelling_texts;
};

struct ColumnarValue {
  std::string name;
  BulkVector<double> values;  // per row (0 where Null)
  BulkVector<uint8_t> nulls;  // per row, 1 = Null; empty when the column holds no Null
};

struct ColumnarTable {
  std::string table;
  int64_t rows = 0;
  std::vector<ColumnarKey> keys;
  std::vector<ColumnarValue> values;
  // Index of a key or value column by name (case-insensitive); -1 when absent.
  int KeyIndex(std::string_view name) const;
  int ValueIndex(std::string_view name) const;
  size_t MemoryBytes() const;
};

// Reads every "K_" and "V_" column of `table` into a columnar copy; an error when the table
// cannot be read.
Status BuildColumnarTable(Connection& cn, std::string_view table, std::shared_ptr<const ColumnarTable>* out);

// The copies of the process, one per database file and table; the two used last are kept.
class ColumnarCache {
 public:
  // The current copy of `table` on `cn`, built now when there is none or it is stale; nullptr
  // when the connection is not a SQLite file or the table cannot be read. `built` tells whether
  // it was built by this call.
  static std::shared_ptr<const ColumnarTable> Get(Connection& cn, std::string_view table, bool* built = nullptr);
  // Drops every copy (a data set changed in a way the stamp cannot see, or tests).
  static void Clear();
  // Turns the use of copies on or off (on by default); off, Get always gives nullptr.
  static void SetEnabled(bool enabled);
  // A table is read on read-only connections of its own; one whose row identities span at least
  // twice this many (default 250,000) in up to four ranges in parallel.
  static void SetRowsPerPart(int64_t rows);
  static bool Enabled();
};

}  // namespace kyx::data
