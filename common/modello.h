#pragma once
// Shared state that belongs to the upper subsystems (elaboration engine, layouts, views, main
// window) but is read by the Foundation, the local databases and the server link. It lives down
// here because a library may only reach the layers below it; the subsystems named in each group
// are its writers.
#include <array>
#include <cstdint>
#include <string>

namespace kyx {

// ---- Column model of the current elaboration (elaboration engine) ------------------------------
// One entry per result column 0 .. 255; columns 1 .. Numero_Colonne are used, column 0 is the row
// key.
extern uint8_t Numero_Colonne;                        // last column index of the result
extern std::array<uint8_t, 256> Col_Tipo;             // 0 numeric, else text length
extern std::array<int16_t, 256> Col_Chiave;           // key number; 0 and -1 mean none
extern std::array<std::string, 256> Col_Attributo;    // ATTR of the column's key
extern std::array<std::string, 256> Col_Formato;      // display format
extern std::array<uint8_t, 256> Col_Kde;              // description key of the column's key
extern std::array<std::string, 256> Col_Calcolo;      // calculation token or formula
extern std::array<std::string, 256> Col_Where;        // WHERE text of the column
extern std::array<std::array<int16_t, 64>, 256> Col_Where_Flag;  // key selection of the column
extern std::array<std::string, 256> Col_Intestazione; // heading, lines separated by "|"
extern std::array<int16_t, 256> Col_Larghezza;        // grid width in twips
extern std::array<int32_t, 256> Col_Lavoro_2;         // column of "D"-token level l at l - 1

// ---- Level model (elaboration engine, levels menu) ----------------------------------------------
extern int16_t Numero_Livelli;
extern int16_t Livello_Contatore_1;                   // levels that come from "D" tokens
extern std::array<std::string, 9> Liv_Attributo;
extern std::array<std::string, 9> Liv_Formato;
extern std::array<uint8_t, 9> Liv_Kde;
extern std::array<int16_t, 9> Liv_Riga_Chiave;
extern std::array<std::string, 9> Liv_Riga_Testo;

// ---- What the grid shows (elaboration engine, views) --------------------------------------------
// 0 nothing, 1 the codes of a key, 2 the loaded data sets, 3 an elaboration.
extern int16_t Modo_Griglia;
// Key listed in the grid in mode 1; -1 none.
extern int16_t Chiave_Elenco;
// Type of the listed key for the filter panel: 0 coded or plain, 1 day or month, 2 other period.
extern uint8_t Tipo_Data_Chiave;
// How many key code columns of the elaboration are hidden ("R" and "D" letters).
extern int16_t Livello_Contatore_2;

// ---- Current layout (layouts and favourites) ----------------------------------------------------
extern int16_t Layout_Corrente;
extern std::array<std::string, 9> Parametri_Valore;   // parameters 1 .. 9 of the layout

// ---- Grid scroll state (views) ------------------------------------------------------------------
extern int32_t Prima_Riga;           // first record shown; -1 = start again
extern int32_t Prima_Colonna;        // first scrolled column; -1 = start again
extern int16_t Scorrimento_Colonne;  // horizontal scroll position; -1 = start again

// ---- Main window ---------------------------------------------------------------------------------
// Twips per pixel (1440 / logical DPI), set when the main window loads.
extern double Twips_Pixel_X;
extern double Twips_Pixel_Y;
// Open flags of the seven pop-ups that a press on the main window closes, in this order:
// frmMenuColonna, frmMenuColonne, frmMenuDati, frmMenuLivelli, frmMenuOpzioni, frmMenuPreferiti,
// frmMenuRiga.
extern std::array<bool, 7> Form_Aperto;
extern int32_t Finestra_Aiuto;       // handle of the help viewer window; 0 = none

namespace modello {
// Puts every variable of this header back to its state before start-up.
void reset();
}  // namespace modello

}  // namespace kyx
