#pragma once
// Fills an ODBC database with everything the SQL database path of the program reads, for tests
// and the demo (the replication program Kyx_R writes only KYX_MASTER, one system per entry):
//   KYX_MASTER   one row per definition work file, logged in to our data server and downloaded
//                through the program's own socket client, decoded by the same image decoders
//                as Kyx_R's (server/immagini_master), so that each image is byte for byte the
//                work file the socket path writes, but for the systems list, whose records name
//                the database filled here as each system's own where the data server names none;
//                keys and values of every system under its code; the security row "++";
//   KYX_DS_00F   the descriptions of the login's system, with their change times;
//   KYX_D0_00F_<system>  the data set of every system, key codes blank-padded to their width as
//                a download stores them;
//   KYX_D0_00F   on demand, the data set of one system as a data-set download reads it from the
//                system's own database: three fields of the replication's own, then the columns
//                of "KYX_D0_00F_" & system.
// Every table is dropped and made again.
#include <string>

#include "platform/data/connection.h"

namespace kyx::sqlmaster {

struct Opzioni {
  std::string server = "127.0.0.1";
  int porta = 4100;
  std::string utente, password, sistema;
  std::string tabella;  // the code table KYX.Tbl of the data server
  std::string store;    // the data server's database (descriptions and data sets)
  std::string cartella; // a scratch folder for the work files
  std::string database; // the database being filled, named in each system's record
  std::string dati;     // the system whose data set also goes into KYX_D0_00F ("": none)
};

// False with the reason in *errore.
bool Riempi(const Opzioni& o, data::Connection& cn, std::string* errore);

}  // namespace kyx::sqlmaster
