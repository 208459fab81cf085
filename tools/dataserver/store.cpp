#include "tools/dataserver/store.h"

#include <cstdio>
#include <functional>
#include <map>
#include <sstream>

#include "platform/text/cp1252.h"

namespace kyx::dataserver {

using data::Statement;
using data::Value;

namespace {

const char kSchema[] =
    "CREATE TABLE SISTEMI (IDX INTEGER, SINF TEXT, LIBS1 TEXT, DBSQL TEXT, SEPARATORE TEXT);"
    "CREATE TABLE MAPPA_CHIAVI (SISTEMA TEXT, ELENCATO TEXT, KEY_I INTEGER, KEY_E INTEGER);"
    "CREATE TABLE AREE (SISTEMA TEXT, IDX INTEGER, AREA TEXT, DESCR TEXT, ORDINA TEXT);"
    "CREATE TABLE CHIAVI (SISTEMA TEXT, IDX INTEGER, LUN INTEGER, TESTO TEXT,"
    " TOT_1 TEXT, TOT_2 TEXT, TOT_3 TEXT, TOT_4 TEXT,"
    " TI_01 TEXT, TI_02 TEXT, TI_03 TEXT, TI_04 TEXT, TI_05 TEXT, TI_06 TEXT,"
    " TI_07 TEXT, TI_08 TEXT, TI_09 TEXT, TI_10 TEXT, TI_11 TEXT, TI_12 TEXT,"
    " AREA_1 TEXT, AREA_2 TEXT, AREA_3 TEXT, AREA_4 TEXT, AREA_5 TEXT,"
    " ORDINA TEXT, KEY_D INTEGER, VIS TEXT, KINDB TEXT, ATTR TEXT, FORMATO TEXT);"
    "CREATE TABLE VALORI (SISTEMA TEXT, IDX INTEGER, ELEM INTEGER);"
    "CREATE TABLE LAYOUT (SISTEMA TEXT, IDX INTEGER, DIM_F INTEGER, COL_B INTEGER, DESCR TEXT, FONT TEXT,"
    " ORDINA TEXT, COL_O INTEGER, COL_OT TEXT, XLSRUN TEXT, XLSSTD TEXT,"
    " PARM_1 TEXT, PARM_2 TEXT, PARM_3 TEXT, PARM_4 TEXT, PARM_5 TEXT, PARM_6 TEXT, PARM_7 TEXT,"
    " PARM_8 TEXT, PARM_9 TEXT, PKEY_1 INTEGER, PKEY_2 INTEGER, PKEY_3 INTEGER, PKEY_4 INTEGER,"
    " PKEY_5 INTEGER, PKEY_6 INTEGER, PKEY_7 INTEGER, PKEY_8 INTEGER, PKEY_9 INTEGER, MODEST TEXT);"
    "CREATE TABLE LAY_ELEM (SISTEMA TEXT, LAY INTEGER, IDX INTEGER, RIG INTEGER, COL INTEGER, DIM_S INTEGER,"
    " VIS TEXT, TOT TEXT, INTE TEXT, FORMATO TEXT, CALC TEXT, SINF TEXT, SNINT TEXT, SNTOT TEXT, VIS2 TEXT);"
    "CREATE TABLE LAY_FILTRO (SISTEMA TEXT, LAY INTEGER, IDX INTEGER, POS INTEGER, KEY INTEGER,"
    " BLOCCO TEXT, OPER TEXT, VALORE TEXT, RELAZ TEXT);"
    "CREATE TABLE LAY_DRILL (SISTEMA TEXT, K_LAY INTEGER, POS INTEGER, K_KEY INTEGER, K_IDX INTEGER,"
    " LAY INTEGER, KEYV1 INTEGER, KEYV2 INTEGER, KEYV3 INTEGER, KEYV4 INTEGER, KEYV5 INTEGER,"
    " KEYV6 INTEGER, KEYV7 INTEGER, KEYV8 INTEGER, KEYV9 INTEGER, KEYO1 INTEGER, KEYO2 INTEGER,"
    " KEYO3 INTEGER, KEYO4 INTEGER, KEYO5 INTEGER, KEYO6 INTEGER, KEYO7 INTEGER, KEYO8 INTEGER,"
    " KEYO9 INTEGER, DESCR TEXT, PRM1 TEXT, PRM2 TEXT, PRM3 TEXT, PRM4 TEXT, PRM5 TEXT, PRM6 TEXT,"
    " PRM7 TEXT, PRM8 TEXT, PRM9 TEXT, ANNULL TEXT);"
    "CREATE TABLE UTENTI (NOME TEXT, PASSWORD TEXT, IDX INTEGER);"
    "CREATE TABLE FILTRI_UTENTE (SISTEMA TEXT, UTENTE TEXT, POS INTEGER, KEY INTEGER, OPER TEXT,"
    " VALORE TEXT, BLOCCO TEXT);"
    "CREATE TABLE STRUTTURA_UTENTE (SISTEMA TEXT, UTENTE TEXT, AREA INTEGER, KEY INTEGER, LAYOUTS TEXT);"
    // Kept in the order of the stream (system, key, code, progressive): a full update reads the
    // table front to back instead of jumping from the index to a row a million times.
    "CREATE TABLE DESCRIZIONI (SISTEMA TEXT, KEY INTEGER, CODICE TEXT, PROG INTEGER, STATO TEXT,"
    " DESCR TEXT, TEMPO TEXT, PRIMARY KEY (SISTEMA, KEY, CODICE, PROG)) WITHOUT ROWID;"
    "CREATE INDEX DESCRIZIONI_T ON DESCRIZIONI (SISTEMA, TEMPO)";

std::string Trimmed(std::string_view s) { return std::string(text::rtrim_blanks(s)); }

std::string Join(const std::vector<int>& values) {
  std::string out;
  for (int v : values) {
    if (!out.empty()) out += ',';
    out += std::to_string(v);
  }
  return out;
}

std::vector<int> Split(const std::string& list) {
  std::vector<int> out;
  std::stringstream in(list);
  std::string item;
  while (std::getline(in, item, ',')) {
    if (!item.empty()) out.push_back(std::atoi(item.c_str()));
  }
  return out;
}

// Reads the columns of one result row in order.
class Row {
 public:
  explicit Row(const Statement& st) : st_(st) {}
  std::string Text() { return st_.Read(i_++).AsText(); }
  int Int() { return static_cast<int>(st_.Read(i_++).AsInteger()); }

