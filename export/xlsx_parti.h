#pragma once
// The parts of the XLSX package that do not depend on the data: content types, relationships,
// document properties, the workbook and the styles.
#include <string>
#include <string_view>
#include <vector>

#include "platform/zip/zip_writer.h"

namespace kyx {

// The first line of every part, with its CR LF.
inline constexpr const char* XLSX_Dichiarazione = "<?xml version='1.0' encoding='UTF-8' standalone='yes'?>\r\n";

// Starts the entry `Nome` on the archive with the declaration line.
bool XLSX_Apri_Parte(zip::ZipWriter& Zip, std::string_view Nome);

// The seven parts before the worksheet, in the package's order, `Stili` being the styles part's
// element. False when a write failed.
bool XLSX_Parti_Fisse(zip::ZipWriter& Zip, const std::string& Stili);

}  // namespace kyx
