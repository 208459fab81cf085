#include "engine/unione_righe.h"

#include <algorithm>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/modello.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "db/mdb3.h"
#include "engine/campi.h"
#include "engine/dati_memoria.h"
#include "engine/stato_motore.h"
#include "platform/data/collation.h"
#include "platform/data/connection.h"
#include "platform/data/static_recordset.h"
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
  // Row levels actually taken (a level whose key is unset or unknown has no field in the work
  // rows): the work field of level n, or -1; and how many there are, the offset of the first
  // description code.
  std::vector<int> campo_livello;
  int livelli = 0;
};

// The taken levels of the run: those with a code width (Chiavi_Riga gives one to every level it
// takes and none to the levels it skips).
void Livelli_Presi(Query& Q) {
  Q.campo_livello.assign(C(std::max<int>(Numero_Livelli, 0) + 1), -1);
  Q.livelli = 0;
  for (int n = 1; n <= Numero_Livelli && n < static_cast<int>(Lunghezza_Livello.size()); ++n)
    if (Lunghezza_Livello[C(n)] > 0) Q.campo_livello[C(n)] = Q.livelli++;
}

int unione_aperta = 0;                  // Inizia_Unione without Concludi_Unione
std::vector<data::Value>* riga = nullptr;  // the current result row in memory

bool Apri_Immagine() { return Apri_Dati_Memoria(); }

void Scrivi_Immagine() {
  riga = nullptr;
  Scrivi_Dati_Memoria();
}

// The cell c of the current result row.
data::Value Cella(int c) { return riga ? (*riga)[C(c)] : Rs_Dati_L2->Field(c); }
void Imposta_Cella(int c, const data::Value& v) {
  if (riga) {
    if (C(c) < riga->size()) (*riga)[C(c)] = v;
  } else {
    (void)Rs_Dati_L2->Set(c, v);
  }
}

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

// A work row's codes and the key of its result row, kept from row to row so that finding a row
// already made allocates nothing.
struct Chiave_Lavoro {
  std::vector<std::string> chiave;       // one text per key-code column of DATI
  std::vector<std::string> livelli;      // the codes of the level columns
  std::vector<std::string> descrizioni;  // the codes of the description columns
  std::string h;                         // the key as the copy of DATI indexes it
};

// Text t of the work row's field i.
void Testo_Lavoro(int i, std::string& t) {
  const data::Value& v = Rs_Lavoro->Field(i);
  if (v.kind() == data::Value::Kind::Text) t.assign(v.text()); else t = v.AsText();
}

// The key of the result row of the current work row (slot s at the slot level), one text per
// key-code column of DATI, and the codes of its level columns.
void Chiave_Risultato(const Query& Q, int s, Chiave_Lavoro& k) {
  k.chiave.resize(C(std::max<int>(Numero_Chiavi_DATI, 0)));
  for (std::string& t : k.chiave) t.clear();
  // Padded to the code's width: direction A cuts the codes out of k001 by those widths.
  const auto aggiungi = [&](int campo, const std::string& codice, int larghezza) {
    if (campo < 0 || campo >= static_cast<int>(Col_Chiave_DATI.size())) return;
    const int n = Col_Chiave_DATI[C(campo)];
    if (n < 1 || n > static_cast<int>(k.chiave.size())) return;
    std::string& t = k.chiave[C(n - 1)];
    t += codice;
    if (static_cast<int>(codice.size()) < larghezza) t.append(C(larghezza - static_cast<int>(codice.size())), ' ');
  };
  k.livelli.resize(C(std::max<int>(Numero_Livelli, 0)));
  for (int n = 1; n <= Numero_Livelli; ++n) {
    std::string& codice = k.livelli[C(n - 1)];
    const int campo = Q.campo_livello[C(n)];
    if (campo < 0) {  // a level not taken has no code
      codice.clear();
      continue;
    }
    if (n == Livello_Indice) codice = Cifre(s, 2); else Testo_Lavoro(campo, codice);
    // The key codes of DATI are those of the taken levels, in order.
    aggiungi(campo, codice, Lunghezza_Livello[C(n)]);
  }
  k.descrizioni.resize(C(std::max<int>(Livello_Contatore_1, 0)));
  for (int m = 1; m <= Livello_Contatore_1; ++m) {
    std::string& codice = k.descrizioni[C(m - 1)];
    Testo_Lavoro(Q.livelli + m - 1, codice);
    aggiungi(Q.livelli + m - 1, codice, Col_Tipo[C(std::clamp(Col_Lavoro_2[C(m - 1)], 0, 255))]);
  }
  Chiave_Dati_Memoria(k.chiave, k.h);
}

