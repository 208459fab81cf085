#pragma once
// The description stream: the rows changed since the time the client gives, handed out in
// blocks of at most 8192 bytes. A block is a run of variable records
//   status A1, key B2, progressive B2, code length B2 (c), description length B2 (d),
//   code A c, description A d
// closed by "C" (more blocks follow: ask again with flag "1") or "X" (the stream is over).
#include <cstddef>
#include <string>
#include <vector>

#include "tools/dataserver/code_table.h"
#include "tools/dataserver/definitions.h"

namespace kyx::dataserver {

class DescriptionCursor {
 public:
  // Starts a stream over these rows (already selected and ordered).
  void Start(std::vector<DescriptionRow> rows);
  bool active() const { return active_; }
  // The next block, at most `limit` bytes; the stream ends (inactive) after the block with "X".
  std::string NextBlock(const CodeTable& table, std::size_t limit);

 private:
  std::vector<DescriptionRow> rows_;
  std::size_t next_ = 0;
  bool active_ = false;
};

// One record of the stream, texts without trailing blanks (at most 255 characters each).
std::string DescriptionRecord(const CodeTable& table, const DescriptionRow& row);

}  // namespace kyx::dataserver
