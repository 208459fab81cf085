#pragma once
// Answers the closed grammar of the elaboration engine's local queries from a columnar copy
// (columnar_cache.h) with one scan and hash aggregation, exactly as SQLite answers the same text
// on the table (JET collation, Null handling, rows in GROUP BY key order):
//
//   SELECT item {, item} FROM table [where cond] [group by k_### {,k_###}] [order by k_### {,k_###}]
//   item: k_###  |  'text'  |  a number  |  sum(V_###_## {+ V_###_##})
//   cond: ( cond ) | cond and cond | cond or cond | k_### [not] in('a', ...) | k_### between 'a' and 'b'
//
// Keywords in any case. A key item must be grouped by when the query groups or sums; an "or"
// must join conditions on one key. Any other text is not answered here (the caller asks SQLite).
#include <functional>
#include <string_view>
#include <vector>

#include "platform/data/connection.h"
#include "platform/data/value.h"

namespace kyx::data {

struct ColumnarTable;

// Takes one row of an answer; the values are valid only during the call.
using RowSink = std::function<void(const std::vector<Value>& row)>;

// The rows of `sql`, or false when the text is outside the grammar or names another table or
// columns the copy lacks (nothing is written to `rows` then).
bool AnswerClosedQuery(const ColumnarTable& table, std::string_view sql, std::vector<std::vector<Value>>* rows);

// The same through the process's copy of the table that `sql` names on `cn` (built when there is
// none or it is stale). False: not answered, run the text on the connection.
bool AnswerFromColumnarCache(Connection& cn, std::string_view sql, std::vector<std::vector<Value>>* rows);
// The same, each row handed to `each` in order as it is made (none when false is returned).
bool AnswerFromColumnarCache(Connection& cn, std::string_view sql, const RowSink& each);

}  // namespace kyx::data
