// The column geometry of the print run: the measuring pass over all rows, the edges from the
// print widths or the measured ones, and the fitting options "Adatta", "Allinea X" and
// "Adatta Font".
#include <cmath>

#include "common/modello.h"
#include "common/stato.h"
#include "engine/stato_motore.h"
#include "platform/vb/vb.h"
#include "print/stampa_interno.h"
#include "print/stampanti.h"
#include "print/stato_stampa.h"

namespace kyx::stampa {

namespace {

int32_t Twips_Interi(double v) {
  const double r = vb::RoundHalfEven(v);
  return std::isfinite(r) && std::fabs(r) < 2e9 ? static_cast<int32_t>(r) : 0;
}

}  // namespace

std::string Testo_Cella(int Colonna, const data::Value& Valore) {
  const size_t c = static_cast<size_t>(Colonna);
  if (Valore.is_null()) return "";
  if (Col_Tipo[c] != 0) return vb::RTrim(Valore.AsText());
  if (Valore.is_number()) return vb::Trim(vb::Format(Valore.AsDouble(), Col_Formato[c]));
  return vb::Trim(vb::Format(Valore.AsText(), Col_Formato[c]));
}

std::array<int32_t, 257> Misura_Colonne() {
  std::array<int32_t, 257> Larghezza{};
  const int Ultima = Numero_Colonne;
  if (Rs_Griglia->MoveFirst().ok()) {
    while (!Rs_Griglia->AfterLast()) {
      for (int i = 0; i <= Ultima; ++i) {
        if (Col_Visibile[static_cast<size_t>(i)] != 2) continue;
        const std::string Testo = Testo_Cella(i, Rs_Griglia->Field(i));
        const int32_t w = Twips_Interi(Stampanti_Larghezza_Testo(Stampa_DC, Testo) *
                                           static_cast<double>(Stampanti_Twip_Punto_X) +
                                       2.0 * Stampa_Margine_Cella);
        if (w > Larghezza[static_cast<size_t>(i)]) Larghezza[static_cast<size_t>(i)] = w;
      }
      if (!Rs_Griglia->MoveNext().ok()) break;
    }
  }
  return Larghezza;
}

void Calcola_Bordi(const std::array<int32_t, 257>& Larghezza_Misurata) {
  const int N = Numero_Colonne;
  const int32_t Sinistro = Stampa_Margini[0];
  const int32_t Destro = Stampa_Margini[1];
  X_Colonna = {};
  X_Colonna[0] = Sinistro;
  for (int i = 0; i <= N; ++i) {
    const size_t k = static_cast<size_t>(i);
    const bool Stampata = Col_Visibile[k] == 2;
    const int32_t w = !Stampata ? 0 : Stampa_Adatta_Colonne ? Larghezza_Misurata[k] : Col_Larghezza_Stampa[k];
    X_Colonna[k + 1] = X_Colonna[k] + w;
  }

  if (Stampa_Adatta) {
    const double W = static_cast<double>(Stampanti_Larghezza) - Sinistro - Destro;
    const int32_t Tabella = X_Colonna[static_cast<size_t>(N + 1)] - X_Colonna[0];
    // A table without width (no printed column) has nothing to scale; its right edge still
    // goes to the right margin.
    if (Tabella != 0) {
      const double Rapporto = W / Tabella;
      for (int i = 1; i <= N; ++i) {
        const size_t k = static_cast<size_t>(i);
        if (X_Colonna[k] > Sinistro) X_Colonna[k] = Twips_Interi((X_Colonna[k] - X_Colonna[0]) * Rapporto + Sinistro);
      }
    }
    X_Colonna[0] = Sinistro;
    X_Colonna[static_cast<size_t>(N + 1)] = Stampanti_Larghezza - Destro;
  }

  if (Stampa_Allinea_X) {
    const int32_t Avanzo = Stampanti_Larghezza - Destro - X_Colonna[static_cast<size_t>(N + 1)];
    if (Avanzo > 0) {
      const int32_t Meta = Twips_Interi(Avanzo / 2.0);
      for (int i = 0; i <= N + 1; ++i) X_Colonna[static_cast<size_t>(i)] += Meta;
    }
  }
}

void Adatta_Font(const std::array<int32_t, 257>& Larghezza_Misurata, const std::string& Font, double Dimensione) {
  double r = 99999;
  for (int i = 0; i <= Numero_Colonne; ++i) {
    const size_t k = static_cast<size_t>(i);
    if (Col_Visibile[k] != 2 || Larghezza_Misurata[k] == 0) continue;
    const double q = static_cast<double>(X_Colonna[k + 1] - X_Colonna[k]) / Larghezza_Misurata[k];
    if (q < r) r = q;
  }
  // A size outside 0 .. 255 (no printed column leaves the ratio at 99999) keeps the fonts as
  // they are.
  const double Nuova = vb::RoundHalfEven(Dimensione * r);
  if (!std::isfinite(Nuova) || Nuova < 0 || Nuova > 255) return;
  double Dimensione_Nuova = Nuova;
  if (Dimensione_Nuova > Stampa_Font_Max) Dimensione_Nuova = Stampa_Font_Max;
  Stampanti_Elimina_Oggetto(Stampa_Font_Dati);
  Stampanti_Elimina_Oggetto(Stampa_Font_Grassetto);
  Crea_Font_Dati(Font, Dimensione_Nuova, true);
  Calcola_Altezza_Riga();
}

}  // namespace kyx::stampa
