// The download from the data server over loopback, on the widest structure the definitions can
// carry (64 systems of 128 keys, 256 layouts of 128 elements) and a million descriptions: our
// client (Collegamento_Server, then the download functions alone, then the description update
// alone) against the real data server running on its own threads in this process, printed beside
// two references measured in the same run:
//   - the ceiling of the protocol: a plain client replaying the very requests our client sent,
//     reading each reply head and payload and doing nothing with them;
//     loopback round trips vary a lot from one second to the next on a busy machine, so the
//     definitions are downloaded several times, each time beside a pass of the plain client
//     (after a warm-up pass), and the medians are compared;
//   - storing without any network: the rows our update left in KYX_DS_20F inserted into an empty
//     table of the same schema with one prepared statement in one transaction, through our data
//     layer's Statement and through the sqlite3 C API.
//
//   bench_download [-n DESCRIPTIONS] [--server FILE] [--keep] [--skip-login] [--repeat N]
// --server reuses (or writes, when missing) the generated server database at FILE;
// --skip-login leaves out the full login (the download functions and the update still run);
// --repeat sets the passes of the definitions and of the plain client (5; medians printed).
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_common.h"
#include "bench/plain_client.h"
#include "common/impostazioni.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "db/mdb1.h"
#include "platform/data/sqlite_connection.h"
#include "platform/host/host.h"
#include "platform/text/cp1252.h"
#include "server/collegamento.h"
#include "server/descrizioni_server.h"
#include "server/risposta.h"
#include "server/scarica.h"
#include "server/socket.h"
#include "tools/dataserver/generator.h"
#include "tools/dataserver/server.h"

namespace {

using namespace kyx;
namespace ds = kyx::dataserver;
namespace fs = std::filesystem;

double Now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

std::string Grouped(int64_t n) {
  std::string digits = std::to_string(n < 0 ? -n : n), out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return (n < 0 ? "-" : "") + out;
}

struct Options {
  int64_t descriptions = 1000000;
  std::string server;
  bool keep = false;
  bool skip_login = false;
  int repeat = 5;
};

Options Parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if ((a == "-n" || a == "--descriptions") && i + 1 < argc) o.descriptions = std::atoll(argv[++i]);
    else if (a == "--server" && i + 1 < argc) o.server = argv[++i];
    else if (a == "--keep") o.keep = true;
    else if (a == "--skip-login") o.skip_login = true;
    else if (a == "--repeat" && i + 1 < argc) o.repeat = std::max(1, std::atoi(argv[++i]));
    else {
      std::fprintf(stderr, "usage: bench_download [-n DESCRIPTIONS] [--server FILE] [--keep] [--skip-login] [--repeat N]\n");
      std::exit(2);
    }
  }
  return o;
}

// The windows' services: message boxes go to stderr (and are counted), the status panels are
// timed, so that the phases of one login can be told apart.
class BenchHost : public host::Host {
 public:
  BenchHost() { previous_ = host::set_host(this); }
  ~BenchHost() override { host::set_host(previous_); }
  int MsgBox(std::string_view text, int style, std::string_view) override {
    ++boxes;
    std::fprintf(stderr, "message box: %s\n", text::to_utf8(text).c_str());
    return host::default_answer(style);
  }
  void DoEvents() override { ++do_events; }
  void DebugLog(std::string_view) override {}
  void SetPointer(int) override {}
  void SetPanel(std::string_view key, std::string_view value) override {
    if (key == "Stato") steps.emplace_back(std::string(value), Now());
  }
  double StepTime(const std::string& name) const {
    for (const auto& [n, t] : steps)
      if (n == name) return t;
    return -1;
  }

  int boxes = 0;
  int64_t do_events = 0;
  std::vector<std::pair<std::string, double>> steps;

 private:
  host::Host* previous_ = nullptr;
};

// ---- The plain client of the reference ------------------------------------------------------------

struct Replay {
  double seconds = -1;
  int64_t round_trips = 0;
  int64_t bytes = 0;
  double first_two = 0;  // the first two exchanges (for the descriptions: the time and the query)
};

