// The elaboration engine on a large local data set, against the sqlite3 shell's single GROUP BY
// of the same rows (run.sh adds pandas and prints medians and ratios).
//
// The system: keys area (20 codes), agent (500) and month (12), one value over two data-set
// slots. The layout: row levels area and agent, a cross-tab column on month whose value is the
// sum of both slots, a subtotal per area and a grand total: 20 x 500 details + 20 subtotals + 1
// total = 10,021 result rows.
//
//   bench_engine prepare FOLDER ROWS   builds the program folder with its databases
//   bench_engine ours FOLDER           one cold run (no columnar copy yet) and one warm run
//   bench_engine warm FOLDER [TIMES]   warm runs only, after an untimed cold one (for a profiler)
//   bench_engine shell FOLDER          the sqlite3 shell's GROUP BY of area, agent, month
//   bench_engine copy FOLDER [TIMES]   the columnar copy of the data set alone (copy1: one thread)
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_common.h"
#include "common/formatta_valore.h"
#include "common/modello.h"
#include "common/sostituisci_variabili.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "db/mdb0.h"
#include "db/mdb2.h"
#include "engine/agganci_motore.h"
#include "engine/elaborazione.h"
#include "engine/stato_motore.h"
#include "layouts/layout.h"
#include "platform/data/columnar_cache.h"

