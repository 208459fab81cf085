#pragma once
// The download of a data set: the client names a library, a filter ("where ..." over the key
// columns k_###) and the shape of its records (records per block B, record length R), and takes
// the rows of the library's data-set table block by block, B records at a time:
//   "e00532"  B (5 digits), R (5 digits), library (10), filter (512): the first block
//   "f00005"  B: the next block
//   "g00000"  the client gives up: the download is dropped, answered by an empty block
// A record is every key column of kind K, A or D as text of the key's length, then every slot of
// every value as a 9-byte packed number, in the order of the definitions; a block shorter than
// B records (an empty one included) is the last one.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/data/connection.h"
#include "tools/dataserver/code_table.h"
#include "tools/dataserver/store.h"

namespace kyx::dataserver {

class DataSetDownload {
 public:
  // Starts a download of `library`'s data set (`system_library` when `library` is blank). The
  // reply status when it cannot: '8' a record length that is not the one of the system's records
  // or a block that does not fit one reply, '2' no such library or a filter that does not run.
  char Start(Store& store, const std::string& library, const std::string& system_library, const std::string& filter,
             int64_t per_block, int64_t record_length, std::string* error);
  // The next block of at most `per_block` records (a block beyond the reply limit is refused
  // with '8'); an empty block when the rows are over or no download is going on.
  char NextBlock(const CodeTable& table, int64_t per_block, std::size_t max_payload, std::string* payload);
  void Close();
  bool active() const { return statement_ != nullptr; }

 private:
  std::unique_ptr<data::Statement> statement_;
  std::vector<int> widths_;  // per column: key length, or 0 for a packed value
  std::size_t record_length_ = 0;
  bool has_row_ = false;
};

}  // namespace kyx::dataserver