// Makes the result row of the current work row current in the copy of DATI, adding it when it is
// missing.
void Riga_Risultato(const Query& Q, int s) {
  static Chiave_Lavoro k;
  Chiave_Risultato(Q, s, k);
  Dati_Memoria& immagine = Copia_Dati();
  if (!k.chiave.empty()) {
    auto it = immagine.indice.find(k.h);
    if (it != immagine.indice.end()) {
      riga = &immagine.righe[it->second];
      return;
    }
  }
  std::vector<data::Value> r(immagine.nomi.size());
  const auto imposta = [&](int c, const data::Value& v) {
    // Column 0 is the row key: a level or description column is never there.
    if (c > 0 && C(c) < r.size()) r[C(c)] = v;
  };
  for (int i = 0; i <= Numero_Colonne && C(i) < r.size(); ++i) r[C(i)] = Col_Valore[C(i)];
  for (int n = 1; n <= Numero_Livelli; ++n)
    if (Q.campo_livello[C(n)] >= 0) imposta(Colonna_Livello[C(n)], data::Value(k.livelli[C(n - 1)]));
  for (int m = 1; m <= Livello_Contatore_1; ++m) imposta(Col_Lavoro_2[C(m - 1)], data::Value(k.descrizioni[C(m - 1)]));
  for (size_t j = 0; j < k.chiave.size() && C(immagine.prima_k) + j < r.size(); ++j)
    r[C(immagine.prima_k) + j] = data::Value(k.chiave[j]);
  if (!k.chiave.empty()) immagine.indice.emplace(k.h, immagine.righe.size());
  immagine.righe.push_back(std::move(r));
  immagine.rowid.push_back(static_cast<int64_t>(immagine.righe.size()));
  riga = &immagine.righe.back();
  immagine.modificata = true;
}

void Salva() {
  if (riga) {
    riga = nullptr;
    return;
  }
  if (!Rs_Dati_L2->Update().ok()) Rs_Dati_L2->CancelUpdate();
}

// The values of a cross-tab work row go to the generated column whose code it names. The code
// compares as the grouping did (JET): the code list and the value query may each spell a code
// of several spellings ("NORD", "nord") their own way.
void Valore_Incrociato(const Query& Q, int Scarto) {
  const std::string codice = Campo_Lavoro(Q.livelli + Livello_Contatore_1);
  for (int j = 0; j <= Q.ultima; ++j) {
    const int col = Colonna_Voce(Q, j);
    if (data::JetEqual(Col_VCC[C(std::clamp(col, 0, 255))], codice)) {
      Accumula_Totali(Q.conta, col, Scarto, Q.passata);
      return;
    }
  }
}

// Runs a walk over DATI's own rows in one transaction (the work database needs no durability).
template <typename F>
void In_Transazione(F&& f) {
  const bool t = Cn_MDB3 && Cn_MDB3->IsOpen() && !Cn_MDB3->InTransaction() && Cn_MDB3->BeginTransaction().ok();
  f();
  if (t) (void)Cn_MDB3->Commit();
}

