#pragma once
// Reading and writing the settings file KYX.INI (File_Ini) by the rules every section shares:
// values are text read through a 255-character buffer (254 characters at most), flags are "S"/"N",
// numbers are tested as numbers before they are taken, folders that begin with a single "\" lie
// under the program folder, colours are stored as pairs of eight-digit numbers.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ini/ini_file.h"

namespace kyx {

// The value of a key of File_Ini, or `Predefinito` when the file, section or key is missing.
std::string Leggi_Ini(std::string_view Sezione, std::string_view Chiave,
                      std::string_view Predefinito);
// Writes a key of File_Ini; false when the file cannot be written. The file is kept private to
// its owner: it holds the scrambled connection blocks.
bool Scrivi_Ini(std::string_view Sezione, std::string_view Chiave, std::string_view Valore);
// Writes many keys of File_Ini at once (one rewrite of the file, kept private as above): all of
// them or, when one is refused or the file cannot be written, none.
bool Scrivi_Ini_Tutte(const std::vector<ini::IniEntry>& Valori);

// A flag is on exactly when the stored text is "S" (case-sensitive; "s", " S", "Si" are off).
inline bool Valore_Flag(std::string_view Testo) { return Testo == "S"; }

// A whole number as the settings store it: recognised with the locale's number rules, taken with
// "." as decimal point and rounded half to even. Empty when the text is not a number or the
// number does not fit a 32-bit whole number (the caller then takes the key's default).
std::optional<int32_t> Valore_Intero(std::string_view Testo);

// A number with decimals written with the locale's separator (0008,25): every
// Separatore_Decimale is read as "." before the value is taken. Empty when not a number.
std::optional<double> Valore_Decimale(std::string_view Testo);

// A folder text: one leading "\" not followed by another means "under the program folder"
// (Cartella_Programma & the rest); anything else (a drive path, a network share "\\server\",
// a Linux path) is used unchanged.
std::string Valore_Cartella(std::string_view Testo);

// A colour pair "ffffffff-bbbbbbbb" (17 characters): any other length gives foreground 0 and
// background &HFFFFFF; a part that is not a number gives 0 (foreground) or &HFFFFFF (background).
void Valore_Colori(std::string_view Testo, int32_t& Primo_Piano, int32_t& Sfondo);

// Format(Valore, "000..."): the number with at least `Cifre` digits, zeros in front, "-" before a
// negative number. Section names of the profiles ("001") and colour pairs are written so.
std::string Numero_Cifre(int64_t Valore, int Cifre);

}  // namespace kyx
