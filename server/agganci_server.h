#pragma once
// Calls from the server link into the layers above it (the main window).
// A library may not link upward, so each is a slot that the owner fills when the program starts;
// an empty slot means the owner is not there, and the caller goes on as each comment says.
#include <functional>

namespace kyx::agganci_server {

// Fine_Programma of the main window's module: saves the settings, closes the databases and ends
// the program. The login sequence calls it when the data-set database cannot be brought in line
// with the new definitions. Empty: nothing runs, and the login ends with False.
extern std::function<void()> Fine_Programma;

// The main window's toolbar and status bar brought in line with Connesso, after the server link
// found the link lost and cleared it. Empty: nothing is redrawn.
extern std::function<void()> Collegamento_Chiuso;

// Empties every slot.
void reset();

}  // namespace kyx::agganci_server