// Direction B: every work row into its result row. The work fields: the codes of the taken row
// levels, the description codes, the items; an item's offset counts from the first of them.
void Direzione_B(const Query& Q) {
  if (Rs_Lavoro->BeforeFirst() && Rs_Lavoro->AfterLast()) return;
  if (!Rs_Lavoro->MoveFirst().ok()) return;
  const int NL = Numero_Livelli;
  const int L = Q.livelli;
  if (NL <= 0) {  // B2: the fixed rows of a layout without row levels
    if (Q.incrociata) return;
    Scrivi_Immagine();
    In_Transazione([&] {
      for (; !Rs_Lavoro->AfterLast(); (void)Rs_Lavoro->MoveNext()) {
        for (int j = 0; j <= Q.ultima; ++j) {
          const std::string chiave = Cifre(Query_Riga[C(Q.prima + j)], 6) + "2";
          if (!Rs_Dati_L2->Seek({data::Value(chiave)}).ok() || Rs_Dati_L2->AfterLast()) continue;
          Accumula_Totali(Q.conta, Colonna_Voce(Q, j), j, Q.passata);
          Salva();
        }
      }
    });
    return;
  }
  if (!Apri_Immagine()) return;
  for (; !Rs_Lavoro->AfterLast(); (void)Rs_Lavoro->MoveNext()) {
    if (Livello_Indice > 0) {  // B1: one result row per data-set slot
      for (int s = 1; s <= std::min<int>(Sinf_Idx_Max, Q.slot); ++s) {
        if (!Q.coperti[C(s - 1)]) continue;
        Riga_Risultato(Q, s);
        if (!Q.incrociata) {
          for (int j = 0; j <= Q.ultima; ++j) Accumula_Totali(Q.conta, Colonna_Voce(Q, j), L + j * Q.slot + s - 1, Q.passata);
        } else {
          Valore_Incrociato(Q, L + s);
        }
        Salva();
      }
    } else {  // B3
      Riga_Risultato(Q, 0);
      if (!Q.incrociata || Col_VCK[C(std::clamp(Colonna_Voce(Q, 0), 0, 255))] == Sinf_Idx_Key) {
        for (int j = 0; j <= Q.ultima; ++j) Accumula_Totali(Q.conta, Colonna_Voce(Q, j), L + j, Q.passata);
      } else {
        Valore_Incrociato(Q, L + 1);
      }
      Salva();
    }
  }
}

// The work rows by the codes of their first `livelli` text fields (as DATI2's index compares
// them): the position of the first row of each key.
std::unordered_map<std::string, int64_t> Indice_Lavoro(data::StaticRecordset& lavoro, int livelli) {
  std::unordered_map<std::string, int64_t> indice;
  std::vector<int> testi;
  for (int i = 0; i < lavoro.FieldCount() && static_cast<int>(testi.size()) < livelli; ++i)
    if (lavoro.Fields()[C(i)].type == data::FieldType::Text) testi.push_back(i);
  if (lavoro.BeforeFirst() && lavoro.AfterLast()) return indice;
  if (!lavoro.MoveFirst().ok()) return indice;
  std::vector<data::Value> chiave(testi.size());
  for (int64_t p = 1; !lavoro.AfterLast(); (void)lavoro.MoveNext(), ++p) {
    for (size_t i = 0; i < testi.size(); ++i) chiave[i] = lavoro.Field(testi[i]);
    indice.try_emplace(Chiave_Dati_Memoria(chiave), p);
  }
  return indice;
}

