// The reference side of the export benchmark: libxlsxwriter in its constant-memory mode (rows
// streamed to a temporary file, then zipped) writing the same cells as bench_export's .xlsx:
// the title, the column headings, then per row two texts and eighteen amounts in the format
// "#,##0.00", rows alternating between two fills, one width per column.
//   rif_xlsxwriter ROWS FILE
#include <xlsxwriter.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>

#include "bench/export/dati_export.h"

namespace {
using kyx::bench::Inizio_Misura_Kb;
using kyx::bench::Picco_Kb;

double Adesso() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

}  // namespace

int main(int argc, char** argv) {
  using namespace kyx;
  if (argc != 3) {
    std::fprintf(stderr, "usage: rif_xlsxwriter ROWS FILE\n");
    return 2;
  }
  const long long righe = std::atoll(argv[1]);
  const char* file = argv[2];
  const long prima = Inizio_Misura_Kb();
  const double t0 = Adesso();

  lxw_workbook_options opzioni = {};
  opzioni.constant_memory = LXW_TRUE;
  lxw_workbook* libro = workbook_new_opt(file, &opzioni);
  lxw_worksheet* foglio = workbook_add_worksheet(libro, "Dati");
  lxw_format* titolo = workbook_add_format(libro);
  format_set_bold(titolo);
  lxw_format* testata = workbook_add_format(libro);
  format_set_bg_color(testata, 0xC0C0C0);
  lxw_format* testo[2];
  lxw_format* numero[2];
  for (int i = 0; i < 2; ++i) {
    testo[i] = workbook_add_format(libro);
    format_set_bg_color(testo[i], i == 0 ? 0xFFFFFF : 0xE0E0FF);
    format_set_border(testo[i], LXW_BORDER_THIN);
    numero[i] = workbook_add_format(libro);
    format_set_bg_color(numero[i], i == 0 ? 0xFFFFFF : 0xE0E0FF);
    format_set_border(numero[i], LXW_BORDER_THIN);
    format_set_num_format(numero[i], bench::kFormato);
    format_set_align(numero[i], LXW_ALIGN_RIGHT);
  }
  for (int c = 0; c < bench::kColonne; ++c) worksheet_set_column(foglio, c, c, c < bench::kTesti ? 22 : 14, nullptr);
  worksheet_write_string(foglio, 0, 0, "Kyx  -  Benchmark", titolo);
  worksheet_write_string(foglio, 2, 0, "Risultato", titolo);
  for (int c = 0; c < bench::kColonne; ++c) worksheet_write_string(foglio, 3, c, bench::Intestazione(c).c_str(), testata);
  for (long long r = 0; r < righe; ++r) {
    const auto riga = static_cast<lxw_row_t>(4 + r);
    const int a = static_cast<int>(r % 2);
    worksheet_write_string(foglio, riga, 0, bench::Codice(r).c_str(), testo[a]);
    worksheet_write_string(foglio, riga, 1, bench::Nome(r).c_str(), testo[a]);
    for (int c = bench::kTesti; c < bench::kColonne; ++c)
      worksheet_write_number(foglio, riga, static_cast<lxw_col_t>(c), bench::Importo(r, c), numero[a]);
  }
  const lxw_error e = workbook_close(libro);
  const double secondi = Adesso() - t0;
  if (e != LXW_NO_ERROR) {
    std::fprintf(stderr, "libxlsxwriter: %s\n", lxw_strerror(e));
    return 1;
  }
  struct stat st {};
  stat(file, &st);
  const long dopo = Picco_Kb();
  std::printf("ref_xlsxwriter rows=%lld seconds=%.3f cells_per_s=%.0f rss_before_kb=%ld peak_kb=%ld export_kb=%ld bytes=%lld\n",
              righe, secondi, static_cast<double>(righe) * bench::kColonne / secondi, prima, dopo, dopo - prima,
              static_cast<long long>(st.st_size));
  return 0;
}
