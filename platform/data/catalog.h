#pragma once
// Tables, columns and indexes of a database (in place of ADOX Catalog, Table, Column, Index).
//
// On SQLite every text column declares the JET collation, so that comparisons, sorts and indexes
// on it follow the original engine (collation.h). Each text column also carries a named check
// that its length is within the declared size, and each integer column one that its value is
// within range, so that a too-wide text or an overflowing int16 is refused by every statement,
// the layer's own inserts and updates and any SQL alike (errors kFieldTooSmall and
// kNumericOverflow). Index names are per table in the system but per database in SQLite, so an
// index is stored as "<index>__<table>" and listed back under its own name.
#include <string>
#include <string_view>
#include <vector>

#include "platform/data/connection.h"

namespace kyx::data {

class Catalog {
 public:
  // ADOX Catalog.ActiveConnection = connection.
  explicit Catalog(Connection& connection) : cn_(connection) {}

  // Catalog.Tables.Append of a new table with these columns, in this order.
  Status CreateTable(std::string_view table, const std::vector<FieldInfo>& columns);
  // Catalog.Tables.Delete.
  Status DropTable(std::string_view table);
  // Table.Columns.Append on an existing table: the column goes to the end; rows already there
  // hold Null in it.
  Status AppendColumn(std::string_view table, const FieldInfo& column);
  // Table.Indexes.Append: not unique, not primary, all columns ascending, duplicates allowed.
  Status CreateIndex(std::string_view table, std::string_view index, const std::vector<std::string>& columns);
  // Table.Indexes.Delete.
  Status DropIndex(std::string_view table, std::string_view index);

  // Catalog.Tables: the user tables, in creation order.
  Status Tables(std::vector<std::string>* tables);
  // Table.Columns as ADOX lists them: in ascending order of name (case-insensitive).
  Status Columns(std::string_view table, std::vector<FieldInfo>* columns);
  // The columns in creation order (the order of the fields of a recordset on the table).
  Status ColumnsInCreationOrder(std::string_view table, std::vector<FieldInfo>* columns);
  // Table.Indexes, under the names the system gave them.
  Status Indexes(std::string_view table, std::vector<IndexInfo>* indexes);

  // Whether a table of that name exists (exact spelling, as the original's lookups compared).
  bool HasTable(std::string_view table);

  // The column definition text used in CREATE TABLE and ALTER TABLE (exposed for tests).
  std::string ColumnDefinition(const FieldInfo& column) const;

 private:
  Connection& cn_;
};

}  // namespace kyx::data
