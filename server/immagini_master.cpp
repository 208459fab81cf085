// The decoders of the definition images, one per server file, and the formats they read.
#include "server/immagini_master.h"

#include <array>
#include <memory>

#include "platform/text/cp1252.h"
#include "platform/vb/vb.h"

namespace kyx::immagini {

namespace {

using blocchi::Binario_Wire;
using blocchi::Record_Locale;
using blocchi::Vista_Wire;

// Release of the user structure that the login reads.
constexpr std::string_view kRilascio_Struttura = "{Rel.6.0.18}";

constexpr std::size_t kRecord_Sistema = 199;
constexpr std::size_t kDatabase_Sistema = 21, kLarghezza_Database = 50;  // DBSQL in a KYX_E.DAT record

constexpr std::array<Formato, 9> kFormati{{
    {106752, 32, 127, 64, 64, 48},    // areas
    {256, 128, 21, 384, 384, 330},    // keys
    // Always the 64 records of the list: it has no end mark.
    {289664, 64, 21, 384, 0, kRecord_Sistema},  // systems
    {49408, 256, 127, 64, 64, 3},     // values
    {108800, 256, 14, 576, 576, 520}, // layouts
    // The end mark is the last byte of the 320-byte element part, ahead of the 25 filters.
    {80, 128, 3, 2320, 320, 1916},    // layout elements
    {0, 1024, 25, 320, 320, 281},     // drill rows
    {0, 128, 127, 64, 64, 1027},      // user filter
    // One block of 161 records; no end mark.
    {8192, 161, 227, 36, 0, 34},      // user structure
}};

bool Aree(int32_t b, Record_Locale& R) {
  R.Testo(0, 3, Vista_Wire(b, 3, 3));     // AREA
  R.Testo(3, 40, Vista_Wire(b, 6, 40));   // DESC
  R.Testo(43, 5, Vista_Wire(b, 46, 5));   // ORDINA
  return true;
}

bool Chiavi(int32_t b, Record_Locale& R) {
  R.Byte(0, Binario_Wire(b, 1));          // IDX
  R.Byte(1, Binario_Wire(b, 3));          // LUN
  R.Testo(2, 40, Vista_Wire(b, 9, 40));   // TESTO
  for (int k = 0; k < 4; ++k) R.Testo(42 + k, 1, Vista_Wire(b, 94 + k, 1));  // TOT_1..4
  for (int k = 0; k < 12; ++k) R.Testo(46 + 20 * k, 20, Vista_Wire(b, 98 + 20 * k, 20));  // TI_01..12
  // The local order of the next five differs from the wire order.
  R.Testo(286, 5, Vista_Wire(b, 342, 5));  // ORDINA
  R.Byte(291, Binario_Wire(b, 347));       // KEY_D
  R.Testo(292, 1, Vista_Wire(b, 349, 1));  // VIS
  R.Testo(293, 1, Vista_Wire(b, 350, 1));  // KINDB
  R.Testo(294, 3, Vista_Wire(b, 339, 3));  // AREA_1
  for (int k = 0; k < 4; ++k) R.Testo(297 + 3 * k, 3, Vista_Wire(b, 351 + 3 * k, 3));  // AREA_2..5
  R.Testo(309, 1, Vista_Wire(b, 363, 1));   // ATTR
  R.Testo(310, 20, Vista_Wire(b, 364, 20)); // FORMATO
  return true;
}

bool Sistemi(int32_t b, Record_Locale& R) {
  // A slot of the list is in use when its last byte is a blank, and worth keeping when it names a
  // system that shares at least one key.
  if (Vista_Wire(b, 384, 1) != " ") return false;
  const std::string_view Codice = Vista_Wire(b, 3, 10);
  R.Byte(0, Binario_Wire(b, 1));            // IDX
  R.Testo(1, 10, Codice);                   // SINF, as received
  R.Testo(11, 10, Vista_Wire(b, 13, 10));   // LIBS1
  R.Testo(21, 50, Vista_Wire(b, 23, 50));   // DBSQL
  bool Mappa = false;
  for (int k = 1; k <= 128; ++k) {
    R.Byte(70 + static_cast<std::size_t>(k), Binario_Wire(b, 71 + 2 * k));
    Mappa = Mappa || R.Byte_A(70 + static_cast<std::size_t>(k)) != 0;
  }
  return !vb::Trim(Codice).empty() && Mappa;
}

bool Valori(int32_t b, Record_Locale& R) {
  R.Intero(0, Binario_Wire(b, 1));  // IDX
  R.Byte(2, Binario_Wire(b, 3));    // ELEM
  return true;
}

bool Layout(int32_t b, Record_Locale& R) {
  R.Byte(0, Binario_Wire(b, 3));            // DIM_F
  R.Byte(1, Binario_Wire(b, 5));            // COL_B
  R.Testo(2, 40, Vista_Wire(b, 7, 40));     // DESC
  R.Testo(42, 40, Vista_Wire(b, 47, 40));   // FONT
  R.Testo(82, 5, Vista_Wire(b, 87, 5));     // ORDINA
  R.Byte(87, Binario_Wire(b, 97));          // COL_O
  R.Testo(88, 1, Vista_Wire(b, 99, 1));     // COL_OT
  R.Testo(89, 60, Vista_Wire(b, 100, 60));  // XLSRUN
  R.Testo(149, 1, Vista_Wire(b, 160, 1));   // XLSSTD
  for (int k = 0; k < 9; ++k) R.Testo(150 + 40 * k, 40, Vista_Wire(b, 161 + 40 * k, 40));  // PARM_1..9
  for (int k = 0; k < 9; ++k) R.Byte(510 + k, Binario_Wire(b, 521 + 2 * k));               // PKEY_1..9
  R.Testo(519, 1, Vista_Wire(b, 539, 1));   // MODEST
  return true;
}

bool Layout_Elementi(int32_t b, Record_Locale& R) {
  R.Byte(0, Binario_Wire(b, 3));             // RIG
  R.Byte(1, Binario_Wire(b, 5));             // COL
  R.Intero(2, Binario_Wire(b, 7));           // DIM_S
  R.Testo(4, 1, Vista_Wire(b, 9, 1));        // VIS
  R.Testo(5, 1, Vista_Wire(b, 10, 1));       // TOT
  R.Testo(6, 40, Vista_Wire(b, 11, 40));     // INTE
  R.Testo(46, 40, Vista_Wire(b, 51, 40));    // FORMATO
  R.Testo(86, 60, Vista_Wire(b, 91, 60));    // CALC
  R.Testo(146, 10, Vista_Wire(b, 151, 10));  // SINF
  R.Testo(156, 1, Vista_Wire(b, 161, 1));    // SNINT
  R.Testo(157, 1, Vista_Wire(b, 162, 1));    // SNTOT
  R.Testo(158, 60, Vista_Wire(b, 163, 60));  // VIS2
  // 218..315: two reserved fields left as NUL bytes.
  for (int j = 0; j < 25; ++j) {
    const int32_t s = b + 320 + 80 * j;  // the filter part j + 1 of the wire record
    const std::size_t At = 316 + 64 * static_cast<std::size_t>(j);
    R.Byte(At, Binario_Wire(s, 1));               // KEY
    R.Testo(At + 1, 1, Vista_Wire(s, 3, 1));      // BLOCCO
    R.Testo(At + 2, 1, Vista_Wire(s, 4, 1));      // OPER
    R.Testo(At + 3, 60, Vista_Wire(s, 5, 60));    // VALO_1/VALO_2
    R.Testo(At + 63, 1, Vista_Wire(s, 65, 1));    // RELAZ
  }
  return true;
}

bool Drill(int32_t b, Record_Locale& R) {
  R.Byte(0, Binario_Wire(b, 1));   // K_KEY
  R.Lungo(1, Binario_Wire(b, 3));  // K_IDX
  R.Byte(5, Binario_Wire(b, 5));   // LAY
  for (int k = 0; k < 9; ++k) R.Byte(6 + k, Binario_Wire(b, 7 + 2 * k));    // KEYV1..9
  for (int k = 0; k < 9; ++k) R.Byte(15 + k, Binario_Wire(b, 25 + 2 * k));  // KEYO1..9
  R.Testo(24, 40, Vista_Wire(b, 43, 40));  // DESC
  for (int k = 0; k < 9; ++k) R.Testo(64 + 24 * k, 24, Vista_Wire(b, 83 + 24 * k, 24));  // PRM1..9
  R.Testo(280, 1, Vista_Wire(b, 320, 1));  // ANNULL: the end-mark byte, never "A" here
  return true;
}

bool Filtro_Utente(int32_t b, Record_Locale& R) {
  std::string Operatore(Vista_Wire(b, 3, 1));
  const std::string_view Valore = Vista_Wire(b, 4, 60);
  std::string Blocco(Vista_Wire(b, 64, 1));
  // A restriction on all values ("*") keeps the server's flag; any other is blocked.
  if (vb::Trim(Valore) != "*") Blocco = "B";
  // The server's operator letters carry the block kind: lower case "i", "r", "n" are not
  // blocked ("N"), "A", "B", "C" are the defaults ("D"); both become "=", "R", "N".
  const std::string Op = vb::Trim(Operatore);
  if (Op == "i") { Blocco = "N"; Operatore = "="; }
  else if (Op == "r") { Blocco = "N"; Operatore = "R"; }
  else if (Op == "n") { Blocco = "N"; Operatore = "N"; }
  else if (Op == "A") { Blocco = "D"; Operatore = "="; }
  else if (Op == "B") { Blocco = "D"; Operatore = "R"; }
  else if (Op == "C") { Blocco = "D"; Operatore = "N"; }
  R.Byte(0, Binario_Wire(b, 1));    // KEY
  R.Testo(1, 1, Operatore);         // OPER
  R.Testo(2, 1024, Valore);         // VALO_1/VALO_2: the 60 characters, then blanks
  R.Testo(1026, 1, Blocco);         // BLOCCO
  return true;
}

blocchi::Decodifica Struttura_Utente() {
  // The first record must carry the release this program reads; a structure of another release
  // is not kept at all (the download still succeeds).
  struct Stato {
    bool Primo = true, Rilascio_Ok = false;
  };
  auto S = std::make_shared<Stato>();
  return [S](int32_t b, Record_Locale& R) {
    if (S->Primo) {
      S->Primo = false;
      S->Rilascio_Ok = vb::Trim(Vista_Wire(b, 5, 32)) == kRilascio_Struttura;
    }
    if (!S->Rilascio_Ok) return false;
    const int64_t Area = Binario_Wire(b, 1);
    const int64_t Chiave = Binario_Wire(b, 3);
    if (Area == 0 || Chiave == 0) return false;
    R.Byte(0, Area);    // AREA
    R.Byte(1, Chiave);  // KEY
    // The 32 flag bytes come last byte first: local byte k is wire byte 37 - k.
    int64_t Somma = 0;
    for (int k = 1; k <= 32; ++k) {
      const int64_t v = Binario_Wire(b, 37 - k, 1);
      R.Byte(1 + static_cast<std::size_t>(k), v);
      Somma += v;
    }
    return Somma > 0;
  };
}

}  // namespace

const Formato& Formato_Di(Immagine I) { return kFormati[static_cast<std::size_t>(I)]; }

blocchi::Decodifica Decodificatore(Immagine I) {
  switch (I) {
    case Immagine::kAree: return Aree;
    case Immagine::kChiavi: return Chiavi;
    case Immagine::kSistemi: return Sistemi;
    case Immagine::kValori: return Valori;
    case Immagine::kLayout: return Layout;
    case Immagine::kLayout_Elementi: return Layout_Elementi;
    case Immagine::kDrill: return Drill;
    case Immagine::kFiltro_Utente: return Filtro_Utente;
    case Immagine::kStruttura_Utente: return Struttura_Utente();
  }
  return nullptr;
}

int64_t Numero_Layout_Wire(int32_t Base) { return Binario_Wire(Base, 1); }

std::string Chiave_Master(const std::string& Sistema, const std::string& Tipo, const std::string& Nome) {
  return text::fixed(Sistema, 10) + text::fixed(Tipo, 2) + text::fixed(Nome, 10);
}

void Database_Sistemi(std::string& Immagine_Sistemi, const std::string& Database) {
  for (std::size_t r = 0; r + kRecord_Sistema <= Immagine_Sistemi.size(); r += kRecord_Sistema) {
    const std::string_view Nome = std::string_view(Immagine_Sistemi).substr(r + kDatabase_Sistema, kLarghezza_Database);
    if (text::rtrim_blanks(Nome).empty())
      Immagine_Sistemi.replace(r + kDatabase_Sistema, kLarghezza_Database, text::fixed(Database, kLarghezza_Database));
  }
}

}  // namespace kyx::immagini
