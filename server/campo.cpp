// Field decoding of the record buffer (Campo, Campo_P17_3).
#include "server/campo.h"

#include <array>

#include "platform/vb/vb.h"
#include "server/socket.h"

namespace kyx {
namespace {

// True when the field lies inside Buffer_Record.
bool Nel_Buffer(int32_t Inizio, int32_t Lunghezza) {
  return Inizio >= 1 && Lunghezza >= 1 &&
         static_cast<int64_t>(Inizio) - 1 + Lunghezza <= static_cast<int64_t>(Buffer_Record.size());
}

uint8_t Byte_Di(int32_t Posizione) { return Buffer_Record[static_cast<std::size_t>(Posizione - 1)]; }

// The server signs its numbers with F (positive) and D (negative). Of the other sign half-bytes
// of the zoned and packed formats, B is the alternative negative and A, C, E the alternative
// positives: reading every sign but F as negative would show a C-signed positive as a loss.
bool Segno_Negativo(uint8_t Mezzo_Byte) { return Mezzo_Byte == 0xB || Mezzo_Byte == 0xD; }

// The two characters of a packed byte. Tabella_Packed covers the valid bytes; a high half-byte
// above 9 (never sent by the server) shows as the character after "9" that it stands for, as
// zoned digits do, so the field keeps its width and Val stops there.
void Aggiungi_Packed(std::string& Testo, uint8_t b) {
  if (b < Tabella_Packed.size() && Tabella_Packed[b].size() == 2) {
    Testo += Tabella_Packed[b];
    return;
  }
  const int Alto = b >> 4, Basso = b & 15;
  Testo += static_cast<char>('0' + Alto);
  Testo += Basso <= 9 ? static_cast<char>('0' + Basso) : ' ';
}

std::string Testo_A(int32_t Inizio, int32_t Lunghezza) {
  std::string Testo(static_cast<std::size_t>(Lunghezza), ' ');
  for (int32_t k = 0; k < Lunghezza; ++k) {
    const uint8_t b = Byte_Di(Inizio + k);
    // A NUL byte would cut the text short wherever it is passed on: it shows as "Ø".
    Testo[static_cast<std::size_t>(k)] = b != 0 ? static_cast<char>(Tabella_Caratteri[b]) : '\xD8';
  }
  return Testo;
}

std::string Testo_S(int32_t Inizio, int32_t Lunghezza, int32_t Decimali) {
  std::string Testo;
  Testo.reserve(static_cast<std::size_t>(Lunghezza) + 2);
  // The low half-byte as a digit; 10..15 give the characters after "9", unchecked.
  for (int32_t k = 0; k < Lunghezza; ++k) Testo += static_cast<char>(48 + (Byte_Di(Inizio + k) & 15));
  if (Decimali > 0 && Decimali <= Lunghezza) {
    Testo.insert(static_cast<std::size_t>(Lunghezza - Decimali), 1, '.');
  }
  if (Segno_Negativo(Byte_Di(Inizio + Lunghezza - 1) >> 4)) Testo.insert(0, 1, '-');
  return Testo;
}

std::string Testo_P(int32_t Inizio, int32_t Lunghezza, int32_t Decimali) {
  std::string Testo;
  Testo.reserve(2 * static_cast<std::size_t>(Lunghezza) + 2);
  for (int32_t k = 0; k < Lunghezza; ++k) Aggiungi_Packed(Testo, Byte_Di(Inizio + k));
  // m digit positions; the last character is the blank of the sign half-byte. More decimals
  // than digits cannot be placed: no point then, as for zoned numbers.
  const int32_t m = 2 * Lunghezza - 1;
  if (Decimali > 0 && Decimali <= m) Testo.insert(static_cast<std::size_t>(m - Decimali), 1, '.');
  if (Segno_Negativo(Byte_Di(Inizio + Lunghezza - 1) & 15)) Testo.insert(0, 1, '-');
  return Testo;
}

std::string Testo_B(int32_t Inizio, int32_t Lunghezza) {
  // The callers use 1 and 2 bytes; wider fields are summed modulo 2^64.
  uint64_t Valore = 0;
  for (int32_t k = 0; k < Lunghezza; ++k) Valore = (Valore << 8) | Byte_Di(Inizio + k);
  return std::to_string(Valore);
}

}  // namespace

std::string Campo(const std::string& Tipo, int32_t Inizio, int32_t Lunghezza, int32_t /*Larghezza*/,
                  int32_t Decimali) {
  if (Tipo.size() != 1 || !Nel_Buffer(Inizio, Lunghezza)) return "";
  switch (Tipo[0]) {
    case 'A':
      return Testo_A(Inizio, Lunghezza);
    case 'S':
      return Testo_S(Inizio, Lunghezza, Decimali);
    case 'P':
      return Testo_P(Inizio, Lunghezza, Decimali);
    case 'B':
      return Testo_B(Inizio, Lunghezza);
    default:
      return "";
  }
}

std::string Campo_P17_3(int32_t Inizio, const std::string& Separatore) {
  if (!Nel_Buffer(Inizio, 9)) return "";
  std::string Testo;
  Testo.reserve(20);
  Testo += Segno_Negativo(Byte_Di(Inizio + 8) & 15) ? '-' : ' ';
  for (int32_t k = 0; k < 7; ++k) Aggiungi_Packed(Testo, Byte_Di(Inizio + k));
  Testo += Separatore.empty() ? ' ' : Separatore[0];
  Aggiungi_Packed(Testo, Byte_Di(Inizio + 7));
  Aggiungi_Packed(Testo, Byte_Di(Inizio + 8));
  return Testo;
}

namespace {

// The value 0..99 of a packed byte of two digits; 0xFF for a byte with a half-byte above 9.
const std::array<uint8_t, 256> Cifre_Packed = [] {
  std::array<uint8_t, 256> t{};
  for (int b = 0; b < 256; ++b) t[b] = (b >> 4) <= 9 && (b & 15) <= 9 ? static_cast<uint8_t>((b >> 4) * 10 + (b & 15)) : 0xFF;
  return t;
}();

}  // namespace

double Valore_P17_3(int32_t Inizio) {
  if (!Nel_Buffer(Inizio, 9)) return 0.0;
  const uint8_t* b = Buffer_Record.data() + (Inizio - 1);
  // Sixteen digits two by two; a byte that is not two digits sets the high bit of Non_Cifre.
  int64_t n = 0;
  uint8_t Non_Cifre = 0;
  for (int k = 0; k < 8; ++k) {
    const uint8_t c = Cifre_Packed[b[k]];
    Non_Cifre |= c;
    n = n * 100 + c;
  }
  const int Ultima = b[8] >> 4, Segno = b[8] & 15;
  // Up to 2^53 the integer is exact, and so is its quotient by 1000 correctly rounded, as the
  // text's conversion is; larger numbers are read from the text.
  constexpr int64_t kEsatto = int64_t{1} << 53;
  if ((Non_Cifre & 0x80) || Ultima > 9 || Segno <= 9) return vb::Val(Campo_P17_3(Inizio, "."));
  n = n * 10 + Ultima;
  if (n > kEsatto) return vb::Val(Campo_P17_3(Inizio, "."));
  const double Valore = static_cast<double>(n) / 1000.0;
  // Val gives no negative zero.
  return Segno_Negativo(static_cast<uint8_t>(Segno)) && n != 0 ? -Valore : Valore;
}

bool Numero_Valido(char Tipo, int32_t Inizio, int32_t Lunghezza) {
  if (!Nel_Buffer(Inizio, Lunghezza)) return false;
  switch (Tipo) {
    case 'S':
      for (int32_t k = 0; k < Lunghezza; ++k)
        if ((Byte_Di(Inizio + k) & 15) > 9) return false;
      return true;
    case 'P':
      for (int32_t k = 0; k < Lunghezza; ++k) {
        const uint8_t b = Byte_Di(Inizio + k);
        if ((b >> 4) > 9) return false;
        const bool Ultimo = k == Lunghezza - 1;
        if (Ultimo ? (b & 15) <= 9 : (b & 15) > 9) return false;
      }
      return true;
    case 'B':
      return true;
    default:
      return false;
  }
}

}  // namespace kyx
