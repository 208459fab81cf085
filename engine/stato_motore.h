#pragma once
// Shared state of the elaboration engine: the parts of the column model that the layers below do
// not read (those are in common/modello.h), the per-element arrays of the layout being run, the
// totals and the values of the row being computed, the level choices of the column levels, the
// display settings the engine hands to the views, and the working values that the steps of one
// run pass to each other (row keys, filters, the list of queries). Esegui_Elaborazione writes
// them; the views, the layout files and the later steps of the run read them.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "common/filtri_sql.h"
#include "platform/data/recordset.h"
#include "platform/data/value.h"

namespace kyx {

// ---- Column model, one entry per result column 0 .. 255 ----------------------------------------
extern std::array<uint8_t, 256> Col_Visibile;         // 2 shown, 1 hidden but may be shown, 0 never
extern std::array<uint8_t, 256> Col_Ordine;           // 0 the grid may sort by it, 1 it may not
extern std::array<int16_t, 256> Col_Larghezza_Stampa; // print width in twips
extern std::array<uint8_t, 256> Col_Allineamento;     // 7 right-aligned number, 1 text
extern std::array<int16_t, 256> Col_Descrizione;      // a description column: the code column it describes
extern std::array<uint8_t, 256> Col_Totale;           // TOT: "T" 2, "S" 3, "U" 4, else 1
extern std::array<uint8_t, 256> Col_VCK;              // cross-tab column: key of its column level
extern std::array<std::string, 256> Col_VCC;          // generated cross-tab column: its key code
extern std::array<std::string, 256> Col_Testo;        // Col_VCC of the previous elaboration
extern std::array<data::Value, 256> Col_Valore;       // value a new DATI row starts with
extern std::array<std::array<uint8_t, 256>, 10> Col_Livello_Totale;  // (level, column) totals flags
extern std::array<std::array<double, 256>, 10> Totali;              // (level, column) running totals
extern std::array<int32_t, 256> Col_Lavoro_1;         // key code columns: key number
extern std::array<std::string, 256> Col_Lavoro_3;     // key code columns: letter "R", "D" or "E"
extern std::array<int32_t, 256> Col_Precedenza;       // computation level; -1 = not resolved
extern int16_t Precedenza_P;                          // level of the first running-sum column

// ---- Per element row of the layout (index = position from 1 of the row) -----------------------
extern std::array<std::string, 256> Elem_Calcolo;     // RTrim(CALC)
extern std::array<int16_t, 256> Elem_Riga;            // RIG, at most 255
extern std::array<int16_t, 256> Elem_Colonna;         // COL, at most 253
extern std::array<uint8_t, 256> Elem_Chiave;          // key of a row-count element
extern std::array<std::string, 256> Col_Sistema;      // the element's own system; "" = current
extern std::array<std::string, 256> Col_Somma;        // the element's SELECT item
// Col_Where and Col_Where_Flag (common/modello.h) are indexed by element row as well.

// ---- Levels -------------------------------------------------------------------------------------
extern std::array<std::string, 9> Liv_Intestazione;   // SNINT of the level's "R" key column
extern std::array<std::string, 9> Liv_Subtotale;      // SNTOT of the level's "R" key column
extern std::array<int16_t, 9> Liv_Riga_Precedente;    // row-level keys of the previous run
extern std::array<int16_t, 9> Liv_Colonna_Precedente; // column-level keys of the previous run
extern std::array<int16_t, 9> Liv_Colonna_Chiave;     // key of column level n at n - 1; -1 none
extern std::array<std::string, 9> Liv_Colonna_Testo;  // its title

// ---- Scalars of the column model ----------------------------------------------------------------
extern int16_t Riga_Layout_Massima;
extern int16_t Colonne_Bloccate;
extern std::string Tipo_DB_Server;
extern int16_t Subtotali_Richiesti;         // -1 when subtotals of "L" levels are wanted
extern int16_t Livelli_R;                   // -1 once an "R" level column is set up
extern int16_t Livelli_Visibili;            // column of the level-1 "R" key column
extern int16_t Grafico_Chiave;              // columns that label the chart; -1 none
extern int16_t Grafico_Chiave_Descrizione;

// ---- Display state handed to the views -----------------------------------------------------------
extern std::unique_ptr<data::Recordset> Rs_Griglia;
extern int32_t Numero_Record;
extern std::string Filtro_Griglia;
extern int16_t Colonna_Ordinamento;
extern std::string Verso_Ordinamento;       // " ASC" or " DESC"
// What the user left of the previous result of the same layout: shown columns, frozen columns and
// sort, applied again when the layout runs once more (Memorizza_Colonne).
extern std::array<uint8_t, 256> Col_Visibile_Memoria;
extern int16_t Colonne_Bloccate_Memoria;
extern int16_t Colonna_Ordinamento_Memoria;
extern std::string Verso_Ordinamento_Memoria;

// ---- Values of the row being computed (formula evaluator) --------------------------------------
extern std::array<double, 256> Valori_Riga;
extern int32_t Livello_Subtotale;

// ---- Working values of one run --------------------------------------------------------------------
extern int16_t Numero_Elementi;              // element rows of the layout read (at most 255 kept)
extern std::array<int16_t, 10> Colonna_Livello;     // result column of row level n at n
extern std::array<int16_t, 256> Lunghezza_VCK;      // cross-tab columns: code length of their key
extern int16_t Colonna_Ordinamento_Elaborazione;    // the run's sort column and direction
extern std::string Verso_Ordinamento_Elaborazione;
// Row keys (select-key list ending with a comma, group-by list) and their levels.
extern std::string Select_Chiavi;
extern std::string Group_By;
extern std::array<int16_t, 10> Lunghezza_Livello;   // code length of row level n at n
extern int16_t Livello_Indice;               // row level holding the data-set slot key; 0 none
// The user's filter: the whole condition (server request), the condition over the keys other
// than the slot key and the data-set slots it lets through.
extern std::string Filtro_Completo;
extern std::string Filtro_Chiavi;
extern Chiavi_Filtro Filtro_Slot;

// ---- The queries of the elaboration ---------------------------------------------------------------
// Up to 256 queries; each has its text, its information system and the index of its last item.
// The items of all queries lie end to end in Query_Colonna and Query_Riga (the grid column and the
// element row each value item feeds): query q starts at Query_Inizio(q).
inline constexpr int kMassimo_Query = 256;
extern int16_t Numero_Query;
extern std::array<std::string, kMassimo_Query> Query_Testo;
extern std::array<std::string, kMassimo_Query> Query_Sistema;
extern std::array<int16_t, kMassimo_Query> Query_Ultimo;
extern std::array<int16_t, kMassimo_Query> Query_Inizio;
extern std::array<int16_t, 256> Query_Colonna;
extern std::array<int16_t, 256> Query_Riga;
// Set when the columns generated for column-key codes had to be cut at column 252.
extern bool Troppe_Colonne;
// Set when a value item found the item map (256 entries) or the query list full: its column
// stays zero.
extern bool Voci_Esaurite;
// Set when a formula column's text is longer or nested deeper than the evaluator takes: the
// column stays zero.
extern bool Formule_Oltre_Limiti;

namespace stato_motore {
// Puts every variable of this header back to its state before start-up.
void reset();
}  // namespace stato_motore

}  // namespace kyx
