#pragma once
// Reading the fixed-length records of the download work files (KYX_E.DAT, KYX_K.DAT, ...): the
// record lengths and field positions (from 0) of each file, and a small reader of Byte, Integer
// and Long fields (little-endian) and of text fields (Windows-1252, blank-padded).
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace kyx::lavoro {

// Record lengths.
inline constexpr std::size_t kSistemi = 199;
inline constexpr std::size_t kChiavi = 330;
inline constexpr std::size_t kValori = 3;
inline constexpr std::size_t kAree = 48;
inline constexpr std::size_t kFiltro_Utente = 1027;
inline constexpr std::size_t kStruttura_Utente = 34;
inline constexpr std::size_t kLayout = 520;
inline constexpr std::size_t kLayout_Elemento = 1916;
inline constexpr std::size_t kDrill = 281;

// Length of the user filter value and of a layout element's filter value.
inline constexpr std::size_t kValore_Filtro_Utente = 1024;
inline constexpr std::size_t kValore_Filtro_Elemento = 60;
// Filter sub-records of a layout element: where they start, how many, how long.
inline constexpr std::size_t kInizio_Filtri_Elemento = 316;
inline constexpr int kFiltri_Elemento = 25;
inline constexpr std::size_t kFiltro_Elemento = 64;

class Record {
 public:
  explicit Record(const std::string& Dati) : d_(Dati) {}
  uint8_t Byte(std::size_t At) const { return At < d_.size() ? static_cast<uint8_t>(d_[At]) : 0; }
  int16_t Intero(std::size_t At) const { return static_cast<int16_t>(Byte(At) | (Byte(At + 1) << 8)); }
  int32_t Lungo(std::size_t At) const {
    return static_cast<int32_t>(static_cast<uint32_t>(Byte(At)) | (static_cast<uint32_t>(Byte(At + 1)) << 8) |
                                (static_cast<uint32_t>(Byte(At + 2)) << 16) | (static_cast<uint32_t>(Byte(At + 3)) << 24));
  }
  // The field's characters as stored, trailing blanks included.
  std::string Testo(std::size_t At, std::size_t Lunghezza) const {
    if (At >= d_.size()) return std::string();
    return d_.substr(At, Lunghezza);
  }

 private:
  const std::string& d_;
};

}  // namespace kyx::lavoro
