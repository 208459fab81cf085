// The workbook file at the format's limits: a whole sheet of 65,536 rows saved and read back by
// an independent reader (xlrd) cell by cell, the compound document's extension sectors it needs,
// the memory it takes, and the layout of FAT and DIFAT around the sizes where they grow.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
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

// The resident memory allowed to a whole sheet while it is made and saved, over what the process
// held before: its cells stay in the text file, so a few bytes a row. AddressSanitizer keeps
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
constexpr long kMemoriaMassimaKb = 2 * 8 * 1024;
#else
constexpr long kMemoriaMassimaKb = 8 * 1024;
#endif

long Stato_Kb(const char* voce) {
  std::ifstream f("/proc/self/status");
  std::string riga;
  while (std::getline(f, riga))
    if (riga.rfind(voce, 0) == 0) return std::atol(riga.c_str() + std::string(voce).size());
  return -1;
}

// A whole sheet, 65,536 rows by 20 columns, formatted by ranges and saved; Memoria_Kb, when
// given, gets the resident peak while the sheet lived less the resident memory before it (the
// peak restarted there through clear_refs).
void Salva_Foglio_Intero(const test::TempDir& dir, const std::string& file, long* Memoria_Kb = nullptr) {
  Scrivi_Testo(dir.file("foglio.txt"), Libro::kRighe, 20);
  std::ofstream("/proc/self/clear_refs") << "5";
  const long prima = Stato_Kb("VmRSS:");
  Libro l;
  std::string errore;
  ASSERT_TRUE(l.Apri_Testo(dir.file("foglio.txt"), '\t', '.', {}, errore)) << errore;
  l.Formatta({1, 1, Libro::kRighe, 20}, [](Formato& f) { f.Formato_Numero = "#,##0.00"; });
  l.Formatta({2, 1, 2, 20}, [](Formato& f) { f.Grassetto = true; });
  l.Bordo({1, 1, Libro::kRighe, 20}, xlInsideHorizontal, 8);
  l.Adatta_Colonne();
  ASSERT_TRUE(l.Salva(file, errore)) << errore;
  if (Memoria_Kb) *Memoria_Kb = Stato_Kb("VmHWM:") - prima;
}

TEST(Libro, AWholeSheetOf65536RowsBy20ColumnsSavesAndReadsBackCellByCell) {
  test::TempDir dir;
  const std::string file = dir.file("foglio.xls");
  long memoria_kb = -1;
  ASSERT_NO_FATAL_FAILURE(Salva_Foglio_Intero(dir, file, &memoria_kb));

  // Well past the 109 FAT sectors (about 7 MB) that the header alone can list.
  std::ifstream f(file, std::ios::binary | std::ios::ate);
  EXPECT_GT(static_cast<long long>(f.tellg()), 8'000'000LL);
  const std::string esito = Esegui(std::string(KYX_PYTHON) + " " + KYX_VERIFICA_FOGLIO + " '" + file + "' 65536 20 2>&1");
  EXPECT_EQ(esito.substr(0, esito.find("difat")), "righe 65536 colonne 20 errori 0 ") << esito;
  EXPECT_EQ(esito.find("difat 0\n"), std::string::npos) << esito;

  // The sheet reads its cells from the text file when it needs them and the file is written as
  // it is made: a few megabytes at most, where the 1.3 million cells alone would take tens.
  EXPECT_GE(memoria_kb, 0);
  EXPECT_LT(memoria_kb, kMemoriaMassimaKb) << "resident memory the sheet took, in KB";
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

// The delimited text as the sheet reads it: quoted fields (a separator inside, what follows the
// closing quote dropped), numbers with thousands and decimal separators, a column kept as text,
// CR LF and a last line without its LF; rows and columns deleted at the start move the rest.
TEST(Libro, ReadsTheDelimitedTextCellByCell) {
  test::TempDir dir;
  const std::string file = dir.file("t.txt");
  {
    std::ofstream out(file, std::ios::binary);
    out << "cod\t\"a;b\tc\"x\t1.234,5\t-7\r\n"
        << "\r\n"
        << "12\t\"42\"\t+3\t1,2,3\t\t\tfine";
  }
  Libro l;
  std::string errore;
  ASSERT_TRUE(l.Apri_Testo(file, '\t', ',', {2}, errore)) << errore;
  struct Caso {
    int r, c;
    const char* testo;
    bool numero;
  } casi[] = {
      {1, 1, "cod", false}, {1, 2, "a;b\tc", false}, {1, 3, "1234.5", true}, {1, 4, "-7", true},
      {2, 1, "", false},    {3, 1, "12", false},      {3, 2, "42", false},   {3, 3, "3", true},
      {3, 4, "1,2,3", false}, {3, 5, "", false},      {3, 7, "fine", false},
  };
  for (const Caso& k : casi) {
    EXPECT_EQ(l.Testo(k.r, k.c), k.testo) << k.r << "," << k.c;
    EXPECT_EQ(l.Numero(k.r, k.c), k.numero) << k.r << "," << k.c;
  }
  l.Valore(3, 7, "'=dato");
  l.Elimina_Riga_1();
  l.Elimina_Colonna_A();
  EXPECT_EQ(l.Testo(2, 1), "42");
  EXPECT_EQ(l.Testo(2, 6), "=dato");
  EXPECT_EQ(l.Testo(3, 1), "");
}

TEST(Libro, TextBeyondTheSheetIsRefused) {
  test::TempDir dir;
  struct Caso {
    int righe, campi;
    const char* errore;  // "" when the sheet is read
  } casi[] = {
      {Libro::kRighe, 1, ""},
      {Libro::kRighe + 1, 1, "il foglio non contiene pi\xF9 di 65536 righe"},
      {1, Libro::kColonne, ""},
      {1, Libro::kColonne + 1, "il foglio non contiene pi\xF9 di 256 colonne"},
  };
  for (const Caso& k : casi) {
    const std::string file = dir.file("t.txt");
    {
      std::ofstream out(file, std::ios::binary);
      std::string linea(static_cast<size_t>(k.campi - 1), '\t');
      linea += "x\n";
      for (int r = 1; r < k.righe; ++r) out << linea;
      // The last line without its LF, and one more field left empty, which takes no column.
      out << linea.substr(0, linea.size() - 1) << "\t";
    }
    Libro l;
    std::string errore;
    EXPECT_EQ(l.Apri_Testo(file, '\t', '.', {}, errore), std::string(k.errore).empty()) << k.righe << " " << k.campi;
    EXPECT_EQ(errore, k.errore);
  }
  Libro l;
  std::string errore;
  EXPECT_FALSE(l.Apri_Testo(dir.file("manca.txt"), '\t', '.', {}, errore));
  EXPECT_EQ(errore, "impossibile leggere " + dir.file("manca.txt"));
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
