#pragma once
// Client-side static recordset (CursorLocation = adUseClient, adOpenStatic): every row of a query
// copied into memory, then sorted, filtered, searched and positioned on the copy.
//
// - Sort (Recordset.Sort): a stable order; rows equal on every sort key keep the order in which
//   they were read. "" restores that order. Setting Sort or Filter moves to the first row.
// - Filter (Recordset.Filter): only the rows meeting the criteria are visible (criteria.h);
//   RecordCount, positions, moves and Save see only those.
// - Find (Recordset.Find): the next row meeting a criterion, from the current row.
// - AbsolutePosition: 1-based position in the visible order.
// - Updates: while connected with kOptimistic, a change, addition or deletion is written to the
//   table the fields come from (the row found by its original values) and then to the copy;
//   after Disconnect (ActiveConnection = Nothing), or on a fabricated recordset, only the copy
//   changes. A row added goes to the end of the visible order until the next Sort.
// - Fabricated (Fields.Append on a recordset without connection, then Open): AppendField, then
//   OpenFabricated, then AddNew/Update to fill it.
// - Save / Load: the whole visible recordset to and from a file of our own format
//   (recordset_file_format.md).
// - Storage: the rows are kept by column (cell_store.h), a few bytes per cell. Moves copy no row:
//   a field is read from its column when asked for, and a row is copied only when an edit of it
//   begins. Sort and Filter build an order vector of row indexes over the kept rows; Sort is a
//   radix sort of per-column order keys. Delete marks the row and its slot in the visible order
//   (live_slots.h) instead of erasing anything, so deleting is as cheap at a million rows as at
//   ten.
// - Field(i) returns a reference to this recordset's copy of the current row's cell i: it holds
//   the value until field i is read again or the recordset changes.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/data/cell_store.h"
#include "platform/data/connection.h"
#include "platform/data/criteria.h"
#include "platform/data/live_slots.h"
#include "platform/data/recordset.h"

namespace kyx::data {

enum class LockMode { kReadOnly, kOptimistic };

class StaticRecordset final : public Recordset {
 public:
  StaticRecordset() = default;
  ~StaticRecordset() override = default;

  // Runs `sql` and copies all its rows.
  Status Open(Connection& cn, std::string_view sql, LockMode lock = LockMode::kReadOnly);
  // Fields.Append before a fabricated Open; refused while open.
  Status AppendField(const FieldInfo& field);
  // Opens the appended fields as an empty recordset with no connection.
  Status OpenFabricated();
  // Recordset.Save path, adPersistADTG: writes the visible rows in their visible order.
  Status Save(const std::string& path);
  // Recordset.Open path, "Provider=MSPersist": reads a saved recordset; refuses other files.
  Status Load(const std::string& path);

  // ActiveConnection = Nothing.
  void Disconnect();
  bool IsConnected() const;

  bool IsOpen() const override { return open_; }
  Status Close() override;
  bool BeforeFirst() const override;
  bool AfterLast() const override;
  Status MoveFirst() override;
  Status MoveNext() override;
  Status MovePrevious() override;
  Status MoveLast() override;
  Status AddNew() override;
  Status Update() override;
  void CancelUpdate() override;
  Status Delete() override;
  int64_t RecordCount() override { return open_ ? static_cast<int64_t>(slots_.live_count()) : -1; }
  // The current row's cell, read where the row is kept (the row being edited or added while an
  // edit is open).
  const Value& Field(int ordinal) const override;
  using Recordset::Field;

  Status SetSort(std::string_view sort);
  const std::string& Sort() const { return sort_text_; }
  Status SetFilter(std::string_view criteria);
  const std::string& Filter() const { return filter_text_; }
  // Find criterion, skip rows, forward or backward, starting at the current row (at the first
  // or last row from BOF/EOF). Not found: EOF (forward) or BOF (backward).
  Status Find(std::string_view criterion, int64_t skip = 0, bool forward = true);

  // 1-based position of the current row; -2 at BOF, -3 at EOF (adPosBOF, adPosEOF).
  int64_t AbsolutePosition() const;
  Status SetAbsolutePosition(int64_t position);

 protected:
  bool CanSet() const override;
  void BeginEdit() override;

 private:
  enum class Edit { kNone, kAdding, kEditing };
  enum class Change { kInsert, kUpdate, kDelete };

  void Adopt(std::vector<FieldInfo> fields, std::vector<std::vector<Value>> rows);
  void Rebuild();
  void Refilter();
  bool RowMatches(const Criteria& c, int row) const;
  void Land(int64_t p);
  int64_t Slots() const { return static_cast<int64_t>(view_.size()); }
  Status SaveEdit();
  Status WriteBack(Change change, const std::vector<Value>& before, const std::vector<Value>& after);
  bool OnRow() const { return pos_ >= 0 && pos_ < Slots() && !deleted_current_; }
  FieldLookup Lookup() const;

  bool open_ = false;
  std::vector<FieldInfo> appended_;
  CellStore store_;
  std::vector<char> live_;  // per kept row: not deleted
  std::vector<int> order_;  // rows in sort order (indexes into store_; deleted ones skipped later)
  std::vector<int> view_;   // visible rows in visible order: order_ filtered
  LiveSlots slots_;         // which slots of view_ still hold a row (not deleted since)
  mutable std::vector<Value> cur_;  // the cells of the current row handed out by Field
  mutable std::vector<Value> probe_;  // cells read while testing rows against criteria
  int64_t pos_ = 0;
  bool deleted_current_ = false;
  Edit edit_ = Edit::kNone;
  std::vector<Value> backup_;
  std::string sort_text_, filter_text_;
  std::vector<SortKey> sort_keys_;
  Criteria filter_;

  Connection* cn_ = nullptr;
  std::weak_ptr<char> life_;
  LockMode lock_ = LockMode::kReadOnly;
  std::string base_table_;              // the one table the fields come from ("" = none)
  std::vector<std::string> origins_;    // per field, its column in base_table_ ("" = none)
};

}  // namespace kyx::data
