#pragma once
// The replication run: for every entry marked "Da replicare", the entry's KYX_MASTER emptied and
// rewritten from the data server (security row, systems list, keys, values, areas, layouts, their
// elements and drill rows, and each user's filter and structure), in the records the main
// program's login reads. It runs to its end inside the handler of the button
// "Replica", with the window disabled and the hourglass shown.
#include <string>

#include "replica/voci.h"

namespace kyx {

// What the run asks of the window it runs in.
class Finestra_Replica {
 public:
  virtual ~Finestra_Replica() = default;
  // Saves the entry shown as entry Voce_Corrente.
  virtual void Salva_Parametri() = 0;
  // Shows entry Voce_Corrente; false when the stored entry failed its integrity check (its
  // message shown, the fields left as they were).
  virtual bool Carica_Parametri() = 0;
  // The fields shown.
  virtual Campi_Voce Campi() const = 0;
  // Enables or disables the window's input.
  virtual void Abilita(bool Attiva) = 0;
};

// The run, from the save of the entry shown to "Replica effettuata".
void Esegui_Replica(Finestra_Replica& Finestra);

// The 91-character login block: "r00085" for the entry's login with its user and password,
// "s00085" for one user of the list (blank password); the local address, port and host name of
// socket 1 and the information-system index.
std::string Blocco_Login(const std::string& Codice, const std::string& Utente, const std::string& Password,
                         const std::string& Indice_Sistema);

}  // namespace kyx
