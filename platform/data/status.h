#pragma once
// The outcome of a data-layer call: success, or an error number with its description, which the
// callers put into their numbered messages ("Errore 015 ", CR, number, CR, description, ...).
//
// Numbers: an error raised by the database engine carries the engine's own (extended) result
// code; an error the layer raises itself carries one of the numbers of `ErrorNumber`, chosen as
// the numbers the original engine gave the same failures, so that messages read the same.
#include <string>
#include <utility>

namespace kyx::data {

enum ErrorNumber : int {
  kNoError = 0,
  kNotOpen = 3704,            // operation on a closed connection or recordset
  kNoCurrentRecord = 3021,    // BOF or EOF is true, or the current record was deleted
  kItemNotFound = 3265,       // no field, table or index of that name
  kFieldTooSmall = 3163,      // text wider than the column's declared size
  kNumericOverflow = 3349,    // a value outside the range of its integer column
  kTypeMismatch = 3464,       // a value that cannot be converted to the column's type
  kBadCriteria = 3001,        // a Sort, Filter or Find text that cannot be understood
  kNotADatabase = 3343,       // a file that is not a database of ours
  kFileNotFound = 3024,       // a database file that does not exist
  kFileError = 3051,          // a file that cannot be created, read, written or renamed
  kNotRecordsetFile = 3709,   // a file that is not a recordset saved by us
  kNotSupported = 3251,       // the operation is not available on this kind of recordset
  kAlreadyExists = 3010,      // a table or index that already exists
  kRowNotFound = 3197,        // the row to update was changed or removed by someone else
};

class Status {
 public:
  Status() = default;
  static Status Ok() { return Status(); }
  static Status Error(int number, std::string description) {
    Status s;
    s.number_ = number == 0 ? -1 : number;
    s.description_ = std::move(description);
    return s;
  }

  bool ok() const { return number_ == 0; }
  explicit operator bool() const { return ok(); }
  // The error number (0 on success).
  int number() const { return number_; }
  // The error description in Windows-1252 ("" on success).
  const std::string& description() const { return description_; }
  // "number - description", for logs and test failures.
  std::string ToString() const;

 private:
  int number_ = 0;
  std::string description_;
};

}  // namespace kyx::data
