#include "tools/dataserver/descriptions.h"

#include "platform/text/cp1252.h"
#include "tools/dataserver/wire_record.h"

namespace kyx::dataserver {

std::string DescriptionRecord(const CodeTable& table, const DescriptionRow& row) {
  const std::string code(text::rtrim_blanks(row.code).substr(0, 255));
  const std::string desc(text::rtrim_blanks(row.text).substr(0, 255));
  WireRecord r(table, 9 + code.size() + desc.size());
  r.Text(1, 1, row.status.empty() ? " " : row.status.substr(0, 1));
  r.Binary(2, 2, static_cast<uint32_t>(row.key)).Binary(4, 2, static_cast<uint32_t>(row.progressive));
  r.Binary(6, 2, static_cast<uint32_t>(code.size())).Binary(8, 2, static_cast<uint32_t>(desc.size()));
  r.Text(10, code.size(), code).Text(10 + code.size(), desc.size(), desc);
  return r.bytes();
}

void DescriptionCursor::Start(std::vector<DescriptionRow> rows) {
  rows_ = std::move(rows);
  next_ = 0;
  active_ = true;
}

std::string DescriptionCursor::NextBlock(const CodeTable& table, std::size_t limit) {
  std::string block;
  if (active_) {
    while (next_ < rows_.size()) {
      std::string record = DescriptionRecord(table, rows_[next_]);
      // Keep one byte for the closing mark.
      if (block.size() + record.size() + 1 > limit) break;
      block += record;
      ++next_;
    }
  }
  const bool done = !active_ || next_ >= rows_.size();
  block += static_cast<char>(table.Encode(done ? 'X' : 'C'));
  if (done) {
    active_ = false;
    rows_.clear();
    next_ = 0;
  }
  return block;
}

}  // namespace kyx::dataserver
