#pragma once
// Display of key codes and checks of typed periods.
//
// Every element of the data is identified, per key, by a code stored as text. How a code is shown
// depends on the key's type attribute ATTR, its display format FORMATO and its description key,
// taken from the keys table CHIAVI or from the column and level model of the current elaboration:
//   "1" coded key with descriptions   "2" plain text          "3" plain number
//   "A" day yyyymmdd                  "B" month yyyymm        "C" week yyyyss
//   "D" fortnight yyyyqq              "E" ten days yyyydd     "F" month+fortnight yyyymmq
//   "G" month+ten days yyyymmd        "H" two months yyyyb    "I" quarter yyyyt
//   "J" four months yyyyq             "K" half-year yyyys
// A period code made of zeros only stands for no period and shows as "0".
#include <cstdint>
#include <string>

namespace kyx {

// The display text of a stored code.
//   Chiave       key number, used when Colonna < 0 (its attributes come from CHIAVI);
//   Codice       the stored code;
//   Modo         0 = show the code, 1..16 = show description field Modo of the code;
//   Colonna      result column 0..255 whose attributes apply, negative for none;
//   Chiave_Riga  the row key of the result table: its 7th character is the row kind ("2", "3",
//                "4") and its 8th the row level digit.
// Never fails: a step that cannot be done (a missing row, a Null field, a value that does not
// convert) is skipped and the text obtained so far is returned.
std::string Formatta_Valore(int16_t Chiave, const std::string& Codice, int32_t Modo, int16_t Colonna,
                            const std::string& Chiave_Riga);

// Checks a value typed for a key of type Attributo. On success rewrites Testo in its display form,
// sets Codice to the stored code and returns true; Messaggio is cleared first and holds the reason
// on failure.
bool Verifica_Periodo(std::string& Testo, const std::string& Attributo, const std::string& Formato,
                      std::string& Codice, std::string& Messaggio);

// Applies a "#MID(a,b)#" format: the b characters of Valore from position a. Any other format, or
// a slice that does not lie inside Valore, gives Valore unchanged.
std::string Formato_Mid(const std::string& Formato, const std::string& Valore);

// The title (field TESTO, without trailing blanks) of key Chiave of information system Sistema;
// "" when the key is not in CHIAVI.
std::string Leggi_Descrizione(const std::string& Sistema, int16_t Chiave);

// A typed date "dd/mm/yyyy" (years 1980..2999; the separators are not checked).
bool Data_Valida(const std::string& Testo);
// A typed time "hh:mm:ss".
bool Ora_Valida(const std::string& Testo);

namespace formatta_valore {
// Forgets the attributes that Formatta_Valore keeps of the last key it looked up.
void reset();
}  // namespace formatta_valore

}  // namespace kyx
