#pragma once
// The two lists the main window's grid shows besides an elaboration: the data sets loaded into
// KYX_2.MDB (grid mode 2) and the codes of one key with their descriptions (grid mode 1). Each
// sets the column model, opens the grid's recordset Rs_Griglia and leaves the drawing to the
// grid display, which the caller runs next.
#include <cstdint>
#include <functional>
#include <string>

namespace kyx {

// The key listed in mode 1, for the filter panel: its attribute and date format (right-trimmed
// ATTR and FORMATO; "" while no key is listed).
extern std::string Attributo_Filtro;
extern std::string Formato_Data;

// The loaded data sets, sorted on the set number, each filter in words ("k_001 in('A')" becomes
// "Prodotto in('A')"), written back into FILTRO.
void Carica_Elenco_Caricati();

// The codes of key Chiave of the current system with their descriptions (and the additional
// ones when Descrizioni_Aggiuntive is on), through DATI of a new work database. Modo is not
// used.
void Carica_Codici_Chiave(int16_t Modo, int16_t Chiave);

// A stored data-set filter (SQL over k_### columns) in words, the keys named by their titles in
// information system Sistema.
std::string Filtro_In_Parole(const std::string& Filtro_Sql, const std::string& Sistema);

namespace agganci_elenco {
// What the lists need of the main window above them: its layout after the chart is switched off,
// the captions over the trees, the toolbar refresh; and the grid's column auto-fit. Empty slots
// do nothing (a list built without the main window, as in the views' own tests).
extern std::function<void()> Ridimensiona;
extern std::function<void(const std::string& Didascalia)> Didascalia_Elenco;
extern std::function<void()> Imposta_Bar;
void reset();
}  // namespace agganci_elenco

namespace elenco {
// Puts the state of this header back to its start.
void reset();
}  // namespace elenco

}  // namespace kyx
