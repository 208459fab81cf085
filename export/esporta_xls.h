#pragma once
#include <string>

namespace kyx {

// The two workbook writers: an Excel 97 workbook (Esporta_XLS) and an Office Open XML workbook
// (Esporta_XLSX), each into File.
void Esporta_XLS(std::string& File);
void Esporta_XLSX(std::string& File);

}  // namespace kyx
