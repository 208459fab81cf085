// Visualizza_Larghezza_Colonne: columns fitted to the widest text of every record and, on request,
// of their headings; the widths are remembered per view.
#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/impostazioni.h"
#include "common/modello.h"
#include "common/stato.h"
#include "engine/stato_motore.h"
#include "platform/text/cp1252.h"
#include "platform/ui/flex_grid.h"
#include "platform/ui/flex_grid_misura.h"
#include "platform/vb/vb.h"
#include "views/agganci_viste.h"
#include "views/griglia.h"

namespace kyx {
namespace {

constexpr int16_t kLarghezza_Minima = 180;  // twips, the width of a column with nothing to show

double Twips_X() { return Twips_Pixel_X > 0 ? Twips_Pixel_X : 15.0; }
double Twips_Y() { return Twips_Pixel_Y > 0 ? Twips_Pixel_Y : 15.0; }

// Measures texts in the grid font, remembering the widths of the texts already seen: a result
// repeats its codes and descriptions on many rows.
class Misura {
 public:
  Misura()
      : metro_(text::trim_blanks(Font_Nome), -static_cast<int>(vb::RoundHalfEven(Font_Dimensione * 20.0 / Twips_Y())),
               Font_Grassetto ? 700 : 400, Font_Corsivo) {}
  // The width a text needs in twips: its pixels plus 6, rounded; at most what 16 bits hold.
  int16_t Twips(const std::string& testo) {
    int px;
    if (auto it = visti_.find(testo); it != visti_.end()) {
      px = it->second;
    } else {
      px = metro_.Width(testo);
      if (visti_.size() < 200000) visti_.emplace(testo, px);
    }
    return Larghezza_Valida(static_cast<int64_t>(vb::RoundHalfEven((px + 6) * Twips_X())));
  }

 private:
  ui::TextMeasure metro_;
  std::unordered_map<std::string, int> visti_;
};

}  // namespace

void Visualizza_Larghezza_Colonne(int32_t Colonna, int16_t Intestazioni, int16_t Applica) {
  data::Recordset* rs = Rs_Griglia.get();
  if (!rs || !rs->IsOpen() || (rs->BeforeFirst() && rs->AfterLast())) return;
  const int ultima = Numero_Colonne;
  int da = Colonna, a = Colonna;
  if (static_cast<uint16_t>(Colonna) == 65535) {
    da = 0;
    a = ultima;
  }
  if (da < 0 || a > 255 || da > a) return;

  ui::FlexGrid* griglia = agganci_viste::Controlli_Griglia().Grid1;
  if (griglia) griglia->SetRedraw(false);

  Misura misura;
  std::vector<int16_t> larghezze(static_cast<size_t>(a - da + 1), kLarghezza_Minima);
  const auto allarga = [&](int i, int16_t w) {
    int16_t& l = larghezze[static_cast<size_t>(i - da)];
    l = std::max(l, w);
  };

  for (rs->MoveFirst(); !rs->AfterLast(); rs->MoveNext()) {
    for (int i = da; i <= a; ++i) allarga(i, misura.Twips(Testo_Cella(*rs, i, true)));
  }
  if (Intestazioni != 0) {
    for (int i = da; i <= a; ++i) {
      const std::string& testata = Col_Intestazione[static_cast<size_t>(i)];
      if (testata.empty()) continue;
      size_t inizio = 0;
      while (true) {
        const size_t fine = testata.find('|', inizio);
        const std::string parte = testata.substr(inizio, fine == std::string::npos ? std::string::npos : fine - inizio);
        allarga(i, misura.Twips(vb::RTrim(parte) + Spazi_Misura));
        if (fine == std::string::npos) break;
        inizio = fine + 1;
      }
    }
  }

  for (int i = da; i <= a; ++i) {
    const auto k = static_cast<size_t>(i);
    const int16_t w = larghezze[static_cast<size_t>(i - da)];
    if (Applica != 0 && griglia && Col_Visibile[k] == 2 && i < griglia->Cols() && griglia->ColWidth(i) > 0) {
      griglia->SetColWidth(i, w);
    }
    if (Modo_Griglia == 1) {
      if (k < Larghezze_Codici.size()) Larghezze_Codici[k] = w;
    } else if (Modo_Griglia == 2) {
      if (k < Larghezze_Caricati.size()) Larghezze_Caricati[k] = w;
    } else if (Modo_Griglia == 3 && Col_Larghezza[k] != w) {
      Col_Larghezza[k] = w;
      Scrivi_Ini(Numero_Cifre(Profilo_Corrente, 3),
                 "Dim L" + Numero_Cifre(Layout_Corrente, 3) + " " + Numero_Cifre(i, 3),
                 vb::Format(int64_t{w}, "000000"));
    }
  }

  if (griglia) griglia->SetRedraw(true);
  if (agganci_viste::KyHead_Aggiorna) agganci_viste::KyHead_Aggiorna();
}

}  // namespace kyx
