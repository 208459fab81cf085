#include "platform/data/catalog.h"

#include <algorithm>

#include "platform/data/collation.h"

namespace kyx::data {

namespace {

Status NotOpen() { return Status::Error(kNotOpen, "The connection is closed"); }

}  // namespace

std::string Catalog::ColumnDefinition(const FieldInfo& f) const {
  std::string name = cn_.QuoteName(f.name);
  if (cn_.backend() != Backend::SQLite) return name + " " + cn_.ColumnType(f);
  std::string def = name + " " + DeclaredType(f);
  switch (f.type) {
    case FieldType::Text:
      def += " COLLATE JET CONSTRAINT " + cn_.QuoteName("size:" + f.name) + " CHECK (length(" + name +
             ") <= " + std::to_string(f.size) + ")";
      break;
    case FieldType::LongText: def += " COLLATE JET"; break;
    case FieldType::Int16:
      def += " CONSTRAINT " + cn_.QuoteName("range:" + f.name) + " CHECK (" + name + " BETWEEN -32768 AND 32767)";
      break;
    case FieldType::Int32:
      def += " CONSTRAINT " + cn_.QuoteName("range:" + f.name) + " CHECK (" + name +
             " BETWEEN -2147483648 AND 2147483647)";
      break;
    default: break;
  }
  return def;
}

Status Catalog::CreateTable(std::string_view table, const std::vector<FieldInfo>& columns) {
  if (!cn_.IsOpen()) return NotOpen();
  if (columns.empty()) return Status::Error(kNotSupported, "A table needs at least one column: " + std::string(table));
  for (const FieldInfo& f : columns) {
    if (f.type == FieldType::Any || ((f.type == FieldType::Text || f.type == FieldType::LongText) && f.size <= 0))
      return Status::Error(kTypeMismatch, "Column " + f.name + " of " + std::string(table) + " has no valid type");
  }
  std::string sql = "CREATE TABLE " + cn_.QuoteName(table) + " (";
  for (size_t i = 0; i < columns.size(); ++i) {
    if (i) sql += ", ";
    sql += ColumnDefinition(columns[i]);
  }
  sql += ")";
  return cn_.Execute(sql);
}

Status Catalog::DropTable(std::string_view table) {
  if (!cn_.IsOpen()) return NotOpen();
  return cn_.Execute("DROP TABLE " + cn_.QuoteName(table));
}

Status Catalog::AppendColumn(std::string_view table, const FieldInfo& column) {
  if (!cn_.IsOpen()) return NotOpen();
  if (column.type == FieldType::Any)
    return Status::Error(kTypeMismatch, "Column " + column.name + " has no valid type");
  return cn_.Execute("ALTER TABLE " + cn_.QuoteName(table) + " ADD " + ColumnDefinition(column));
}

Status Catalog::CreateIndex(std::string_view table, std::string_view index, const std::vector<std::string>& columns) {
  if (!cn_.IsOpen()) return NotOpen();
  if (columns.empty()) return Status::Error(kNotSupported, "An index needs at least one column: " + std::string(index));
  std::string sql = "CREATE INDEX " + cn_.QuoteName(cn_.StoredIndexName(table, index)) + " ON " +
                    cn_.QuoteName(table) + " (";
  for (size_t i = 0; i < columns.size(); ++i) {
    if (i) sql += ", ";
    sql += cn_.QuoteName(columns[i]);
  }
  sql += ")";
  return cn_.Execute(sql);
}

Status Catalog::DropIndex(std::string_view table, std::string_view index) {
  if (!cn_.IsOpen()) return NotOpen();
  return cn_.Execute("DROP INDEX " + cn_.QuoteName(cn_.StoredIndexName(table, index)));
}

Status Catalog::Tables(std::vector<std::string>* tables) { return cn_.ListTables(tables); }

Status Catalog::ColumnsInCreationOrder(std::string_view table, std::vector<FieldInfo>* columns) {
  return cn_.ListColumns(table, columns);
}

Status Catalog::Columns(std::string_view table, std::vector<FieldInfo>* columns) {
  Status s = cn_.ListColumns(table, columns);
  if (s.ok())
    std::stable_sort(columns->begin(), columns->end(),
                     [](const FieldInfo& a, const FieldInfo& b) { return JetCompare(a.name, b.name) < 0; });
  return s;
}

Status Catalog::Indexes(std::string_view table, std::vector<IndexInfo>* indexes) {
  return cn_.ListIndexes(table, indexes);
}

bool Catalog::HasTable(std::string_view table) {
  std::vector<std::string> tables;
  if (!Tables(&tables).ok()) return false;
  return std::find(tables.begin(), tables.end(), table) != tables.end();
}

}  // namespace kyx::data
