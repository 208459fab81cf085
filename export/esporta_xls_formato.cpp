// The look of the exported sheet, by region and by the row code of each data row: the profile's
// colours matched onto the workbook's palette, then fonts, fills, alignments, number formats,
// merges and a two-tone border.
#include <string>
#include <vector>

#include "common/modello.h"
#include "common/stato.h"
#include "common/utilita.h"
#include "export/esporta_xls_foglio.h"
#include "platform/vb/vb.h"

namespace kyx {
namespace {

using xls::Formato;
using xls::Zona;

// The slot of a data row by its code "D-" kind "-" level "-" extra.
int Slot_Riga(const std::string& Codice) {
  const std::string tipo = Codice.size() >= 3 ? Codice.substr(2, 1) : "";
  const std::string livello = Codice.size() >= 5 ? Codice.substr(4, 1) : "";
  const std::string extra = Codice.size() >= 7 ? Codice.substr(6, 1) : "";
  const int l = !livello.empty() && livello[0] >= '0' && livello[0] <= '9' ? livello[0] - '0' : 0;
  const bool con_extra = !extra.empty() && extra != " ";
  const int e = con_extra ? static_cast<int>(vb::Val(extra)) : 0;
  if (tipo == "2" || tipo == "-") return con_extra ? e * 2 + 8 : (Riga_Alternata ? 0 : 2);
  if (tipo == "4") return 6;
  if (tipo == "1") return con_extra ? e * 2 + 8 : l * 2 + 8;
  return con_extra ? e * 2 + 26 : (10 - l) * 2 + 26;
}

}  // namespace

std::vector<int> Abbina_Tavolozza(xls::Libro& Libro, const std::vector<int32_t>& Voluti) {
  std::vector<int32_t> pal(57);
  for (int i = 1; i <= 56; ++i) pal[static_cast<size_t>(i)] = Libro.Colore(i);
  const size_t n = Voluti.size();
  std::vector<int> match(n, 0);
  std::vector<int32_t> dist(n, Precisione_Colore);
  int libero = 57;
  for (size_t j = 0; j < n; ++j) {
    for (int i = 1; i <= 56; ++i) {
      for (size_t k = 0; k < n; ++k) {
        const int32_t d = Distanza_Colore(Voluti[k], pal[static_cast<size_t>(i)]);
        if (d < dist[k]) {
          match[k] = i;
          dist[k] = d;
        }
      }
    }
    if (match[j] == 0 && libero > 1) {
      --libero;
      pal[static_cast<size_t>(libero)] = Voluti[j];
      Libro.Imposta_Colore(libero, Voluti[j]);
      match[j] = libero;
    }
  }
  return match;
}

void Formatta_XLS(xls::Libro& Libro, const Foglio_Esportato& F) {
  std::vector<int32_t> voluti(46);
  for (size_t j = 0; j < 8; ++j) voluti[j] = Colori[j];
  voluti[8] = Colore_Reale(static_cast<int32_t>(0x80000014));
  voluti[9] = Colore_Reale(static_cast<int32_t>(0x80000010));
  for (size_t j = 10; j < 46; ++j) voluti[j] = Colori_Livello[j + 26];
  const std::vector<int> M = Abbina_Tavolozza(Libro, voluti);

  const int n = F.n, base = F.Base, H = F.H, R = F.R;
  Libro.Font_Nome = Font_Nome;
  Libro.Font_Dimensione = Font_Dimensione;
  auto titolo = [&](int riga, int allineamento) {
    Libro.Unisci({riga, 2, riga, n + 1});
    Libro.Formatta({riga, 2, riga, n + 1}, [&](Formato& f) {
      f.Colore_Font = M[0];
      f.Grassetto = true;
      f.Allineamento = allineamento;
      f.Formato_Numero = "@";
    });
  };
  auto pieno = [&](const Zona& z, int fore, int back, int allineamento) {
    Libro.Formatta(z, [&](Formato& f) {
      f.Colore_Font = fore;
      f.Colore_Sfondo = back;
      f.Pieno = true;
      if (allineamento) {
        f.Allineamento = allineamento;
        f.Formato_Numero = "@";
      }
    });
  };
  auto bordi = [&](const Zona& z, int ultimo) {
    for (int b = xls::xlEdgeLeft; b <= ultimo; ++b)
      Libro.Bordo(z, b, b == xls::xlEdgeBottom || b == xls::xlEdgeRight ? M[9] : M[8]);
  };

  titolo(2, xls::xlLeft);
  if (F.r > 0) {
    titolo(4, xls::xlCenter);
    Libro.Unisci({5, 3, 5, n + 1});
    pieno({5, 2, 5, n + 1}, M[4], M[5], xls::xlLeft);
    Riga_Alternata = true;
    for (int f = 6; f <= F.r + 5; ++f) {
      Libro.Unisci({f, 3, f, n + 1});
      pieno({f, 2, f, n + 1}, Riga_Alternata ? M[0] : M[2], Riga_Alternata ? M[1] : M[3], xls::xlLeft);
      Riga_Alternata = !Riga_Alternata;
    }
    bordi({6, 2, F.r + 5, n + 1}, xls::xlInsideHorizontal);
    bordi({5, 2, 5, n + 1}, xls::xlInsideVertical);
  }
  titolo(base, xls::xlCenter);
  if (H > 0) pieno({base + 1, 2, base + H, n + 1}, M[4], M[5], xls::xlLeft);
  if (R > 0) {
    for (int i = 1; i <= n; ++i) {
      const auto c = static_cast<size_t>(F.Colonne[static_cast<size_t>(i - 1)]);
      Libro.Formatta({base + H + 1, i + 1, base + H + R, i + 1}, [&](Formato& f) {
        f.Allineamento = Col_Tipo[c] == 0 ? xls::xlRight : xls::xlLeft;
        f.Formato_Numero = Col_Tipo[c] == 0 ? Col_Formato[c] : "@";
      });
    }
  }
  Riga_Alternata = true;
  for (int g = base + H + 1; g <= base + H + R; ++g) {
    const int s = Slot_Riga(Libro.Testo(g, 1));
    Libro.Formatta({g, 2, g, n + 1}, [&](Formato& f) {
      f.Pieno = true;
      // A slot past the table (a level digit 0 on a subtotal) leaves the colours unset.
      if (s >= 0 && s + 1 < static_cast<int>(M.size())) {
        f.Colore_Font = M[static_cast<size_t>(s)];
        f.Colore_Sfondo = M[static_cast<size_t>(s + 1)];
      }
    });
    Riga_Alternata = !Riga_Alternata;
  }
  if (R > 0) bordi({base + 1, 2, base + H + R, n + 1}, xls::xlInsideHorizontal);
  else if (H > 0) bordi({base + 1, 2, base + H, n + 1}, xls::xlInsideVertical);

  Libro.Elimina_Riga_1();
  Libro.Adatta_Colonne();
  Libro.Elimina_Colonna_A();
}

}  // namespace kyx
