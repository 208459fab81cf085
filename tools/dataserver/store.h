#pragma once
// The server database: a SQLite file (through our data layer) holding every information system
// the server offers: systems and their key maps, areas, keys, values, layouts with elements,
// element filters and drill rows, users with passwords, user filters and structures, and the
// descriptions of key codes with the time of their last change.
//
// One Store belongs to one thread: each connection of the server opens its own, so sessions read
// concurrently while a test or the generator writes through another. Texts are Windows-1252.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/data/sqlite_connection.h"
#include "tools/dataserver/definitions.h"

namespace kyx::dataserver {

using data::Status;

class Store {
 public:
  Store();
  ~Store();
  Store(const Store&) = delete;
  Store& operator=(const Store&) = delete;

  // Opens an existing server database.
  Status Open(const std::string& path);
  // Creates a new, empty server database (an existing file is replaced).
  Status Create(const std::string& path);
  data::SqliteConnection& connection() { return cn_; }

  Status Begin() { return cn_.BeginTransaction(); }
  Status Commit() { return cn_.Commit(); }

  // ---- Writing (the generator, tests) -----------------------------------------------------------
  Status AddSystem(const SystemDef& s);
  Status AddKeyMap(const std::string& system, const KeyMapEntry& e);
  Status AddArea(const std::string& system, const AreaDef& a);
  Status AddKey(const std::string& system, const KeyDef& k);
  Status AddValue(const std::string& system, const ValueDef& v);
  Status AddLayout(const std::string& system, const LayoutDef& l);
  Status AddElement(const std::string& system, int layout, const ElementDef& e);
  Status AddDrill(const std::string& system, int layout, int position, const DrillDef& d);
  Status AddUser(const UserDef& u);
  Status AddUserFilter(const std::string& system, const std::string& user, int position, const UserFilterDef& f);
  Status AddUserStructure(const std::string& system, const std::string& user, const UserStructureDef& s);
  // Inserts the description row, or replaces the row of the same system, key, code and
  // progressive (its status, text and change time).
  Status PutDescription(const DescriptionRow& d);

  // ---- Reading (the sessions) -------------------------------------------------------------------
  Status Systems(std::vector<SystemDef>* out);
  // The system of that code (trailing blanks ignored); *found false when there is none.
  Status FindSystem(const std::string& code, SystemDef* out, bool* found);
  Status FindSystemByLibrary(const std::string& library, SystemDef* out, bool* found);
  Status KeyMap(const std::string& system, std::vector<KeyMapEntry>* out);
  Status Areas(const std::string& system, std::vector<AreaDef>* out);
  Status Keys(const std::string& system, std::vector<KeyDef>* out);
  Status Values(const std::string& system, std::vector<ValueDef>* out);
  Status Layouts(const std::string& system, std::vector<LayoutDef>* out);
  Status Elements(const std::string& system, int layout, std::vector<ElementDef>* out);
  Status Drills(const std::string& system, int layout, std::vector<DrillDef>* out);
  Status FindUser(const std::string& name, UserDef* out, bool* found);
  // Every user, in index order.
  Status Users(std::vector<UserDef>* out);
  Status UserFilters(const std::string& system, const std::string& user, std::vector<UserFilterDef>* out);
  Status UserStructures(const std::string& system, const std::string& user, std::vector<UserStructureDef>* out);
  // The descriptions of a system changed at or after `since` (yyyymmddhhnnss), in the order of
  // key, code and progressive.
  Status Descriptions(const std::string& system, const std::string& since, std::vector<DescriptionRow>* out);
  // The same rows one at a time, from the first whose key comes after `after` (from the start
  // when it is null), until `row` returns false or the rows run out; nothing is held between two
  // calls, so a stream can be read block by block without loading it whole.
  Status DescriptionsAfter(const std::string& system, const std::string& since, const DescriptionKey* after,
                           const std::function<bool(const DescriptionRow&)>& row);
  // Row counts of a table (for tests and the generator's report).
  Status Count(const std::string& table, int64_t* out);

 private:
  Status Insert(const std::string& table, const std::vector<data::Value>& values);

  data::SqliteConnection cn_;
  struct Cache;
  std::unique_ptr<Cache> cache_;
};

// The schema, as statements separated by ";".
const char* StoreSchema();

}  // namespace kyx::dataserver
