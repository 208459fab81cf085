#pragma once
// Calls from the server link into the layers above it (the main window, the SQL Server source).
// A library may not link upward, so each is a slot that the owner fills when the program starts;
// an empty slot means the owner is not there, and the caller goes on as each comment says.
#include <functional>
#include <string>

namespace kyx::agganci_server {

// Fine_Programma of the main window's module: saves the settings, closes the databases and ends
// the program. The login sequence calls it when the data-set database cannot be brought in line
// with the new definitions. Empty: nothing runs, and the login ends with False.
extern std::function<void()> Fine_Programma;

// The SQL Server path of the login: reads the security row and every definition from the master
// table KYX_MASTER into the work files, loads them, and updates the descriptions from KYX_DS_00F.
// Returns False when the login is refused or an extraction fails (its message already shown);
// True lets the common end (structure check and clean-up) run. Empty: a profile that names an
// SQL Server database cannot connect, and the login ends with False.
extern std::function<bool()> Collegamento_SQL;

// The SQL Server source of the data-set download: opens Cn_SQL on the named database of the
// profile's server (False when it cannot, nothing shown), and closes it again. Empty: a system
// whose data come from SQL Server cannot be downloaded, and the download says so.
extern std::function<bool(const std::string& Database)> Apri_DB_SQL;
extern std::function<void()> Chiudi_DB_SQL;

// Empties every slot.
void reset();

}  // namespace kyx::agganci_server