double Median(std::vector<double> v) {
  if (v.empty()) return -1;
  std::sort(v.begin(), v.end());
  const std::size_t m = v.size() / 2;
  return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

// The plain client on its own connection: the greeting and the login our client sent, then
// `requests` once untimed (the server builds the image of a file on the first request of a
// login that reads it, and our client is timed on a connection whose images are built), then
// timed passes on demand.
class Replayer {
 public:
  Replayer(uint16_t port, const std::string& login, std::vector<std::string> requests)
      : client_(port), requests_(std::move(requests)) {
    ok_ = client_.ok() && client_.Reply() && client_.Exchange(login);
    for (const auto& r : requests_) ok_ = ok_ && client_.Exchange(r);
  }
  // One timed pass; seconds < 0 on failure.
  Replay Pass() {
    Replay out;
    if (!ok_) return out;
    const int64_t before = client_.received;
    const double start = Now();
    for (std::size_t i = 0; i < requests_.size(); ++i) {
      if (!client_.Exchange(requests_[i])) {
        ok_ = false;
        return out;
      }
      if (i == 1) out.first_two = Now() - start;
    }
    out.seconds = Now() - start;
    out.round_trips = static_cast<int64_t>(requests_.size());
    out.bytes = client_.received - before;
    return out;
  }

 private:
  bench::PlainClient client_;
  std::vector<std::string> requests_;
  bool ok_ = false;
};

// `passes` timed passes after the warm-up: the median seconds (and first two), with the
// fastest and slowest pass.
struct Passes {
  Replay median;
  double fastest = -1, slowest = -1;
};

Passes Summarise(const std::vector<Replay>& runs) {
  Passes p;
  std::vector<double> seconds, first;
  for (const auto& r : runs) {
    if (r.seconds < 0) return p;
    seconds.push_back(r.seconds);
    first.push_back(r.first_two);
  }
  if (runs.empty()) return p;
  p.median = runs.front();
  p.median.seconds = Median(seconds);
  p.median.first_two = Median(first);
  p.fastest = *std::min_element(seconds.begin(), seconds.end());
  p.slowest = *std::max_element(seconds.begin(), seconds.end());
  return p;
}

// ---- Storing without network --------------------------------------------------------------------

using Row = std::vector<data::Value>;

std::vector<Row> ReadRows(const std::string& path, int* columns) {
  std::vector<Row> rows;
  data::SqliteConnection cn;
  if (!cn.Open(path)) return rows;
  std::unique_ptr<data::Statement> st;
  if (!cn.Prepare("SELECT * FROM KYX_DS_20F", &st)) return rows;
  *columns = st->ColumnCount();
  bool row = false;
  while (st->Step(&row) && row) {
    Row r(static_cast<std::size_t>(*columns));
    for (int i = 0; i < *columns; ++i) st->Read(i, &r[static_cast<std::size_t>(i)]);
    rows.push_back(std::move(r));
  }
  return rows;
}

std::vector<std::string> Schema(const std::string& path) {
  std::vector<std::string> out;
  data::SqliteConnection cn;
  std::unique_ptr<data::Statement> st;
  if (!cn.Open(path) || !cn.Prepare("SELECT sql FROM sqlite_master WHERE tbl_name = 'KYX_DS_20F' AND sql IS NOT NULL "
                                    "ORDER BY type DESC, rowid",
                                    &st))
    return out;
  bool row = false;
  while (st->Step(&row) && row) out.push_back(st->Read(0).AsText());
  return out;
}

std::string Placeholders(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += i ? ",?" : "?";
  return s;
}

// Through our data layer: seconds, or a negative value on failure.
double InsertWithStatement(const std::string& path, const std::vector<std::string>& schema, const std::vector<Row>& rows,
                           int columns) {
  data::SqliteConnection cn;
  if (!cn.Open(path, data::OpenMode::kCreate)) return -1;
  for (const auto& sql : schema)
    if (!cn.Execute(sql)) return -1;
  std::unique_ptr<data::Statement> st;
  if (!cn.Prepare("INSERT INTO KYX_DS_20F VALUES (" + Placeholders(columns) + ")", &st)) return -1;
  const double start = Now();
  if (!cn.BeginTransaction()) return -1;
  for (const Row& r : rows) {
    for (int i = 0; i < columns; ++i)
      if (!st->Bind(i + 1, r[static_cast<std::size_t>(i)])) return -1;
    if (!st->Run()) return -1;
  }
  if (!cn.Commit()) return -1;
  return Now() - start;
}

// Through the sqlite3 C API, with a plain case-insensitive JET collation of its own.
double InsertWithSqlite(const std::string& path, const std::vector<std::string>& schema, const std::vector<Row>& rows,
                        int columns) {
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) return -1;
  sqlite3_create_collation(db, "JET", SQLITE_UTF8, nullptr, [](void*, int la, const void* a, int lb, const void* b) {
    const int c = sqlite3_strnicmp(static_cast<const char*>(a), static_cast<const char*>(b), la < lb ? la : lb);
    return c != 0 ? c : la - lb;
  });
  for (const auto& sql : schema) sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
  sqlite3_stmt* st = nullptr;
  const std::string insert = "INSERT INTO KYX_DS_20F VALUES (" + Placeholders(columns) + ")";
  if (sqlite3_prepare_v2(db, insert.c_str(), -1, &st, nullptr) != SQLITE_OK) return -1;
  // Texts leave as UTF-8, as our layer stores them.
  std::vector<std::vector<std::string>> texts(rows.size());
  for (std::size_t k = 0; k < rows.size(); ++k)
    for (const auto& v : rows[k]) texts[k].push_back(v.is_null() ? "" : text::to_utf8(v.AsText()));
  const double start = Now();
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  for (std::size_t k = 0; k < rows.size(); ++k) {
    for (int i = 0; i < columns; ++i) {
      const data::Value& v = rows[k][static_cast<std::size_t>(i)];
      if (v.is_null()) sqlite3_bind_null(st, i + 1);
      else if (v.kind() == data::Value::Kind::Integer) sqlite3_bind_int64(st, i + 1, v.integer());
      else {
        const std::string& t = texts[k][static_cast<std::size_t>(i)];
        sqlite3_bind_text(st, i + 1, t.data(), static_cast<int>(t.size()), SQLITE_STATIC);
      }
    }
    if (sqlite3_step(st) != SQLITE_DONE) return -1;
    sqlite3_reset(st);
  }
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  const double seconds = Now() - start;
  sqlite3_finalize(st);
  sqlite3_close(db);
  return seconds;
}

