// A million description rows into KYX_DS_20F through Rs_Descrizioni, the way the description
// update stores each row it receives (Seek on key and code; a code not found is added with its
// sixteen descriptions empty; progressive 1 sets the state; the description of the progressive is
// set; Update), against the sqlite3 shell importing the same rows and copying them into a table
// with the same columns, checks and index (NOCASE in place of our JET collation, which the shell
// does not have) and the same page size, journal mode, synchronous setting and page cache as our
// KYX_1.
//
// Every row is a new code with progressive 1, so each gives one table row. Our side commits once
// per block of rows (the update receives its rows in blocks); the shell copies everything in one
// statement.
#include <cstdio>
#include <string>

#include "bench/bench_common.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "db/mdb1.h"

namespace {

using namespace kyx;

constexpr int64_t kRighe_Per_Blocco = 200000;

struct Riga {
  std::string Stato;
  int64_t Chiave = 0;
  int64_t Progressivo = 0;
  std::string Codice;
  std::string Descrizione;
};

void Genera(int64_t i, Riga& r) {
  // i * K mod 10^9 is one-to-one for i below 10^9: distinct codes, in scattered order.
  const int64_t n = (i * 2654435761LL) % 1000000000LL;
  char testo[64];
  r.Stato.assign(1, ' ');
  r.Chiave = 1 + i % 20;
  r.Progressivo = 1;
  std::snprintf(testo, sizeof testo, "ART-%09lld", static_cast<long long>(n));
  r.Codice = testo;
  std::snprintf(testo, sizeof testo, "Articolo %lld colore %lld taglia %lld", static_cast<long long>(n % 100000),
                static_cast<long long>(i % 17), static_cast<long long>(i % 9));
  r.Descrizione = testo;
}

const std::string& Colonna_Descrizione(int64_t n) {
  static const auto kNomi = [] {
    std::vector<std::string> v;
    for (int j = 1; j <= 16; ++j) v.push_back(std::string("S_DS_D_") + (j < 10 ? "0" : "") + std::to_string(j));
    return v;
  }();
  return kNomi[n - 1];
}

// The ordinals of the columns a row sets, looked up once, as the update does.
struct Colonne {
  int Stato = -1, Chiave = -1, Codice = -1;
  int Descrizioni[16] = {};
  explicit Colonne(const data::TableRecordset& Rs) {
    Stato = Rs.FieldIndex("S_DS_STAT");
    Chiave = Rs.FieldIndex("S_DS_KEY");
    Codice = Rs.FieldIndex("S_DS_CODI");
    for (int64_t j = 1; j <= 16; ++j) Descrizioni[j - 1] = Rs.FieldIndex(Colonna_Descrizione(j));
  }
};

// One row as the description update applies it. The key is held in two values kept from row to
// row, and the texts go into the row's own buffers with SetText: nothing is allocated per row.
bool Applica(const Riga& r, const Colonne& C) {
  data::TableRecordset& Rs = *Rs_Descrizioni;
  static data::Value Chiave[2];
  std::string_view Descrizione = std::string_view(r.Descrizione).substr(0, 40);
  if (r.Stato == "A" && r.Progressivo >= 2) Descrizione = " ";
  Chiave[0].AssignInteger(r.Chiave);
  Chiave[1].AssignText(std::string_view(r.Codice).substr(0, 30));
  if (!Rs.Seek(Chiave, 2).ok()) return false;
  if (Rs.AfterLast()) {
    if (!Rs.AddNew().ok()) return false;
    Rs.SetText(C.Stato, " ");
    Rs.Set(C.Chiave, Chiave[0]);
    Rs.Set(C.Codice, Chiave[1]);
    for (const int d : C.Descrizioni) Rs.SetText(d, "");
  }
  if (r.Progressivo == 1) {
    if (Rs.Field(C.Stato).text() == "A" && r.Stato == " ") {
      for (const int d : C.Descrizioni) Rs.SetText(d, "");
    }
    Rs.SetText(C.Stato, r.Stato);
  }
  if (!Rs.SetText(C.Descrizioni[r.Progressivo - 1], Descrizione).ok() || !Rs.Update().ok()) {
    Rs.CancelUpdate();
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const bench::Options o = bench::ParseOptions(argc, argv);
  bench::Scratch scratch(o.keep);
  bench::PrepareProgram(scratch.path());

  // The rows as the server sends them, kept in memory so that only the storing is timed; the same
  // rows as fixed-width text lines for the shell.
  std::vector<Riga> righe(static_cast<size_t>(o.rows));
  const std::string text_file = scratch.file("descrizioni.txt");
  {
    FILE* t = std::fopen(text_file.c_str(), "wb");
    for (int64_t i = 0; i < o.rows; ++i) {
      Genera(i + 1, righe[i]);
      std::fprintf(t, "%03lld%-30s%-40s\n", static_cast<long long>(righe[i].Chiave), righe[i].Codice.c_str(),
                   righe[i].Descrizione.c_str());
    }
    std::fclose(t);
  }

  std::printf("Description rows: %s rows into KYX_DS_20F (Seek + AddNew/Set/Update on Rs_Descrizioni)\n",
              bench::Grouped(o.rows).c_str());
  if (!Apri_MDB1(true, false)) return 1;
  int64_t rifiutate = 0;
  const double start = bench::Now();
  const Colonne C(*Rs_Descrizioni);
  for (int64_t i = 0; i < o.rows; ++i) {
    if (i % kRighe_Per_Blocco == 0) Cn_MDB1->BeginTransaction();
    if (!Applica(righe[i], C)) ++rifiutate;
    if ((i + 1) % kRighe_Per_Blocco == 0 || i + 1 == o.rows) Cn_MDB1->Commit();
  }
  const double ours = bench::Now() - start;
  // The shell runs with the settings our connection to KYX_1 had, so that both sides write the
  // same way: page size, journal, synchronous writes and page cache.
  const std::string settings = bench::StorageSettings(*Cn_MDB1);
  Chiudi_MDB1();
  const std::string kyx_db = scratch.file("Dati/KYX_1.MDB");
  bench::PrintRate("Kyx Rs_Descrizioni", o.rows, ours, "rows");
  std::printf("  %-34s KYX_DS_20F %s rows (%s refused)\n", "", bench::Grouped(bench::CountRows(kyx_db, "KYX_DS_20F")).c_str(),
              bench::Grouped(rifiutate).c_str());
  if (o.only_kyx) return 0;

  std::string s = settings;
  for (const std::string& sql : bench::SchemaForShell(kyx_db, {"KYX_DS_20F"})) s += sql + ";\n";
  s += "CREATE TABLE staging (r TEXT);\n";
  s += ".import --csv '" + text_file + "' staging\n";
  s += "BEGIN;\n";
  s += "INSERT INTO KYX_DS_20F SELECT ' ', CAST(substr(r, 1, 3) AS INTEGER), rtrim(substr(r, 4, 30)), "
       "rtrim(substr(r, 34, 40))";
  for (int j = 2; j <= 16; ++j) s += ", ''";
  s += " FROM staging;\n";
  s += "COMMIT;\n";
  s += "DROP TABLE staging;\n";
  const std::string shell_db = scratch.file("shell.db");
  const double reference = bench::RunShell(shell_db, s, scratch.file("descrizioni.sql"));
  bench::PrintRate("sqlite3 .import + INSERT..SELECT", o.rows, reference, "rows");
  std::printf("  %-34s KYX_DS_20F %s rows (NOCASE in place of JET)\n", "",
              bench::Grouped(bench::CountRows(shell_db, "KYX_DS_20F")).c_str());
  bench::PrintRatio(o.rows, ours, reference);
  return 0;
}
