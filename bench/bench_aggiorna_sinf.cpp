// Aggiorna_SINF on a systems work file (KYX_E.DAT, 199-byte records) of a million records, against
// the sqlite3 shell importing the same records and copying them into the same two tables.
//
// Of the definition loaders, the systems file has the record length nearest to the 120 bytes of
// the reference figure among those whose table can hold a million distinct rows: the areas file
// (48 bytes) numbers its rows in a 16-bit IDX and stops at 32,767.
//
// Each record carries a distinct system code (in scattered order, so that the index is filled
// at random places as a real download fills it) and one key-map byte, so it gives one SINF row and
// one CHIAVI_EXT row; SINF also gets the current system's row from the login reply first.
//
// The shell reads the same records as fixed-width text lines (the binary byte fields written as
// three digits, since the shell cannot import NUL bytes), with .import into a staging table, then
// INSERT ... SELECT into SINF and CHIAVI_EXT with the same conversions (trailing blanks trimmed,
// an empty text stored as one blank). Its tables have our columns, checks and indexes, with NOCASE
// in place of our JET collation, which the shell does not have, and it writes with the durability
// and page cache of our load (journal in memory, no syncing, 64 MB).
#include <cstdio>
#include <string>

#include "bench/bench_common.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "db/aggiorna.h"
#include "db/mdb0.h"
#include "db/record_lavoro.h"
#include "platform/files/record_file.h"

