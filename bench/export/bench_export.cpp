// The workbook exports over a result of many rows: `bench_export xlsx|xls ROWS FILE` fills the
// grid's result with ROWS rows of 20 columns (see dati_export.h), runs the export into FILE and
// prints the seconds, the cells per second and the memory: the resident memory before the export
// (the result itself) and the resident peak during it, whose difference is what the export took.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "bench/bench_common.h"
#include "bench/export/dati_export.h"
#include "common/modello.h"
#include "common/stato.h"
#include "engine/stato_motore.h"
#include "export/esporta_xls.h"
#include "platform/data/static_recordset.h"
#include "platform/files/files.h"
#include "platform/host/host.h"

namespace {

using namespace kyx;
using bench::Inizio_Misura_Kb;
using bench::Picco_Kb;

void Controlla(const data::Status& s, const char* cosa) {
  if (s.ok()) return;
  std::fprintf(stderr, "%s: %s\n", cosa, s.ToString().c_str());
  std::exit(1);
}

// Records the status panel, so that the outcome of the export can be checked.
class Host_Bench : public host::Host {
 public:
  int MsgBox(std::string_view text, int style, std::string_view) override {
    std::fprintf(stderr, "box: %.*s\n", static_cast<int>(text.size()), text.data());
    return host::default_answer(style);
  }
  void DoEvents() override {}
  void DebugLog(std::string_view) override {}
  void SetPointer(int) override {}
  void SetPanel(std::string_view, std::string_view text) override { stato.assign(text); }
  std::string stato;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: bench_export xlsx|xls ROWS FILE\n");
    return 2;
  }
  const std::string formato = argv[1];
  const int64_t righe = std::atoll(argv[2]);
  std::string file = argv[3];
  setenv("KYX_OPEN_COMMAND", "true", 1);  // the finished workbook is not shown
  Host_Bench h;
  host::set_host(&h);
  Titolo_Programma = "Kyx";
  Descrizione_Sistema = "Benchmark";
  Font_Nome = "Arial";
  Font_Dimensione = 8;
  Modo_Griglia = 2;  // a plain table: alternating rows, no filter block
  Numero_Colonne = bench::kColonne;
  Righe_Intestazione = 1;
  for (int c = 1; c <= bench::kColonne; ++c) {
    const auto i = static_cast<size_t>(c);
    Col_Visibile[i] = 2;
    Col_Tipo[i] = c <= bench::kTesti ? 10 : 0;
    Col_Formato[i] = c <= bench::kTesti ? "" : bench::kFormato;
    Col_Allineamento[i] = c <= bench::kTesti ? 1 : 7;
    Col_Intestazione[i] = bench::Intestazione(c - 1);
  }

  auto rs = std::make_unique<data::StaticRecordset>();
  Controlla(rs->AppendField(data::TextField("c000", 12)), "field");
  Controlla(rs->AppendField(data::TextField("c001", 10)), "field");
  Controlla(rs->AppendField(data::TextField("c002", 40)), "field");
  for (int c = bench::kTesti; c < bench::kColonne; ++c) {
    Controlla(rs->AppendField(data::DoubleField("c" + std::to_string(1000 + c + 1).substr(1))), "field");
  }
  Controlla(rs->OpenFabricated(), "open");
  for (int64_t r = 0; r < righe; ++r) {
    Controlla(rs->AddNew(), "add");
    Controlla(rs->Set(0, data::Value(std::string("0000002"))), "set");
    Controlla(rs->Set(1, data::Value(bench::Codice(r))), "set");
    Controlla(rs->Set(2, data::Value(bench::Nome(r))), "set");
    for (int c = bench::kTesti; c < bench::kColonne; ++c) Controlla(rs->Set(c + 1, data::Value(bench::Importo(r, c))), "set");
    Controlla(rs->Update(), "update");
  }
  Rs_Griglia = std::move(rs);
  files::remove_file(file);
  const long prima = Inizio_Misura_Kb();

  const double t0 = bench::Now();
  if (formato == "xlsx") {
    Esporta_XLSX(file);
  } else if (formato == "xls") {
    Esporta_XLS(file);
  } else {
    std::fprintf(stderr, "unknown format %s\n", formato.c_str());
    return 2;
  }
  const double secondi = bench::Now() - t0;
  const long dopo = Picco_Kb();
  const bool ok = h.stato.find("completato") != std::string::npos && h.stato.find("NON") == std::string::npos;
  if (!ok) {
    std::fprintf(stderr, "export failed: %s\n", h.stato.c_str());
    return 1;
  }
  const double celle = static_cast<double>(righe) * bench::kColonne;
  std::printf("ours_%s rows=%lld seconds=%.3f cells_per_s=%.0f rss_before_kb=%ld peak_kb=%ld export_kb=%ld bytes=%lld\n",
              formato.c_str(), static_cast<long long>(righe), secondi, celle / secondi, prima, dopo, dopo - prima,
              static_cast<long long>(files::file_length(file)));
  return 0;
}
