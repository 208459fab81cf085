#pragma once
// The last step of the XLSX export: the workbook is put in place under the target name and opened
// with the spreadsheet application the desktop associates with it.
#include <string>

namespace kyx {

// Packs the contents of `Cartella` into the zip archive `File` and opens it. The archive is built
// beside File and renamed over it only when whole, so a failure leaves an existing File as it was.
// False without a message when the folder is missing or the last "." of File stands before its
// fifth character (nothing written then); False after the critical box "Non è possibile
// preparare il file" CR LF File when the archive cannot be made or opened.
bool Zip_Cartella(const std::string& Cartella, const std::string& File);

// What follows the writing of a workbook: when `Scritto` (the workbook is whole under File) it is
// opened; otherwise, or when it cannot be opened, the critical box "Non è possibile preparare il
// file" CR LF File, followed by CR LF and `Motivo` when one is given. True when the workbook was
// written and opened.
bool Apri_Cartella_Lavoro(bool Scritto, const std::string& File, const std::string& Motivo = "");

}  // namespace kyx
