#pragma once
// Start-up of the main program.
#include <string>

namespace kyx {

// The entry point: initialises the common controls, fixes the program folder and the paths of the
// program's own files, learns the locale's decimal separator, keeps the command line
// (`Argomenti`: the arguments without the program's name), reads the options of section "OPZ"
// and the optional title and contact file KYX.KYX, then opens the login dialog with mode 1.
// Returns when the login dialog's call returns. A KYX.INI that exists but cannot be read (not a
// regular file, no permission) is reported with a message and no dialog is opened.
void Main(const std::string& Argomenti);

}  // namespace kyx
