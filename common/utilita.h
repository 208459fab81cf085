#pragma once
// Small shared operations used all over the program: text of a database value, a minimum, colour
// conversions, the count of header lines of the result columns and the write test of a folder.
#include <cstdint>
#include <string>
#include <string_view>

namespace kyx {

// A database value as text without trailing blanks; an empty result becomes one blank " ", so
// that a grid cell or a tree node never gets an empty text. Numbers are written as BASIC turns
// them into text (the locale's decimal separator). A Null value counts as empty text.
std::string Testo_Non_Vuoto(std::string_view Valore);
std::string Testo_Non_Vuoto(double Valore);
std::string Testo_Non_Vuoto(int64_t Valore);
inline std::string Testo_Non_Vuoto(int32_t Valore) { return Testo_Non_Vuoto(int64_t{Valore}); }
inline std::string Testo_Non_Vuoto(const char* Valore) {
  return Testo_Non_Vuoto(std::string_view(Valore ? Valore : ""));
}
inline std::string Testo_Non_Vuoto(std::nullptr_t) { return " "; }

int16_t Minimo(int16_t A, int16_t B);

// The largest of the differences of the red, green and blue bytes of two RGB colours (0 .. 255).
int32_t Distanza_Colore(int32_t Colore1, int32_t Colore2);

// An OLE colour as RGB: a system colour (top bit set) is replaced by the current value of system
// colour (Colore And 31); any other value comes back unchanged.
int32_t Colore_Reale(int32_t Colore);

// The colour as six upper-case hexadecimal digits, red, green, blue ("FF0000" for pure red).
std::string Colore_Html(int32_t Colore);

// Righe_Intestazione := the largest number of lines ("|"-separated parts) among the headings
// Col_Intestazione(0 .. Numero_Colonne); at least 1.
void Conta_Righe_Intestazione();

// True when a probe file can be created, written, read back and deleted in the folder (a folder
// text ending with "\", in the system's form). The probe file is removed also when a step after
// its creation fails. `Disco_Pieno`, when given, tells a failure because the disk is full.
bool Verifica_Permessi_Cartella(const std::string& Cartella, bool* Disco_Pieno = nullptr);

}  // namespace kyx
