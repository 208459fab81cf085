#pragma once
// What the four local databases (KYX_0.MDB .. KYX_3.MDB) have in common: closing an object,
// opening a connection and a table-direct recordset on a named index, the compaction of an
// existing file through its "_NEW.MDB" copy, and the numbered error message of the open routines.
//
// The databases are SQLite files under their old names. A connection or recordset variable that
// holds no object (an empty pointer) is a closed one: that is the "not open" state every caller
// can test before using a database.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/data/compaction.h"
#include "platform/data/connection.h"
#include "platform/data/field.h"
#include "platform/data/recordset.h"
#include "platform/data/table_recordset.h"

namespace kyx {

// Closes a connection or recordset when it is open and releases it. An empty reference gives
// True at once; a failing close gives False and leaves the reference set.
bool Chiudi_Oggetto(std::unique_ptr<data::Connection>& Oggetto);
bool Chiudi_Oggetto(std::unique_ptr<data::TableRecordset>& Oggetto);
bool Chiudi_Oggetto(std::unique_ptr<data::Recordset>& Oggetto);

namespace mdb {

// The database password of the four files in the original format. SQLite files carry none; the
// constant stays as the one place that names it.
inline constexpr std::string_view kPassword = "tralk";

// The critical box of the open routines: Prefisso ("Errore 015 "), CR, the error number, CR, the
// description, CR, Suffisso ("nel trattamento di MDB0"). CR is the single character 13, as the
// original wrote it. A failure of the closing step has no error pending: number 0, no description.
void Mostra_Errore(std::string_view Prefisso, const data::Status& Errore, std::string_view Suffisso);

// The Linux path of a database file held in its stored form (a folder text may still carry "\").
std::string Percorso(const std::string& File);

// Whether the database file exists. A file missing while its compaction copy is present (an
// interrupted compaction of an older version of the program) is first restored from the copy, so
// that it is never taken for missing and created empty.
bool File_Esiste(const std::string& File);

// Opens an existing database file into `Cn` (replacing what it held).
data::Status Apri_Connessione(const std::string& File, std::unique_ptr<data::Connection>& Cn);

// Creates a new database file and returns the open connection on it. A file already present is
// an error: creation never opens (and so never alters) a file that something else left there.
data::Status Crea_Database(const std::string& File, std::unique_ptr<data::Connection>& Cn);

// Opens a table-direct recordset on `Tabella` with `Indice` set (keyset, optimistic, table-direct
// in the original) into `Rs`.
data::Status Apri_Tabella(data::Connection& Cn, std::string_view Tabella, std::string_view Indice,
                          std::unique_ptr<data::TableRecordset>& Rs);

// A table with its columns in order and its one index.
struct Tabella {
  std::string Nome;
  std::vector<data::FieldInfo> Colonne;
  std::string Indice;
  std::vector<std::string> Colonne_Indice;
};
// Creates the table, then its index (Tables.Append, then Indexes.Append).
data::Status Crea_Tabella(data::Connection& Cn, const Tabella& T);

// Compacts an existing database (steps C1-C5: copy into "<name less 4 characters>_NEW.MDB", then
// the copy takes the file's place in one atomic rename). With `Registra_Tempo`, when Debug_Attivo
// is on, one debug line gives the seconds the copy took, formatted "#0.0000".
data::Status Compatta(const std::string& File, bool Registra_Tempo);

// Called after each step of every compaction; returning false stops it there as if the program
// had ended at that point. Empty in the program; tests set it to interrupt a compaction.
extern data::CompactionHook Gancio_Compattazione;

// BOF and EOF together: the recordset has no rows. A recordset that is not open counts as an
// error for the callers (they test it before).
bool Vuoto(const data::Recordset& Rs);

// Format(n, "000"): at least `Cifre` digits, zeros in front.
std::string Cifre(int64_t n, int Cifre);

// A text as an SQL literal: enclosed in single quotes, each quote inside doubled.
std::string Letterale(std::string_view Testo);

}  // namespace mdb
}  // namespace kyx
