// The workbook file at the format's limits: a whole sheet of 65,536 rows saved and read back by
// an independent reader (xlrd) cell by cell, the compound document's extension sectors it needs,
// the memory it takes, and the layout of FAT and DIFAT around the sizes where they grow.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/xls/documento_composto.h"
#include "platform/xls/libro.h"
#include "tests/support/temp_dir.h"

namespace kyx::xls {
namespace {

std::string Esegui(const std::string& comando) {
  std::string out;
  if (FILE* p = popen(comando.c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
  }
  return out;
}

// The delimited text of the rule the reader checks: numbers in the even columns, texts (quoted,
// Windows-1252, a euro sign in front on every seventh row) in the odd ones.
void Scrivi_Testo(const std::string& file, int righe, int colonne) {
  std::ofstream out(file, std::ios::binary);
  std::string linea;
  for (int r = 0; r < righe; ++r) {
    linea.clear();
    for (int c = 0; c < colonne; ++c) {
      if (c) linea += '\t';
      if (c % 2 == 0) {
        linea += std::to_string(r * 1000 + c) + ".5";
      } else {
        linea += std::string("\"") + (r % 7 == 0 ? "\x80" : "") + "R" + std::to_string(r) + "C" + std::to_string(c) + "\xE8\"";
      }
    }
    linea += "\r\n";
    out << linea;
  }
}

// The peak resident memory allowed while a whole sheet is made and saved. AddressSanitizer keeps
// freed blocks resident for a while (its quarantine, to catch use after free) and adds its shadow
// memory, and the peak counts both: under it the budget doubles. (gcc says so with
// __SANITIZE_ADDRESS__, clang through __has_feature.)
#if defined(__SANITIZE_ADDRESS__)
#define KYX_SOTTO_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KYX_SOTTO_ASAN 1
#endif
#endif
#ifdef KYX_SOTTO_ASAN
constexpr long kMemoriaMassimaKb = 2 * 100 * 1024;
#else
constexpr long kMemoriaMassimaKb = 100 * 1024;
#endif

// A whole sheet, 65,536 rows by 20 columns, formatted by ranges and saved.
void Salva_Foglio_Intero(const test::TempDir& dir, const std::string& file) {
  Scrivi_Testo(dir.file("foglio.txt"), Libro::kRighe, 20);
  Libro l;
  std::string errore;
  ASSERT_TRUE(l.Apri_Testo(dir.file("foglio.txt"), '\t', '.', {}, errore)) << errore;
  l.Formatta({1, 1, Libro::kRighe, 20}, [](Formato& f) { f.Formato_Numero = "#,##0.00"; });
  l.Formatta({2, 1, 2, 20}, [](Formato& f) { f.Grassetto = true; });
  l.Bordo({1, 1, Libro::kRighe, 20}, xlInsideHorizontal, 8);
  l.Adatta_Colonne();
  ASSERT_TRUE(l.Salva(file, errore)) << errore;
}

TEST(Libro, AWholeSheetOf65536RowsBy20ColumnsSavesAndReadsBackCellByCell) {
  test::TempDir dir;
  const std::string file = dir.file("foglio.xls");
  ASSERT_NO_FATAL_FAILURE(Salva_Foglio_Intero(dir, file));

  // Well past the 109 FAT sectors (about 7 MB) that the header alone can list.
  std::ifstream f(file, std::ios::binary | std::ios::ate);
  EXPECT_GT(static_cast<long long>(f.tellg()), 8'000'000LL);
  const std::string esito = Esegui(std::string(KYX_PYTHON) + " " + KYX_VERIFICA_FOGLIO + " '" + file + "' 65536 20 2>&1");
  EXPECT_EQ(esito.substr(0, esito.find("difat")), "righe 65536 colonne 20 errori 0 ") << esito;
  EXPECT_EQ(esito.find("difat 0\n"), std::string::npos) << esito;

  // The sheet keeps its cells compactly and the file is written as it is made: far less memory
  // than the cells' texts and records would take one by one (about 1.3 million cells).
  rusage uso{};
  getrusage(RUSAGE_SELF, &uso);
  EXPECT_LT(uso.ru_maxrss, kMemoriaMassimaKb) << "peak resident memory in KB";
}

// LibreOffice, where it is installed, as a second reader: it converts the sheet to CSV.
TEST(Libro, LibreOfficeReadsTheWholeSheet) {
  if (Esegui("command -v soffice").empty()) GTEST_SKIP() << "LibreOffice (soffice) is not installed";
  test::TempDir dir;
  const std::string file = dir.file("foglio.xls");
  ASSERT_NO_FATAL_FAILURE(Salva_Foglio_Intero(dir, file));
  Esegui("cd '" + dir.path() + "' && HOME='" + dir.path() + "' soffice --headless --convert-to csv --outdir '" + dir.path() +
         "' foglio.xls >/dev/null 2>&1");
  const std::string csv = dir.read("foglio.csv");
  size_t righe = 0;
  for (char c : csv) righe += c == '\n';
  EXPECT_EQ(righe, 65536u);
  EXPECT_NE(csv.find("R65535C19"), std::string::npos) << csv.substr(csv.size() > 300 ? csv.size() - 300 : 0);
}

TEST(Libro, CellsBeyondTheSheetAreNotKeptAndASmallWorkbookReadsBack) {
  test::TempDir dir;
  Libro l;
  l.Valore(1, 1, "a");
  std::string errore, dati = "x";
  ASSERT_TRUE(l.Componi(dati, errore));
  EXPECT_EQ(dati.substr(0, 8), std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
  // Cells past row 65,536 or column 256 cannot be set at all.
  l.Valore(Libro::kRighe + 1, 1, "fuori");
  l.Valore(1, Libro::kColonne + 1, "fuori");
  EXPECT_EQ(l.Testo(Libro::kRighe + 1, 1), "");
  ASSERT_TRUE(l.Salva(dir.file("piccolo.xls"), errore)) << errore;
  EXPECT_EQ(Esegui(std::string(KYX_PYTHON) + " -c \"import xlrd; s = xlrd.open_workbook('" + dir.file("piccolo.xls") +
                   "').sheet_by_index(0); print(s.nrows, s.ncols, s.cell_value(0, 0))\""),
            "1 1 a\n");
}

// Around the sizes where one more FAT or DIFAT sector is needed: the FAT covers every sector of
// the file, its own and the DIFAT's included, the header and the DIFAT sectors list every FAT
// sector, and no sector is spare.
TEST(Documento, FatAndDifatCoverEverySectorAtEachThreshold) {
  std::vector<uint64_t> dimensioni = {0, 1, 4096, 4097, 65'536};
  for (uint64_t settori : {109ull * 128 - 111, 109ull * 128 - 110, 109ull * 128 - 109, 109ull * 128,
                           (109ull + 127) * 128 - 115, (109ull + 127) * 128, (109ull + 2 * 127) * 128, 4'000'000ull}) {
    for (int d = -2; d <= 2; ++d) dimensioni.push_back((settori + static_cast<uint64_t>(d)) * 512);
  }
  for (uint64_t byte : dimensioni) {
    SCOPED_TRACE(byte);
    Pianta_Documento p;
    std::string errore;
    ASSERT_TRUE(Pianta(byte, p, errore)) << errore;
    const uint64_t totale = uint64_t{p.Settori_Flusso} + p.Settori_Fat + p.Settori_Difat + 1;
    EXPECT_GE(uint64_t{p.Dimensione}, std::max<uint64_t>(byte, kFlusso_Minimo));
    EXPECT_LT(uint64_t{p.Dimensione}, std::max<uint64_t>(byte, kFlusso_Minimo) + 512);
    EXPECT_GE(uint64_t{p.Settori_Fat} * 128, totale);
    EXPECT_LT(uint64_t{p.Settori_Fat - 1} * 128, totale);
    EXPECT_GE(109 + uint64_t{p.Settori_Difat} * 127, p.Settori_Fat);
    if (p.Settori_Difat) {
      EXPECT_LT(109 + uint64_t{p.Settori_Difat - 1} * 127, p.Settori_Fat);
    }
    EXPECT_EQ(Testata_Documento(p).size(), 512u);
    EXPECT_EQ(Tabelle_Documento(p).size(), (totale - p.Settori_Flusso) * 512);
  }
  Pianta_Documento p;
  std::string errore;
  EXPECT_FALSE(Pianta(0x80000001ull, p, errore));
  EXPECT_EQ(errore, "cartella di lavoro troppo grande");
}

}  // namespace
}  // namespace kyx::xls
