#include "platform/data/columnar_cache.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <numeric>
#include <thread>
#include <unordered_map>

#include "platform/data/collation.h"
#include "platform/data/sqlite_connection.h"
#include "platform/data/sqlite_error.h"

namespace kyx::data {
namespace {

bool SameColumn(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (JetUpper(static_cast<unsigned char>(a[i])) != JetUpper(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

bool StartsWith(std::string_view name, char letter) {
  return name.size() > 2 && (name[0] == letter || name[0] == letter + 32) && name[1] == '_';
}

// The form that every text of one collation class shares: upper case, no trailing blanks.
std::string ClassOf(std::string_view text) {
  size_t n = text.size();
  while (n > 0 && text[n - 1] == ' ') --n;
  std::string out(n, ' ');
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<char>(JetUpper(static_cast<unsigned char>(text[i])));
  return out;
}

// Codes the texts of one key column by their collation class: a class keeps the code of the
// first text seen of it.
class Coder {
 public:
  explicit Coder(ColumnarKey* key) : key_(key) {
    if (key_->texts.empty()) key_->texts.emplace_back();
  }
  uint32_t Code(std::string_view text) {
    std::string cls = ClassOf(text);
    auto it = class_.find(cls);
    if (it != class_.end()) return it->second;
    const auto code = static_cast<uint32_t>(key_->texts.size());
    key_->texts.emplace_back(text);
    class_.emplace(std::move(cls), code);
    return code;
  }

 private:
  ColumnarKey* key_;
  std::unordered_map<std::string, uint32_t> class_;
};

// Ranks the codes of a key in collation order (Null first).
void Rank(ColumnarKey* key) {
  const size_t n = key->texts.size();
  std::vector<uint32_t> order(n > 0 ? n - 1 : 0);
  std::iota(order.begin(), order.end(), 1u);
  std::sort(order.begin(), order.end(),
            [&](uint32_t a, uint32_t b) { return JetCompare(key->texts[a], key->texts[b]) < 0; });
  key->ranks.assign(std::max<size_t>(n, 1), 0);
  for (size_t i = 0; i < order.size(); ++i) key->ranks[order[i]] = static_cast<uint32_t>(i + 1);
}

uint64_t HashBytes(std::string_view s) {
  uint64_t h = 0x9E3779B97F4A7C15ull ^ s.size();
  size_t i = 0;
  for (; i + 8 <= s.size(); i += 8) {
    uint64_t w;
    std::memcpy(&w, s.data() + i, 8);
    h = (h ^ w) * 0xBF58476D1CE4E5B9ull;
    h ^= h >> 31;
  }
  uint64_t w = 0;
  std::memcpy(&w, s.data() + i, s.size() - i);
  h = (h ^ w) * 0x94D049BB133111EBull;
  return h ^ (h >> 29);
}

// The texts of one key column as the database stores them (UTF-8) to their codes. A data set
// repeats a few hundred codes over millions of rows: almost every row is found here, without
// converting, allocating or comparing more than its own bytes.
class RawCodes {
 public:
  RawCodes() : slots_(64) {}
  // The code of `raw`, 0 when it was not seen yet.
  uint32_t Find(std::string_view raw, uint64_t hash) const {
    for (size_t i = hash & (slots_.size() - 1);; i = (i + 1) & (slots_.size() - 1)) {
      const Slot& s = slots_[i];
      if (s.code == 0) return 0;
      if (s.hash == hash && s.size == raw.size() && std::memcmp(bytes_.data() + s.offset, raw.data(), raw.size()) == 0)
        return s.code;
    }
  }
  void Add(std::string_view raw, uint64_t hash, uint32_t code) {
    if (2 * (used_ + 1) > slots_.size()) Grow();
    Place({hash, static_cast<uint32_t>(bytes_.size()), static_cast<uint32_t>(raw.size()), code});
    bytes_.append(raw);
    ++used_;
  }

 private:
  struct Slot {
    uint64_t hash = 0;
    uint32_t offset = 0, size = 0;
    uint32_t code = 0;  // 0 = empty
  };
  void Place(const Slot& slot) {
    size_t i = slot.hash & (slots_.size() - 1);
    while (slots_[i].code != 0) i = (i + 1) & (slots_.size() - 1);
    slots_[i] = slot;
  }
  void Grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    for (const Slot& s : old)
      if (s.code != 0) Place(s);
  }
  std::vector<Slot> slots_;
  std::string bytes_;
  size_t used_ = 0;
};

// What tells one state of a database file from another.
struct Stamp {
  std::string path;
  uint64_t inode = 0, device = 0;
  int64_t size = 0, mtime_ns = 0;
  int64_t data_version = -1;
  uint64_t changes = 0;
  bool operator==(const Stamp&) const = default;
};

bool TakeStamp(Connection& cn, Stamp* out) {
  auto* sqlite = dynamic_cast<SqliteConnection*>(&cn);
  if (!sqlite || !sqlite->IsOpen() || sqlite->InTransaction()) return false;
  struct stat st {};
  if (::stat(sqlite->path().c_str(), &st) != 0) return false;
  out->path = sqlite->path();
  out->inode = st.st_ino;
  out->device = st.st_dev;
  out->size = st.st_size;
  out->mtime_ns = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  out->changes = cn.ChangeCounter();
  std::unique_ptr<Statement> st_version;
  bool row = false;
  if (!cn.Prepare("PRAGMA data_version", &st_version).ok() || !st_version->Step(&row).ok() || !row) return false;
  out->data_version = st_version->Read(0).AsInteger();
  return true;
}

struct Entry {
  Stamp stamp;
  std::shared_ptr<const ColumnarTable> table;
  uint64_t used = 0;  // the use counter when it was last asked for
};

// Copies kept at once: the systems worked with last (a copy of ten million rows is some hundred
// megabytes).
constexpr size_t kMaxCopies = 2;
uint64_t uses = 0;

std::mutex registry_mutex;
std::map<std::string, Entry> registry;  // path + "|" + class of the table name
bool enabled = true;

}  // namespace

int ColumnarTable::KeyIndex(std::string_view name) const {
  for (size_t i = 0; i < keys.size(); ++i)
    if (SameColumn(keys[i].name, name)) return static_cast<int>(i);
  return -1;
}

int ColumnarTable::ValueIndex(std::string_view name) const {
  for (size_t i = 0; i < values.size(); ++i)
    if (SameColumn(values[i].name, name)) return static_cast<int>(i);
  return -1;
}

size_t ColumnarTable::MemoryBytes() const {
  size_t n = 0;
  for (const auto& k : keys) {
    n += k.codes.capacity() * sizeof(uint32_t) + k.ranks.capacity() * sizeof(uint32_t);
    for (const auto& t : k.texts) n += t.capacity() + sizeof(std::string);
  }
  for (const auto& v : values) n += v.values.capacity() * sizeof(double) + v.nulls.capacity();
  return n;
}

namespace {

// The rows of one range of the table, each key coded by a dictionary of the range's own.
struct Part {
  std::vector<ColumnarKey> keys;  // codes and texts local to the part
  std::vector<ColumnarValue> values;
  int64_t rows = 0;
  Status status;
};

// What the reader knows of each selected column.
struct Column {
  int key = -1;    // index of the key column, or -1
  int value = -1;  // index of the value column, or -1
  FieldType declared = FieldType::Any;
};

// Reads the rows of `sql` on `db` straight from SQLite's result columns: a key's stored text is
// looked up by its bytes; only a text not seen before is converted and coded by its class.
void ReadPart(sqlite3* db, const std::string& sql, const std::vector<Column>& columns, const ColumnarTable& shape,
              size_t expected, Part* part) {
  for (const auto& k : shape.keys) part->keys.push_back({k.name, {}, {}, {}});
  for (const auto& v : shape.values) part->values.push_back({v.name, {}, {}});
  for (auto& k : part->keys) k.codes.reserve(expected);
  for (auto& v : part->values) v.values.reserve(expected);
  sqlite3_stmt* st = nullptr;
  const int prepared = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &st, nullptr);
  if (prepared != SQLITE_OK) {
    part->status = SqliteError(db, prepared);
    sqlite3_finalize(st);
    return;
  }
  std::vector<Coder> coders;
  std::vector<RawCodes> raw(part->keys.size());
  coders.reserve(part->keys.size());
  for (auto& k : part->keys) coders.emplace_back(&k);
  Value v;
  std::string converted;
  int64_t rows = 0;
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    for (size_t c = 0; c < columns.size(); ++c) {
      const int i = static_cast<int>(c);
      const int type = sqlite3_column_type(st, i);
      if (columns[c].key >= 0) {
        const auto k = static_cast<size_t>(columns[c].key);
        uint32_t code = 0;
        if (type == SQLITE_TEXT) {
          const char* p = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
          const std::string_view text(p ? p : "", static_cast<size_t>(sqlite3_column_bytes(st, i)));
          const uint64_t hash = HashBytes(text);
          code = raw[k].Find(text, hash);
          if (code == 0) {
            std::string_view cp1252 = text;
            if (!IsAscii(text)) {
              Utf8ToCp1252(text, &converted);
              cp1252 = converted;
            }
            code = coders[k].Code(cp1252);
            raw[k].Add(text, hash, code);
          }
        } else if (type != SQLITE_NULL) {
          // A number or a blob in a key column: coded by its text, as a field read gives it.
          ReadSqliteColumn(st, i, columns[c].declared, &v, &converted);
          code = coders[k].Code(v.kind() == Value::Kind::Text ? v.text() : v.AsText());
        }
        part->keys[k].codes.push_back(code);
      } else {
        ColumnarValue& val = part->values[static_cast<size_t>(columns[c].value)];
        double d = 0;
        if (type == SQLITE_FLOAT) {
          d = sqlite3_column_double(st, i);
        } else if (type == SQLITE_INTEGER) {
          d = static_cast<double>(sqlite3_column_int64(st, i));
        } else if (type != SQLITE_NULL) {
          ReadSqliteColumn(st, i, columns[c].declared, &v, &converted);
          d = v.AsDouble();
        }
        if (type == SQLITE_NULL) {
          if (val.nulls.empty()) val.nulls.assign(static_cast<size_t>(rows), 0);
          val.nulls.push_back(1);
        } else if (!val.nulls.empty()) {
          val.nulls.push_back(0);
        }
        val.values.push_back(d);
      }
    }
    ++rows;
  }
  if (rc != SQLITE_DONE) part->status = SqliteError(db, rc);
  sqlite3_finalize(st);
  part->rows = rows;
}

int64_t ReadInteger(Connection& cn, const std::string& sql) {
  std::unique_ptr<Statement> st;
  bool row = false;
  if (!cn.Prepare(sql, &st).ok() || !st->Step(&row).ok() || !row) return -1;
  return st->Read(0).AsInteger();
}

constexpr int kMaxParts = 4;
int64_t rows_per_part = 250000;

}  // namespace

Status BuildColumnarTable(Connection& cn, std::string_view table, std::shared_ptr<const ColumnarTable>* out) {
  auto* sqlite = dynamic_cast<SqliteConnection*>(&cn);
  if (!sqlite || !sqlite->IsOpen()) return Status::Error(kNotOpen, "A columnar copy is read from a local database");
  std::vector<FieldInfo> fields;
  Status s = cn.ListColumns(table, &fields);
  if (!s.ok()) return s;
  auto t = std::make_shared<ColumnarTable>();
  t->table = std::string(table);
  std::string sql;
  std::vector<Column> columns;
  for (const FieldInfo& f : fields) {
    Column c;
    c.declared = f.type;
    if (StartsWith(f.name, 'K')) {
      c.key = static_cast<int>(t->keys.size());
      t->keys.push_back({f.name, {}, {}, {}});
    } else if (StartsWith(f.name, 'V')) {
      c.value = static_cast<int>(t->values.size());
      t->values.push_back({f.name, {}, {}});
    } else {
      continue;
    }
    columns.push_back(c);
    sql += (sql.empty() ? "SELECT " : ", ") + cn.QuoteName(f.name);
  }
  if (sql.empty()) return Status::Error(kNotOpen, "The table " + std::string(table) + " has no key or value column");
  sql += " FROM " + cn.QuoteName(table);
  const int64_t count = ReadInteger(cn, "SELECT count(*) FROM " + cn.QuoteName(table));
  if (count < 0) return Status::Error(kNotOpen, "The table " + std::string(table) + " cannot be counted");

  // A large table is read in ranges of its row identities, each on a read-only connection of its
  // own, in parallel; the ranges follow each other, so the rows keep the table's order.
  std::vector<Part> parts;
  const int n = static_cast<int>(std::min<int64_t>(kMaxParts, count / std::max<int64_t>(rows_per_part, 1)));
  if (n >= 2) {
    const int64_t first = ReadInteger(cn, "SELECT min(rowid) FROM " + cn.QuoteName(table));
    const int64_t last = ReadInteger(cn, "SELECT max(rowid) FROM " + cn.QuoteName(table));
    parts.resize(static_cast<size_t>(n));
    std::vector<std::thread> threads;
    const int64_t step = (last - first) / n + 1;
    for (int i = 0; i < n; ++i) {
      const int64_t lo = first + step * i, hi = lo + step;
      threads.emplace_back([&, i, lo, hi] {
        SqliteConnection own;
        Part& part = parts[static_cast<size_t>(i)];
        if (!(part.status = own.Open(sqlite->path(), OpenMode::kReadOnly)).ok()) return;
        ReadPart(own.handle(),
                 sql + " WHERE rowid >= " + std::to_string(lo) + " AND rowid < " + std::to_string(hi) +
                     " ORDER BY rowid",
                 columns, *t, static_cast<size_t>(count / n + 1), &part);
      });
    }
    for (auto& th : threads) th.join();
  } else {
    parts.resize(1);
    ReadPart(sqlite->handle(), sql, columns, *t, static_cast<size_t>(count), &parts[0]);
  }
  for (const Part& p : parts)
    if (!p.status.ok()) return p.status;

  int64_t rows = 0;
  for (const Part& p : parts) rows += p.rows;
  if (parts.size() == 1) {
    // One range: its dictionaries are the table's.
    t->keys = std::move(parts[0].keys);
    t->values = std::move(parts[0].values);
  } else {
    // The parts' dictionaries into one per key: a class keeps the code of its first text. Each
    // part's columns are let go as soon as they are copied, to keep the peak low.
    for (size_t k = 0; k < t->keys.size(); ++k) {
      ColumnarKey& key = t->keys[k];
      Coder coder(&key);
      key.codes.reserve(static_cast<size_t>(rows));
      for (Part& p : parts) {
        ColumnarKey& local = p.keys[k];
        std::vector<uint32_t> map(local.texts.size(), 0);
        for (size_t c = 1; c < local.texts.size(); ++c) map[c] = coder.Code(local.texts[c]);
        for (uint32_t c : local.codes) key.codes.push_back(map[c]);
        std::vector<uint32_t>().swap(local.codes);
      }
    }
    for (size_t v = 0; v < t->values.size(); ++v) {
      ColumnarValue& value = t->values[v];
      bool nulls = false;
      for (const Part& p : parts) nulls = nulls || !p.values[v].nulls.empty();
      value.values.reserve(static_cast<size_t>(rows));
      for (Part& p : parts) {
        ColumnarValue& local = p.values[v];
        value.values.insert(value.values.end(), local.values.begin(), local.values.end());
        if (nulls) {
          if (local.nulls.empty()) value.nulls.insert(value.nulls.end(), local.values.size(), 0);
          else value.nulls.insert(value.nulls.end(), local.nulls.begin(), local.nulls.end());
        }
        std::vector<double>().swap(local.values);
        std::vector<uint8_t>().swap(local.nulls);
      }
    }
  }
  for (ColumnarKey& key : t->keys) Rank(&key);
  t->rows = rows;
  *out = std::move(t);
  return Status::Ok();
}

std::shared_ptr<const ColumnarTable> ColumnarCache::Get(Connection& cn, std::string_view table, bool* built) {
  if (built) *built = false;
  std::lock_guard<std::mutex> lock(registry_mutex);
  if (!enabled) return nullptr;
  Stamp stamp;
  if (!TakeStamp(cn, &stamp)) return nullptr;
  const std::string id = stamp.path + "|" + ClassOf(table);
  auto it = registry.find(id);
  if (it != registry.end()) {
    if (it->second.stamp == stamp) {
      it->second.used = ++uses;
      return it->second.table;
    }
    registry.erase(it);
  }
  while (registry.size() >= kMaxCopies) {
    auto oldest = registry.begin();
    for (auto e = registry.begin(); e != registry.end(); ++e)
      if (e->second.used < oldest->second.used) oldest = e;
    registry.erase(oldest);
  }
  std::shared_ptr<const ColumnarTable> t;
  if (!BuildColumnarTable(cn, table, &t).ok()) return nullptr;
  // Reading does not change the file; a stamp taken again tells whether something changed meanwhile.
  Stamp after;
  if (!TakeStamp(cn, &after) || !(after == stamp)) return nullptr;
  registry[id] = {stamp, t, ++uses};
  if (built) *built = true;
  return t;
}

void ColumnarCache::SetRowsPerPart(int64_t rows) {
  std::lock_guard<std::mutex> lock(registry_mutex);
  rows_per_part = rows;
}

void ColumnarCache::Clear() {
  std::lock_guard<std::mutex> lock(registry_mutex);
  registry.clear();
}

void ColumnarCache::SetEnabled(bool on) {
  std::lock_guard<std::mutex> lock(registry_mutex);
  enabled = on;
  if (!on) registry.clear();
}

bool ColumnarCache::Enabled() {
  std::lock_guard<std::mutex> lock(registry_mutex);
  return enabled;
}

}  // namespace kyx::data