namespace {

using namespace kyx;

constexpr int kAree = 20, kAgenti = 500, kMesi = 12;

void Muori(const std::string& cosa) {
  std::fprintf(stderr, "bench_engine: %s\n", cosa.c_str());
  std::exit(1);
}

void Inserisci(data::Connection& cn, const std::string& tabella, const std::vector<std::string>& colonne,
               const std::vector<data::Value>& valori) {
  std::string sql = "INSERT INTO " + tabella + " (", segnaposti;
  for (size_t i = 0; i < colonne.size(); ++i) {
    sql += (i ? "," : "") + cn.QuoteName(colonne[i]);
    segnaposti += i ? ",?" : "?";
  }
  sql += ") VALUES (" + segnaposti + ")";
  std::unique_ptr<data::Statement> st;
  if (!cn.Prepare(sql, &st).ok()) Muori("cannot prepare " + sql);
  for (size_t i = 0; i < valori.size(); ++i) (void)st->Bind(static_cast<int>(i + 1), valori[i]);
  const data::Status s = st->Run();
  if (!s.ok()) Muori(s.ToString());
}

void Programma(const std::string& cartella) {
  bench::PrepareProgram(cartella);
  std::filesystem::create_directories(cartella + "/Dati");
  stato_motore::reset();
  agganci_motore::reset();
  formatta_valore::reset();
  sostituisci_variabili::reset();
  Sistema_Informativo = "SI1";
  Layout_Corrente = 3;
  Liv_Riga_Chiave.fill(-1);
  Liv_Colonna_Chiave.fill(-1);
  Liv_Riga_Chiave[0] = 1;
  Liv_Riga_Chiave[1] = 2;
  Liv_Colonna_Chiave[0] = 3;
  Precisione_15 = true;
  // The history of the run, as a profile keeps it: every run ends by saving its result there.
  std::filesystem::create_directories(cartella + "/Dati/STORICO");
  Elementi_Storico = 5;
  agganci_motore::Salva_Layout = [](const std::string& o, int16_t c) { Salva_Layout(o, c); };
}

void Prepara(const std::string& cartella, int64_t righe) {
  Programma(cartella);
  if (!Apri_MDB0(true)) Muori("KYX_0.MDB");
  data::Connection& c0 = *Cn_MDB0;
  Inserisci(c0, "SINF", {"SINF", "LIBS1", "IDX_KEY", "IDX_MAX"}, {"SI1", "LIB1", 9, 2});
  const int lun[] = {4, 5, 2};
  for (int k = 1; k <= 3; ++k)
    Inserisci(c0, "CHIAVI", {"SINF", "IDX", "KINDB", "LUN", "ATTR", "KEY_D", "FORMATO", "TESTO"},
              {"SI1", k, "K", lun[k - 1], "2", 0, "", "Chiave " + std::to_string(k)});
  Inserisci(c0, "VALORI", {"SINF", "IDX", "ELEM"}, {"SI1", 1, 2});
  Inserisci(c0, "LAYOUT", {"IDX", "DESC", "COL_B", "COL_O", "COL_OT", "MODEST"}, {3, "Vendite", 0, 0, "", ""});
  struct E {
    int col;
    const char* calc;
    const char* tot;
    const char* sntot;
  };
  const E elementi[] = {{1, "#L1(001)", "", "S"}, {2, "#L2(002)", "", ""}, {3, "#C1(003)#+V001#", "T", ""}};
  int idx = 0;
  for (const E& e : elementi)
    Inserisci(c0, "LAY_ELEM",
              {"LAY", "IDX", "RIG", "COL", "CALC", "INTE", "VIS", "FORMATO", "TOT", "SINF", "DIM_S", "SNINT", "SNTOT"},
              {3, ++idx, 1, e.col, e.calc, "", "V", "", e.tot, "", 0, "", e.sntot});
  if (!Apri_MDB2(true, false) || !Cn_MDB2) Muori("KYX_2.MDB");
  data::Connection& c2 = *Cn_MDB2;
  std::unique_ptr<data::Statement> st;
  if (!c2.Prepare("INSERT INTO KYX_D0_00F_SI1 (IDX, K_001, K_002, K_003, V_001_01, V_001_02) VALUES (?,?,?,?,?,?)", &st)
           .ok())
    Muori("prepare rows");
  (void)c2.BeginTransaction();
  uint64_t x = 88172645463325252ull;
  char area[8], agente[8], mese[4];
  for (int64_t i = 0; i < righe; ++i) {
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    std::snprintf(area, sizeof area, "A%03d", static_cast<int>(x % kAree));
    std::snprintf(agente, sizeof agente, "G%04d", static_cast<int>((x >> 8) % kAgenti));
    std::snprintf(mese, sizeof mese, "%02d", static_cast<int>((x >> 20) % kMesi) + 1);
    (void)st->Bind(1, data::Value(i + 1));
    (void)st->Bind(2, data::Value(area));
    (void)st->Bind(3, data::Value(agente));
    (void)st->Bind(4, data::Value(mese));
    (void)st->Bind(5, data::Value(static_cast<double>((x >> 32) % 100000) / 100.0));
    (void)st->Bind(6, data::Value(static_cast<double>((x >> 40) % 1000) / 10.0));
    const data::Status s = st->Run();
    if (!s.ok()) Muori(s.ToString());
    if ((i + 1) % 500000 == 0) {
      (void)c2.Commit();
      (void)c2.BeginTransaction();
    }
  }
  (void)c2.Commit();
  st.reset();
  Chiudi_MDB2();
  std::printf("prepared %s rows in %s\n", bench::Grouped(righe).c_str(), cartella.c_str());
}

int64_t Righe_Risultato() { return bench::CountRows(mdb::Percorso(File_MDB3), "DATI"); }

double Una_Elaborazione() {
  const double t0 = bench::Now();
  if (!Esegui_Elaborazione()) Muori("the elaboration did not run");
  return bench::Now() - t0;
}

// `volte` warm runs after one cold run (for a profiler: the copy is built before them).
void Calde(const std::string& cartella, int volte) {
  Programma(cartella);
  if (!Apri_MDB0(false)) Muori("KYX_0.MDB");
  if (!Apri_MDB2(false, false)) Muori("KYX_2.MDB");
  data::ColumnarCache::Clear();
  (void)Una_Elaborazione();
  for (int i = 0; i < volte; ++i) std::printf("ours_warm %.4f\n", Una_Elaborazione());
}

void Nostra(const std::string& cartella) {
  Programma(cartella);
  if (!Apri_MDB0(false)) Muori("KYX_0.MDB");
  if (!Apri_MDB2(false, false)) Muori("KYX_2.MDB");
  data::ColumnarCache::Clear();
  const double freddo = Una_Elaborazione();
  const int64_t righe = Righe_Risultato();
  const double caldo = Una_Elaborazione();
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  std::printf("ours_cold %.4f\nours_warm %.4f\nresult_rows %lld\npeak_kb %ld\n", freddo, caldo,
              static_cast<long long>(righe), ru.ru_maxrss);
}

// The columnar copy of the data set alone, built `volte` times (one reading thread when `parti`
// is 1, else as the cache reads a large table).
void Copia(const std::string& cartella, int volte, bool una_parte) {
  Programma(cartella);
  if (!Apri_MDB2(false, false)) Muori("KYX_2.MDB");
  if (una_parte) data::ColumnarCache::SetRowsPerPart(int64_t{1} << 60);
  for (int i = 0; i < volte; ++i) {
    std::shared_ptr<const data::ColumnarTable> t;
    const double t0 = bench::Now();
    const data::Status s = data::BuildColumnarTable(*Cn_MDB2, "KYX_D0_00F_SI1", &t);
    if (!s.ok()) Muori(s.ToString());
    std::printf("columnar_copy %.4f\n", bench::Now() - t0);
  }
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  std::printf("peak_kb %ld\n", ru.ru_maxrss);
}

void Shell(const std::string& cartella) {
  Programma(cartella);
  const std::string db = mdb::Percorso(File_MDB2);
  // The shell lacks our JET collation: the keys are grouped with its NOCASE.
  const std::string script =
      ".output /dev/null\nSELECT K_001 COLLATE NOCASE, K_002 COLLATE NOCASE, K_003 COLLATE NOCASE, "
      "sum(V_001_01+V_001_02) FROM KYX_D0_00F_SI1 GROUP BY 1, 2, 3;\n";
  const double t = bench::RunShell(db, script, cartella + "/groupby.sql");
  if (t < 0) Muori("the sqlite3 shell failed");
  std::printf("shell %.4f\n", t);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: bench_engine prepare|ours|warm|shell|copy|copy1 FOLDER [ROWS|TIMES]\n");
    return 2;
  }
  const std::string modo = argv[1], cartella = argv[2];
  if (modo == "prepare") Prepara(cartella, argc > 3 ? std::atoll(argv[3]) : 1000000);
  else if (modo == "ours") Nostra(cartella);
  else if (modo == "shell") Shell(cartella);
  else if (modo == "warm") Calde(cartella, argc > 3 ? std::atoi(argv[3]) : 5);
  else if (modo == "copy" || modo == "copy1") Copia(cartella, argc > 3 ? std::atoi(argv[3]) : 1, modo == "copy1");
  else Muori("unknown mode " + modo);
  return 0;
}
