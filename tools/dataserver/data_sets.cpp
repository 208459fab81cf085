// The sample systems' data sets, row by row.
#include "tools/dataserver/data_sets.h"

#include <cstdio>
#include <memory>

#include "platform/text/cp1252.h"
#include "tools/dataserver/generator_detail.h"
#include "tools/dataserver/queries.h"

namespace kyx::dataserver {

namespace {

using detail::Digits;

bool HasColumn(const std::string& kind) { return kind == "K" || kind == "A" || kind == "D"; }

// What one row is about: a day, a customer and a product of the sample.
struct Fact {
  int year = 0;
  unsigned month = 0, day = 0;
  int day_of_year = 0;
  const detail::Customer* customer = nullptr;
  const detail::Product* product = nullptr;
  bool open_order = false;
};

// The code of a key for a fact, by the key's title in the sample definitions; a key the sample
// does not know gets digits drawn from the row's random source.
std::string KeyCode(const std::string& title, const Fact& f, const detail::Codes& c, detail::Random& random,
                    int length) {
  const std::string year = Digits(f.year, 4);
  const std::string month = year + Digits(f.month, 2);
  if (title == "Anno") return year;
  if (title == "Mese") return month;
  if (title == "Data documento" || title == "Data ordine") return month + Digits(f.day, 2);
  if (title == "Trimestre") return year + Digits((f.month - 1) / 3 + 1, 1);
  if (title == "Settimana") return year + Digits(f.day_of_year / 7 + 1, 2);
  if (title == "Semestre") return year + Digits(f.month <= 6 ? 1 : 2, 1);
  if (title == "Quindicina") return year + Digits((f.month - 1) * 2 + (f.day > 15 ? 2 : 1), 2);
  if (title == "Zona") return c.zones[static_cast<std::size_t>(f.customer->zone)];
  if (title == "Agente") return c.agents[static_cast<std::size_t>(f.customer->agent)];
  if (title == "Cliente") return f.customer->code;
  if (title == "Prodotto") return f.product->code;
  if (title == "Linea prodotto") return c.lines[static_cast<std::size_t>(f.product->line)];
  if (title == "Categoria cliente") return f.customer->category;
  if (title == "Stato ordine") return f.open_order ? "A" : "E";
  int64_t top = 1;
  for (int i = 0; i < length && i < 9; ++i) top *= 10;
  return Digits(random.Below(top), std::min(length, 9));
}

}  // namespace

struct DataSetRows::State {
  detail::Codes codes;
  detail::Random random;
  int64_t first_day = 0;
  int64_t days = 0;
  State(const GeneratorOptions& options, uint64_t seed) : random(seed ^ 0x5DA7A5E7ull) {
    // The codes as the sample itself draws them, from the sample's seed.
    detail::Random sample(options.seed);
    codes = detail::MakeCodes(options, sample);
    first_day = detail::DaysFromCivil(2023, 1, 1);
    days = detail::DaysFromCivil(2025, 1, 1) - first_day;
  }
};

Status LoadDataSetShape(Store& store, const std::string& system, DataSetShape* shape) {
  std::vector<KeyDef> keys;
  std::vector<ValueDef> values;
  Status s = store.Keys(system, &keys);
  if (s) s = store.Values(system, &values);
  if (!s) return s;
  shape->keys.clear();
  shape->values.clear();
  for (const auto& k : keys)
    if (HasColumn(k.kind)) shape->keys.push_back({k.idx, k.length, k.title});
  for (const auto& v : values) shape->values.push_back({v.idx, v.elements});
  return Status::Ok();
}

std::vector<std::string> DataSetColumnNames(const DataSetShape& shape) {
  std::vector<std::string> names;
  for (const auto& k : shape.keys) names.push_back("K_" + Digits(k.idx, 3));
  for (const auto& v : shape.values)
    for (int s = 1; s <= v.slots; ++s) names.push_back("V_" + Digits(v.idx, 3) + "_" + Digits(s, 2));
  return names;
}

DataSetRows::DataSetRows(DataSetShape shape, const GeneratorOptions& options, uint64_t seed, int64_t rows)
    : shape_(std::move(shape)), left_(rows), state_(std::make_unique<State>(options, seed)) {}

DataSetRows::~DataSetRows() = default;

bool DataSetRows::Next(std::vector<data::Value>* row) {
  if (left_ <= 0 || state_->codes.customers.empty() || state_->codes.products.empty()) return false;
  --left_;
  detail::Random& r = state_->random;
  const detail::Codes& c = state_->codes;
  Fact f;
  const int64_t day = state_->first_day + r.Below(state_->days);
  detail::CivilFromDays(day, &f.year, &f.month, &f.day);
  f.day_of_year = static_cast<int>(day - detail::DaysFromCivil(f.year, 1, 1));
  f.customer = &c.customers[static_cast<std::size_t>(r.Below(static_cast<int64_t>(c.customers.size())))];
  f.product = &c.products[static_cast<std::size_t>(r.Below(static_cast<int64_t>(c.products.size())))];
  f.open_order = r.Below(4) == 0;
  row->clear();
  for (const auto& k : shape_.keys) {
    std::string code = KeyCode(k.title, f, c, r, k.length);
    if (k.length > 0) code.resize(static_cast<std::size_t>(k.length), ' ');
    row->emplace_back(std::move(code));
  }
  for (const auto& v : shape_.values)
    for (int s = 1; s <= v.slots; ++s) row->emplace_back(static_cast<double>(r.Below(1000000)) / 100.0);
  return true;
}

Status WriteDataSet(data::Connection& cn, const std::string& table, bool numbered, bool create, DataSetRows& rows) {
  const std::vector<std::string> names = DataSetColumnNames(rows.shape());
  const std::string quoted = cn.QuoteName(table);
  Status s = Status::Ok();
  if (create) {
    std::string ddl = "CREATE TABLE " + quoted + " (";
    if (numbered) ddl += "IDX INTEGER, ";
    for (std::size_t i = 0; i < names.size(); ++i)
      ddl += (i ? ", " : "") + names[i] + (names[i][0] == 'K' ? " TEXT" : " REAL");
    s = cn.Execute("DROP TABLE IF EXISTS " + quoted);
    if (s) s = cn.Execute(ddl + ")");
  }
  std::string insert = "INSERT INTO " + quoted + " (", marks;
  if (numbered) {
    insert += "IDX, ";
    marks = "?, ";
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    insert += (i ? ", " : "") + names[i];
    marks += i ? ", ?" : "?";
  }
  std::unique_ptr<data::Statement> st;
  if (s) s = cn.Prepare(insert + ") VALUES (" + marks + ")", &st);
  std::vector<data::Value> row;
  int64_t n = 0;
  const int first = numbered ? 2 : 1;
  while (s && rows.Next(&row)) {
    if (n % 20000 == 0) s = cn.BeginTransaction();
    ++n;
    if (s && numbered) s = st->Bind(1, data::Value(n));
    for (std::size_t i = 0; s && i < row.size(); ++i) s = st->Bind(first + static_cast<int>(i), row[i]);
    if (s) s = st->Run();
    if (s && n % 20000 == 0) s = cn.Commit();
  }
  if (cn.InTransaction()) {
    if (s) s = cn.Commit();
    else (void)cn.Rollback();
  }
  return s;
}

Status GenerateDataSet(Store& store, const std::string& system, const GeneratorOptions& options, uint64_t seed,
                       int64_t rows) {
  SystemDef sys;
  bool found = false;
  Status s = store.FindSystem(system, &sys, &found);
  if (!s) return s;
  if (!found) return Status::Error(1, "no system " + system);
  DataSetShape shape;
  if (!(s = LoadDataSetShape(store, std::string(text::trim_blanks(sys.code)), &shape))) return s;
  DataSetRows generator(std::move(shape), options, seed, rows);
  return WriteDataSet(store.connection(), DataSetTable(sys.library), false, true, generator);
}

}  // namespace kyx::dataserver
