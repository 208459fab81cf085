#pragma once
// What the loaders share: emptying a table, walking a work file record by record, the lookup
// before an insert, and the splitting of a filter value into its pieces.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/data/table_recordset.h"

namespace kyx::aggiorna {

// Runs "DELETE FROM <table>" on Cn_MDB0; a failure is passed over (the old rows then stay, and
// the lookups find them).
void Svuota(const char* Tabella);

// Opens a work file of fixed-length records (a missing file is created empty) and calls `Riga`
// for every whole record, numbered from 1, inside transactions committed every block of records
// (a whole file of ordinary size is one block). Nothing happens when the file cannot be opened.
void Per_Ogni_Record(const std::string& File, std::size_t Lunghezza,
                     const std::function<void(int64_t Numero, const std::string& Dati)>& Riga);

using Campo = std::pair<const char*, data::Value>;
using Campi = std::vector<Campo>;

// Seeks `Chiave` (every index column) on `Rs`; when no row is found adds one with `Valori` and
// saves it. True when the row was added. A failing seek, field or save loses this row only.
bool Aggiungi_Se_Manca(data::TableRecordset* Rs, const data::Value* Chiave, std::size_t Colonne_Chiave,
                       const Campo* Valori, std::size_t Numero_Valori);
// The same for lists written in place (no vector built for every record) and for vectors.
inline bool Aggiungi_Se_Manca(data::TableRecordset* Rs, std::initializer_list<data::Value> Chiave,
                              std::initializer_list<Campo> Valori) {
  return Aggiungi_Se_Manca(Rs, Chiave.begin(), Chiave.size(), Valori.begin(), Valori.size());
}
inline bool Aggiungi_Se_Manca(data::TableRecordset* Rs, const std::vector<data::Value>& Chiave, const Campi& Valori) {
  return Aggiungi_Se_Manca(Rs, Chiave.data(), Chiave.size(), Valori.data(), Valori.size());
}

// The separator of list values: Separatore_Valori, or "," while none has been received (an empty
// separator would split a value at every character).
std::string Separatore();

// Pieces of a list value ("=" and "N"): the text between separators, each through
// Testo_Non_Vuoto; a doubled or closing separator gives a piece " ".
std::vector<std::string> Pezzi_Lista(std::string_view Valore);

// A range value ("R"): the text before the first separator and all the text after it, each
// through Testo_Non_Vuoto. False when the value holds no separator.
bool Pezzi_Intervallo(std::string_view Valore, std::string* Da, std::string* A);

}  // namespace kyx::aggiorna
