#pragma once
// DATI held in memory while a run assembles its rows: the merge of the first pass fills the copy,
// the zero rows and the subtotal rows of "L" levels are made on it, and it is written into the
// table once, by one prepared insertion per row, instead of being written, read back, renumbered
// and added to row by row.
//
// Each row keeps the row id it would have had if it had been written at once: a row of the copy
// is row id position + 1 (the table was empty or emptied), a row added later (a subtotal) takes
// the next free id when it is written, as an insertion into the table gives it. So the table ends
// as it would have row for row, row ids included.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/data/field.h"
#include "platform/data/value.h"

namespace kyx {

struct Dati_Memoria {
  bool aperta = false;
  bool modificata = false;
  bool sostituisci = false;  // the table had rows: they are deleted before the copy is written
  std::vector<std::string> nomi;  // the fields of DATI in table order
  std::vector<data::FieldInfo> campi;  // and their types
  int prima_k = 0;                // field of k001 (the number of fields when there is none)
  std::vector<std::vector<data::Value>> righe;
  std::vector<int64_t> rowid;  // per row: its row id, 0 for a row that takes the next free one
  // The rows by their key codes (Chiave_Dati_Memoria).
  std::unordered_map<std::string, size_t> indice;
};

// The copy, open or not.
Dati_Memoria& Copia_Dati();
// The copy when it is open, else null: DATI is then the table itself.
Dati_Memoria* Dati_In_Memoria();

// Opens the copy from the rows of DATI (Rs_Dati_L2); false when DATI is not open.
bool Apri_Dati_Memoria();
// Writes the copy into DATI, when it changed, in one transaction, and closes it.
void Scrivi_Dati_Memoria();

// The key of a row as the index DATI_L2 compares its codes: no case, no trailing blanks.
std::string Chiave_Dati_Memoria(const std::vector<data::Value>& chiave);
// The same of key texts, into h (reused: no allocation once it is large enough).
void Chiave_Dati_Memoria(const std::vector<std::string>& chiave, std::string& h);
// The rows by their key codes built anew: the first row of each key.
void Indicizza_Dati_Memoria(Dati_Memoria& m);

// Cell c of row r takes v as the field takes it through a recordset: converted to the field's
// type; a value the field refuses (a text too long) leaves the cell as it was.
void Imposta_Cella_Memoria(const Dati_Memoria& m, std::vector<data::Value>& r, size_t c, const data::Value& v);

// Removes the rows for which `via` is true (the others keep their row ids).
template <typename F>
void Togli_Righe(Dati_Memoria& m, F&& via) {
  size_t n = 0;
  for (size_t i = 0; i < m.righe.size(); ++i) {
    if (via(m.righe[i])) continue;
    if (n != i) {
      m.righe[n] = std::move(m.righe[i]);
      m.rowid[n] = m.rowid[i];
    }
    ++n;
  }
  if (n == m.righe.size()) return;
  m.righe.resize(n);
  m.rowid.resize(n);
  Indicizza_Dati_Memoria(m);
  m.modificata = true;
}

}  // namespace kyx
