// The compound document around one stream: header, FAT, DIFAT and directory.
#include "platform/xls/documento_composto.h"

#include <algorithm>

namespace kyx::xls {
namespace {

constexpr uint32_t kSettore = 512;
constexpr uint32_t kVoci_Settore = kSettore / 4;       // sector numbers in a FAT sector
constexpr uint32_t kVoci_Testata = 109;                // FAT sector numbers in the header
constexpr uint32_t kVoci_Difat = kVoci_Settore - 1;    // in a DIFAT sector, whose last is the next one
constexpr uint32_t kDifsect = 0xFFFFFFFC, kFatsect = 0xFFFFFFFD, kFine = 0xFFFFFFFE, kLibero = 0xFFFFFFFF;
// A version 3 stream may not exceed 2 GB.
constexpr uint64_t kFlusso_Massimo = 0x80000000ull;

void U8(std::string& b, uint32_t v) { b.push_back(static_cast<char>(v & 0xFF)); }
void U16(std::string& b, uint32_t v) { U8(b, v); U8(b, v >> 8); }
void U32(std::string& b, uint32_t v) { U16(b, v & 0xFFFF); U16(b, v >> 16); }

uint32_t Su(uint64_t a, uint64_t b) { return static_cast<uint32_t>((a + b - 1) / b); }

// A directory entry of 128 bytes: name, type, red-black colour (black), siblings, child, start
// sector and size.
void Voce(std::string& d, const std::u16string& nome, uint8_t tipo, uint32_t figlio, uint32_t inizio, uint32_t dim) {
  const size_t base = d.size();
  for (char16_t ch : nome) U16(d, ch);
  d.resize(base + 64, '\0');
  U16(d, nome.empty() ? 0 : static_cast<uint32_t>((nome.size() + 1) * 2));
  U8(d, tipo);
  U8(d, 1);
  U32(d, kLibero);
  U32(d, kLibero);
  U32(d, figlio);
  d.append(16 + 4 + 16, '\0');  // class id, state bits, creation and modification times
  U32(d, inizio);
  U32(d, dim);
  U32(d, 0);
}

}  // namespace

bool Pianta(uint64_t Byte, Pianta_Documento& P, std::string& Errore) {
  const uint64_t dimensione = std::max<uint64_t>(Byte, kFlusso_Minimo);
  if (dimensione > kFlusso_Massimo) {
    Errore = "cartella di lavoro troppo grande";
    return false;
  }
  P = {};
  P.Dimensione = Su(dimensione, kSettore) * kSettore;
  P.Settori_Flusso = P.Dimensione / kSettore;
  // The FAT covers every sector, its own and the DIFAT's included; both grow with each other.
  uint32_t fat = 1, difat = 0;
  for (;;) {
    const uint32_t serve_fat = Su(uint64_t{P.Settori_Flusso} + fat + difat + 1, kVoci_Settore);
    const uint32_t serve_difat = serve_fat > kVoci_Testata ? Su(serve_fat - kVoci_Testata, kVoci_Difat) : 0;
    if (serve_fat == fat && serve_difat == difat) break;
    fat = serve_fat;
    difat = serve_difat;
  }
  P.Settori_Fat = fat;
  P.Settori_Difat = difat;
  return true;
}

std::string Testata_Documento(const Pianta_Documento& P) {
  std::string h;
  h.reserve(kSettore);
  h.append("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
  h.append(16, '\0');
  U16(h, 0x3E);    // minor version
  U16(h, 3);       // major version
  U16(h, 0xFFFE);  // little-endian
  U16(h, 9);       // 512-byte sectors
  U16(h, 6);       // 64-byte mini sectors
  h.append(6, '\0');
  U32(h, 0);  // directory sectors: not counted in version 3
  U32(h, P.Settori_Fat);
  U32(h, P.Settore_Directory());
  U32(h, 0);
  U32(h, kFlusso_Minimo);  // mini stream cutoff
  U32(h, kFine);           // no mini FAT
  U32(h, 0);
  const uint32_t primo_fat = P.Settori_Flusso;
  U32(h, P.Settori_Difat ? primo_fat + P.Settori_Fat : kFine);
  U32(h, P.Settori_Difat);
  for (uint32_t i = 0; i < kVoci_Testata; ++i) U32(h, i < P.Settori_Fat ? primo_fat + i : kLibero);
  return h;
}

std::string Tabelle_Documento(const Pianta_Documento& P) {
  const uint32_t primo_fat = P.Settori_Flusso, primo_difat = primo_fat + P.Settori_Fat;
  std::string t;
  t.reserve((uint64_t{P.Settori_Fat} + P.Settori_Difat + 1) * kSettore);
  // The FAT: the stream's chain, the FAT's and DIFAT's own sectors, the directory's end.
  for (uint32_t i = 0; i < P.Settori_Flusso; ++i) U32(t, i + 1 < P.Settori_Flusso ? i + 1 : kFine);
  for (uint32_t i = 0; i < P.Settori_Fat; ++i) U32(t, kFatsect);
  for (uint32_t i = 0; i < P.Settori_Difat; ++i) U32(t, kDifsect);
  U32(t, kFine);
  t.resize(uint64_t{P.Settori_Fat} * kSettore, '\xFF');
  // The DIFAT: the FAT sectors after the header's 109, 127 a sector, each sector ending with the
  // next one's number.
  for (uint32_t s = 0; s < P.Settori_Difat; ++s) {
    for (uint32_t k = 0; k < kVoci_Difat; ++k) {
      const uint64_t n = kVoci_Testata + uint64_t{s} * kVoci_Difat + k;
      U32(t, n < P.Settori_Fat ? primo_fat + static_cast<uint32_t>(n) : kLibero);
    }
    U32(t, s + 1 < P.Settori_Difat ? primo_difat + s + 1 : kFine);
  }
  // The directory: the root storage, the stream, two unused entries.
  Voce(t, u"Root Entry", 5, 1, kFine, 0);
  Voce(t, u"Workbook", 2, kLibero, 0, P.Dimensione);
  Voce(t, u"", 0, kLibero, 0, 0);
  Voce(t, u"", 0, kLibero, 0, 0);
  return t;
}

}  // namespace kyx::xls
