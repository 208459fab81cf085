#pragma once
// The columns of a system's value table in KYX_2.MDB, shared by its creation and the structure
// check: "K_" & key number (3 digits) for each key of kind "K", "A" or "D", "V_" & value number
// (3 digits) & "_" & element (2 digits) for each element of each value.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/data/field.h"
#include "platform/data/status.h"

namespace kyx::mdb2 {

// Only keys of these kinds (upper case, exactly) have a column in the value table.
bool Tipo_Chiave_Con_Colonna(std::string_view Tipo);
std::string Nome_Colonna_Chiave(int64_t Chiave);
std::string Nome_Colonna_Valore(int64_t Valore, int64_t Elemento);

// Appends the key and value columns of `Sistema` (walking Rs_Chiavi and Rs_Valori from a Seek on
// the code), after the IDX column the caller put first.
data::Status Colonne_Sistema(const std::string& Sistema, std::vector<data::FieldInfo>* Colonne);

}  // namespace kyx::mdb2
