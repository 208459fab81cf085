#pragma once
// The SQL of an elaboration: the row keys every query selects and groups by, the filter texts,
// the SELECT item of each value element, the list of result queries, and the transformations the
// execution needs later (the server table, the next subtotal level, the record layout of a
// result).
//
// Every text names the data table "KYX_D0_00F"; key columns are "k_" and three digits, value
// columns "V_", three digits, "_" and the two-digit data-set slot. Two dialects: the data server's
// (connected without a SQL Server database) and the local one (SQL Server and local data sets).
// The head of a query tells its kind by its case: "Select " rows of a key, "SELECT " values,
// "sELECT " cross-tab values, "select " the codes of a column key.
#include <cstdint>
#include <string>
#include <vector>

namespace kyx {

// True when the queries are written for the data server.
bool Dialetto_Server();

// The row levels: Numero_Livelli, Select_Chiavi, Group_By, Lunghezza_Livello, Livello_Indice.
void Chiavi_Riga();

// The user's filter: Filtro_Completo, Filtro_Chiavi and Filtro_Slot.
void Filtri_Elaborazione();

// The caption of the elaboration: the layout's description and the text of its structure-tree
// node (or of the node's parent), through the main window's slots.
void Titolo_Elaborazione();

// Col_Somma(Elemento): the sum of value Valore over the data-set slots 1..Slot that the element
// takes, in one item (Sommato nonzero) or one item per slot.
void Campo_Somma(int32_t Elemento, int32_t Valore, int16_t Slot, int16_t Sommato);

// The list of result queries (Numero_Query, Query_*) from the per-element items.
void Componi_Query();

// The SQL of the next subtotal level of a query: its last group-by key dropped and replaced in the
// SELECT list by a literal of filler characters; "" when there is none.
std::string Select_Subtotali(const std::string& Sql);

// The text with the server table of the right total level and the system's library put in;
// "" when the system is unknown. Sql is rewritten in place as well.
std::string Scegli_Tabella(std::string& Sql, const std::string& Sistema);

// One entry per SELECT item of a result record, from index Conteggio on: Larghezze the width of a
// text item, Posizioni the 0-based start of the next item (texts take their width, numbers nine
// bytes). Conteggio advances by the items added; the vectors grow as needed.
void Analizza_Select(const std::string& Sql, std::vector<int32_t>& Larghezze, std::vector<int32_t>& Posizioni,
                     int16_t& Conteggio);

}  // namespace kyx
