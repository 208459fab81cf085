#include "platform/data/forward_recordset.h"

namespace kyx::data {

ForwardRecordset::~ForwardRecordset() { Close(); }

bool ForwardRecordset::IsOpen() const { return cn_ && st_ && !life_.expired() && cn_->IsOpen(); }

Status ForwardRecordset::Close() {
  st_.reset();
  cn_ = nullptr;
  life_.reset();
  SetFields({});
  done_ = empty_ = true;
  return Status::Ok();
}

Status ForwardRecordset::Open(Connection& cn, std::string_view sql) {
  Close();
  std::unique_ptr<Statement> st;
  Status s = cn.Prepare(sql, &st);
  if (!s.ok()) return s;
  std::vector<FieldInfo> fields;
  for (int i = 0; i < st->ColumnCount(); ++i) fields.push_back(st->ColumnInfo(i));
  SetFields(std::move(fields));
  cn_ = &cn;
  life_ = cn.LifeToken();
  st_ = std::move(st);
  return MoveFirst();
}

Status ForwardRecordset::Step() {
  bool row = false;
  Status s = st_->Step(&row);
  if (!s.ok()) {
    done_ = true;
    has_row_ = false;
    return s;
  }
  if (row) {
    for (int i = 0; i < FieldCount(); ++i) st_->Read(i, &row_[i]);
  } else {
    st_->Reset();  // release the query so that it blocks nothing
  }
  has_row_ = row;
  done_ = !row;
  return Status::Ok();
}

Status ForwardRecordset::MoveFirst() {
  if (!IsOpen()) return Status::Error(kNotOpen, "Operation is not allowed when the object is closed");
  st_->Reset();
  Status s = Step();
  empty_ = done_;
  return s;
}

Status ForwardRecordset::MoveNext() {
  if (!IsOpen()) return Status::Error(kNotOpen, "Operation is not allowed when the object is closed");
  if (done_) return Status::Error(kNoCurrentRecord, "Either BOF or EOF is True, or the current record has been deleted");
  return Step();
}

}  // namespace kyx::data
