// The result grid over a million-row result: a page displayed and painted at the top, the middle
// and the end and after a sort, each timed over many redisplays and set beside one frame (16 ms);
// the sort by an amount; the resident memory the result takes beside the raw bytes of its cells.
// The window is shown (offscreen) and every display is painted at once, as a screen would show it.
#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "bench/bench_common.h"
#include "common/modello.h"
#include "common/stato.h"
#include "engine/stato_motore.h"
#include "platform/data/static_recordset.h"
#include "platform/ui/flex_grid.h"
#include "platform/ui/units.h"
#include "platform/ui/vb_scroll_bar.h"
#include "views/agganci_viste.h"
#include "views/griglia.h"
#include "views/stato_griglia.h"

namespace {

using namespace kyx;

// Resident memory of the process in bytes (/proc/self/statm).
int64_t Residente() {
  std::ifstream f("/proc/self/statm");
  int64_t totale = 0, residenti = 0;
  f >> totale >> residenti;
  return residenti * 4096;
}

void Controlla(const data::Status& s, const char* cosa) {
  if (s.ok()) return;
  std::fprintf(stderr, "%s: %s\n", cosa, s.ToString().c_str());
  std::exit(1);
}

// Milliseconds of one display of the page at `prima`, painted, averaged over `volte` displays.
double Pagina(QWidget& griglia, int32_t prima, int volte) {
  const double t = bench::Now();
  for (int i = 0; i < volte; ++i) {
    Prima_Riga = prima;
    Visualizza_Griglia();
    griglia.repaint();  // painted now, not when the event loop gets to it
  }
  return (bench::Now() - t) * 1000.0 / volte;
}

// The grid as painted: more than one colour, or the painting never happened.
bool Dipinta(QWidget& griglia) {
  const QImage immagine = griglia.grab().toImage();
  const QRgb primo = immagine.pixel(0, 0);
  for (int y = 0; y < immagine.height(); y += 3)
    for (int x = 0; x < immagine.width(); x += 3)
      if (immagine.pixel(x, y) != primo) return true;
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  const int64_t righe = argc > 1 ? std::atoll(argv[1]) : 1000000;
  ui::set_twips_per_pixel(15, 15);
  Twips_Pixel_X = Twips_Pixel_Y = 15;
  Font_Nome = "DejaVu Sans";
  Font_Dimensione = 8;
  Modo_Griglia = 1;  // the engine's sort alone, without recomputing derived columns
  Numero_Colonne = 4;
  for (int c = 0; c <= 4; ++c) {
    Col_Visibile[c] = 2;
    Col_Larghezza[c] = 1500;
    Col_Tipo[c] = c <= 2 ? 10 : 0;
    Col_Formato[c] = "#,##0.00";
    Col_Intestazione[c] = "Colonna " + std::to_string(c);
  }

  const int64_t prima_memoria = Residente();
  auto rs = std::make_unique<data::StaticRecordset>();
  rs->AppendField(data::TextField("c000", 12));
  rs->AppendField(data::TextField("c001", 10));
  rs->AppendField(data::TextField("c002", 40));
  rs->AppendField(data::DoubleField("c003"));
  rs->AppendField(data::DoubleField("c004"));
  Controlla(rs->OpenFabricated(), "open");
  int64_t grezzi = 0;
  uint64_t x = 88172645463325252ull;
  char chiave[16];
  for (int64_t i = 0; i < righe; ++i) {
    x ^= x << 13, x ^= x >> 7, x ^= x << 17;
    Controlla(rs->AddNew(), "AddNew");
    std::snprintf(chiave, sizeof chiave, "%06lld2", static_cast<long long>(i % 999999 + 1));
    const std::string codice = "A" + std::to_string(x % 5000);
    (void)rs->SetText(0, chiave);
    (void)rs->SetText(1, codice);
    (void)rs->SetText(2, "Descrizione del cliente");
    (void)rs->Set(3, data::Value(static_cast<double>(x % 100000) / 100.0));
    (void)rs->Set(4, data::Value(static_cast<double>((x >> 20) % 1000)));
    Controlla(rs->Update(), "Update");
    grezzi += 7 + static_cast<int64_t>(codice.size()) + 23 + 8 + 8;
  }
  Numero_Record = static_cast<int32_t>(rs->RecordCount());
  Rs_Griglia = std::move(rs);
  const int64_t memoria = Residente() - prima_memoria;

  QWidget finestra;
  finestra.resize(1200, 900);
  auto* grid = new ui::FlexGrid(&finestra);
  grid->setGeometry(0, 0, 1100, 800);
  auto* sv = new ui::VbScrollBar(Qt::Vertical, &finestra);
  auto* so = new ui::VbScrollBar(Qt::Horizontal, &finestra);
  agganci_viste::Griglia = [&] { return agganci_viste::Controlli{grid, sv, so}; };
  finestra.show();
  QApplication::processEvents();
  Prima_Riga = Riga_Evidenziata = Scorrimento_Colonne = -1;
  Visualizza_Griglia();
  if (!grid->isVisible() || !Dipinta(*grid)) {
    std::fprintf(stderr, "bench_grid: the grid was not painted\n");
    return 1;
  }

  constexpr int kVolte = 200;
  const int32_t ultima = sv->Max();
  std::printf("rows %s, %d rows a page, grid holds %d rows\n", bench::Grouped(righe).c_str(), Righe_Visibili,
              grid->Rows());
  const double budget = 16.0;
  for (const auto& [nome, prima] : {std::pair<const char*, int32_t>{"first", 1}, {"middle", ultima / 2}, {"last", ultima}}) {
    const double ms = Pagina(*grid, prima, kVolte);
    std::printf("page %-7s %8.3f ms   %5.1f%% of a 16 ms frame\n", nome, ms, ms * 100.0 / budget);
  }
  const double t = bench::Now();
  Colonna_Corrente = 3;
  Visualizza_Ordina();
  std::printf("sort by an amount   %8.3f ms (display included)\n", (bench::Now() - t) * 1000.0);
  for (const auto& [nome, prima] : {std::pair<const char*, int32_t>{"sorted first", 1}, {"sorted last", ultima}}) {
    const double ms = Pagina(*grid, prima, kVolte);
    std::printf("page %-12s %8.3f ms   %5.1f%% of a 16 ms frame\n", nome, ms, ms * 100.0 / budget);
  }
  std::printf("result memory %8.1f MB   raw cell bytes %8.1f MB   ratio %.2f\n", memoria / 1048576.0, grezzi / 1048576.0,
              grezzi > 0 ? static_cast<double>(memoria) / static_cast<double>(grezzi) : 0.0);
  return 0;
}
