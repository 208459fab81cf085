#pragma once
// Small helpers of the engine for the definitions tables: a Seek that says whether it found a
// row, and the reading of a field as the procedures assign it to a variable (Null as "" or 0).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/data/recordset.h"
#include "platform/data/table_recordset.h"
#include "platform/data/value.h"

namespace kyx::motore {

// Seek on the first equal key; true when it stands on a row. An empty or closed recordset, or a
// failing Seek, finds nothing.
bool Cerca(data::TableRecordset* Rs, const std::vector<data::Value>& Chiave);

// BOF and EOF together: the table holds no row (a closed recordset counts as empty).
bool Vuota(const data::TableRecordset* Rs);

// The field as text ("" for Null; a number in its plain text form).
std::string Testo(const data::Recordset& Rs, std::string_view Campo);
// The field as a whole number (0 for Null or a text that is no number).
int64_t Numero(const data::Recordset& Rs, std::string_view Campo);

// A number as at least `cifre` digits with leading zeros (Format(n, "000")).
std::string Cifre(int64_t n, int cifre);

}  // namespace kyx::motore
