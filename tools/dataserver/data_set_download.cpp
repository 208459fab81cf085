#include "tools/dataserver/data_set_download.h"

#include "platform/text/cp1252.h"
#include "tools/dataserver/data_sets.h"
#include "tools/dataserver/queries.h"
#include "tools/dataserver/replies.h"

namespace kyx::dataserver {

char DataSetDownload::Start(Store& store, const std::string& library, const std::string& system_library,
                            const std::string& filter, int64_t per_block, int64_t record_length,
                            std::string* error) {
  Close();
  const std::string wanted(text::trim_blanks(library).empty() ? text::trim_blanks(system_library)
                                                              : text::trim_blanks(library));
  SystemDef sys;
  bool found = false;
  if (!store.FindSystemByLibrary(wanted, &sys, &found) || !found) {
    *error = "no system has the library " + wanted;
    return kStatusUnknown;
  }
  DataSetShape shape;
  if (Status s = LoadDataSetShape(store, std::string(text::trim_blanks(sys.code)), &shape); !s) {
    *error = s.ToString();
    return kStatusUnknown;
  }
  std::vector<int> widths;
  std::size_t length = 0;
  for (const auto& k : shape.keys) {
    widths.push_back(k.length);
    length += static_cast<std::size_t>(k.length);
  }
  for (const auto& v : shape.values) {
    for (int s = 0; s < v.slots; ++s) widths.push_back(0);
    length += 9 * static_cast<std::size_t>(v.slots);
  }
  if (length == 0 || static_cast<int64_t>(length) != record_length) {
    *error = "records of " + std::to_string(length) + " bytes, not " + std::to_string(record_length);
    return kStatusBadRequest;
  }
  if (per_block < 1 || static_cast<std::size_t>(per_block) * length > kMaxPayload) {
    *error = "a block of " + std::to_string(per_block) + " records does not fit one reply";
    return kStatusBadRequest;
  }
  std::string sql = "SELECT ";
  const auto names = DataSetColumnNames(shape);
  for (std::size_t i = 0; i < names.size(); ++i) sql += (i ? "," : "") + names[i];
  sql += " FROM \"" + DataSetTable(sys.library) + "\" " + std::string(text::trim_blanks(filter)) + " ORDER BY rowid";
  std::unique_ptr<data::Statement> st;
  Status s = store.connection().Prepare(sql, &st);
  if (s) s = st->Step(&has_row_);
  if (!s) {
    *error = s.ToString();
    return kStatusUnknown;
  }
  statement_ = std::move(st);
  widths_ = std::move(widths);
  record_length_ = length;
  return kStatusOk;
}

char DataSetDownload::NextBlock(const CodeTable& table, int64_t per_block, std::size_t max_payload,
                                std::string* payload) {
  payload->clear();
  if (!statement_) return kStatusOk;
  if (per_block < 1 || static_cast<std::size_t>(per_block) * record_length_ > max_payload) return kStatusBadRequest;
  payload->reserve(static_cast<std::size_t>(per_block) * record_length_);
  data::Value v;
  for (int64_t n = per_block; has_row_ && n > 0; --n) {
    for (std::size_t j = 0; j < widths_.size(); ++j) {
      statement_->Read(static_cast<int>(j), &v);
      AppendWireField(table, v, widths_[j], payload);
    }
    if (!statement_->Step(&has_row_)) {
      Close();
      return kStatusUnknown;
    }
  }
  if (!has_row_) Close();
  return kStatusOk;
}

void DataSetDownload::Close() {
  if (statement_) statement_->Reset();
  statement_.reset();
  has_row_ = false;
}

}  // namespace kyx::dataserver
