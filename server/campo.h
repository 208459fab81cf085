#pragma once
// Field decoding of the record buffer: every reply of the data server is a fixed-layout record
// in the server's code (text through the code table, numbers as zoned decimal, packed decimal or
// unsigned binary). Both operations cut one field out of Buffer_Record (position 1 is index 0)
// and return it as display text, with "." as decimal point and a leading "-" for negatives.
// Neither touches the network.
#include <cstdint>
#include <string>

namespace kyx {

// Decodes `Lunghezza` bytes from position `Inizio`, by `Tipo`:
//   "A" text: each byte through Tabella_Caratteri, byte 0 as "Ø"; exactly Lunghezza characters,
//       untrimmed (Decimali ignored);
//   "S" zoned: one digit per byte (its low half-byte), a "." before the last Decimali digits when
//       0 < Decimali <= Lunghezza, "-" in front when the high half-byte of the last byte is a
//       negative sign;
//   "P" packed: two digits per byte, the last half-byte the sign (shown as a blank), a "." before
//       the last Decimali digits, "-" in front for a negative sign;
//   "B" unsigned binary, most significant byte first, in decimal.
// Any other type, and a field that does not lie inside the record buffer, give "". Larghezza is
// a display width the callers pass; it has no effect.
std::string Campo(const std::string& Tipo, int32_t Inizio, int32_t Lunghezza, int32_t Larghezza,
                  int32_t Decimali);

// The 9-byte packed number (17 digits, 3 decimals) at `Inizio` as exactly 20 characters: sign
// ("-" or blank), 14 digits, the first character of Separatore (a blank when it is empty), 3
// digits, the blank of the sign half-byte; leading zeros kept. "" when the field does not lie
// inside the record buffer.
std::string Campo_P17_3(int32_t Inizio, const std::string& Separatore);

// The same packed number as a value: always equal to vb::Val(Campo_P17_3(Inizio, ".")), without
// building the text when every digit half-byte is a digit, the last half-byte a sign and the
// number small enough to be divided by 1000 exactly rounded (what the server sends); any other
// field goes through the text. 0 when the field does not lie inside the record buffer.
double Valore_P17_3(int32_t Inizio);

// True when `Lunghezza` bytes from position `Inizio` of the record buffer are a number of wire
// type `Tipo`, so that the replies can be checked before anything of them is stored: 'S' every
// byte a zoned digit (low half-byte 0..9); 'P' every half-byte a digit but the last, which is a
// sign (10..15); 'B' always. A field outside the record buffer is no number.
bool Numero_Valido(char Tipo, int32_t Inizio, int32_t Lunghezza);

}  // namespace kyx
