#pragma once
// The login and download sequence: connects to the source of the current profile, logs the user
// in, downloads and loads the definitions of every information system, updates the descriptions
// and checks the data-set database against the new definitions.
#include <cstdint>
#include <string>

namespace kyx {

// True: logged in, definitions and descriptions downloaded and loaded, data-set database checked;
// on the data-server path socket 1 stays open for the later requests. False: the sequence stopped
// (its messages already shown, or none: a connection that cannot be made, a greeting or login
// reply that does not come). hWnd is the main window's handle, handed to Sock_Connect.
bool Collegamento_Server(int32_t& hWnd);

// Closes socket 1, lets pending window events run once and returns False for Connesso. Sends
// nothing and shows nothing.
bool Disconnetti();

// The 91-character login request built from the profile and socket 1 (user, password with "^"
// as blanks, "-KYX-", the system, the local address, port and host name, the system again).
std::string Richiesta_Login();

// Deletes the work files of the definition downloads from the data folder: the fixed names and
// the per-layout files KYX_L_###.DAT and KYX_D_###.DAT. Nothing else of the folder is touched
// (the history and favourites folders may be the data folder itself).
void Elimina_File_Lavoro();

}  // namespace kyx
