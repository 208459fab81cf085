#pragma once
// The entries of the replication program in its settings file Kyx_R.INI (section "Generale"):
// "Numero", the number of entries, and for entry n (three digits) "Parametri-nnn", the entry's
// 151-character block scrambled, with "Check-nnn", the check number of the scrambling.
//
// The block, before scrambling (positions from 1, each field blank-padded and cut to its width):
//   1-50 data server   51-55 port      56-65 server user (upper case)  66-75 its password (upper case)
//   76-95 SQL server   96-115 database 116-125 SQL user    126-135 SQL password
//   136-145 information system   146-150 its index   151 "S" to be copied, else "N"
#include <cstdint>
#include <string>

namespace kyx {

// The fields of one entry as the window's controls hold them.
struct Campi_Voce {
  std::string txtASConn, txtASPorta, txtASUtente, txtASPassword;
  std::string txtSQLServer, txtSQLDataBase, txtSQLUtente, txtSQLPassword;
  std::string txtSistemaInf, txtIdxSi;
  int Check1 = 0;  // 1: "Da replicare"

  bool operator==(const Campi_Voce&) const = default;
};

inline constexpr int kLunghezza_Blocco_Voce = 151;

// The block of an entry: each text padded and cut to its width, nothing trimmed; only the server
// user and password upper-cased.
std::string Blocco_Voce(const Campi_Voce& Campi);

// The fields of a block as loading gives them: each as stored, blanks included, the server name
// trimmed; a field that comes out empty takes its default (all of them for an empty block).
Campi_Voce Campi_Da_Blocco(const std::string& Blocco);

// The settings file of the program folder.
std::string File_Ini_Replica();

// "Numero": the number of entries; 0, negative or not a number count as 1.
int16_t Leggi_Numero_Voci();

enum class Esito_Voce {
  kCaricata,   // the fields hold the entry (or the defaults, for an entry never saved)
  kIntegrita,  // the stored block does not match its check: the fields are left alone
};

// Reads entry `Voce` into `Campi`.
Esito_Voce Leggi_Voce(int16_t Voce, Campi_Voce& Campi);

// Writes the fields as entry `Voce` and "Numero" = Numero_Voci. False, writing nothing, when a
// field holds a character that the scrambling cannot keep (an accented letter, "|", "}", "~"):
// stored, it would come back damaged and fail its check at every later load.
bool Scrivi_Voce(int16_t Voce, int16_t Numero_Voci, const Campi_Voce& Campi);

// Empties the keys of entry `Voce` (the keys stay in the file with empty values).
void Svuota_Voce(int16_t Voce);

}  // namespace kyx
