// The elaboration engine on a large local data set; run.sh sets it beside DuckDB (one thread),
// the sqlite3 shell and pandas doing the same pivot of the same rows, compares the results cell
// for cell and prints medians and ratios.
//
// The system: keys area (20 codes), agent (500) and month (12), one value over two data-set
// slots. The layout: row levels area and agent, a cross-tab column on month whose value is the
// sum of both slots, a subtotal per area and a grand total: 20 x 500 details + 20 subtotals + 1
// total = 10,021 result rows.
//
//   bench_engine prepare FOLDER ROWS   builds the program folder with its databases and writes the
//                                      fact rows to FOLDER/facts.csv (the CSV peers' input)
//   bench_engine ours FOLDER           one cold run (no columnar copy yet) and one warm run, on one
//                                      processor with one reading thread; writes FOLDER/result_ours.tsv
//   bench_engine warm FOLDER [TIMES]   warm runs only, after an untimed cold one (for a profiler)
//   bench_engine shell FOLDER          the same pivot by the sqlite3 shell (its own timer: the
//                                      query alone, not the start of its process); writes
//                                      FOLDER/result_shell.tsv
//   bench_engine copy FOLDER [TIMES]   the columnar copy of the data set alone (copy1: one thread)
#include <sched.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
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
  std::ofstream csv(cartella + "/facts.csv", std::ios::binary);
  csv << "area,agent,month,v1,v2\n";
  uint64_t x = 88172645463325252ull;
  char area[8], agente[8], mese[4], riga_csv[64];
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
    // The same values as text: whole cents and tenths, so every reader gets the same doubles.
    std::snprintf(riga_csv, sizeof riga_csv, "%s,%s,%s,%.2f,%.1f\n", area, agente, mese,
                  static_cast<double>((x >> 32) % 100000) / 100.0, static_cast<double>((x >> 40) % 1000) / 10.0);
    csv << riga_csv;
    if ((i + 1) % 500000 == 0) {
      (void)c2.Commit();
      (void)c2.BeginTransaction();
    }
  }
  (void)c2.Commit();
  st.reset();
  Chiudi_MDB2();
  csv.close();
  if (!csv) Muori("cannot write facts.csv");
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

// The result of the last run as the peers write theirs: one line per row, area, agent and the
// twelve months ("*" for the key a subtotal or the total rolls up).
void Scrivi_Risultato(const std::string& file) {
  std::ofstream out(file, std::ios::binary);
  data::Recordset* rs = Rs_Griglia.get();
  if (!rs || !rs->IsOpen()) Muori("no result recordset");
  std::vector<std::pair<int, int>> mesi;  // column, month
  for (int c = 1; c <= Numero_Colonne; ++c) {
    const int mese = std::atoi(Col_VCC[static_cast<size_t>(c)].c_str());
    if (Col_Tipo[static_cast<size_t>(c)] == 0 && mese >= 1 && mese <= 12) mesi.emplace_back(c, mese);
  }
  if (mesi.size() != 12) Muori("the result has " + std::to_string(mesi.size()) + " month columns, not 12");
  const int area = Colonna_Livello[1], agente = Colonna_Livello[2];
  if (rs->RecordCount() > 0 && rs->MoveFirst().ok()) {
    for (; !rs->AfterLast(); (void)rs->MoveNext()) {
      const std::string chiave = rs->Field(0).AsText();
      const bool totale = chiave == "9999994", subtotale = chiave.size() > 6 && chiave[6] == '3';
      std::string riga = totale ? "*" : rs->Field(area).AsText();
      riga += '\t';
      riga += totale || subtotale ? "*" : rs->Field(agente).AsText();
      std::vector<std::string> celle(13);
      for (const auto& [c, m] : mesi) {
        const data::Value v = rs->Field(c);
        if (!v.is_null()) celle[static_cast<size_t>(m)] = std::to_string(v.AsDouble());
      }
      for (int m = 1; m <= 12; ++m) riga += '\t' + celle[static_cast<size_t>(m)];
      out << riga << '\n';
    }
  }
  if (!out) Muori("cannot write " + file);
}

// One processor for the whole process (the one it runs on now) and one reading thread for the
// columnar copy: the single-thread peers' terms.
void Un_Processore() {
  const int cpu = sched_getcpu();
  cpu_set_t set;
  CPU_ZERO(&set);
  CPU_SET(cpu < 0 ? 0 : cpu, &set);
  if (sched_setaffinity(0, sizeof set, &set) != 0) Muori("cannot keep to one processor");
  data::ColumnarCache::SetRowsPerPart(int64_t{1} << 60);
}

void Nostra(const std::string& cartella) {
  Programma(cartella);
  Un_Processore();
  if (!Apri_MDB0(false)) Muori("KYX_0.MDB");
  if (!Apri_MDB2(false, false)) Muori("KYX_2.MDB");
  data::ColumnarCache::Clear();
  const double freddo = Una_Elaborazione();
  const int64_t righe = Righe_Risultato();
  const double caldo = Una_Elaborazione();
  Scrivi_Risultato(cartella + "/result_ours.tsv");
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
  // The shell lacks our JET collation: the keys are grouped and compared with its NOCASE. The
  // pivot: the detail rows with a FILTER sum per month, then a subtotal per area and the total
  // summed from them (SQLite has no ROLLUP).
  std::string mesi, somme;
  for (int m = 1; m <= kMesi; ++m) {
    char mm[4];
    std::snprintf(mm, sizeof mm, "%02d", m);
    mesi += std::string(", sum(V_001_01 + V_001_02) FILTER (WHERE K_003 COLLATE NOCASE = '") + mm + "') AS m" + mm;
    somme += std::string(", sum(m") + mm + ")";
  }
  const std::string script =
      ".timer on\n.mode tabs\n.output '" + cartella + "/result_shell.tsv'\n"
      "WITH d AS (SELECT K_001 COLLATE NOCASE AS area, K_002 COLLATE NOCASE AS agent" + mesi +
      " FROM KYX_D0_00F_SI1 GROUP BY 1, 2) "
      "SELECT * FROM d UNION ALL SELECT area, '*'" + somme + " FROM d GROUP BY area "
      "UNION ALL SELECT '*', '*'" + somme + " FROM d;\n";
  const std::string file = cartella + "/pivot.sql", uscita = cartella + "/shell_timer.txt";
  {
    std::ofstream f(file, std::ios::binary);
    f << script;
  }
  const std::string comando = "sqlite3 -bail '" + db + "' < '" + file + "' > '" + uscita + "'";
  if (std::system(comando.c_str()) != 0) Muori("the sqlite3 shell failed: " + comando);
  // "Run Time: real 0.123 user ... sys ...": the query's own wall-clock time.
  std::ifstream t(uscita);
  std::string riga;
  double secondi = -1;
  while (std::getline(t, riga))
    if (riga.rfind("Run Time: real ", 0) == 0) secondi = std::atof(riga.c_str() + 15);
  if (secondi < 0) Muori("the sqlite3 shell printed no timer line");
  std::printf("shell %.4f\n", secondi);
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
