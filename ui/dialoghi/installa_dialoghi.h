#pragma once
// Puts the dialogs into the slots through which the rest of the program opens them: the
// Foundation's frmPassword.Carica (the end of Main), the main window's toolbar key "Opzioni"
// (frmOpzioni.Carica with mode 3), the toolbar key "Preferiti" and Ctrl+P (frmMenuPreferiti.Carica,
// also one of the pop-ups a press on the main window closes), and the login dialog's window,
// whose registry slot the main window takes over. The program calls it once at start; tests after resetting the slots.
namespace kyx {

void Installa_Dialoghi();

}  // namespace kyx
