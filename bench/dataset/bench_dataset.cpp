// The download of a local data set: a generated sample whose two systems hold a million records
// between them (four fifths sales, one fifth orders), downloaded by Carica_Dati_Locali from our
// data server (running on its own threads in this process) over loopback into KYX_2.MDB, timed
// against a reference on the same rows in the same run: the sqlite3 shell importing them from CSV
// files (.import) in one transaction into empty tables with the same columns and indexes, under
// the storage settings (page size, journal, synchronous) in force on our connection.
//
// The two are alternated, run by run; each of our runs starts from an empty set (the set deleted
// and registered again, untimed) so that both sides insert into empty tables. Medians are printed
// with the fastest and slowest run.
//
//   bench_dataset [-n RECORDS] [--runs N] [--keep]
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_common.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "db/mdb0.h"
#include "db/mdb2.h"
#include "platform/host/host.h"
#include "platform/text/cp1252.h"
#include "server/collegamento.h"
#include "server/dati_locali.h"
#include "server/socket.h"
#include "tools/dataserver/generator.h"
#include "tools/dataserver/server.h"

namespace {

using namespace kyx;
namespace ds = kyx::dataserver;
namespace fs = std::filesystem;
using bench::Grouped;
using bench::Now;

struct Options {
  int64_t records = 1000000;
  int runs = 5;
  bool keep = false;
};

Options Parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "-n" && i + 1 < argc) o.records = std::max<int64_t>(10, std::atoll(argv[++i]));
    else if (a == "--runs" && i + 1 < argc) o.runs = std::max(1, std::atoi(argv[++i]));
    else if (a == "--keep") o.keep = true;
    else {
      std::fprintf(stderr, "usage: bench_dataset [-n RECORDS] [--runs N] [--keep]\n");
      std::exit(2);
    }
  }
  return o;
}

// Message boxes go to stderr and are counted: a run that shows one is not a clean run.
class BenchHost : public host::Host {
 public:
  BenchHost() { previous_ = host::set_host(this); }
  ~BenchHost() override { host::set_host(previous_); }
  int MsgBox(std::string_view text, int style, std::string_view) override {
    ++boxes;
    std::fprintf(stderr, "message box: %s\n", text::to_utf8(text).c_str());
    return host::default_answer(style);
  }
  void DoEvents() override {}
  void DebugLog(std::string_view) override {}
  void SetPointer(int) override {}
  void SetPanel(std::string_view, std::string_view) override {}
  int boxes = 0;

 private:
  host::Host* previous_ = nullptr;
};

void PrepareProgram(const std::string& folder, uint16_t port) {
  bench::PrepareProgram(folder);
  fs::create_directories(folder + "/Dati");
  File_Aree = Cartella_Dati + "KYX_A.DAT";
  File_Chiavi = Cartella_Dati + "KYX_K.DAT";
  File_Sistemi = Cartella_Dati + "KYX_E.DAT";
  File_Valori = Cartella_Dati + "KYX_V.DAT";
  File_Layout = Cartella_Dati + "KYX_L.DAT";
  File_Layout_Elementi = Cartella_Dati + "KYX_L_###.DAT";
  File_Drill = Cartella_Dati + "KYX_D_###.DAT";
  File_Filtro_Utente = Cartella_Dati + "KYX_UF.DAT";
  File_Struttura_Utente = Cartella_Dati + "KYX_UA.DAT";
  Titolo_Programma = "Kyx";
  Server_Nome = "127.0.0.1";
  Server_Porta = std::to_string(port);
  Nome_Utente = ds::sample::kUser;
  Password_Utente = text::fixed(ds::sample::kPassword, 10, '^');
  Sistema_Informativo = ds::sample::kSales;
  if (FILE* f = std::fopen(File_Ini.c_str(), "wb")) {
    std::fputs("[001]\r\nNome=VENDITE\r\n", f);
    std::fclose(f);
  }
}

// The path of a program database as the file system knows it (the stored form ends its folder
// with a backslash).
std::string Native(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

// The rows of set `set` in `table` of `database` as CSV (numbers written so that they read back
// equal); the count written, or -1.
int64_t WriteCsv(const std::string& database, const std::string& table, int set, const std::string& file) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) return -1;
  sqlite3_create_collation(db, "JET", SQLITE_UTF8, nullptr, [](void*, int la, const void* a, int lb, const void* b) {
    const int c = sqlite3_strnicmp(static_cast<const char*>(a), static_cast<const char*>(b), la < lb ? la : lb);
    return c != 0 ? c : la - lb;
  });
  sqlite3_stmt* st = nullptr;
  const std::string sql = "SELECT * FROM \"" + table + "\" WHERE IDX = " + std::to_string(set);
  FILE* out = std::fopen(file.c_str(), "wb");
  int64_t n = -1;
  if (out && sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK) {
    n = 0;
    const int columns = sqlite3_column_count(st);
    while (sqlite3_step(st) == SQLITE_ROW) {
      for (int i = 0; i < columns; ++i) {
        if (i) std::fputc(',', out);
        switch (sqlite3_column_type(st, i)) {
          case SQLITE_NULL: break;
          case SQLITE_INTEGER: std::fprintf(out, "%lld", static_cast<long long>(sqlite3_column_int64(st, i))); break;
          case SQLITE_FLOAT: std::fprintf(out, "%.17g", sqlite3_column_double(st, i)); break;
          default: {
            std::string t = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
            std::fputc('"', out);
            for (char c : t) {
              if (c == '"') std::fputc('"', out);
              std::fputc(c, out);
            }
            std::fputc('"', out);
          }
        }
      }
      std::fputc('\n', out);
      ++n;
    }
  }
  if (out) std::fclose(out);
  sqlite3_finalize(st);
  sqlite3_close(db);
  return n;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t m = v.size() / 2;
  return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

