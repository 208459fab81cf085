#pragma once
// The conversion of a descriptions database KYX_1.MDB from its older pair of description tables,
// KYX_DS_00F (one description per row) and KYX_DS_10F (numbered descriptions), into the single
// table KYX_DS_20F that the analysis program reads: one row per key and code with a status and
// sixteen descriptions. The old tables are then dropped and the database is compacted.
//
// The whole change (new table, its rows, the dropped old tables) is one transaction: any failure
// rolls it back and leaves the database exactly as it was, so that a later run starts again from
// the old tables instead of finding a half-filled new one and taking it for converted. The
// compaction then replaces the file in one atomic rename, so the database never goes missing.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/data/status.h"

namespace kyx::convd {

// The captions of the steps, as the window's label shows them (Windows-1252, with their blanks).
inline constexpr std::string_view kCaption_Gia_Effettuata = " Conversione gi\xE0 effettuata ";
inline constexpr std::string_view kCaption_Costruzione = " Costruzione nuova tabella ";
inline constexpr std::string_view kCaption_Caricamento_1 = " Caricamento 1 ";
inline constexpr std::string_view kCaption_Caricamento_2 = " Caricamento 2 ";
inline constexpr std::string_view kCaption_Elimina = " Elimina vecchie tabelle ";
inline constexpr std::string_view kCaption_Compattamento = " Compattamento DB ";
inline constexpr std::string_view kCaption_Completata = " Conversione completata ";

// The window title, also the title of the program's message boxes.
inline constexpr std::string_view kTitolo = "Conversione Descrizioni";

enum class Esito {
  kConvertito,      // converted and compacted
  kGia_Convertito,  // KYX_DS_20F was there already: nothing touched
  kNon_Compattato,  // converted, but the compaction failed (the converted database is in place)
  kFallito,         // nothing changed in the database
};

struct Risultato {
  Esito esito = Esito::kFallito;
  data::Status errore;            // the failure, when there was one
  int64_t Righe_Fuori_Campo = 0;  // KYX_DS_10F rows whose description number is not 1..16
};

// Shows a caption in the window's label.
using Didascalia = std::function<void(std::string_view caption)>;

// Converts `Cartella` + "/KYX_1.MDB" (`Cartella` a Linux folder, as the current folder is
// reported). Every caption goes to `Mostra` and is followed by one run of the message pump. A
// failure or rows that could not be converted are reported in a message box.
Risultato Converti_Descrizioni(const std::string& Cartella, const Didascalia& Mostra);

}  // namespace kyx::convd
