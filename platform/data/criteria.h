#pragma once
// Sort texts and filter criteria of client-side recordsets (the text of Recordset.Sort, and of
// Recordset.Filter and Recordset.Find).
//
// Sort: "field [ASC|DESC], field [ASC|DESC] ..."; field names may be in brackets.
// Criteria: clauses "field operator value" joined by AND and OR (AND binds tighter), with
// parentheses; operators = <> < > <= >= LIKE; values 'text' (a doubled quote stands for one),
// #date# (compared as text), numbers, and NULL (with = and <> only). LIKE takes "*" or "%" for
// any run of characters and "[c]" for the character c itself. Texts compare as the JET collation
// does (no case, no trailing blanks); numbers numerically; a text compared with a number is read
// as a number when it is one. A Null field meets no comparison except "= NULL".
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/data/status.h"
#include "platform/data/value.h"

namespace kyx::data {

using FieldLookup = std::function<int(std::string_view name)>;

struct SortKey {
  int field = 0;
  bool descending = false;
};

Status ParseSort(std::string_view text, const FieldLookup& lookup, std::vector<SortKey>* keys);

// Orders two values for Sort: Null first, then numbers, then texts (JET order).
int CompareForSort(const Value& a, const Value& b);

class Criteria {
 public:
  Criteria();
  ~Criteria();
  Criteria(Criteria&&) noexcept;
  Criteria& operator=(Criteria&&) noexcept;

  // An empty or all-blank text gives criteria that every row meets.
  static Status Parse(std::string_view text, const FieldLookup& lookup, Criteria* out);
  bool Matches(const std::vector<Value>& row) const;
  // The same on a row kept elsewhere: read(row, field) gives the row's value of a field (valid
  // until the next call).
  using CellReader = const Value& (*)(const void* row, int field);
  bool Matches(CellReader read, const void* row) const;
  // The fields the criteria read (each once), so that a caller can fetch only those.
  std::vector<int> FieldsRead() const;
  bool empty() const { return !root_; }

  struct Node;

 private:
  std::unique_ptr<Node> root_;
};

}  // namespace kyx::data
