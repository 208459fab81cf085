#pragma once
// What the two dialogs call outside themselves that later subsystems own, as slots filled when the
// program starts: the upgrade of old layout files (layouts and favourites) and the handlers of
// the two favourites buttons of the options dialog. An empty slot means that subsystem is not
// there yet: the call does nothing.
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

// Handlers of the options dialog that the layout files own, by their event names:
// "cmdPreferiti_Click" and "cmdAnnoRiferimento_Click" (maintenance of the favourites).
extern std::map<std::string, std::function<void(FrmOpzioni& Dialogo)>, std::less<>> Opzioni;

// Empties every slot.
void reset();

}  // namespace kyx::agganci_dialoghi