// The same rows stored the way the update stores each row it receives (Seek on key and code, a
// missing code added with its sixteen descriptions empty, the state and the first description
// set, Update), from memory into an empty KYX_DS_20F, in one transaction: the storing part of the
// update without the network and the decoding.
double StoreWithRecordset(const std::vector<Row>& rows) {
  if (!Apri_MDB1(true, false) || !Rs_Descrizioni) return -1;
  data::TableRecordset& Rs = *Rs_Descrizioni;
  std::vector<std::string> nomi;
  for (int j = 1; j <= 16; ++j) nomi.push_back(std::string("S_DS_D_") + (j < 10 ? "0" : "") + std::to_string(j));
  const double start = Now();
  if (!Cn_MDB1->BeginTransaction()) return -1;
  for (const Row& r : rows) {
    if (!Rs.Seek({r[1], r[2]})) return -1;
    if (Rs.AfterLast()) {
      if (!Rs.AddNew()) return -1;
      Rs.Set("S_DS_STAT", data::Value(" "));
      Rs.Set("S_DS_KEY", r[1]);
      Rs.Set("S_DS_CODI", r[2]);
      for (const auto& n : nomi) Rs.Set(n, data::Value(""));
    }
    Rs.Set("S_DS_STAT", r[0]);
    if (!Rs.Set(nomi[0], r[3]) || !Rs.Update()) return -1;
  }
  if (!Cn_MDB1->Commit()) return -1;
  return Now() - start;
}

// ---- Our client ---------------------------------------------------------------------------------

void PrepareProgram(const std::string& folder, uint16_t port) {
  bench::PrepareProgram(folder);
  fs::create_directories(folder + "/Dati");
  Titolo_Programma = "Kyx";
  Server_Nome = "127.0.0.1";
  Server_Porta = std::to_string(port);
  Nome_Utente = ds::sample::kUser;
  Password_Utente = text::fixed(ds::sample::kPassword, 10, '^');
  Sistema_Informativo = ds::kWorstCaseSystem;
  Attese.Attesa_Lunga = std::chrono::milliseconds(20000);
  FILE* f = std::fopen(File_Ini.c_str(), "wb");
  if (f) {
    std::fputs("[001]\r\nNome=SIS01\r\n", f);
    std::fclose(f);
  }
}

