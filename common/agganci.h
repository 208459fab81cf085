#pragma once
// Calls from the Foundation into subsystems built above it. A library may not link upward, so
// each of these is a slot that the owning subsystem fills when the program starts (the main
// window's module, the login dialog, the printer layer). An empty slot means the subsystem is not
// there: the caller then goes on as if the call did nothing (see each comment).
#include <cstdint>
#include <functional>
#include <string>

namespace kyx::agganci {

// Common-controls set-up of the main window's module; Main ignores the result.
extern std::function<bool()> XPStyle_Inizializza;

// frmPassword.Carica: opens the login dialog (1 = opened at start-up, 2 = from the main window).
extern std::function<void(int32_t& Modo)> frmPassword_Carica;

// Printer layer wrappers used to measure the grid font:
// a GDI font with face, height (negative = character height in pixels), width, weight, italic
// flag and escapement; 0 when the system refuses.
extern std::function<int32_t(const std::string& Nome, int32_t Altezza, int32_t Larghezza,
                             int32_t Peso, uint8_t Corsivo, int32_t Inclinazione)>
    Stampanti_Crea_Font;
// Selects an object into a device context and returns the object selected before.
extern std::function<int32_t(int32_t hDC, int32_t Oggetto)> Stampanti_Seleziona;
// Width of a text in the context's current font, in device units; -1 when the call fails.
extern std::function<int32_t(int32_t hDC, const std::string& Testo)> Stampanti_Larghezza_Testo;
// Deletes a GDI object.
extern std::function<int32_t(int32_t Oggetto)> Stampanti_Elimina_Oggetto;

// Sets the tooltip of the main window's toolbar button "Stampa".
extern std::function<void(const std::string& Testo)> Tooltip_Stampa;

// Empties every slot.
void reset();

}  // namespace kyx::agganci
