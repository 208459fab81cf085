#include "platform/data/columnar_cache.h"

#include <sqlite3.h>
#include <sys/mman.h>
#include <sys/stat.h>

#include <algorithm>
#include <barrier>
#include <cstdlib>
#include <cstring>
#include <new>
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

// Numbers the exact spellings of one key column's texts in the order first seen (0 = Null).
class Speller {
 public:
  explicit Speller(std::vector<std::string>* texts) : texts_(texts) {
    if (texts_->empty()) texts_->emplace_back();
  }
  uint32_t Code(std::string_view text) {
    auto [it, added] = index_.try_emplace(std::string(text), static_cast<uint32_t>(texts_->size()));
    if (added) texts_->emplace_back(text);
    return it->second;
  }

 private:
  std::vector<std::string>* texts_;
  std::unordered_map<std::string, uint32_t> index_;
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

namespace {
constexpr size_t kHugePage = size_t{2} << 20;
}  // namespace

void* AllocateBulk(size_t bytes) {
  if (bytes < kHugePage) {
    if (void* p = std::malloc(std::max<size_t>(bytes, 1))) return p;
    throw std::bad_alloc();
  }
  const size_t size = (bytes + kHugePage - 1) / kHugePage * kHugePage;
  void* p = std::aligned_alloc(kHugePage, size);
  if (!p) throw std::bad_alloc();
  (void)::madvise(p, size, MADV_HUGEPAGE);  // a hint: without it the block is still good
  return p;
}

void FreeBulk(void* p, size_t) { std::free(p); }

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
    n += (k.codes.capacity() + k.ranks.capacity() + k.spellings.capacity()) * sizeof(uint32_t);
    for (const auto& t : k.texts) n += t.capacity() + sizeof(std::string);
    for (const auto& t : k.spelling_texts) n += t.capacity() + sizeof(std::string);
  }
  for (const auto& v : values) n += v.values.capacity() * sizeof(double) + v.nulls.capacity();
  return n;
}