struct Counts {
  int64_t definitions = 0;   // a, b, m, c
  int64_t descriptions = 0;  // k, d
};

Counts Count(const std::vector<ds::RecordedRequest>& requests) {
  Counts c;
  for (const auto& r : requests) {
    if (r.kind == ds::RequestKind::kTime || r.kind == ds::RequestKind::kDescriptions) ++c.descriptions;
    else if (r.kind != ds::RequestKind::kLogin && r.kind != ds::RequestKind::kGreeting) ++c.definitions;
  }
  return c;
}

std::vector<std::string> Wire(const std::vector<ds::RecordedRequest>& requests, bool descriptions) {
  std::vector<std::string> out;
  for (const auto& r : requests) {
    const bool d = r.kind == ds::RequestKind::kTime || r.kind == ds::RequestKind::kDescriptions;
    if (r.kind == ds::RequestKind::kLogin || d != descriptions) continue;
    out.push_back(r.wire);
  }
  return out;
}

// The downloads of Collegamento_Server in its order, without the loaders; socket 1 logged in and
// SINF loaded.
bool Scarica_Tutto() {
  const int32_t errori = Errori_Risposta;
  Scarica_Sistemi();
  std::vector<std::string> librerie;
  if (Rs_Sinf && Rs_Sinf->MoveFirst()) {
    while (!Rs_Sinf->AfterLast()) {
      librerie.push_back(Rs_Sinf->Field("LIBS1").AsText());
      if (!Rs_Sinf->MoveNext()) break;
    }
  }
  for (const auto& l : librerie) {
    Scarica_Chiavi(l);
    Scarica_Valori(l);
  }
  Scarica_Aree();
  Scarica_Elenco_Layout();
  Scarica_Per_Sistema();
  Scarica_Filtri_Utente();
  Scarica_Utenti_Aree();
  return Errori_Risposta == errori && Collegamento_Attivo();
}

void Line(const char* label, double seconds, int64_t units, const char* unit, int64_t bytes) {
  std::printf("  %-46s %8.3f s %12s %-12s %10.0f %s/s", label, seconds, Grouped(units).c_str(), unit,
              seconds > 0 ? units / seconds : 0.0, unit);
  if (bytes > 0) std::printf(" %8.1f MB/s", seconds > 0 ? bytes / seconds / 1e6 : 0.0);
  std::printf("\n");
}

void Ratio(const char* label, double ratio, double target) {
  std::printf("  %-46s %8.3f  (target >= %.2f: %s)\n", label, ratio, target, ratio >= target ? "met" : "MISSED");
}

int64_t CountRows(const std::string& path) {
  data::SqliteConnection cn;
  std::unique_ptr<data::Statement> st;
  bool row = false;
  if (!cn.Open(path) || !cn.Prepare("SELECT COUNT(*) FROM KYX_DS_20F", &st) || !st->Step(&row) || !row) return -1;
  return st->Read(0).AsInteger();
}

}  // namespace

