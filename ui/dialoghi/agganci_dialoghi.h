#pragma once
// What the two dialogs call outside themselves that later subsystems own, as slots filled when the
// program starts: the upgrade of old layout files (layouts and favourites) and the handlers of
// the options dialog's slot, folder, colour, font and maintenance controls. An empty slot means
// that subsystem is not there yet: the call does nothing.
//
// The services the main window already exposes as slots (local databases, instance registry,
// printer settings, login and disconnection, trees, header strip, the end of the process) are
// reached through ui/agganci_base.h, so that one replacement serves the window and the dialogs.
#include <functional>
#include <map>
#include <string>

namespace kyx {
class FrmOpzioni;
}

namespace kyx::agganci_dialoghi {

// Converti_Preferiti: rewrites the old positional layout files of a folder tree in keyed form.
extern std::function<void(std::string& Cartella)> Converti_Preferiti;

// Handlers of the options dialog by their event names: "UpDown_UpClick", "UpDown_DownClick",
// "cmdAggiunta_Click", "cmdElimina_Click" (profile slots); "imgCartellaSi_MouseDown",
// "imgDirStorico_MouseDown", "imgDirPref_MouseDown", "imgDirSalva_MouseDown" (folder choice);
// "lblFontDati_Click" (data font); "cmdDescrizioni_Click", "cmdStorico_Click",
// "cmdDettaglio_Click", "cmdPreferiti_Click", "cmdAnnoRiferimento_Click" (maintenance).
extern std::map<std::string, std::function<void(FrmOpzioni& Dialogo)>, std::less<>> Opzioni;

// Mouse release on a colour label (index, BASIC button and shift codes).
extern std::function<void(FrmOpzioni& Dialogo, int Index, int Button, int Shift)>
    lblColoreRiga_MouseUp;
extern std::function<void(FrmOpzioni& Dialogo, int Index, int Button, int Shift)>
    lblColoreLiv_MouseUp;

// Empties every slot.
void reset();

}  // namespace kyx::agganci_dialoghi
