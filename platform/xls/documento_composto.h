#pragma once
// The compound document (version 3, 512-byte sectors) that carries a workbook's one stream
// "Workbook". The file is laid out as: header; the stream's sectors; the FAT sectors; the DIFAT
// sectors that list the FAT sectors beyond the 109 the header holds; one directory sector. Since
// the layout depends only on the stream's size, the header can be written before the stream and
// the tables after it, so the stream itself goes straight through (see compound_document.md).
#include <cstdint>
#include <string>

namespace kyx::xls {

struct Pianta_Documento {
  uint32_t Dimensione = 0;      // bytes of the stream as the directory states it
  uint32_t Settori_Flusso = 0;  // sectors 0 .. Settori_Flusso - 1
  uint32_t Settori_Fat = 0;     // then the FAT
  uint32_t Settori_Difat = 0;   // then the DIFAT extension (0 up to 109 FAT sectors)
  uint32_t Settore_Directory() const { return Settori_Flusso + Settori_Fat + Settori_Difat; }
};

// The smallest size a stream outside the mini stream may have: a shorter stream is padded with
// zeros up to it, so that no mini stream is needed.
inline constexpr uint32_t kFlusso_Minimo = 4096;

// The layout for a stream of Byte bytes (padded to kFlusso_Minimo and to whole sectors); false
// with Errore when the format cannot hold it (a stream over 2 GB in 512-byte sectors).
bool Pianta(uint64_t Byte, Pianta_Documento& P, std::string& Errore);

// The header sector.
std::string Testata_Documento(const Pianta_Documento& P);
// What follows the stream's last sector: the FAT, the DIFAT sectors and the directory.
std::string Tabelle_Documento(const Pianta_Documento& P);

}  // namespace kyx::xls
