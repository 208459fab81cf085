#pragma once
// Forward-only, read-only recordset on a query (Recordset.Open sql, cn, adOpenForwardOnly,
// adLockReadOnly): rows are read one by one as MoveNext asks for them. The query stays active
// on its connection until the last row has been passed or the recordset is closed, so read it
// to the end (or close it) before dropping a table through the same connection.
#include <memory>
#include <string_view>

#include "platform/data/connection.h"
#include "platform/data/recordset.h"

namespace kyx::data {

class ForwardRecordset final : public Recordset {
 public:
  ForwardRecordset() = default;
  ~ForwardRecordset() override;

  Status Open(Connection& cn, std::string_view sql);

  bool IsOpen() const override;
  Status Close() override;
  bool BeforeFirst() const override { return !IsOpen() || empty_; }
  bool AfterLast() const override { return !IsOpen() || done_; }
  // Runs the query again from its first row (what a forward-only cursor does on MoveFirst).
  Status MoveFirst() override;
  Status MoveNext() override;

 private:
  Status Step();

  Connection* cn_ = nullptr;
  std::weak_ptr<char> life_;
  std::unique_ptr<Statement> st_;
  bool done_ = true, empty_ = true;
};

}  // namespace kyx::data
