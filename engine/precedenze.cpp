#include "engine/precedenze.h"

#include <cstddef>

#include "common/formatta_valore.h"
#include "common/modello.h"
#include "engine/stato_motore.h"
#include "engine/x_evaluate.h"
#include "platform/vb/vb.h"

namespace kyx {
namespace {

// A column's passes: more than this and whatever is still open is a circle.
constexpr int kPassate_Massime = 10;
// Ranks and running sums come after everything computed on their reference column.
constexpr int32_t kScarto_Derivate = 50;

// Level of a token that needs no other column, or -2 when the token refers to another column or
// is a formula.
int32_t Livello_Fisso(const std::string& t) {
  using vb::Like;
  if (Like(t, "[#]D[RDE](###)*") || Like(t, "[#]R[1-9](*") || Like(t, "[#]L[1-9](*") ||
      Like(t, "[#]+V###[#]*") || Like(t, "[#]C[1-9](?\?\?)[#]*") || Like(t, "[#]NR(###)*") || Like(t, "[#]@*"))
    return 0;
  if (Like(t, "[#]DC###<##>*") || Like(t, "[#]R1<##>*") || Like(t, "[#]L[1-9]<##>*") || Like(t, "[#]R1L*"))
    return 1;
  return -2;
}

bool Derivata(const std::string& t) {
  return vb::Like(t, "[#]P[1-9]C###[#]*") || vb::Like(t, "[#]PC###[#]*") || vb::Like(t, "[#]KC###[#]*");
}

// #PC### and #KC### name their column from character 4, #P<n>C### from character 5.
int32_t Livello_Derivata(const std::string& t) {
  const long s = vb::Like(t, "[#]?C*") ? 4 : 5;
  const double r = vb::Val(vb::Mid(t, s, 3));
  if (r < 1 || r > Numero_Colonne) return -1;
  const int32_t l = Col_Precedenza[static_cast<size_t>(r)];
  return l < 0 ? -1 : l + kScarto_Derivate;
}

// The text that replaces the placeholder at p (1-based) of heading h of column c, and how many
// characters the placeholder takes; false when the text at p is no placeholder.
bool Sostituzione(const std::string& h, long p, size_t c, std::string& Testo, long& Lunghezza) {
  const double n = vb::Val(vb::Mid(h, p + 2, 1));
  if (n < 1 || n > 9) return false;
  const size_t l = static_cast<size_t>(n) - 1;
  const std::string Tipo = vb::Mid(h, p + 3, 1);
  if (Tipo == "D") {
    Testo = vb::RTrim(Liv_Colonna_Testo[l]);
    Lunghezza = 4;
  } else if (Tipo == "C") {
    Testo = Formatta_Valore(Liv_Colonna_Chiave[l], Col_VCC[c], 0, -1, "");
    Lunghezza = 4;
  } else if (vb::Like(vb::Mid(h, p + 3, 4), "<##>")) {
    const int32_t m = static_cast<int32_t>(vb::Val(vb::Mid(h, p + 4, 2)));
    Testo = Formatta_Valore(Liv_Colonna_Chiave[l], Col_VCC[c], m, -1, "");
    Lunghezza = 7;
  } else {
    return false;
  }
  return true;
}

}  // namespace

void Espandi_Intestazioni() {
  for (size_t c = 0; c <= Numero_Colonne; ++c) {
    if (Col_VCK[c] == 0) continue;
    std::string h = Col_Intestazione[c];
    long p = vb::InStr(h, "#C");
    while (p >= 1) {
      std::string Testo;
      long Lunghezza = 0;
      if (!Sostituzione(h, p, c, Testo, Lunghezza)) {
        p = vb::InStr(p + 2, h, "#C");
        continue;
      }
      h = vb::Left(h, p - 1) + Testo + vb::Mid(h, p + Lunghezza);
      Col_Intestazione[c] = h;
      // The search goes on behind the inserted text: a title or a description that itself holds
      // "#C1D" must not be expanded again and again for ever.
      p = vb::InStr(p + static_cast<long>(Testo.size()), h, "#C");
    }
  }
}

void Calcola_Precedenze() {
  Col_Precedenza.fill(-1);
  Precedenza_P = -1;
  bool Aperte = true;
  for (int Passata = 0; Passata < kPassate_Massime && Aperte; ++Passata) {
    Aperte = false;
    for (size_t c = 1; c <= Numero_Colonne; ++c) {
      if (Col_Precedenza[c] != -1) continue;
      const std::string& t = Col_Calcolo[c];
      int32_t l = Livello_Fisso(t);
      if (l == -2) {
        if (Derivata(t)) {
          l = Livello_Derivata(t);
          // A running sum whose column is not resolved yet leaves Precedenza_P open for a later pass.
          if (vb::Like(t, "[#]P*") && Precedenza_P == -1) Precedenza_P = static_cast<int16_t>(l);
        } else {
          l = Evaluate_Livello(t);
          if (l < 0 && Formula_Oltre_Limiti(t)) Formule_Oltre_Limiti = true;
        }
      }
      Col_Precedenza[c] = l;
      if (l < 0) Aperte = true;
    }
  }
}

}  // namespace kyx
