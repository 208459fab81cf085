#pragma once
// The data images of an information system, fetched from the data server over socket 1 block by
// block, decoded record by record into the work file Kyx__.DAT and stored whole as one row of
// KYX_MASTER. The records are those the main program's login reads from the table (its work-file
// layouts, server/WORK_FILES.md), so that a login through the table loads what a login to the
// data server loads. Every transfer returns true when its row was written (the user list: when both of
// its passes ended); a reply that does not come, or comes with another status, shows its
// message; any other fault (a number too large for its field, the work file, the database) ends
// the transfer without one. Nothing is written for a transfer that fails.
//
// Requests: "a00012" + offset (7 digits) + byte count (5) reads the system's file, "b00017" the
// same + a layout number (5) one layout's elements, "m00017" likewise its drill rows, "c00012"
// the logged-in user's file. A reply is
// a 6-byte head (status "0" = served, then the payload length as 5 zoned digits) and the payload.
// Records follow one another in the payload; one whose end-marker byte reads "A" ends the list.
#include <cstdint>
#include <string>

namespace kyx {

// "E ": the systems list; a system the server names no database for is given `Database`, the
// entry's, where this copy puts its keys and values.
bool Replica_Sistemi(const std::string& Sistema, const std::string& Database);
bool Replica_Chiavi(const std::string& Sistema);    // "K "
bool Replica_Valori(const std::string& Sistema);    // "V "
bool Replica_Aree(const std::string& Sistema);      // "A "
bool Replica_Layout(const std::string& Sistema);    // "L ", and Numero_Layout
bool Replica_Layout_Elemento(const std::string& Sistema, int32_t Layout);  // "L_" + "000"
bool Replica_Drill(const std::string& Sistema, int32_t Layout);            // "D_" + "000"
bool Replica_Elenco_Utenti();                       // Utenti_Replica
bool Replica_Filtro_Utente(const std::string& Sistema, const std::string& Utente);     // "UF" + user
bool Replica_Struttura_Utente(const std::string& Sistema, const std::string& Utente);  // "UA" + user

}  // namespace kyx
