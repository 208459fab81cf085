#include "engine/unione_righe.h"

#include <algorithm>
#include <string>
#include <vector>

#include "common/modello.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "db/mdb3.h"
#include "engine/campi.h"
#include "engine/stato_motore.h"
#include "platform/data/table_recordset.h"
#include "platform/vb/vb.h"

namespace kyx {
namespace {

using motore::Cerca;
using motore::Cifre;
using motore::Numero;

constexpr int kUltima_Colonna = 252;

size_t C(int n) { return static_cast<size_t>(n); }

// The sum of two cells as BASIC adds variants: Null with anything is Null, two whole numbers stay
// whole, anything else is a Double.
data::Value Somma(const data::Value& a, const data::Value& b) {
  if (a.is_null() || b.is_null()) return data::Value::Null();
  if (a.kind() == data::Value::Kind::Integer && b.kind() == data::Value::Kind::Integer) return data::Value(a.integer() + b.integer());
  return data::Value(a.AsDouble() + b.AsDouble());
}

// What one run of the merge knows about its query.
struct Query {
  int16_t q = 0;
  int32_t passata = 1;
  int32_t mancanti = 0;  // leading row levels the query's system lacks
  bool conta = false;       // "Select ": each matched row counts 1
  bool incrociata = false;  // "sELECT " / "select "
  int slot = 1;             // S: data-set slots of the query's system
  int prima = 0;            // f: first entry of the item map
  int ultima = 0;           // c: index of the last item
  std::vector<bool> coperti;  // slot s - 1 read by the query
};

int Colonna_Voce(const Query& Q, int j) { return Query_Colonna[C(Q.prima + j)]; }

// The slots the query reads: the key-selection flags of its first element (every element of one
// query has the same flags). Without an element to ask, every slot counts.
std::vector<bool> Slot_Coperti(const Query& Q) {
  std::vector<bool> coperti(C(std::max(Q.slot, 0)), true);
  for (int e = 1; e <= Numero_Elementi && e < 256; ++e) {
    if (Elem_Colonna[C(e)] != Colonna_Voce(Q, 0) || Elem_Riga[C(e)] != Query_Riga[C(Q.prima)]) continue;
    for (int s = 1; s <= Q.slot && s <= 64; ++s) coperti[C(s - 1)] = Col_Where_Flag[C(e)][C(s - 1)] != 0;
    break;
  }
  return coperti;
}

std::string Campo_Lavoro(int i) { return Rs_Lavoro->Field(i).AsText(); }

// A code as the result table's key-code columns hold it: blank-padded to its fixed width.
std::string Codice(std::string codice, int larghezza) {
  if (static_cast<int>(codice.size()) < larghezza) codice.append(C(larghezza - static_cast<int>(codice.size())), ' ');
  return codice;
}

// The key of the result row of the current work row (slot s at the slot level), one text per
// key-code column of DATI, and the codes of its level columns.
std::vector<data::Value> Chiave_Risultato(int s, std::vector<std::string>& livelli, std::vector<std::string>& descrizioni) {
  std::vector<std::string> chiave(C(std::max<int>(Numero_Chiavi_DATI, 0)));
  const auto aggiungi = [&](int campo, const std::string& codice, int larghezza) {
    if (campo < 0 || campo >= static_cast<int>(Col_Chiave_DATI.size())) return;
    const int k = Col_Chiave_DATI[C(campo)];
    if (k >= 1 && k <= static_cast<int>(chiave.size())) chiave[C(k - 1)] += Codice(codice, larghezza);
  };
  livelli.clear();
  descrizioni.clear();
  for (int n = 1; n <= Numero_Livelli; ++n) {
    const std::string codice = n == Livello_Indice ? Cifre(s, 2) : Campo_Lavoro(n - 1);
    livelli.push_back(codice);
    // Padded to the level's code width: direction A cuts the codes out of k001 by those widths.
    aggiungi(n - 1, codice, Lunghezza_Livello[C(n)]);
  }
  for (int m = 1; m <= Livello_Contatore_1; ++m) {
    const std::string codice = Campo_Lavoro(Numero_Livelli + m - 1);
    descrizioni.push_back(codice);
    aggiungi(Numero_Livelli + m - 1, codice, Col_Tipo[C(std::clamp(Col_Lavoro_2[C(m - 1)], 0, 255))]);
  }
  std::vector<data::Value> valori;
  for (auto& t : chiave) valori.emplace_back(t);
  return valori;
}

// Stands Rs_Dati_L2 on the result row of the current work row, adding it when it is missing.
void Riga_Risultato(int s) {
  std::vector<std::string> livelli, descrizioni;
  const std::vector<data::Value> chiave = Chiave_Risultato(s, livelli, descrizioni);
  if (!chiave.empty() && Rs_Dati_L2->Seek(chiave).ok() && !Rs_Dati_L2->AfterLast()) return;
  if (!Rs_Dati_L2->AddNew().ok()) return;
  for (int i = 0; i <= Numero_Colonne; ++i) (void)Rs_Dati_L2->Set(i, Col_Valore[C(i)]);
  for (int n = 1; n <= Numero_Livelli; ++n)
    if (Colonna_Livello[C(n)] > 0) (void)Rs_Dati_L2->Set(Colonna_Livello[C(n)], data::Value(livelli[C(n - 1)]));
  for (int m = 1; m <= Livello_Contatore_1; ++m)
    if (Col_Lavoro_2[C(m - 1)] > 0) (void)Rs_Dati_L2->Set(Col_Lavoro_2[C(m - 1)], data::Value(descrizioni[C(m - 1)]));
  for (size_t k = 0; k < chiave.size(); ++k) (void)Rs_Dati_L2->Set("k" + Cifre(static_cast<int64_t>(k + 1), 3), chiave[k]);
}

void Salva() {
  if (!Rs_Dati_L2->Update().ok()) Rs_Dati_L2->CancelUpdate();
}

// The values of a cross-tab work row go to the generated column whose code it names.
void Valore_Incrociato(const Query& Q, int Scarto) {
  const std::string codice = Campo_Lavoro(Numero_Livelli + Livello_Contatore_1);
  for (int j = 0; j <= Q.ultima; ++j) {
    const int col = Colonna_Voce(Q, j);
    if (Col_VCC[C(std::clamp(col, 0, 255))] == codice) {
      Accumula_Totali(Q.conta, col, Scarto, Q.passata);
      return;
    }
  }
}

// Direction B: every work row into its result row.
void Direzione_B(const Query& Q) {
  if (Rs_Lavoro->BeforeFirst() && Rs_Lavoro->AfterLast()) return;
  if (!Rs_Lavoro->MoveFirst().ok()) return;
  const int NL = Numero_Livelli;
  for (; !Rs_Lavoro->AfterLast(); (void)Rs_Lavoro->MoveNext()) {
    if (Livello_Indice > 0) {  // B1: one result row per data-set slot
      if (NL <= 0) continue;
      for (int s = 1; s <= std::min<int>(Sinf_Idx_Max, Q.slot); ++s) {
        if (!Q.coperti[C(s - 1)]) continue;
        Riga_Risultato(s);
        if (!Q.incrociata) {
          for (int j = 0; j <= Q.ultima; ++j) Accumula_Totali(Q.conta, Colonna_Voce(Q, j), NL + j * Q.slot + s - 1, Q.passata);
        } else {
          Valore_Incrociato(Q, NL + s);
        }
        Salva();
      }
    } else if (NL <= 0) {  // B2: the fixed rows of a layout without row levels
      if (Q.incrociata) continue;
      for (int j = 0; j <= Q.ultima; ++j) {
        const std::string riga = Cifre(Query_Riga[C(Q.prima + j)], 6) + "2";
        if (!Rs_Dati_L2->Seek({data::Value(riga)}).ok() || Rs_Dati_L2->AfterLast()) continue;
        Accumula_Totali(Q.conta, Colonna_Voce(Q, j), j, Q.passata);
        Salva();
      }
    } else {  // B3
      Riga_Risultato(0);
      if (!Q.incrociata || Col_VCK[C(std::clamp(Colonna_Voce(Q, 0), 0, 255))] == Sinf_Idx_Key) {
        for (int j = 0; j <= Q.ultima; ++j) Accumula_Totali(Q.conta, Colonna_Voce(Q, j), NL + j, Q.passata);
      } else {
        Valore_Incrociato(Q, NL + 1);
      }
      Salva();
    }
  }
}

// Direction A: every detail and subtotal row of DATI takes the values of its work row.
void Direzione_A(const Query& Q) {
  auto* lavoro = dynamic_cast<data::TableRecordset*>(Rs_Lavoro.get());
  if (!lavoro || (Rs_Dati_L2->BeforeFirst() && Rs_Dati_L2->AfterLast())) return;
  if (!Rs_Dati_L2->MoveFirst().ok()) return;
  const int NL = Numero_Livelli;
  const std::string riempitivo = "\xBF";
  for (; !Rs_Dati_L2->AfterLast(); (void)Rs_Dati_L2->MoveNext()) {
    const std::string c000 = Rs_Dati_L2->Field(0).AsText();
    const std::string tipo = vb::Mid(c000, 7, 1);
    if (tipo != "2" && tipo != "3") continue;
    int livello = static_cast<int>(vb::Val(vb::Mid(c000, 8, 1)));
    if (tipo == "3") livello = 10 - livello;
    livello = std::clamp(livello, 0, 9);
    if (NL <= 0) continue;
    const std::string k001 = Rs_Dati_L2->Field("k001").AsText();
    std::vector<data::Value> chiave;
    std::string t;
    long pos = 1;
    for (int n = 1; n <= NL; ++n) {
      const long w = Lunghezza_Livello[C(n)];
      if (n <= Q.mancanti) {
        chiave.emplace_back(vb::String(w, riempitivo[0]));
      } else if (n == Livello_Indice) {
        chiave.emplace_back("ii");
        t = vb::Mid(k001, pos, w);
      } else {
        chiave.emplace_back(vb::Mid(k001, pos, w));
      }
      pos += w;
    }
    int primo = 1, ultimo = 1;
    if (Livello_Indice > 0) {
      if (t == "\xBF\xBF") {
        ultimo = Q.slot;
      } else {
        primo = ultimo = static_cast<int>(vb::Val(t));
      }
      if (primo > Q.slot || primo <= 0) continue;
    }
    if (!lavoro->Seek(chiave).ok() || lavoro->AfterLast()) continue;
    if (!Q.incrociata) {
      for (int s = primo; s <= ultimo; ++s) {
        for (int j = 0; j <= Q.ultima; ++j) {
          const int col = Colonna_Voce(Q, j);
          Accumula_Totali(false, col, Livello_Indice > 0 ? NL + j * Q.slot + s - 1 : NL + j, Q.passata);
          if (col >= 0 && col <= 255) Col_Livello_Totale[C(livello)][C(col)] = 0;
        }
      }
    }
    Salva();
  }
}

}  // namespace

void Accumula_Totali(bool Conta, int32_t Colonna, int32_t Scarto, int32_t Passata) {
  if (Colonna > kUltima_Colonna || Colonna < 0 || !Rs_Dati_L2 || !Rs_Lavoro) return;
  const size_t c = C(Colonna);
  if (Conta) {
    (void)Rs_Dati_L2->Set(Colonna, Somma(Rs_Dati_L2->Field(Colonna), data::Value(1)));
    Totali[0][c] += 1.0;
    return;
  }
  const int64_t campo = int64_t{Livello_Contatore_1} + Scarto;
  if (campo < 0 || campo >= Rs_Lavoro->FieldCount()) return;  // no such field: nothing changes
  const data::Value v = Rs_Lavoro->Field(static_cast<int>(campo));
  (void)Rs_Dati_L2->Set(Colonna, Somma(v, Rs_Dati_L2->Field(Colonna)));
  // A Null value cannot join the total: the total keeps what it had.
  if (Passata == 1 && !v.is_null()) Totali[0][c] += v.AsDouble();
}

void Unisci_Righe(int16_t Query_, int32_t Passata, int32_t Livelli_Mancanti) {
  if (Query_ < 0 || Query_ >= kMassimo_Query) return;
  const size_t q = C(Query_);
  Query Q;
  Q.q = Query_;
  Q.passata = Passata;
  Q.mancanti = Livelli_Mancanti;
  Q.conta = Query_Testo[q].compare(0, 6, "Select") == 0;
  Q.incrociata = !Query_Testo[q].empty() && Query_Testo[q][0] == 's';
  Q.slot = Sinf_Idx_Max;
  const std::string sistema = vb::Trim(Query_Sistema[q]);
  if (!sistema.empty() && Cerca(Rs_Sinf.get(), {sistema})) Q.slot = static_cast<int>(Numero(*Rs_Sinf, "IDX_MAX"));
  Q.slot = std::clamp(Q.slot, 0, 64);
  Q.prima = Query_Inizio[q];
  Q.ultima = std::min<int>(Query_Ultimo[q], 255 - Q.prima);
  Q.coperti = Slot_Coperti(Q);
  if (Rs_Dati_L2 && Rs_Dati_L2->IsOpen() && Rs_Lavoro && Rs_Lavoro->IsOpen()) {
    const bool a = !sistema.empty() && Tipo_DB_Server != "3" && Tipo_DB_Server != "4" && Numero_Livelli != 0;
    if (a) Direzione_A(Q);
    else Direzione_B(Q);
  }
  if (Rs_Lavoro) (void)Rs_Lavoro->Close();
  Rs_Lavoro.reset();
}

}  // namespace kyx