namespace {

// One range of the table's rows, read into its place in the copy's arrays: its keys numbered by
// spelling in dictionaries of its own (coded by class once all ranges are read), its Null values
// listed apart.
struct Part {
  size_t offset = 0, count = 0;           // where the range goes in the arrays, how many rows
  std::vector<std::vector<std::string>> keys;  // per key: the range's own spellings
  std::vector<std::vector<size_t>> nulls;  // per value column: rows (from offset) that are Null
  Status status;
};

// What the reader knows of each selected column.
struct Column {
  int key = -1;    // index of the key column, or -1
  int value = -1;  // index of the value column, or -1
  FieldType declared = FieldType::Any;
};

// Reads the rows of `sql` on `db` straight from SQLite's result columns into rows offset ..
// offset + count - 1 of `t`: a key's stored text is looked up by its bytes; only a text not seen
// before is converted and numbered by its spelling. Any other number of rows than `count` is an
// error (the table changed while it was read).
void ReadPart(sqlite3* db, const std::string& sql, const std::vector<Column>& columns, ColumnarTable* t, Part* part) {
  part->keys.resize(t->keys.size());
  part->nulls.resize(t->values.size());
  sqlite3_stmt* st = nullptr;
  const int prepared = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &st, nullptr);
  if (prepared != SQLITE_OK) {
    part->status = SqliteError(db, prepared);
    sqlite3_finalize(st);
    return;
  }
  std::vector<Speller> coders;
  std::vector<RawCodes> raw(part->keys.size());
  coders.reserve(part->keys.size());
  for (auto& k : part->keys) coders.emplace_back(&k);
  std::vector<uint32_t*> codes;
  std::vector<double*> values;
  for (auto& k : t->keys) codes.push_back(k.codes.data() + part->offset);
  for (auto& v : t->values) values.push_back(v.values.data() + part->offset);
  Value v;
  std::string converted;
  size_t r = 0;
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    if (r == part->count) {
      rc = SQLITE_ROW;
      break;
    }
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
        codes[k][r] = code;
      } else {
        const auto x = static_cast<size_t>(columns[c].value);
        double d = 0;
        if (type == SQLITE_FLOAT) {
          d = sqlite3_column_double(st, i);
        } else if (type == SQLITE_INTEGER) {
          d = static_cast<double>(sqlite3_column_int64(st, i));
        } else if (type == SQLITE_NULL) {
          part->nulls[x].push_back(r);
        } else {
          ReadSqliteColumn(st, i, columns[c].declared, &v, &converted);
          d = v.AsDouble();
        }
        values[x][r] = d;
      }
    }
    ++r;
  }
  if (rc != SQLITE_DONE) {
    part->status = rc == SQLITE_ROW ? Status::Error(kNotOpen, "The table changed while it was read") : SqliteError(db, rc);
  } else if (r != part->count) {
    part->status = Status::Error(kNotOpen, "The table changed while it was read");
  }
  sqlite3_finalize(st);
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
      t->keys.push_back({f.name, {}, {}, {}, {}, {}});
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
  // The table is read in ranges of its row identities, each on a read-only connection of its own
  // (a large table in up to four ranges, in parallel): each counts its range, then reads it into
  // its place in the arrays, in one read transaction. The ranges follow each other, so the rows
  // keep the table's order. The reading connections keep a small page cache: a scan reads each
  // page once, and caching the whole file would only fill fresh memory.
  const std::string name = cn.QuoteName(table);
  const int64_t first = ReadInteger(cn, "SELECT min(rowid) FROM " + name);
  const int64_t last = ReadInteger(cn, "SELECT max(rowid) FROM " + name);
  const int64_t span = last >= first && first >= 0 ? last - first + 1 : 0;
  const int n = static_cast<int>(
      std::clamp<int64_t>(span / std::max<int64_t>(rows_per_part, 1), 1, kMaxParts));
  std::vector<Part> parts(static_cast<size_t>(n));
  size_t read = 0;
  const auto allocate = [&]() noexcept {
    size_t offset = 0;
    for (Part& p : parts) {
      p.offset = offset;
      offset += p.count;
    }
    for (auto& k : t->keys) k.codes.resize(offset);
    for (auto& v : t->values) v.values.resize(offset);
    read = offset;
  };
  std::barrier counted(n, allocate);
  const int64_t step = span / n + 1;
  const auto read_range = [&](int i) {
    Part& part = parts[static_cast<size_t>(i)];
    // Without rows (min and max are Null) the only range takes the whole table.
    const std::string range = n == 1 ? std::string()
                                     : " WHERE rowid >= " + std::to_string(first + step * i) +
                                           " AND rowid < " + std::to_string(first + step * (i + 1));
    SqliteConnection own;
    if ((part.status = own.Open(sqlite->path(), OpenMode::kReadOnly)).ok() &&
        (part.status = own.Execute("PRAGMA cache_size = -512")).ok() &&
        (part.status = own.Execute("BEGIN")).ok()) {
      const int64_t c = ReadInteger(own, "SELECT count(*) FROM " + name + range);
      if (c < 0) part.status = Status::Error(kNotOpen, "The table " + std::string(table) + " cannot be counted");
      else part.count = static_cast<size_t>(c);
    }
    counted.arrive_and_wait();
    if (!part.status.ok()) return;
    ReadPart(own.handle(), sql + range + (n == 1 ? "" : " ORDER BY rowid"), columns, t.get(), &part);
    (void)own.Execute("COMMIT");
  };
  if (n == 1) {
    read_range(0);
  } else {
    std::vector<std::thread> threads;
    for (int i = 0; i < n; ++i) threads.emplace_back(read_range, i);
    for (auto& th : threads) th.join();
  }
  for (const Part& p : parts)
    if (!p.status.ok()) return p.status;

  // The parts' spellings into one dictionary per key, then every row from its spelling to its
  // class: a class keeps the code of its first text. The rows keep their spellings too when a
  // class has more than one.
  for (size_t k = 0; k < t->keys.size(); ++k) {
    ColumnarKey& key = t->keys[k];
    Coder coder(&key);
    std::vector<std::string> spellings;
    Speller speller(&spellings);
    std::vector<uint32_t> class_of{0};  // per spelling
    std::vector<std::vector<uint32_t>> maps;  // per part: its spelling to the table's
    for (const Part& p : parts) {
      const std::vector<std::string>& local = p.keys[k];
      std::vector<uint32_t> map(std::max<size_t>(local.size(), 1), 0);
      for (size_t c = 1; c < local.size(); ++c) {
        map[c] = speller.Code(local[c]);
        if (map[c] == class_of.size()) class_of.push_back(coder.Code(local[c]));
      }
      maps.push_back(std::move(map));
    }
    const bool variants = spellings.size() != key.texts.size();
    if (variants) {
      key.spellings.resize(read);
      key.spelling_texts = spellings;
    }
    for (size_t i = 0; i < parts.size(); ++i) {
      const Part& p = parts[i];
      const std::vector<uint32_t>& map = maps[i];
      bool identity = !variants;
      for (size_t c = 0; c < map.size() && identity; ++c) identity = class_of[map[c]] == c;
      if (identity) continue;  // one range without variants: its numbers are the classes already
      uint32_t* codes = key.codes.data() + p.offset;
      uint32_t* spelt = variants ? key.spellings.data() + p.offset : nullptr;
      for (size_t r = 0; r < p.count; ++r) {
        const uint32_t g = map[codes[r]];
        if (spelt) spelt[r] = g;
        codes[r] = class_of[g];
      }
    }
    Rank(&key);
  }
  for (size_t v = 0; v < t->values.size(); ++v) {
    ColumnarValue& value = t->values[v];
    for (const Part& p : parts) {
      if (p.nulls[v].empty()) continue;
      if (value.nulls.empty()) value.nulls.assign(read, 0);
      for (size_t r : p.nulls[v]) value.nulls[p.offset + r] = 1;
    }
  }
  t->rows = static_cast<int64_t>(read);
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
