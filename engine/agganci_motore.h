#pragma once
// What the elaboration run calls outside its own steps, as slots: the main window's services (a
// library may not link upward, so the main window fills these when the program starts) and the
// later phases of the run, filled by the engine's own modules that carry them out. An empty slot
// does nothing (a phase that is not there yet is passed over). Tests replace a slot to watch or
// stub a phase.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kyx::data {
class Recordset;
}

namespace kyx::agganci_motore {

// ---- Main window ---------------------------------------------------------------------------------
// frmBase.Imposta_Bar: brings the toolbar up to date.
extern std::function<void()> Imposta_Bar;
// Text of the current layout's structure-tree node (Chiave_Layout), or of its parent when Padre;
// "" when none.
extern std::function<std::string(bool Padre)> Testo_Nodo_Layout;
// Sets the caption of the elaboration into the two title labels lbl_twE(0) and lbl_twE(1).
extern std::function<void(const std::string& Titolo)> Imposta_Titolo;
// ProgressBar1: minimum 0, the given maximum and value, placed over the status-bar panel
// "Progress" and shown.
extern std::function<void(float Massimo, float Valore)> Imposta_Progresso;

// ---- Later phases of Esegui_Elaborazione, in the order the run calls them -----------------------
extern std::function<void()> Esegui_Select;       // J: the SELECT of the elaboration, with the log
extern std::function<void()> Query_Colonne;       // K: the column-key queries
extern std::function<void()> Crea_Risultato;      // L: DATI recreated with its row keys
extern std::function<void()> Righe_Fisse;         // M: fixed rows and text cells
// N: every query into DATI2, each merged into DATI (O) as soon as it has run; between the two
// passes the step-P choices (zero rows, head or subtotal rows).
extern std::function<void()> Esegui_Query;
// O: merges the rows of query Query (now in DATI2, Rs_Lavoro) in pass Passata; Livelli_Mancanti
// leading row levels are missing from the query's system.
extern std::function<void(int16_t Query, int32_t Passata, int32_t Livelli_Mancanti)> Unisci_Righe;
extern std::function<void()> Righe_Subtotale;     // P: zero rows, head and subtotal rows
extern std::function<void()> Espandi_Righe_R;     // P: head rows of "R" levels
extern std::function<void()> Riga_Totale;         // Q: the grand-total row
extern std::function<void()> Termina_Elaborazione;  // R: display, derived columns, history

// Empties the main window's slots and those of phases still to come, and puts the engine's own
// phases back.
void reset();

}  // namespace kyx::agganci_motore
