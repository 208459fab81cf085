#pragma once
// The definition images as the login reads them, whichever way they come: the login's own
// downloads write them as work files of the data folder, and the replication program Kyx_R (and
// our tool kyx-sqlmaster) stores the same images as rows of KYX_MASTER, which the login through
// the master database extracts into those work files. One decoder per image turns a wire record
// of the data server's file into the local record (layouts in WORK_FILES.md), so that every path
// writes the same bytes.
//
// A decoder reads the wire record whose first byte is at record-buffer position Base + 1 of the
// last reply (blocchi::Vista_Wire, blocchi::Binario_Wire) into a record cleared to NUL bytes; it
// returns false for a record that is read but not kept.
#include <cstddef>
#include <cstdint>
#include <string>

#include "server/blocchi.h"

namespace kyx::immagini {

enum class Immagine {
  kAree,              // KYX_A.DAT,     row "A "
  kChiavi,            // KYX_K.DAT,     row "K " (keys of one system)
  kSistemi,           // KYX_E.DAT,     row "E "
  kValori,            // KYX_V.DAT,     row "V " (values of one system)
  kLayout,            // KYX_L.DAT,     row "L "
  kLayout_Elementi,   // KYX_L_###.DAT, row "L_" + layout number
  kDrill,             // KYX_D_###.DAT, row "D_" + layout number
  kFiltro_Utente,     // KYX_UF.DAT,    row "UF" + user
  kStruttura_Utente,  // KYX_UA.DAT,    row "UA" + user
};

// Where an image lies in the server's file and how long its records are.
struct Formato {
  int32_t Offset;                // byte offset of the first wire record
  int32_t Record_Totali;         // wire records at most
  int32_t Per_Blocco;            // records asked for at a time
  int32_t Lunghezza_Wire;        // bytes of one wire record
  int32_t Fine;                  // position of the end-mark byte ("A"); 0 = none
  std::size_t Lunghezza_Locale;  // bytes of one local record
};

const Formato& Formato_Di(Immagine I);

// A decoder for one download of the image. The user structure's remembers whether the first
// record carried the release this program reads: a fresh one is needed for every download.
blocchi::Decodifica Decodificatore(Immagine I);

// The number of the layout whose wire record is at Base (not part of the local record): the
// last one tells how many per-layout images there are.
int64_t Numero_Layout_Wire(int32_t Base);

// The 22-character key of a KYX_MASTER row: system (10), type (2), name (10), each blank-padded
// and cut to its width.
std::string Chiave_Master(const std::string& Sistema, const std::string& Tipo, const std::string& Nome);

// The systems list names, for each system, the database that holds its keys and values. A
// system the server names none for is given `Database`, the database the image is written to:
// the login would otherwise look for its keys in the server's default database.
void Database_Sistemi(std::string& Immagine_Sistemi, const std::string& Database);

}  // namespace kyx::immagini
