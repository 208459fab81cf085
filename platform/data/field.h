#pragma once
// Column and field descriptions shared by the catalog, the connections and the recordsets.
#include <string>
#include <string_view>
#include <vector>

namespace kyx::data {

// The column types of the local databases (ADOX type codes in brackets).
enum class FieldType : unsigned char {
  Any = 0,       // no declared type (an expression in a query): values keep their own kind
  Text = 1,      // text(n), adVarWChar (202) / adVarChar (200); size = n characters
  Int16 = 2,     // adSmallInt (2)
  Int32 = 3,     // adInteger (3)
  Double = 4,    // adDouble (5)
  Numeric = 5,   // numeric(17,3), adNumeric (131): precision 17, scale 3, held as a double
  LongText = 6,  // long text, adLongVarWChar (203); size = the defined size (not enforced)
};

// A column of a table, or a field of a recordset (ADOX Column / ADO Field).
struct FieldInfo {
  std::string name;
  FieldType type = FieldType::Any;
  int size = 0;  // characters for Text and LongText; 0 otherwise

  bool operator==(const FieldInfo&) const = default;
};

inline FieldInfo TextField(std::string name, int size) { return {std::move(name), FieldType::Text, size}; }
inline FieldInfo Int16Field(std::string name) { return {std::move(name), FieldType::Int16, 0}; }
inline FieldInfo Int32Field(std::string name) { return {std::move(name), FieldType::Int32, 0}; }
inline FieldInfo DoubleField(std::string name) { return {std::move(name), FieldType::Double, 0}; }
inline FieldInfo NumericField(std::string name) { return {std::move(name), FieldType::Numeric, 0}; }
inline FieldInfo LongTextField(std::string name, int size) { return {std::move(name), FieldType::LongText, size}; }

// An index of a table: its name as the system knows it (per table) and its columns in order.
struct IndexInfo {
  std::string name;
  std::vector<std::string> columns;

  bool operator==(const IndexInfo&) const = default;
};

// The declared SQL type of a column: "TEXT(10)", "SMALLINT", "INTEGER", "DOUBLE",
// "NUMERIC_REAL(17,3)", "LONGTEXT(512)". The names give SQLite the right affinity: INTEGER for
// the two integer types, TEXT for both texts, REAL for double and numeric (so that numeric values
// stay doubles and a division never turns into an integer division).
std::string DeclaredType(const FieldInfo& field);

// The reverse of DeclaredType (name left empty); FieldType::Any for any other text.
FieldInfo ParseDeclaredType(std::string_view declared);

// Case-insensitive ASCII comparison of names (field, table and index names).
bool SameName(std::string_view a, std::string_view b);

}  // namespace kyx::data
