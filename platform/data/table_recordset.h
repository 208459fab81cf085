#pragma once
// Table-direct recordset on a named index (Recordset.Open table, cn, adOpenKeyset,
// adLockOptimistic, adCmdTableDirect, then .Index = name): rows in index order, Seek on a key
// prefix, adding, changing and deleting rows.
//
// Rows are read in small batches by range queries on the index ("the rows after this key, in
// index order"), never by scanning the table, and no statement stays active between calls, so
// other statements on the connection (DROP TABLE among them) are never blocked by an open
// recordset. Rows with equal keys keep the order in which they were added. A change made through
// the same connection is seen at the next move; one made through another connection at the next
// batch.
//
// Moving off a row with pending changes saves them first, as the original did. After Delete the
// deleted row stays current (its fields read as Null) until the next move, which goes on from
// where it was.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/data/connection.h"
#include "platform/data/recordset.h"

namespace kyx::data {

class TableRecordset final : public Recordset {
 public:
  TableRecordset() = default;
  ~TableRecordset() override;

  // Opens `table` in the order of `index` (its name as the system knows it; "" = the order in
  // which rows were added) and moves to the first row.
  Status Open(Connection& cn, std::string_view table, std::string_view index = "");
  // Recordset.Index = name: changes the order; moves to the first row.
  Status SetIndex(std::string_view index);
  const std::string& table() const { return table_; }
  const std::string& index() const { return index_; }
  // The columns of the current index.
  const std::vector<std::string>& IndexColumns() const { return key_names_; }

  bool IsOpen() const override;
  Status Close() override;
  bool BeforeFirst() const override;
  bool AfterLast() const override;

  // Recordset.Seek key, adSeekFirstEQ: the first row in index order whose first key.size()
  // index columns equal `key` (text compared as the JET collation compares: no case, no trailing
  // blanks). Not found: EOF. The walk then goes on in index order with MoveNext.
  Status Seek(const std::vector<Value>& key) { return Seek(key.data(), key.size()); }
  Status Seek(const Value* key, size_t key_size);

  Status MoveFirst() override;
  Status MoveNext() override;
  Status MovePrevious() override;
  Status MoveLast() override;

  Status AddNew() override;
  Status Update() override;
  void CancelUpdate() override;
  Status Delete() override;
  int64_t RecordCount() override;

 protected:
  bool CanSet() const override;
  void BeginEdit() override;

 private:
  enum class Where { kBeforeFirst, kOnRow, kAfterLast };
  enum class Edit { kNone, kAdding, kEditing };
  enum class Fetch { kFirst, kLast, kAfter, kBefore };

  Status Prepared(std::unique_ptr<Statement>& slot, const std::string& sql, Statement** out);
  Status CheckOpen() const;
  Status SaveEdit();
  Status Move(Fetch how);
  Status FetchBatch(Fetch how, bool* any);
  void LandOnBatchRow(size_t i);
  bool Empty() const;
  std::string SelectList() const;
  std::string OrderBy(bool descending) const;

  Connection* cn_ = nullptr;
  std::weak_ptr<char> life_;
  std::string table_, index_, rowid_;
  std::vector<std::string> key_names_;
  std::vector<int> key_ordinals_;

  Where where_ = Where::kAfterLast;
  bool deleted_ = false;
  Edit edit_ = Edit::kNone;
  std::vector<Value> backup_;  // the row before an edit, for CancelUpdate
  bool backup_valid_ = false;  // backup_ holds a row to bring back
  // The current position: key values and row id of the current (or just deleted) row.
  std::vector<Value> pos_keys_;
  int64_t pos_rowid_ = 0;

  // The batch the current row came from: rows of (rowid, fields...), flat.
  std::vector<Value> batch_;
  size_t batch_rows_ = 0, batch_at_ = 0;
  bool batch_forward_ = true, batch_last_ = false;
  uint64_t batch_counter_ = 0;
  int batch_size_ = 16;
  mutable int empty_ = -1;  // cached emptiness (-1 unknown)
  mutable uint64_t empty_counter_ = 0;

  std::unique_ptr<Statement> first_, last_, after_fast_, after_, before_, insert_, update_, delete_, count_,
      probe_;
  std::vector<std::unique_ptr<Statement>> seek_;  // by key length
};

}  // namespace kyx::data