// Direction A: every detail and subtotal row of DATI takes the values of its work row.
void Direzione_A(const Query& Q) {
  auto* lavoro = dynamic_cast<data::StaticRecordset*>(Rs_Lavoro.get());
  Scrivi_Immagine();
  if (!lavoro || (Rs_Dati_L2->BeforeFirst() && Rs_Dati_L2->AfterLast())) return;
  const int NL = Numero_Livelli;
  if (NL <= 0) return;
  const auto indice = Indice_Lavoro(*lavoro, Q.livelli);
  if (!Rs_Dati_L2->MoveFirst().ok()) return;
  const char riempitivo = '\xBF';
  In_Transazione([&] {
    for (; !Rs_Dati_L2->AfterLast(); (void)Rs_Dati_L2->MoveNext()) {
      const std::string c000 = Rs_Dati_L2->Field(0).AsText();
      const std::string tipo = vb::Mid(c000, 7, 1);
      if (tipo != "2" && tipo != "3") continue;
      int livello = static_cast<int>(vb::Val(vb::Mid(c000, 8, 1)));
      if (tipo == "3") livello = 10 - livello;
      livello = std::clamp(livello, 0, 9);
      const std::string k001 = Rs_Dati_L2->Field("k001").AsText();
      std::vector<data::Value> chiave;
      std::string t;
      long pos = 1;
      for (int n = 1; n <= NL; ++n) {
        if (Q.campo_livello[C(n)] < 0) continue;  // not taken: no code in the row or the work rows
        const long w = Lunghezza_Livello[C(n)];
        if (n <= Q.mancanti) {
          chiave.emplace_back(vb::String(w, riempitivo));
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
      const auto trovata = indice.find(Chiave_Dati_Memoria(chiave));
      if (trovata == indice.end() || !lavoro->SetAbsolutePosition(trovata->second).ok()) continue;
      if (!Q.incrociata) {
        for (int s = primo; s <= ultimo; ++s) {
          for (int j = 0; j <= Q.ultima; ++j) {
            const int col = Colonna_Voce(Q, j);
            Accumula_Totali(false, col, Livello_Indice > 0 ? Q.livelli + j * Q.slot + s - 1 : Q.livelli + j, Q.passata);
            if (col >= 0 && col <= 255) Col_Livello_Totale[C(livello)][C(col)] = 0;
          }
        }
      }
      Salva();
    }
  });
}

}  // namespace

void Accumula_Totali(bool Conta, int32_t Colonna, int32_t Scarto, int32_t Passata) {
  if (Colonna > kUltima_Colonna || Colonna < 0 || !Rs_Lavoro || (!riga && !Rs_Dati_L2)) return;
  const size_t c = C(Colonna);
  if (Conta) {
    Imposta_Cella(Colonna, Somma(Cella(Colonna), data::Value(1)));
    Totali[0][c] += 1.0;
    return;
  }
  const int64_t campo = int64_t{Livello_Contatore_1} + Scarto;
  if (campo < 0 || campo >= Rs_Lavoro->FieldCount()) return;  // no such field: nothing changes
  const data::Value& v = Rs_Lavoro->Field(static_cast<int>(campo));
  Imposta_Cella(Colonna, Somma(v, Cella(Colonna)));
  // A Null value cannot join the total: the total keeps what it had.
  if (Passata == 1 && !v.is_null()) Totali[0][c] += v.AsDouble();
}

void Inizia_Unione() { ++unione_aperta; }

void Concludi_Unione() {
  if (unione_aperta > 0) --unione_aperta;
  if (unione_aperta == 0) Scrivi_Immagine();
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
  Livelli_Presi(Q);
  if (Rs_Dati_L2 && Rs_Dati_L2->IsOpen() && Rs_Lavoro && Rs_Lavoro->IsOpen()) {
    const bool a = !sistema.empty() && Tipo_DB_Server != "3" && Tipo_DB_Server != "4" && Numero_Livelli != 0;
    if (a) Direzione_A(Q);
    else Direzione_B(Q);
  }
  riga = nullptr;
  // Outside a run's first pass the copy of DATI goes back at once.
  if (unione_aperta == 0) Scrivi_Immagine();
  if (Rs_Lavoro) (void)Rs_Lavoro->Close();
  Rs_Lavoro.reset();
}

}  // namespace kyx
