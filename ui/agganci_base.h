#pragma once
// What the main window calls outside itself, as slots. The services of the layers below (local
// databases, socket, instance registry, clock, the end of the process) point at the real ones and
// are replaced by tests; the subsystems built later (login, trees, grid and chart display, filter
// commands, layouts, elaboration, printing, export, help, pop-ups) fill theirs when the program
// starts. An empty slot means its subsystem is not there yet: the call does nothing (and a slot
// with a result answers "nothing happened": false, -1, 0).
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace kyx::ui {
class KyForm;
}

namespace kyx::agganci_base {

// ---- Layers below (real by default) -------------------------------------------------------------
extern std::function<bool(bool Ricrea)> Apri_MDB0;
extern std::function<bool(bool Ricrea, bool Compatta)> Apri_MDB1;
extern std::function<bool(bool Ricrea, bool Compatta)> Apri_MDB2;
extern std::array<std::function<bool()>, 4> Chiudi_MDB;  // Chiudi_MDB0 .. Chiudi_MDB3
extern std::function<bool(std::string& Descrizione, const std::string& Percorso)> Sock_Start;
extern std::function<void()> Sock_Stop;
extern std::function<bool(int16_t& Modo, int32_t& hWnd1, int32_t& hWnd2, std::string& Cartella)>
    Registro_Istanze;
extern std::function<void()> Carica_Impostazioni_Stampa;
// Seconds since midnight, with fractions (the BASIC Timer).
extern std::function<double()> Orologio;
// The screen's size in twips (the clamps of the window placement).
extern std::function<void(double& Larghezza, double& Altezza)> Schermo_Twips;
// Ends the process at once: no further handler runs. Tests put a function here that records the
// call (and may throw to stop the caller); the callers return right after it in any case.
extern std::function<void(int Codice)> Termina_Programma;

// ---- Subsystems built on the main window --------------------------------------------------------
// Login and download sequence: the connection flag; closing the connection (always false).
extern std::function<bool(int32_t hWnd)> Collegamento_Server;
extern std::function<bool()> Disconnetti;
// Window of the login dialog (the main window takes over its slot in the instance registry).
extern std::function<int32_t()> hWnd_Login;
// Structure tree twL and key and filter tree twF.
extern std::function<void()> Carica_Albero_Struttura;
extern std::function<void()> Carica_Albero_Chiavi;
// Column header strip over the grid.
extern std::function<void()> KyHead_Initialize;
extern std::function<void()> KyHead_Aggiorna;
// Grid and chart display.
extern std::function<void()> Visualizza_Griglia;
extern std::function<void()> Visualizza_Grafico;
// Sorts the result on Colonna_Corrente (the chart's presses on a series or a category label).
extern std::function<void()> Visualizza_Ordina;
// List of the loaded data sets in the grid; the local data-sets menu.
extern std::function<void(const std::string& Argomento)> Carica_Elenco_Caricati;
extern std::function<void(const std::string& Argomento)> frmMenuDati_Carica;
// Filter commands on the filter table.
extern std::function<void(int16_t Chiave, const std::string& Valore_1, const std::string& Valore_2,
                          uint8_t Operatore, const std::string& Comando, bool Aggiorna_Albero)>
    Carica_Filtro_Modifica;
// History step: loads elaboration Elaborazione_Corrente + Passo.
extern std::function<void(int16_t Passo, const std::string& File, bool Preferito)> Carica_Layout;
extern std::function<void()> Esegui_Elaborazione;
// Levels and parameters dialog entries: from a drill click on a result cell (key of the clicked
// column, code in the cell) and from a layout node of the structure tree (the node's key).
extern std::function<void(int16_t Chiave, const std::string& Elemento)> Carica_da_Drill;
extern std::function<void(const std::string& Chiave_Nodo)> Carica_da_TW;
// Records of the result recordset Rs_Griglia; -1 when there is none.
extern std::function<int32_t()> Record_Risultato;
extern std::function<void()> Stampa_Documento;
// Opens the help file at its default topic, owned by the main window; the viewer's handle.
extern std::function<int32_t()> Apri_Aiuto;
// Context help: the main window's help-area map, and the lookup that opens a topic.
extern std::function<void()> Ridimensiona_Mappa;
extern std::function<void(int32_t Top, int32_t Left, int32_t hWnd, int16_t Primo, int16_t Ultimo)>
    Help_Mappa_Apri;
// Wheel turns over the main window (keys, notches, screen x and y).
extern std::function<void(int32_t Tasti, int32_t Scatti, int32_t X, int32_t Y)> xMouseWheel;
// Pointer moves on the main window's surface (screen x and y) while the layout picture is lit.
extern std::function<void(int32_t X, int32_t Y)> xMouseMove;
// Pop-ups opened from the grid and its header strip: the element card of a pressed cell (key and
// element code) and the column header menu of Colonna_Corrente.
extern std::function<void(int16_t Chiave, const std::string& Elemento)> frmMenuRiga_Carica;
extern std::function<void()> frmMenuColonna_Carica;

// The pop-ups a press on the main window closes, in the order of their open flags Form_Aperto:
// frmMenuColonna, frmMenuColonne, frmMenuDati, frmMenuLivelli, frmMenuOpzioni, frmMenuPreferiti,
// frmMenuRiga. Each slot answers its form while it exists (nullptr otherwise).
extern std::array<std::function<ui::KyForm*()>, 7> Popup;

// Toolbar keys whose whole action belongs to another subsystem ("SInf", "Preferiti",
// "Visualizza", "Colonne", "SetStampa", "Opzioni", "Salva"), run by the dispatcher inside its
// frame. "SInf" opens the login dialog through the Foundation's slot from the start.
extern std::map<std::string, std::function<void()>, std::less<>> Azioni;

// Puts every slot back to its start: the real services below, nothing above.
void reset();

}  // namespace kyx::agganci_base
