#include "tools/dataserver/descriptions.h"

#include <algorithm>
#include <utility>

#include "platform/text/cp1252.h"

namespace kyx::dataserver {

namespace {

void AppendText(const CodeTable& table, std::string_view text, std::string* out) {
  for (const char c : text) out->push_back(static_cast<char>(table.Encode(c)));
}

void AppendBinary2(uint32_t value, std::string* out) {
  out->push_back(static_cast<char>((value >> 8) & 0xFF));
  out->push_back(static_cast<char>(value & 0xFF));
}

// Bytes of the record of `row`.
std::size_t RecordSize(const DescriptionRow& row) {
  return 9 + std::min<std::size_t>(text::rtrim_blanks(row.code).size(), 255) +
         std::min<std::size_t>(text::rtrim_blanks(row.text).size(), 255);
}

}  // namespace

void AppendDescriptionRecord(const CodeTable& table, const DescriptionRow& row, std::string* out) {
  const std::string_view code = text::rtrim_blanks(row.code).substr(0, 255);
  const std::string_view desc = text::rtrim_blanks(row.text).substr(0, 255);
  out->push_back(static_cast<char>(table.Encode(row.status.empty() ? ' ' : row.status[0])));
  AppendBinary2(static_cast<uint32_t>(row.key), out);
  AppendBinary2(static_cast<uint32_t>(row.progressive), out);
  AppendBinary2(static_cast<uint32_t>(code.size()), out);
  AppendBinary2(static_cast<uint32_t>(desc.size()), out);
  AppendText(table, code, out);
  AppendText(table, desc, out);
}

std::string DescriptionRecord(const CodeTable& table, const DescriptionRow& row) {
  std::string out;
  AppendDescriptionRecord(table, row, &out);
  return out;
}

void DescriptionCursor::Start(std::string system, std::string since) {
  system_ = std::move(system);
  since_ = std::move(since);
  active_ = true;
  sent_ = false;
  last_ = DescriptionKey{};
  ahead_.clear();
}

std::string DescriptionCursor::NextBlock(Store& store, const CodeTable& table, std::size_t limit) {
  if (!ahead_.empty()) return std::exchange(ahead_, std::string());
  return Read(store, table, limit);
}

void DescriptionCursor::ReadAhead(Store& store, const CodeTable& table, std::size_t limit) {
  if (active_ && ahead_.empty()) ahead_ = Read(store, table, limit);
}

std::string DescriptionCursor::Read(Store& store, const CodeTable& table, std::size_t limit) {
  std::string block;
  block.reserve(limit);
  // The stream is over unless a row is left that this block has no room for.
  bool done = true;
  if (active_) {
    const Status s = store.DescriptionsAfter(system_, since_, sent_ ? &last_ : nullptr, [&](const DescriptionRow& r) {
      // Keep one byte for the closing mark.
      if (block.size() + RecordSize(r) + 1 > limit) {
        done = false;
        return false;
      }
      AppendDescriptionRecord(table, r, &block);
      sent_ = true;
      last_.key = r.key;
      last_.code = r.code;
      last_.progressive = r.progressive;
      return true;
    });
    if (!s) done = true;
  }
  block += static_cast<char>(table.Encode(done ? 'X' : 'C'));
  if (done) {
    active_ = false;
    sent_ = false;
  }
  return block;
}

}  // namespace kyx::dataserver
