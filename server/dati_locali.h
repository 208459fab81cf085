#pragma once
// The local data sets of KYX_2.MDB: a data set is the value records of one filter, kept under
// one number IDX shared by every information system (one KYX_CARICATI row per system, and the
// system's records in "KYX_D0_00F_" & system). This module registers a new set, refreshes one
// from the data server or from each system's SQL Server database, and deletes one; the local
// data-sets menu (frmMenuDati) drives it and shows its counters.
//
// A refresh never puts a set at risk: each system's records are downloaded beside the stored
// ones, under the same number, in one transaction; when the download ends the stored records are
// deleted and the register row written in that same transaction, or, when it failed, the whole
// transaction is rolled back. A download the user interrupts keeps what came so far, marked "*";
// one that fails keeps the records stored before it, or, when there were none, what came so far,
// marked "*". A program that stops half-way leaves the set as it was before the download.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/data/connection.h"

namespace kyx {

// The fields of the local data-sets menu that the actions read and write.
struct Menu_Dati {
  int32_t Elemento = 0;          // the selected set
  int32_t Elemento_Nuovo = 0;    // the number for a new set
  int32_t Elemento_Carica = 0;   // the set being loaded
  std::string Filtro;            // the menu's filter text ("where ..." or "")
  std::string Sistema;           // the system being loaded, its library, SQL database and filter
  std::string Libreria;
  std::string Database_SQL;
  std::string Filtro_Sistema;
  bool Annulla = false;          // set by the menu's "Annulla" while an action runs
  int64_t Record_Sistema = 0;    // records loaded for the current system
  int64_t Record_Totali = 0;     // records loaded in all
};

// How one system's download ended.
enum class Esito_Scarico {
  Completo,    // every record came
  Interrotto,  // the user stopped it: the records so far are kept, marked "*"
  Fallito,     // the source failed (its message shown)
};

// The longest filter the data-server request can carry, and the most bytes of records in one
// block of the data-set download.
inline constexpr std::size_t kMassimo_Filtro = 512;
inline constexpr int32_t kMassimo_Blocco = 8186;

// Where the records of one system's download go: an insert into its data table under the set's
// number, beside the records stored before (told apart by their row ids, all at or below the
// highest one when the download began), in one transaction that Concludi ends.
class Scrittura_Dati {
 public:
  Scrittura_Dati() = default;
  ~Scrittura_Dati();
  Scrittura_Dati(const Scrittura_Dati&) = delete;
  Scrittura_Dati& operator=(const Scrittura_Dati&) = delete;

  // Prepares the insert into "KYX_D0_00F_" & Sistema on Cn for set Numero and begins the
  // transaction.
  data::Status Apri(data::Connection& Cn, const std::string& Sistema, int32_t Numero);
  // The fields of a record after IDX.
  int Campi() const { return Campi_; }
  // Field i (1 .. Campi) of the record being built.
  data::Status Campo(int i, const data::Value& Valore);
  // The same for a value the caller keeps, unchanged or rewritten in place, until the record is
  // added: the statement may read it where it is.
  data::Status Campo_Tenuto(int i, const data::Value& Valore);
  data::Status Aggiungi();
  // Records added Gruppo() at a time by one statement, which costs SQLite far less per record
  // (1: there is no such statement). Field i of the group's record j, copied or, for the _Tenuto
  // form, read where the caller keeps it until the group is added.
  int Gruppo() const { return Gruppo_; }
  data::Status Campo_Gruppo(int j, int i, const data::Value& Valore);
  data::Status Campo_Gruppo_Tenuto(int j, int i, const data::Value& Valore);
  // Adds the group's records. A refused statement stores none of them: the caller adds them again
  // one by one, so that the records before a refused one are stored as when each is added alone
  // (unless the transaction is gone too: see In_Transazione).
  data::Status Aggiungi_Gruppo();
  bool In_Transazione() const { return Cn_ && Cn_->InTransaction(); }
  int64_t Righe() const { return Righe_; }
  // Tieni: deletes the records stored before, writes the register row (when Stato is not empty)
  // and commits, so that the downloaded records take the stored ones' place. Otherwise rolls the
  // transaction back: the set and its register row stay as they were (Stato is not used).
  data::Status Concludi(bool Tieni, const std::string& Stato);
  // Records of the set stored before this download.
  int64_t Righe_Precedenti();

 private:
  data::Connection* Cn_ = nullptr;
  std::string Tabella_, Sistema_;
  int32_t Numero_ = 0;
  int Campi_ = 0;
  int64_t Righe_ = 0;
  int64_t Ultima_Precedente_ = 0;  // the highest row id of the table when the download began
  std::unique_ptr<data::Statement> Inserimento_;
  int Gruppo_ = 1;
  std::unique_ptr<data::Statement> Inserimento_Gruppo_;
};

// Deletes set Numero from every system's data table and from the register. False after a
// message when the database refused.
bool Elimina_Dati_Locali(int32_t Numero);

// Registers set M.Elemento_Nuovo for every information system of SINF with STATO "*" and no
// records: the current system's filter is the menu's, every other system's the menu's filter
// translated for it by Traduci. A filter longer than the request can carry is refused with a
// message before anything is written. False when nothing was registered.
bool Registra_Dati_Locali(Menu_Dati& M,
                          const std::function<std::string(const std::string& Filtro, const std::string& Sistema)>& Traduci);

// Loads every system of set M.Elemento_Carica, each from the data server or from its SQL
// database, updating its register row; stops at a cancel or a lost link. A stored filter longer
// than the request can carry is refused with a message before anything is downloaded.
void Carica_Dati_Locali(Menu_Dati& M);

// One system's download from the data server (socket 1) or its SQL database, into W. From the
// data server, the blocks are stored on a second thread while the next ones are received and
// decoded: until the download returns, only that thread uses W and its connection, and the
// socket and the window stay with the calling thread.
Esito_Scarico Carica_Dati_AS(Menu_Dati& M, Scrittura_Dati& W);
Esito_Scarico Carica_Dati_SQL(Menu_Dati& M, Scrittura_Dati& W);

// The data-set request header: "D", zeros for the layout and the levels, blanks to 4462.
std::string Record_Dati();

}  // namespace kyx
