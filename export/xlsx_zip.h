#pragma once
// The last step of the XLSX export: the work folder becomes the workbook file, which is then
// opened with the spreadsheet application the desktop associates with it.
#include <string>

namespace kyx {

// Packs the contents of `Cartella` into the zip archive next to `File` (File up to its last "."
// followed by ".zip"), checks that the archive holds every top-level item of the folder, moves it
// to the name `File` and opens it. False without a message when the folder is missing or the last
// "." of File stands before its fifth character (nothing deleted or written then); False after the
// critical box "Non è possibile preparare il file" CR LF File when the archive cannot be made
// whole, moved or opened. An existing archive of that name and an existing File are deleted
// first, so a failure leaves no stale workbook under the target name.
bool Zip_Cartella(const std::string& Cartella, const std::string& File);

}  // namespace kyx
