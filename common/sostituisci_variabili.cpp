#include "common/sostituisci_variabili.h"

#include <algorithm>

#include "common/formatta_valore.h"
#include "common/modello.h"
#include "common/stato.h"
#include "common/stato_db.h"

namespace kyx {
namespace {

std::function<vb::DateTime()> orologio;

vb::DateTime Oggi() { return orologio ? orologio() : vb::Now(); }

// Whether the text at position i (from 0) matches a placeholder pattern of `lunghezza`
// characters.
bool Trova(const std::string& testo, size_t i, size_t lunghezza, const char* schema) {
  return i + lunghezza <= testo.size() && vb::Like(std::string_view(testo).substr(i, lunghezza), schema);
}

// The key number of layout parameter n (field "PKEY_n" of the current LAYOUT row).
bool Chiave_Parametro(int n, int16_t& chiave) {
  if (!Rs_Layout || !Rs_Layout->IsOpen() || Rs_Layout->BeforeFirst() || Rs_Layout->AfterLast()) return false;
  data::Value v;
  if (!Rs_Layout->Read("PKEY_" + std::to_string(n), &v).ok() || v.is_null()) return false;
  const int64_t k = v.AsInteger();
  if (k < INT16_MIN || k > INT16_MAX) return false;
  chiave = static_cast<int16_t>(k);
  return true;
}

}  // namespace

std::string Sostituisci_Variabili(const std::string& Testo, bool* Riuscito) {
  if (Riuscito) *Riuscito = true;
  const auto fallito = [&] {
    if (Riuscito) *Riuscito = false;
    return std::string();
  };

  // The text is scanned as it was written: an expansion is never scanned again, and every
  // placeholder of the text is expanded, wherever the expansions before it moved it. (Scanning the
  // text while it changes, up to its length on entry, would leave placeholders unexpanded after a
  // long parameter and step over one that follows an empty parameter.)
  std::string s;
  s.reserve(Testo.size());
  size_t i = 0;
  while (i < Testo.size()) {
    if (Testo[i] != '#') {
      s += Testo[i++];
      continue;
    }
    const int n = i + 2 < Testo.size() ? Testo[i + 2] - '0' : 0;  // the digit of "#Xn", "#LnD"...
    const size_t p = static_cast<size_t>(std::max(n, 1) - 1);
    int16_t k = 0;
    if (Trova(Testo, i, 4, "[#]X[1-9]C")) {
      if (!Chiave_Parametro(n, k)) return fallito();
      s += vb::Format(k, "000");
      i += 4;
    } else if (Trova(Testo, i, 4, "[#]X[1-9]D")) {
      if (!Chiave_Parametro(n, k)) return fallito();
      s += Leggi_Descrizione(Sistema_Informativo, k);
      i += 4;
    } else if (Trova(Testo, i, 7, "[#]X[1-9]<##>")) {
      if (!Chiave_Parametro(n, k)) return fallito();
      const int modo = (Testo[i + 4] - '0') * 10 + (Testo[i + 5] - '0');
      s += Formatta_Valore(k, vb::Trim(Parametri_Valore[p]), modo, -1, "");
      i += 7;
    } else if (Trova(Testo, i, 3, "[#]X[1-9]")) {
      s += vb::Trim(Parametri_Valore[p]);
      i += 3;
    } else if (Trova(Testo, i, 4, "[#]A??")) {
      // The year placeholders are overwritten in place by four characters, so the caption keeps
      // its length ("#A+0" falls to "#A??": a digit 0 is no offset).
      int64_t anno = Anno_Riferimento;
      if (Trova(Testo, i, 4, "[#]A+[1-9]")) anno += Testo[i + 3] - '0';
      if (Trova(Testo, i, 4, "[#]A-[1-9]")) anno -= Testo[i + 3] - '0';
      s += vb::Format(anno, "0000").substr(0, 4);
      i += 4;
    } else if (Trova(Testo, i, 4, "[#]M??")) {
      // The month placeholders likewise: two blanks and two digits, kept within 1..12.
      int mese = Oggi().month;
      if (Trova(Testo, i, 4, "[#]M+[1-9]")) mese = std::min(mese + (Testo[i + 3] - '0'), 12);
      if (Trova(Testo, i, 4, "[#]M-[1-9]")) mese = std::max(mese - (Testo[i + 3] - '0'), 1);
      s += "  " + vb::Format(mese, "00");
      i += 4;
    } else if (Trova(Testo, i, 4, "[#][LR][1-9]D")) {
      // Both letters give the text of the row level.
      s += Liv_Riga_Testo[p];
      i += 4;
    } else {
      s += Testo[i++];
    }
  }
  return s;
}

namespace sostituisci_variabili {
void set_clock(std::function<vb::DateTime()> clock) { orologio = std::move(clock); }
void reset() { orologio = nullptr; }
}  // namespace sostituisci_variabili

}  // namespace kyx
