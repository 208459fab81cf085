#include "engine/risultato.h"

#include <cstddef>

#include "common/modello.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "db/mdb3.h"
#include "engine/campi.h"
#include "engine/stato_motore.h"
#include "platform/vb/vb.h"

namespace kyx {
namespace {

using motore::Cifre;

// Layout_Precedente when there is no previous layout to take column settings from.
constexpr int16_t kNessun_Layout = -123;

std::string Colonna(size_t i) { return "c" + Cifre(static_cast<int64_t>(i), 3); }

// Different codes for the generated columns than in the previous run of the same layout.
bool Colonne_Generate_Cambiate() {
  bool Generate = false;
  for (size_t i = 1; i < 256; ++i) Generate = Generate || Col_VCK[i] > 0;
  if (!Generate) return false;
  for (size_t i = 1; i < 256; ++i)
    if (Col_VCC[i] != Col_Testo[i]) return true;
  return false;
}

// The fixed rows 1 .. Riga_Layout_Massima. A statement that fails is passed over, as in the rest
// of the run: the row is still saved with what it holds.
void Aggiungi_Righe(data::TableRecordset& Rs) {
  for (int r = 1; r <= Riga_Layout_Massima; ++r) {
    if (!Rs.AddNew().ok()) continue;
    for (size_t i = 0; i <= Numero_Colonne; ++i) (void)Rs.Set(Colonna(i), Col_Valore[i]);
    (void)Rs.Set("c000", data::Value(Chiave_Riga_Fissa(r)));
    for (int k = 1; k <= Numero_Chiavi_DATI; ++k) (void)Rs.Set("k" + Cifre(k, 3), data::Value("-"));
    if (!Rs.Update().ok()) Rs.CancelUpdate();
  }
}

// The constant text of a "#@text#" element, without its trailing blanks; false when the element
// has none: its closing "#" must come after at least one character of text.
bool Testo_Costante(const std::string& Calcolo, std::string& Testo) {
  if (!vb::Like(Calcolo, "[#]@*[#]*")) return false;
  // "#@#...": the search for the closing "#" starts behind it, so it would take a later "#" (or
  // none) and write a text that the layout never meant; such an element writes nothing.
  if (vb::Mid(Calcolo, 3, 1) == "#") return false;
  const long p = vb::InStr(4, Calcolo, "#");
  if (p < 4) return false;
  Testo = vb::RTrim(vb::Mid(Calcolo, 3, p - 3));
  return true;
}

void Celle_Testo(data::TableRecordset& Rs) {
  for (int e = 1; e <= Numero_Elementi && e < 256; ++e) {
    const size_t x = static_cast<size_t>(e);
    std::string Testo;
    if (!Testo_Costante(Elem_Calcolo[x], Testo)) continue;
    const int16_t c = Elem_Colonna[x];
    if (c < 0 || c > 255 || Col_Tipo[static_cast<size_t>(c)] == 0) continue;  // numbers take no text
    if (!Rs.Seek({data::Value(Chiave_Riga_Fissa(Elem_Riga[x]))}).ok() || Rs.AfterLast()) continue;
    if (!Rs.Set(Colonna(static_cast<size_t>(c)), data::Value(Testo)).ok()) {
      Rs.CancelUpdate();
      continue;
    }
    if (!Rs.Update().ok()) Rs.CancelUpdate();
  }
}

}  // namespace

std::string Chiave_Riga_Fissa(int r) { return Cifre(r, 6) + "2"; }

void Crea_Risultato() {
  if (Layout_Corrente == Layout_Precedente && Colonne_Generate_Cambiate()) Layout_Precedente = kNessun_Layout;
  (void)Apri_MDB3();
}

void Righe_Fisse() {
  if (Numero_Livelli != 0 || !Rs_Dati || !Rs_Dati->IsOpen()) return;
  Aggiungi_Righe(*Rs_Dati);
  Celle_Testo(*Rs_Dati);
}

}  // namespace kyx