int main(int argc, char** argv) {
  const Options o = Parse(argc, argv);
  const char* tmp = std::getenv("TMPDIR");
  std::string templ = std::string(tmp && *tmp ? tmp : "/tmp") + "/kyx-bench-download-XXXXXX";
  std::vector<char> buf(templ.begin(), templ.end());
  buf.push_back('\0');
  if (!::mkdtemp(buf.data())) return 1;
  const std::string scratch = buf.data();
  const std::string program = scratch + "/prog";
  fs::create_directories(program);

  // The code table, from the project's generator.
  const std::string table = program + "/KYX.Tbl";
  const std::string command = std::string("'") + KYX_PYTHON + "' '" + KYX_MAKE_TBL + "' '" + table + "'";
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "the code table generator failed\n");
    return 1;
  }

  // The server database: generated once, reused when asked to.
  const std::string server_db = o.server.empty() ? scratch + "/server.db" : o.server;
  if (!fs::exists(server_db)) {
    ds::WorstCaseOptions w;
    w.descriptions = o.descriptions;
    std::printf("Generating the server database (%s descriptions)...\n", Grouped(w.descriptions).c_str());
    const double g = Now();
    const auto s = ds::GenerateWorstCase(server_db, w);
    if (!s) {
      std::fprintf(stderr, "generator: %s\n", s.ToString().c_str());
      return 1;
    }
    std::printf("  generated in %.1f s: %s\n", Now() - g, server_db.c_str());
  }

  ds::ServerOptions so;
  so.database = server_db;
  so.code_table = table;
  so.clock = [] { return std::string("20240701120000"); };
  ds::DataServer server(so);
  std::string error;
  if (!server.Start(&error)) {
    std::fprintf(stderr, "server: %s\n", error.c_str());
    return 1;
  }

  BenchHost host;
  PrepareProgram(program, server.port());
  int rc = 0;
  std::printf("Download over loopback: 64 systems x 128 keys, 256 layouts x 128 elements, %s descriptions\n",
              Grouped(o.descriptions).c_str());

  // 1. The whole login, phase by phase (status panels).
  if (!o.skip_login) {
    int32_t hWnd = 0;
    server.ClearRequests();
    const double start = Now();
    const bool ok = Collegamento_Server(hWnd);
    const double end = Now();
    const Counts c = Count(server.Requests());
    const double t_def = host.StepTime("Aggiornamento Chiavi esterne");
    const double t_desc = host.StepTime("Aggiornamento Descrizioni");
    std::printf("\nCollegamento_Server %s (%d message boxes)\n", ok ? "ok" : "FAILED", host.boxes);
    if (!ok) rc = 1;
    Line("whole login", end - start, c.definitions + c.descriptions, "requests", 0);
    if (t_def > 0 && t_desc > 0) {
      Line("definitions: download + load", t_desc - t_def, c.definitions, "requests", 0);
      Line("descriptions + structure check + clean-up", end - t_desc, o.descriptions, "rows", 0);
    }
    Disconnetti();
  }

  // 2. The download functions alone (work files only), then the description update alone into an
  //    empty descriptions database, on one login.
  stato_db::reset();
  for (int n = 0; n <= 3; ++n) fs::remove(program + "/Dati/KYX_" + std::to_string(n) + ".MDB");
  PrepareProgram(program, server.port());
  server.ClearRequests();
  {
    // Log in through the whole sequence once more with no descriptions to send (the server time
    // set before every change), so that SINF is loaded and socket 1 logged in.
    Scrivi_Ini("001", "Data", "20991231000000");
    Apri_MDB1(false, false);
    Scrivi_Ini("001", "Data", "20991231000000");
    int32_t hWnd = 0;
    if (!Collegamento_Server(hWnd)) {
      std::fprintf(stderr, "login failed\n");
      return 1;
    }
  }
  const std::string login_wire = server.Requests().front().wire;

  // The definitions: a first download records the requests; then, pass by pass, our download and
  // the plain client replaying them, so that both see the machine in the same state.
  server.ClearRequests();
  bool downloaded = Scarica_Tutto();
  const auto def_requests = Wire(server.Requests(), false);
  std::vector<double> kyx_passes;
  std::vector<Replay> def_passes;
  {
    Replayer plain(server.port(), login_wire, def_requests);
    for (int pass = 0; pass < o.repeat && downloaded; ++pass) {
      server.ClearRequests();
      const double start = Now();
      downloaded = Scarica_Tutto();
      kyx_passes.push_back(Now() - start);
      // Every pass must ask exactly what the first one asked.
      downloaded = downloaded && Wire(server.Requests(), false) == def_requests;
      def_passes.push_back(plain.Pass());
    }
  }
  const double t_download = Median(kyx_passes);
  const Passes def_raw = Summarise(def_passes);
  if (!downloaded) rc = 1;

  Scrivi_Ini("001", "Data", "00000000000000");
  Apri_MDB1(true, false);
  Scrivi_Ini("001", "Data", "00000000000000");
  server.ClearRequests();
  const int64_t do_events_before = host.do_events;
  double start = Now();
  const bool updated = Aggiorna_Descrizioni_Server("Numero");
  const double t_update = Now() - start;
  const int64_t do_events = host.do_events - do_events_before;
  const auto desc_requests = Wire(server.Requests(), true);
  if (!updated) rc = 1;
  Disconnetti();
  stato_db::reset();
  const std::string kyx1 = program + "/Dati/KYX_1.MDB";
  const int64_t table_rows = CountRows(kyx1);

  // 3. The references.
  Passes desc_raw;
  {
    Replayer plain(server.port(), login_wire, desc_requests);
    std::vector<Replay> passes;
    for (int pass = 0; pass < o.repeat; ++pass) passes.push_back(plain.Pass());
    desc_raw = Summarise(passes);
  }
  int columns = 0;
  const std::vector<Row> rows = ReadRows(kyx1, &columns);
  const std::vector<std::string> schema = Schema(kyx1);
  const double t_statement = InsertWithStatement(scratch + "/statement.db", schema, rows, columns);
  const double t_sqlite = InsertWithSqlite(scratch + "/sqlite.db", schema, rows, columns);
  server.Stop();
  File_MDB1 = Cartella_Dati + "KYX_1_recordset.MDB";
  const double t_recordset = StoreWithRecordset(rows);
  stato_db::reset();

  std::printf("\nDefinitions: the download functions, work files only, median of %d passes %s\n", o.repeat,
              downloaded ? "" : "(FAILED)");
  Line("Kyx download (Scarica_*)", t_download, static_cast<int64_t>(def_requests.size()), "round trips",
       def_raw.median.bytes);
  if (!kyx_passes.empty()) {
    std::printf("  %-46s %8.3f .. %.3f s\n", "", *std::min_element(kyx_passes.begin(), kyx_passes.end()),
                *std::max_element(kyx_passes.begin(), kyx_passes.end()));
  }
  Line("plain client, same requests, no decoding", def_raw.median.seconds, def_raw.median.round_trips, "round trips",
       def_raw.median.bytes);
  std::printf("  %-46s %8.3f .. %.3f s\n", "", def_raw.fastest, def_raw.slowest);
  Ratio("round-trip rate, Kyx / plain client", t_download > 0 ? def_raw.median.seconds / t_download : 0, 0.5);

  std::printf("\nDescriptions: Aggiorna_Descrizioni_Server into an empty KYX_DS_20F %s\n", updated ? "" : "(FAILED)");
  Line("Kyx update (k + d requests, Rs_Descrizioni)", t_update, o.descriptions, "rows", desc_raw.median.bytes);
  std::printf("  %-46s %s round trips, %s table rows, %s DoEvents\n", "", Grouped(static_cast<int64_t>(desc_requests.size())).c_str(),
              Grouped(table_rows).c_str(), Grouped(do_events).c_str());
  Line("plain client, same requests, no decoding", desc_raw.median.seconds, desc_raw.median.round_trips, "round trips",
       desc_raw.median.bytes);
  std::printf("  %-46s %8.3f .. %.3f s (median of %d passes)\n", "", desc_raw.fastest, desc_raw.slowest, o.repeat);
  std::printf("  %-46s %8.3f s in the first two (the time, the query of the stream)\n", "", desc_raw.median.first_two);
  Line("insert only: our Statement, one transaction", t_statement, static_cast<int64_t>(rows.size()), "rows", 0);
  Line("insert only: sqlite3 C API, one transaction", t_sqlite, static_cast<int64_t>(rows.size()), "rows", 0);
  Line("store only: Rs_Descrizioni from memory", t_recordset, static_cast<int64_t>(rows.size()), "rows", 0);
  Ratio("update rate / insert-only rate (Statement)", t_update > 0 ? t_statement / t_update : 0, 0.8);
  std::printf("  %-46s %8.2f\n", "update rate / insert-only rate (sqlite3)", t_update > 0 ? t_sqlite / t_update : 0);
  std::printf("  %-46s %8.2f\n", "update rate / store-only rate (Rs_Descrizioni)", t_update > 0 ? t_recordset / t_update : 0);
  std::printf("  %-46s %8.2f\n", "update round trips / plain client", t_update > 0 ? desc_raw.median.seconds / t_update : 0);

  if (!o.keep) fs::remove_all(scratch);
  else std::printf("\nkept: %s\n", scratch.c_str());
  return rc;
}