void Figures(const char* label, const std::vector<double>& seconds, int64_t records) {
  const double med = Median(seconds);
  const double lo = *std::min_element(seconds.begin(), seconds.end());
  const double hi = *std::max_element(seconds.begin(), seconds.end());
  std::printf("  %-42s median %7.3f s  %10.0f records/s   runs %.3f .. %.3f s (spread %.1f%%)\n", label, med,
              records / med, lo, hi, 100.0 * (hi - lo) / med);
}

}  // namespace

int main(int argc, char** argv) {
  const Options o = Parse(argc, argv);
  bench::Scratch scratch(o.keep);
  const std::string program = scratch.file("prog");
  fs::create_directories(program);

  const std::string table = program + "/KYX.Tbl";
  const std::string command = std::string("'") + KYX_PYTHON + "' '" + KYX_MAKE_TBL + "' '" + table + "'";
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "the code table generator failed\n");
    return 1;
  }

  // The orders get a quarter of the sales' rows: four fifths of the records are sales.
  ds::GeneratorOptions g = ds::SizeOptions(ds::SampleSize::kSmall, 1);
  g.data_set_rows = o.records * 4 / 5;
  const std::string server_db = scratch.file("server.db");
  std::printf("Generating the sample (%s + %s data-set records)...\n", Grouped(g.data_set_rows).c_str(),
              Grouped(g.data_set_rows / 4).c_str());
  if (auto s = ds::GenerateSample(server_db, g); !s) {
    std::fprintf(stderr, "generator: %s\n", s.ToString().c_str());
    return 1;
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
  int32_t hWnd = 0;
  if (!Collegamento_Server(hWnd) || !Apri_MDB0(false) || !Apri_MDB2(false, false)) {
    std::fprintf(stderr, "login failed\n");
    return 1;
  }
  Connesso = true;
  // Both systems come from the data server (the sample keeps the orders on an SQL database).
  if (!Cn_MDB0->Execute("UPDATE SINF SET DBSQL=''")) return 1;

  const std::string mdb2 = Native(File_MDB2);
  const std::vector<std::string> tables{std::string("KYX_D0_00F_") + ds::sample::kSales,
                                        std::string("KYX_D0_00F_") + ds::sample::kOrders};
  const std::string reference = scratch.file("reference.db");
  const std::string schema_file = scratch.file("schema.sql");
  std::vector<double> ours, shell;
  int64_t records = -1;
  std::vector<std::string> csv;
  std::string script;
  std::printf("Data-set download over loopback into KYX_2.MDB, %d alternated runs each\n", o.runs);
  for (int run = 0; run < o.runs; ++run) {
    // Ours: the set deleted and registered again, then downloaded.
    if (!Elimina_Dati_Locali(1)) return 1;
    Menu_Dati m;
    m.Elemento_Nuovo = m.Elemento_Carica = 1;
    if (!Registra_Dati_Locali(m, [](const std::string& f, const std::string&) { return f; })) return 1;
    const double start = Now();
    Carica_Dati_Locali(m);
    ours.push_back(Now() - start);
    if (host.boxes || !MDB2_Aperto()) {
      std::fprintf(stderr, "the download did not end cleanly\n");
      return 1;
    }
    if (records < 0) {
      records = m.Record_Totali;
      // The rows it stored, once, as the reference's input; the reference's script with them.
      script = bench::StorageSettings(*Cn_MDB2);
      for (const auto& sql : bench::SchemaForShell(mdb2, tables)) script += sql + ";\n";
      script += "BEGIN;\n";
      int64_t written = 0;
      for (const auto& t : tables) {
        csv.push_back(scratch.file(t + ".csv"));
        const int64_t n = WriteCsv(mdb2, t, 1, csv.back());
        if (n < 0) return 1;
        written += n;
        script += ".import --csv '" + csv.back() + "' " + t + "\n";
      }
      script += "COMMIT;\n";
      if (written != records) {
        std::fprintf(stderr, "%lld records downloaded, %lld stored\n", static_cast<long long>(records),
                     static_cast<long long>(written));
        return 1;
      }
    } else if (m.Record_Totali != records) {
      std::fprintf(stderr, "run %d downloaded %lld records\n", run + 1, static_cast<long long>(m.Record_Totali));
      return 1;
    }

    // The reference: the same rows into an empty database.
    fs::remove(reference);
    const double seconds = bench::RunShell(reference, script, schema_file);
    if (seconds < 0) return 1;
    int64_t imported = 0;
    for (const auto& t : tables) imported += bench::CountRows(reference, t);
    if (imported != records) {
      std::fprintf(stderr, "the shell imported %lld records\n", static_cast<long long>(imported));
      return 1;
    }
    shell.push_back(seconds);
    std::printf("  run %d: ours %.3f s, sqlite3 .import %.3f s\n", run + 1, ours.back(), seconds);
  }
  Disconnetti();
  server.Stop();

  std::printf("\n%s records, the storage settings of KYX_2.MDB on both sides\n", Grouped(records).c_str());
  Figures("Carica_Dati_Locali (network + storing)", ours, records);
  Figures("sqlite3 .import from CSV, one transaction", shell, records);
  std::printf("  ratio ours / reference (rate, medians)     %.3f\n", Median(shell) / Median(ours));
  return 0;
}
