#pragma once
// The main window's services that loading and saving a layout file need, as slots: the layouts
// library lies below the main window and may not call it. The program fills every one at
// start-up (layouts/installa); tests put their own in. The toolbar refresh and the title labels
// are the engine's slots of the same services (engine/agganci_motore.h: Imposta_Bar,
// Imposta_Titolo) and are used from there.
#include <cstdint>
#include <functional>
#include <string>

namespace kyx::agganci_layout {

// Caption of the title label lbl_twE(0): the elaboration's title, saved into its layout file.
extern std::function<std::string()> Titolo_Elaborazione;
// Chiave_Layout, the structure-tree key of the current layout (main window state).
extern std::function<std::string()> Leggi_Chiave_Layout;
extern std::function<void(const std::string& Chiave)> Imposta_Chiave_Layout;
// Marks the layout node Chiave in the structure tree twL (made visible, image "Esegui1", blue
// text; the node marked before goes back to "Esegui" and window text; Nodo_Layout := Chiave).
// False when the tree has no such node (nothing is marked then).
extern std::function<bool(const std::string& Chiave)> Segna_Layout;
// The filter commands of the views on the filter table ("T-" clears every filter, "E+" adds one).
extern std::function<void(int16_t Chiave, const std::string& Valore_1, const std::string& Valore_2,
                          uint8_t Operatore, const std::string& Comando, bool Aggiorna_Albero)>
    Carica_Filtro_Modifica;
// Rebuilds the key and filter tree twF, and the structure tree twL.
extern std::function<void()> Carica_Albero_Chiavi;
extern std::function<void()> Carica_Albero_Struttura;
// frmBase.Ridimensiona: lays the main window out again (the chart may have gone).
extern std::function<void()> Ridimensiona;

// Empties every slot.
void reset();

}  // namespace kyx::agganci_layout
