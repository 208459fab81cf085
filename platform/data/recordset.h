#pragma once
// What every kind of recordset offers (in place of ADODB.Recordset): fields, the current row,
// BOF/EOF and moving. The kinds:
//   TableRecordset   table-direct on a named index: Seek, walk in index order, add, change, delete
//   ForwardRecordset forward-only, read-only rows of a query
//   StaticRecordset  client-side copy: Sort, Filter, Find, absolute position, Save/Open, and
//                    fabricated recordsets built from appended fields
// Operations a kind does not support return kNotSupported.
//
// BOF/EOF: BeforeFirst() (BOF) is true before the first row, AfterLast() (EOF) after the last;
// both are true when the recordset has no rows. Reading a field with no current row gives Null.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/data/field.h"
#include "platform/data/status.h"
#include "platform/data/value.h"

namespace kyx::data {

class Recordset {
 public:
  virtual ~Recordset() = default;

  // Recordset.State = adStateOpen.
  virtual bool IsOpen() const = 0;
  // Recordset.Close; closing a closed recordset succeeds.
  virtual Status Close() = 0;

  // Fields collection: names, types and sizes in ordinal order.
  const std::vector<FieldInfo>& Fields() const { return fields_; }
  int FieldCount() const { return static_cast<int>(fields_.size()); }
  // The ordinal of a field (names compare case-insensitively), or -1.
  int FieldIndex(std::string_view name) const;

  // Fields(i).Value / Fields(name).Value of the current row; Null without a current row or
  // for an unknown field.
  // A kind that keeps its rows itself answers from its own storage (no copy per move).
  virtual const Value& Field(int ordinal) const;
  const Value& Field(std::string_view name) const;
  // The same with a status: kItemNotFound for an unknown field, kNoCurrentRecord at BOF/EOF.
  Status Read(std::string_view name, Value* out) const;

  // BOF and EOF.
  virtual bool BeforeFirst() const = 0;
  virtual bool AfterLast() const = 0;

  virtual Status MoveFirst() = 0;
  virtual Status MoveNext() = 0;
  virtual Status MovePrevious() { return Unsupported("MovePrevious"); }
  virtual Status MoveLast() { return Unsupported("MoveLast"); }

  // AddNew, Fields(..).Value = v, Update, CancelUpdate, Delete (the current row).
  virtual Status AddNew() { return Unsupported("AddNew"); }
  virtual Status Set(int ordinal, const Value& value);
  Status Set(std::string_view name, const Value& value);
  // Fields(..).Value = text, the same as Set with a text value, but the text is copied straight
  // into the row's own buffer for the field: a loader that sets the fields of row after row
  // from its own buffers builds no value and allocates nothing per row.
  Status SetText(int ordinal, std::string_view text);
  Status SetText(std::string_view name, std::string_view text);
  virtual Status Update() { return Unsupported("Update"); }
  virtual void CancelUpdate() {}
  virtual Status Delete() { return Unsupported("Delete"); }

  // RecordCount (-1 when the kind cannot tell, as for a forward-only recordset).
  virtual int64_t RecordCount() { return -1; }

 protected:
  Status Unsupported(const char* what) const {
    return Status::Error(kNotSupported, std::string(what) + " is not supported by this recordset");
  }
  // Sets the fields and rebuilds the name lookup.
  void SetFields(std::vector<FieldInfo> fields);
  // The value a field will hold when `value` is assigned to it: numbers and texts converted to
  // the field's type, an int16 or int32 out of range (kNumericOverflow), a text not a number for
  // a numeric field (kTypeMismatch), and, when `check_size`, a text longer than the field
  // (kFieldTooSmall) refused.
  static Status Coerce(const FieldInfo& field, const Value& value, bool check_size, Value* out);

  // Hooks for Set: whether there is a row that can take values now.
  virtual bool CanSet() const { return false; }
  virtual void BeginEdit() {}

  std::vector<FieldInfo> fields_;
  std::vector<Value> row_;  // the current row's values (or the row being added)
  bool has_row_ = false;    // row_ holds a current row

 private:
  // The lookup of a field by name (done for every field of every row a loader adds): an
  // open-addressing table of ordinal + 1 (0 = free slot), a power of two in size and at least
  // twice the number of fields, probed linearly from the name's hash.
  static size_t HashName(std::string_view name);
  int LookUp(std::string_view name) const;
  std::vector<int> names_;
  // Callers mostly name the fields of a row in the order of its columns: the lookup tries the
  // field after the last one found before hashing. first_of_name_[i]: field i is the one its
  // name finds (the first of equal names).
  std::vector<char> first_of_name_;
  mutable size_t next_guess_ = 0;
};

}  // namespace kyx::data
