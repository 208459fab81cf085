#pragma once
// The description stream: the rows changed since the time the client gives, handed out in
// blocks of at most 8192 bytes. A block is a run of variable records
//   status A1, key B2, progressive B2, code length B2 (c), description length B2 (d),
//   code A c, description A d
// closed by "C" (more blocks follow: ask again with flag "1") or "X" (the stream is over).
//
// The rows are read from the store block by block in key order, each block starting after the
// last row handed out: a stream of a million rows never sits in memory, and its first block goes
// out as soon as its rows are read. After a block that says "C" the session reads the next one
// ahead, while the client is busy storing the rows it has just received.
#include <cstddef>
#include <string>

#include "tools/dataserver/code_table.h"
#include "tools/dataserver/definitions.h"
#include "tools/dataserver/store.h"

namespace kyx::dataserver {

class DescriptionCursor {
 public:
  // Starts a stream over the rows of `system` changed at or after `since`.
  void Start(std::string system, std::string since);
  bool active() const { return active_; }
  // The next block, at most `limit` bytes; the stream ends (inactive) after the block with "X",
  // and when the store cannot be read (the block then closes with "X" too).
  std::string NextBlock(Store& store, const CodeTable& table, std::size_t limit);
  // Reads the block NextBlock would give now and keeps it for the next call (nothing when the
  // stream is over or a block is already kept). A new Start drops it.
  void ReadAhead(Store& store, const CodeTable& table, std::size_t limit);

 private:
  std::string system_;
  std::string since_;
  bool active_ = false;
  bool sent_ = false;     // a row has been handed out: the next block starts after `last_`
  DescriptionKey last_;
  std::string ahead_;     // the block read ahead; empty when none (a block is never empty)
  std::string Read(Store& store, const CodeTable& table, std::size_t limit);
};

// Appends one record of the stream, texts without trailing blanks (at most 255 characters each).
void AppendDescriptionRecord(const CodeTable& table, const DescriptionRow& row, std::string* out);
std::string DescriptionRecord(const CodeTable& table, const DescriptionRow& row);

}  // namespace kyx::dataserver
