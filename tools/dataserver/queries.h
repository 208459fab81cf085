#pragma once
// Elaboration queries as the server runs them. The program writes them in the server's dialect:
//   SELECT k_007,CHAR('ii', 2),decimal(sum(V_001_01+V_001_02), 17, 3) FROM LIBVEN/KYX_D0_00F
//     where (k_007 in('NOR')) group by k_007
// with the data table as library "/" KYX_D<t>_00F (t = 1..4 a total table, which holds the same
// sums over fewer keys: the server answers every t from its detail table), decimal(x, 17, 3) for
// the numbers it wants packed, CHAR('text', n) for fixed texts (the data-set slot placeholder
// 'ii' and the fillers of subtotal levels). The text is rewritten into SQLite SQL over the data
// set table "LIB/KYX_D0_00F" of the server database and run there.
//
// Each row of the result travels as one fixed-width record: a key column as many characters as
// the key is long, a text literal as long as it is, every other item a 9-byte packed decimal of
// 17 digits with 3 decimals. A block holds as many whole records as fit in 8192 bytes.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/data/connection.h"
#include "tools/dataserver/code_table.h"
#include "tools/dataserver/store.h"

namespace kyx::dataserver {

// One item of a result record: a text of `width` characters, or a packed number (width 0).
struct RecordItem {
  int width = 0;
};

// The server-dialect text made runnable: the SQLite text and the record layout of its rows.
struct PreparedQuery {
  std::string sql;
  std::vector<RecordItem> items;
  std::size_t record_length = 0;
};

// Rewrites a query of the server's dialect; false with a reason when it names no known library,
// an unknown key, or cannot be read.
bool PrepareQuery(Store& store, const std::string& text, PreparedQuery* out, std::string* error);

// The data-set table of a library in the server database.
std::string DataSetTable(const std::string& library);

// A packed decimal of 17 digits and 3 decimals (9 bytes, sign half-byte F or D): the value
// rounded to thousandths; a magnitude beyond 17 digits keeps its low digits.
std::string PackedNumber(double value);
void AppendPackedNumber(double value, std::string* out);

// One field of a record as the server sends it: for a width above 0 the value's text cut or
// padded with blanks to that width, through the code table; for width 0 the number packed.
void AppendWireField(const CodeTable& table, const data::Value& v, int width, std::string* out);

// The result of one query, handed out block by block.
class QueryCursor {
 public:
  // Runs the query; false with a reason (the server then fails the query).
  bool Start(Store& store, const std::string& text, std::string* error);
  // The next block (whole records, at most max_payload bytes) and whether it is the last one.
  // An empty block is the end of an empty result. False when a row could not be read.
  bool NextBlock(const CodeTable& table, std::size_t max_payload, std::string* payload, bool* last);
  bool active() const { return statement_ != nullptr; }
  void Close();

 private:
  PreparedQuery query_;
  std::unique_ptr<data::Statement> statement_;
  bool has_row_ = false;
};

}  // namespace kyx::dataserver