namespace {

using namespace kyx;

// A blank-padded text of `width` characters.
void Put(std::string& record, size_t at, const std::string& text, size_t width) {
  record.replace(at, width, (text + std::string(width, ' ')).substr(0, width));
}

struct Record_Generato {
  int idx;
  std::string codice, libreria, database;
  int chiave_interna, chiave_esterna;
};

Record_Generato Genera(int64_t i) {
  Record_Generato r;
  // i * K mod 10^9 is one-to-one for i below 10^9 (K is prime to 10): distinct codes, scattered.
  const int64_t n = (i * 2654435761LL) % 1000000000LL;
  char codice[16];
  std::snprintf(codice, sizeof codice, "%c%09lld", static_cast<char>('A' + i % 26), static_cast<long long>(n));
  r.idx = static_cast<int>(i % 256);
  r.codice = codice;
  r.libreria = "LIB" + std::to_string(i % 100);
  r.database = "STAT_" + std::to_string(i % 1000) + "_VENDITE";
  r.chiave_interna = static_cast<int>(1 + i % 128);
  r.chiave_esterna = static_cast<int>(1 + i % 255);
  return r;
}

// The work file as the download writes it, and the same records as text lines for the shell.
void Scrivi_File(const std::string& work_file, const std::string& text_file, int64_t n) {
  files::RecordFile f;
  f.open(work_file, lavoro::kSistemi);
  FILE* t = std::fopen(text_file.c_str(), "wb");
  std::string record;
  std::string buffer;
  buffer.reserve(lavoro::kSistemi * 4096);
  for (int64_t i = 1; i <= n; ++i) {
    const Record_Generato g = Genera(i);
    record.assign(lavoro::kSistemi, '\0');
    record[0] = static_cast<char>(g.idx);
    Put(record, 1, g.codice, 10);
    Put(record, 11, g.libreria, 10);
    Put(record, 21, g.database, 50);
    record[70 + g.chiave_interna] = static_cast<char>(g.chiave_esterna);
    buffer += record;
    if (buffer.size() >= lavoro::kSistemi * 4096 || i == n) {
      // One write per block of records: the file is the same as record-by-record Puts.
      const int64_t first = i - static_cast<int64_t>(buffer.size() / lavoro::kSistemi) + 1;
      for (size_t k = 0; k < buffer.size() / lavoro::kSistemi; ++k)
        f.write(first + static_cast<int64_t>(k), std::string_view(buffer).substr(k * lavoro::kSistemi, lavoro::kSistemi));
      buffer.clear();
    }
    std::fprintf(t, "%03d%-10s%-10s%-50s%03d%03d\n", g.idx, g.codice.c_str(), g.libreria.c_str(), g.database.c_str(),
                 g.chiave_interna, g.chiave_esterna);
  }
  std::fclose(t);
  f.close();
}

std::string Script_Shell(const std::string& settings, const std::string& kyx_db, const std::string& text_file) {
  std::string s = settings;
  for (const std::string& sql : bench::SchemaForShell(kyx_db, {"SINF", "CHIAVI_EXT"})) s += sql + ";\n";
  // Testo_Non_Vuoto: trailing blanks off, an empty text becomes one blank.
  auto T = [](const char* from, const char* len) {
    return std::string("coalesce(nullif(rtrim(substr(r, ") + from + ", " + len + ")), ''), ' ')";
  };
  s += "CREATE TABLE staging (r TEXT);\n";
  s += ".import --csv '" + text_file + "' staging\n";
  s += "BEGIN;\n";
  s += "INSERT INTO SINF (SINF, LIBS1, DBSQL, IDX, IDX_KEY, IDX_MAX) VALUES ('VEN', 'LIBVEN', ' ', 7, -2, 0);\n";
  s += "INSERT INTO SINF (SINF, LIBS1, DBSQL, IDX, IDX_KEY, IDX_MAX) SELECT " + T("4", "10") + ", " + T("14", "10") +
       ", " + T("24", "50") + ", CAST(substr(r, 1, 3) AS INTEGER), -2, 0 FROM staging;\n";
  s += "INSERT INTO CHIAVI_EXT (SINF, KEY_I, KEY_E) SELECT " + T("4", "10") +
       ", CAST(substr(r, 74, 3) AS INTEGER), CAST(substr(r, 77, 3) AS INTEGER) FROM staging;\n";
  s += "COMMIT;\n";
  s += "DROP TABLE staging;\n";
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  const bench::Options o = bench::ParseOptions(argc, argv);
  bench::Scratch scratch(o.keep);
  bench::PrepareProgram(scratch.path());
  File_Sistemi = Cartella_Dati + "KYX_E.DAT";
  Sistema_Informativo = "VEN";
  Libreria_Sistema = "LIBVEN";
  Indice_Sistema_Server = 7;
  DataBase_SQL = "";

  const std::string work_file = scratch.file("Dati/KYX_E.DAT");
  const std::string text_file = scratch.file("sistemi.txt");
  Scrivi_File(work_file, text_file, o.rows);

  std::printf("Aggiorna_SINF: %s records of KYX_E.DAT (%zu bytes each) into SINF and CHIAVI_EXT\n",
              bench::Grouped(o.rows).c_str(), lavoro::kSistemi);
  if (!Apri_MDB0(true)) return 1;
  // The loader writes its blocks with the durability of a rebuilt database (journal in memory, no
  // waiting for the disk) and our page cache: the shell gets the same settings.
  std::string settings;
  if (!Cn_MDB0->SetDurability(data::Durability::kRebuilt).ok()) return 1;
  settings = bench::StorageSettings(*Cn_MDB0);
  if (!Cn_MDB0->SetDurability(data::Durability::kFull).ok()) return 1;
  const double start = bench::Now();
  Aggiorna_SINF();
  const double ours = bench::Now() - start;
  Chiudi_MDB0();
  const std::string kyx_db = scratch.file("Dati/KYX_0.MDB");
  bench::PrintRate("Kyx Aggiorna_SINF", o.rows, ours, "records");
  std::printf("  %-34s SINF %s rows, CHIAVI_EXT %s rows\n", "", bench::Grouped(bench::CountRows(kyx_db, "SINF")).c_str(),
              bench::Grouped(bench::CountRows(kyx_db, "CHIAVI_EXT")).c_str());
  if (o.only_kyx) return 0;

  const std::string shell_db = scratch.file("shell.db");
  const double reference = bench::RunShell(shell_db, Script_Shell(settings, kyx_db, text_file), scratch.file("sistemi.sql"));
  bench::PrintRate("sqlite3 .import + INSERT..SELECT", o.rows, reference, "records");
  std::printf("  %-34s SINF %s rows, CHIAVI_EXT %s rows (NOCASE in place of JET)\n", "",
              bench::Grouped(bench::CountRows(shell_db, "SINF")).c_str(),
              bench::Grouped(bench::CountRows(shell_db, "CHIAVI_EXT")).c_str());
  bench::PrintRatio(o.rows, ours, reference);
  return 0;
}
