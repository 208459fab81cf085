#pragma once
// The data sets of the sample systems: rows of key codes and values, made deterministically from
// a seed, one at a time, so that any number of them (millions) can be written without holding
// them. The same rows fill the server's data-set table of a system ("LIB/KYX_D0_00F", which the
// elaboration queries read) and the program's local value table "KYX_D0_00F_" & system in
// KYX_2.MDB; comparing an elaboration on the two is then comparing the two paths.
//
// Columns, as the local value table has them: "K_" & key (3 digits) for every key of kind K, A or
// D, then "V_" & value (3 digits) & "_" & data-set slot (2 digits) for every slot of every value.
// Key codes follow the sample's codes (periods, zones, agents, customers, products, lines,
// categories); values are amounts in hundredths.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/data/connection.h"
#include "platform/data/field.h"
#include "tools/dataserver/generator.h"
#include "tools/dataserver/store.h"

namespace kyx::dataserver {

// What a data-set row of a system holds: its keys with a column (number, code length, title)
// and its values with their slots.
struct DataSetShape {
  struct Key {
    int idx = 0;
    int length = 0;
    std::string title;
  };
  struct Value {
    int idx = 0;
    int slots = 0;
  };
  std::vector<Key> keys;
  std::vector<Value> values;
};

// The shape of a system as the server database defines it.
Status LoadDataSetShape(Store& store, const std::string& system, DataSetShape* shape);

// The column names of a row, in row order.
std::vector<std::string> DataSetColumnNames(const DataSetShape& shape);

// The rows of one system's data set: `rows` of them, drawn from `seed` over the codes of the
// sample made with `options` (its seed and sizes). Two generators built alike give the same rows.
class DataSetRows {
 public:
  DataSetRows(DataSetShape shape, const GeneratorOptions& options, uint64_t seed, int64_t rows);
  ~DataSetRows();
  DataSetRows(const DataSetRows&) = delete;
  DataSetRows& operator=(const DataSetRows&) = delete;

  const DataSetShape& shape() const { return shape_; }
  // The next row (key codes as texts, values as doubles); false after the last.
  bool Next(std::vector<data::Value>* row);

 private:
  struct State;
  DataSetShape shape_;
  int64_t left_;
  std::unique_ptr<State> state_;
};

// Writes every row into `table`, committing every 20000 rows; when `numbered`, its column IDX
// numbers them from 1 (the local value table has it). With `create` the table is made first
// (dropped when it exists) with the rows' columns, texts and doubles; otherwise it must exist
// with those columns, as the local value table does.
Status WriteDataSet(data::Connection& cn, const std::string& table, bool numbered, bool create, DataSetRows& rows);

// The sample system's data set in the server database: `rows` rows from `seed`.
Status GenerateDataSet(Store& store, const std::string& system, const GeneratorOptions& options, uint64_t seed,
                       int64_t rows);

}  // namespace kyx::dataserver
