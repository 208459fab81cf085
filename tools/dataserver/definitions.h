#pragma once
// The definitions of an information system as the server keeps them: plain rows, one struct per
// table of the server database (store.h), texts in Windows-1252. The image builders (images.h)
// lay them out as the fixed records the program downloads.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kyx::dataserver {

struct SystemDef {
  int idx = 0;               // index of the system on the server (login reply, systems list)
  std::string code;          // SINF, at most 10 characters
  std::string library;       // library holding the system's definitions, at most 10
  std::string sql_database;  // SQL Server database of the system, at most 50
  std::string separator;     // separator of the values in filter records (login reply)
};

// One pair of the key map of a listed system: key `key_i` of the system whose library is read is
// key `key_e` of the listed system.
struct KeyMapEntry {
  std::string listed;  // code of the system the record describes
  int key_i = 0;       // 1..128
  int key_e = 0;       // 1..255
};

struct AreaDef {
  int idx = 0;
  std::string code;  // 3
  std::string description;
  std::string order;  // 5
};

struct KeyDef {
  int idx = 0;
  int length = 0;
  std::string title;
  std::array<std::string, 4> totals;    // one character each
  std::array<std::string, 12> titles;   // 20 each
  std::array<std::string, 5> areas;     // 3 each
  std::string order;                    // 5
  int description_key = 0;              // KEY_D
  std::string visible;                  // 1
  std::string kind;                     // K, A, D, I
  std::string attribute;                // 1, 2, 3, A..K
  std::string format;                   // 20
};

struct ValueDef {
  int idx = 0;
  int elements = 0;
};

struct LayoutDef {
  int idx = 0;
  int dim_f = 0;
  int col_b = 0;
  std::string description;
  std::string font;
  std::string order;
  int col_o = 0;
  std::string col_ot;
  std::string xls_run;
  std::string xls_std;
  std::array<std::string, 9> parameters;
  std::array<int, 9> parameter_keys{};
  std::string modest;
};

struct ElementFilter {
  int position = 0;  // 1..25 within the element
  int key = 0;
  std::string block;     // 1
  std::string op;        // 1
  std::string value;     // 60
  std::string relation;  // 1
};

struct ElementDef {
  int idx = 0;  // element number within the layout
  int row = 0;
  int column = 0;
  int print_width = 0;  // DIM_S
  std::string visible;
  std::string total;
  std::string heading;
  std::string format;
  std::string calc;
  std::string system;  // SINF of the element, blank for the layout's own
  std::string sn_int;
  std::string sn_tot;
  std::string vis2;
  std::vector<ElementFilter> filters;
};

struct DrillDef {
  int key = 0;     // K_KEY
  int index = 0;   // K_IDX
  int layout = 0;  // LAY reached
  std::array<int, 9> key_values{};
  std::array<int, 9> key_orders{};
  std::string description;
  std::array<std::string, 9> parameters;
  std::string cancelled;  // ANNULL, never "A"
};

struct UserDef {
  std::string name;
  std::string password;
  int idx = 0;
};

struct UserFilterDef {
  int key = 0;
  std::string op;
  std::string value;  // 60
  std::string block;
};

struct UserStructureDef {
  int area = 0;
  int key = 0;
  std::vector<int> layouts;  // 1..256
};

struct DescriptionRow {
  std::string system;
  int key = 0;
  std::string code;
  int progressive = 1;  // 1..16 (the server keeps what it is given)
  std::string status;   // "A" deleted, " " valid
  std::string text;
  std::string time;  // yyyymmddhhnnss of the last change
};

// Where a description sits in the stream's order.
struct DescriptionKey {
  int key = 0;
  std::string code;
  int progressive = 0;
};

}  // namespace kyx::dataserver