 private:
  const Statement& st_;
  int i_ = 0;
};

}  // namespace

struct Store::Cache {
  std::map<std::string, std::unique_ptr<Statement>> statements;
};

Store::Store() : cache_(std::make_unique<Cache>()) {}
Store::~Store() {
  cache_.reset();
  cn_.Close();
}

const char* StoreSchema() { return kSchema; }

Status Store::Open(const std::string& path) {
  cache_->statements.clear();
  return cn_.Open(path, data::OpenMode::kExisting);
}

Status Store::Create(const std::string& path) {
  cache_->statements.clear();
  cn_.Close();
  std::remove(path.c_str());
  Status s = cn_.Open(path, data::OpenMode::kCreate);
  if (!s) return s;
  return cn_.Execute(kSchema);
}

Status Store::Insert(const std::string& table, const std::vector<Value>& values) {
  auto& st = cache_->statements[table];
  if (!st) {
    std::string sql = "INSERT INTO " + table + " VALUES (";
    for (std::size_t i = 0; i < values.size(); ++i) sql += i ? ",?" : "?";
    sql += ")";
    Status s = cn_.Prepare(sql, &st);
    if (!s) return s;
  }
  for (std::size_t i = 0; i < values.size(); ++i) {
    Status s = st->Bind(static_cast<int>(i + 1), values[i]);
    if (!s) return s;
  }
  return st->Run();
}

namespace {

Status Query(data::Connection& cn, const std::string& sql, const std::vector<Value>& params,
             const std::function<void(const Statement&)>& row) {
  std::unique_ptr<Statement> st;
  Status s = cn.Prepare(sql, &st);
  if (!s) return s;
  for (std::size_t i = 0; i < params.size(); ++i) {
    s = st->Bind(static_cast<int>(i + 1), params[i]);
    if (!s) return s;
  }
  for (;;) {
    bool have = false;
    s = st->Step(&have);
    if (!s || !have) return s;
    row(*st);
  }
}

SystemDef ReadSystem(const Statement& st) {
  Row r(st);
  SystemDef s;
  s.idx = r.Int();
  s.code = r.Text();
  s.library = r.Text();
  s.sql_database = r.Text();
  s.separator = r.Text();
  return s;
}

}  // namespace

Status Store::AddSystem(const SystemDef& s) {
  return Insert("SISTEMI", {s.idx, s.code, s.library, s.sql_database, s.separator});
}

Status Store::AddKeyMap(const std::string& system, const KeyMapEntry& e) {
  return Insert("MAPPA_CHIAVI", {system, e.listed, e.key_i, e.key_e});
}

Status Store::AddArea(const std::string& system, const AreaDef& a) {
  return Insert("AREE", {system, a.idx, a.code, a.description, a.order});
}

Status Store::AddKey(const std::string& system, const KeyDef& k) {
  std::vector<Value> v{system, k.idx, k.length, k.title};
  for (const auto& t : k.totals) v.emplace_back(t);
  for (const auto& t : k.titles) v.emplace_back(t);
  for (const auto& a : k.areas) v.emplace_back(a);
  v.insert(v.end(), {k.order, k.description_key, k.visible, k.kind, k.attribute, k.format});
  return Insert("CHIAVI", v);
}

Status Store::AddValue(const std::string& system, const ValueDef& v) {
  return Insert("VALORI", {system, v.idx, v.elements});
}

Status Store::AddLayout(const std::string& system, const LayoutDef& l) {
  std::vector<Value> v{system, l.idx, l.dim_f, l.col_b, l.description, l.font, l.order, l.col_o, l.col_ot,
                       l.xls_run, l.xls_std};
  for (const auto& p : l.parameters) v.emplace_back(p);
  for (int k : l.parameter_keys) v.emplace_back(k);
  v.emplace_back(l.modest);
  return Insert("LAYOUT", v);
}

Status Store::AddElement(const std::string& system, int layout, const ElementDef& e) {
  Status s = Insert("LAY_ELEM", {system, layout, e.idx, e.row, e.column, e.print_width, e.visible, e.total,
                                 e.heading, e.format, e.calc, e.system, e.sn_int, e.sn_tot, e.vis2});
  for (const auto& f : e.filters) {
    if (!s) break;
    s = Insert("LAY_FILTRO", {system, layout, e.idx, f.position, f.key, f.block, f.op, f.value, f.relation});
  }
  return s;
}

Status Store::AddDrill(const std::string& system, int layout, int position, const DrillDef& d) {
  std::vector<Value> v{system, layout, position, d.key, d.index, d.layout};
  for (int x : d.key_values) v.emplace_back(x);
  for (int x : d.key_orders) v.emplace_back(x);
  v.emplace_back(d.description);
  for (const auto& p : d.parameters) v.emplace_back(p);
  v.emplace_back(d.cancelled);
  return Insert("LAY_DRILL", v);
}

Status Store::AddUser(const UserDef& u) { return Insert("UTENTI", {u.name, u.password, u.idx}); }

Status Store::AddUserFilter(const std::string& system, const std::string& user, int position,
                            const UserFilterDef& f) {
  return Insert("FILTRI_UTENTE", {system, user, position, f.key, f.op, f.value, f.block});
}

Status Store::AddUserStructure(const std::string& system, const std::string& user, const UserStructureDef& s) {
  return Insert("STRUTTURA_UTENTE", {system, user, s.area, s.key, Join(s.layouts)});
}

Status Store::PutDescription(const DescriptionRow& d) {
  auto& st = cache_->statements["#description"];
  if (!st) {
    Status s = cn_.Prepare(
        "INSERT INTO DESCRIZIONI VALUES (?,?,?,?,?,?,?) ON CONFLICT (SISTEMA, KEY, CODICE, PROG) "
        "DO UPDATE SET STATO = excluded.STATO, DESCR = excluded.DESCR, TEMPO = excluded.TEMPO",
        &st);
    if (!s) return s;
  }
  const std::vector<Value> v{d.system, d.key, d.code, d.progressive, d.status, d.text, d.time};
  for (std::size_t i = 0; i < v.size(); ++i) {
    Status s = st->Bind(static_cast<int>(i + 1), v[i]);
    if (!s) return s;
  }
  return st->Run();
}

Status Store::Systems(std::vector<SystemDef>* out) {
  out->clear();
  return Query(cn_, "SELECT IDX, SINF, LIBS1, DBSQL, SEPARATORE FROM SISTEMI ORDER BY IDX", {},
               [&](const Statement& st) { out->push_back(ReadSystem(st)); });
}

Status Store::FindSystem(const std::string& code, SystemDef* out, bool* found) {
  *found = false;
  const std::string wanted = Trimmed(code);
  std::vector<SystemDef> all;
  Status s = Systems(&all);
  for (const auto& sys : all) {
    if (Trimmed(sys.code) == wanted && !wanted.empty()) {
      *out = sys;
      *found = true;
      break;
    }
  }
  return s;
}

Status Store::FindSystemByLibrary(const std::string& library, SystemDef* out, bool* found) {
  *found = false;
  const std::string wanted = Trimmed(library);
  std::vector<SystemDef> all;
  Status s = Systems(&all);
  for (const auto& sys : all) {
    if (Trimmed(sys.library) == wanted && !wanted.empty()) {
      *out = sys;
      *found = true;
      break;
    }
  }
  return s;
}

Status Store::KeyMap(const std::string& system, std::vector<KeyMapEntry>* out) {
  out->clear();
  return Query(cn_, "SELECT ELENCATO, KEY_I, KEY_E FROM MAPPA_CHIAVI WHERE SISTEMA = ? ORDER BY ELENCATO, KEY_I",
               {system}, [&](const Statement& st) {
                 Row r(st);
                 KeyMapEntry e;
                 e.listed = r.Text();
                 e.key_i = r.Int();
                 e.key_e = r.Int();
                 out->push_back(e);
               });
}

Status Store::Areas(const std::string& system, std::vector<AreaDef>* out) {
  out->clear();
  return Query(cn_, "SELECT IDX, AREA, DESCR, ORDINA FROM AREE WHERE SISTEMA = ? ORDER BY IDX", {system},
               [&](const Statement& st) {
                 Row r(st);
                 AreaDef a;
                 a.idx = r.Int();
                 a.code = r.Text();
                 a.description = r.Text();
                 a.order = r.Text();
                 out->push_back(a);
               });
}

Status Store::Keys(const std::string& system, std::vector<KeyDef>* out) {
  out->clear();
  return Query(cn_, "SELECT * FROM CHIAVI WHERE SISTEMA = ? ORDER BY IDX", {system}, [&](const Statement& st) {
    Row r(st);
    KeyDef k;
    r.Text();  // SISTEMA
    k.idx = r.Int();
    k.length = r.Int();
    k.title = r.Text();
    for (auto& t : k.totals) t = r.Text();
    for (auto& t : k.titles) t = r.Text();
    for (auto& a : k.areas) a = r.Text();
    k.order = r.Text();
    k.description_key = r.Int();
    k.visible = r.Text();
    k.kind = r.Text();
    k.attribute = r.Text();
    k.format = r.Text();
    out->push_back(k);
  });
}

Status Store::Values(const std::string& system, std::vector<ValueDef>* out) {
  out->clear();
  return Query(cn_, "SELECT IDX, ELEM FROM VALORI WHERE SISTEMA = ? ORDER BY IDX", {system},
               [&](const Statement& st) {
                 Row r(st);
                 ValueDef v;
                 v.idx = r.Int();
                 v.elements = r.Int();
                 out->push_back(v);
               });
}

Status Store::Layouts(const std::string& system, std::vector<LayoutDef>* out) {
  out->clear();
  return Query(cn_, "SELECT * FROM LAYOUT WHERE SISTEMA = ? ORDER BY IDX", {system}, [&](const Statement& st) {
    Row r(st);
    LayoutDef l;
    r.Text();
    l.idx = r.Int();
    l.dim_f = r.Int();
    l.col_b = r.Int();
    l.description = r.Text();
    l.font = r.Text();
    l.order = r.Text();
    l.col_o = r.Int();
    l.col_ot = r.Text();
    l.xls_run = r.Text();
    l.xls_std = r.Text();
    for (auto& p : l.parameters) p = r.Text();
    for (auto& k : l.parameter_keys) k = r.Int();
    l.modest = r.Text();
    out->push_back(l);
  });
}

Status Store::Elements(const std::string& system, int layout, std::vector<ElementDef>* out) {
  out->clear();
  Status s = Query(cn_, "SELECT * FROM LAY_ELEM WHERE SISTEMA = ? AND LAY = ? ORDER BY IDX", {system, layout},
                   [&](const Statement& st) {
                     Row r(st);
                     ElementDef e;
                     r.Text();
                     r.Int();
                     e.idx = r.Int();
                     e.row = r.Int();
                     e.column = r.Int();
                     e.print_width = r.Int();
                     e.visible = r.Text();
                     e.total = r.Text();
                     e.heading = r.Text();
                     e.format = r.Text();
                     e.calc = r.Text();
                     e.system = r.Text();
                     e.sn_int = r.Text();
                     e.sn_tot = r.Text();
                     e.vis2 = r.Text();
                     out->push_back(e);
                   });
  if (!s) return s;
  std::map<int, ElementDef*> by_idx;
  for (auto& e : *out) by_idx[e.idx] = &e;
  return Query(cn_,
               "SELECT IDX, POS, KEY, BLOCCO, OPER, VALORE, RELAZ FROM LAY_FILTRO WHERE SISTEMA = ? AND LAY = ? "
               "ORDER BY IDX, POS",
               {system, layout}, [&](const Statement& st) {
                 Row r(st);
                 const int idx = r.Int();
                 ElementFilter f;
                 f.position = r.Int();
                 f.key = r.Int();
                 f.block = r.Text();
                 f.op = r.Text();
                 f.value = r.Text();
                 f.relation = r.Text();
                 auto it = by_idx.find(idx);
                 if (it != by_idx.end()) it->second->filters.push_back(f);
               });
}

Status Store::Drills(const std::string& system, int layout, std::vector<DrillDef>* out) {
  out->clear();
  return Query(cn_, "SELECT * FROM LAY_DRILL WHERE SISTEMA = ? AND K_LAY = ? ORDER BY POS", {system, layout},
               [&](const Statement& st) {
                 Row r(st);
                 DrillDef d;
                 r.Text();
                 r.Int();
                 r.Int();
                 d.key = r.Int();
                 d.index = r.Int();
                 d.layout = r.Int();
                 for (auto& x : d.key_values) x = r.Int();
                 for (auto& x : d.key_orders) x = r.Int();
                 d.description = r.Text();
                 for (auto& p : d.parameters) p = r.Text();
                 d.cancelled = r.Text();
                 out->push_back(d);
               });
}

Status Store::FindUser(const std::string& name, UserDef* out, bool* found) {
  *found = false;
  const std::string wanted = Trimmed(name);
  std::vector<UserDef> users;
  const Status s = Users(&users);
  for (const auto& u : users) {
    if (!*found && !wanted.empty() && Trimmed(u.name) == wanted) {
      *out = u;
      *found = true;
    }
  }
  return s;
}

Status Store::Users(std::vector<UserDef>* out) {
  out->clear();
  return Query(cn_, "SELECT NOME, PASSWORD, IDX FROM UTENTI ORDER BY IDX", {}, [&](const Statement& st) {
    Row r(st);
    UserDef u;
    u.name = r.Text();
    u.password = r.Text();
    u.idx = r.Int();
    out->push_back(u);
  });
}

Status Store::UserFilters(const std::string& system, const std::string& user, std::vector<UserFilterDef>* out) {
  out->clear();
  return Query(cn_,
               "SELECT KEY, OPER, VALORE, BLOCCO FROM FILTRI_UTENTE WHERE SISTEMA = ? AND UTENTE = ? ORDER BY POS",
               {system, user}, [&](const Statement& st) {
                 Row r(st);
                 UserFilterDef f;
                 f.key = r.Int();
                 f.op = r.Text();
                 f.value = r.Text();
                 f.block = r.Text();
                 out->push_back(f);
               });
}

Status Store::UserStructures(const std::string& system, const std::string& user,
                             std::vector<UserStructureDef>* out) {
  out->clear();
  return Query(cn_,
               "SELECT AREA, KEY, LAYOUTS FROM STRUTTURA_UTENTE WHERE SISTEMA = ? AND UTENTE = ? "
               "ORDER BY rowid",
               {system, user}, [&](const Statement& st) {
                 Row r(st);
                 UserStructureDef s;
                 s.area = r.Int();
                 s.key = r.Int();
                 s.layouts = Split(r.Text());
                 out->push_back(s);
               });
}

Status Store::Descriptions(const std::string& system, const std::string& since, std::vector<DescriptionRow>* out) {
  out->clear();
  return Query(cn_,
               "SELECT KEY, CODICE, PROG, STATO, DESCR, TEMPO FROM DESCRIZIONI WHERE SISTEMA = ? AND TEMPO >= ? "
               "ORDER BY KEY, CODICE, PROG",
               {system, since}, [&](const Statement& st) {
                 Row r(st);
                 DescriptionRow d;
                 d.system = system;
                 d.key = r.Int();
                 d.code = r.Text();
                 d.progressive = r.Int();
                 d.status = r.Text();
                 d.text = r.Text();
                 d.time = r.Text();
                 out->push_back(d);
               });
}

Status Store::DescriptionsAfter(const std::string& system, const std::string& since, const DescriptionKey* after,
                                const std::function<bool(const DescriptionRow&)>& row) {
  // "+TEMPO" keeps the planner off the time index: the rows must come in key order, straight
  // from the primary key (or from DESCRIZIONI_K in a file written before it), never sorted.
  auto& st = cache_->statements[after ? "#descriptions-after" : "#descriptions-first"];
  if (!st) {
    Status s = cn_.Prepare(std::string("SELECT KEY, CODICE, PROG, STATO, DESCR, TEMPO FROM DESCRIZIONI "
                                       "WHERE SISTEMA = ?1 AND +TEMPO >= ?2") +
                               (after ? " AND (KEY, CODICE, PROG) > (?3, ?4, ?5)" : "") +
                               " ORDER BY KEY, CODICE, PROG",
                           &st);
    if (!s) return s;
  }
  Status s = st->Bind(1, Value(system));
  if (s) s = st->Bind(2, Value(since));
  if (s && after) s = st->Bind(3, Value(after->key));
  if (s && after) s = st->Bind(4, Value(after->code));
  if (s && after) s = st->Bind(5, Value(after->progressive));
  if (!s) return s;
  DescriptionRow d;
  d.system = system;
  Value v;
  // Bounded by the rows of the table; the caller usually stops after one block's worth.
  for (;;) {
    bool have = false;
    s = st->Step(&have);
    if (!s || !have) break;
    st->Read(0, &v);
    d.key = static_cast<int>(v.AsInteger());
    st->Read(1, &v);
    d.code = v.AsText();
    st->Read(2, &v);
    d.progressive = static_cast<int>(v.AsInteger());
    st->Read(3, &v);
    d.status = v.AsText();
    st->Read(4, &v);
    d.text = v.AsText();
    st->Read(5, &v);
    d.time = v.AsText();
    if (!row(d)) break;
  }
  // Reset at once: no read lock outlives the block, whatever the client does next.
  st->Reset();
  return s;
}

Status Store::Count(const std::string& table, int64_t* out) {
  *out = 0;
  return Query(cn_, "SELECT COUNT(*) FROM " + table, {},
               [&](const Statement& st) { *out = st.Read(0).AsInteger(); });
}

}  // namespace kyx::dataserver
