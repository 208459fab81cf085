#include "replica/esecuzione.h"

#include <cmath>

#include "common/codifica_parametri.h"
#include "platform/files/files.h"
#include "platform/host/host.h"
#include "platform/text/cp1252.h"
#include "platform/vb/try_val.h"
#include "platform/vb/vb.h"
#include "replica/master.h"
#include "replica/socket_replica.h"
#include "replica/stato_replica.h"
#include "replica/trasferimenti.h"
#include "server/campo.h"
#include "server/socket.h"

namespace kyx {

namespace {

constexpr char CR[] = "\r";

void Stato(const std::string& Testo) { host::host().SetPanel("Stato", Testo); }

void Errore(const std::string& Testo) { host::MsgBox(Testo, host::vbCritical, kTitolo_Errore_Replica); }

// The numeric value of a field as a 32-bit number (Val, then bounded: the field is five
// characters wide, but a stored value may be anything).
int32_t Numero_32(const std::string& Testo) {
  const double v = std::trunc(vb::TryVal(Testo).value_or(0));
  if (v > 2147483647.0) return 2147483647;
  if (v < -2147483648.0) return -2147483647 - 1;
  return static_cast<int32_t>(v);
}

int32_t Campo_Numero(int32_t Inizio, int32_t Lunghezza) {
  return Numero_32(Campo("S", Inizio, Lunghezza, Lunghezza, 0));
}

// How an entry ended.
enum class Fine_Voce {
  kProssima,  // go on with the next entry
  kFine_Run,  // the run ends here
};

// Reads a reply head and its payload; false when either does not come, the status is not "0"
// or the length cannot be one reply.
bool Leggi_Risposta(int32_t& Lunghezza) {
  int32_t Indice = 1, Testa = 6;
  if (!Sock_Leggi(Indice, Testa) || Campo("A", 1, 1, 1, 0) != "0") return false;
  Lunghezza = Campo_Numero(2, 5);
  return Sock_Leggi(Indice, Lunghezza);
}

// Closes what an entry opened: the socket, and the SQL connection (rolling back what the entry
// had not committed).
void Chiudi_Voce() {
  Sock_Close(1);
  Chiudi_SQL_Replica();
}

Fine_Voce Fine_Con_Errore(const std::string& Messaggio) {
  Errore(Messaggio);
  Stato("Errore");
  Chiudi_Voce();
  return Fine_Voce::kFine_Run;
}

// Every user of the list logged on the same socket, with the user's filter and structure; false
// when something failed.
bool Replica_Utenti(const std::string& Sistema, const Campi_Voce& Campi) {
  bool Completa = true;
  for (std::size_t i = 1; i <= 256; ++i) {
    const std::string& Utente = Utenti_Replica[i];
    if (vb::Trim(Utente).empty()) break;
    Sock_Scrivi(1, Blocco_Login("s00085", Utente, "", Campi.txtIdxSi), 91);
    int32_t Lunghezza = 0;
    if (!Leggi_Risposta(Lunghezza)) {
      Sock_Close(1);
      Errore(std::string("Autenticazione") + CR + "in errore");
      return false;
    }
    const std::string Nome = Sistema + " - " + vb::Trim(Utente);
    Stato(Nome + ": Aggiornamento Filtro utente");
    Completa = Replica_Filtro_Utente(Sistema, Utente) && Completa;
    Stato(Nome + ": Aggiornamento Struttura utente");
    Completa = Replica_Struttura_Utente(Sistema, Utente) && Completa;
  }
  return Completa;
}

Fine_Voce Esegui_Voce(const Campi_Voce& Campi) {
  // 3. The SQL database and its table, each showing its own errors.
  if (!Apri_SQL_Replica(Campi)) {
    Chiudi_SQL_Replica();
    return Fine_Voce::kProssima;
  }
  if (!Prepara_Tabella_Master()) {
    Chiudi_SQL_Replica();
    return Fine_Voce::kProssima;
  }

  // 4. - 6. The connection and the server's greeting.
  const int32_t Indice_Sistema = Numero_32(Campi.txtIdxSi);
  Stato("Connessione (" + vb::Format(static_cast<int64_t>(Indice_Sistema), "#0") + ") ...");
  const std::string Host = vb::Trim(Campi.txtASConn), Porta = vb::Trim(Campi.txtASPorta);
  std::string Esito;
  if (Sock_Connect(1, Host, Numero_32(Campi.txtASPorta), Esito, 0, false) != -1) {
    return Fine_Con_Errore("Connessione a " + Host + ":" + Porta + CR + "NON completata");
  }
  int32_t Indice = 1, Testa = 6;
  if (!Sock_Leggi(Indice, Testa)) return Fine_Con_Errore("La connessione " + Host + ":" + Porta + CR + "NON risponde");
  if (Campo("A", 1, 1, 1, 0) != "0") {
    return Fine_Con_Errore("La connessione " + Host + ":" + Porta + CR + "NON ha risposto correttamente");
  }

  // 7. - 9. The login. A reply too short for the fields read below cannot be a login reply.
  Sock_Scrivi(1, Blocco_Login("r00085", Campi.txtASUtente, Campi.txtASPassword, Campi.txtIdxSi), 91);
  int32_t n = 0;
  if (!Leggi_Risposta(n) || n < 80) return Fine_Con_Errore(std::string("Autenticazione") + CR + "in errore");
  const std::string Risposta = Campo("A", 1, n, n, 0);
  const int32_t Client = Campo_Numero(52, 3), Sistema_Server = Campo_Numero(55, 3), Utente = Campo_Numero(58, 3);
  const std::string Sistema = vb::Trim(Campo("A", 71, 10, 10, 0));

  // 10. The checks.
  if (vb::Mid(Risposta, 1, 1) != "S") {
    return Fine_Con_Errore("L'utente " + vb::UCase(vb::Trim(Campi.txtASUtente)) + CR + " e/o la password sono errati");
  }
  if (Sistema_Server < 1) {
    return Fine_Con_Errore("Il sistema informativo : " + Campi.txtSistemaInf + CR + "\xE8 errato");
  }
  if (Client < 0) return Fine_Con_Errore("Indice del client errato");
  bool Da_Copiare = true;
  if (Utente < 0) {
    Errore("Utente non inserito nelle tabelle");
    Da_Copiare = false;
  }
  if (vb::Trim(Campi.txtSistemaInf) != Sistema) {
    // The entry names another system than the server logged it in to: nothing of it is copied,
    // and the user is told rather than shown a run that seems to have worked.
    if (Da_Copiare) Errore("Il sistema informativo : " + Campi.txtSistemaInf + CR + "\xE8 errato");
    Da_Copiare = false;
  }
  if (!Da_Copiare) {
    Chiudi_Voce();
    return Fine_Voce::kProssima;
  }

  // 11. The security row: the reply as received, scrambled; characters the scrambling does not
  // map are kept as "¿".
  std::string Codificato, Check;
  Codifica_Testo(Risposta, Codificato, Check);
  if (!Scrivi_Riga_Sicurezza(Codificato)) {
    Mostra_Errori_SQL();
    Chiudi_Voce();
    return Fine_Voce::kProssima;
  }

  // 12. - 15. The transfers; each shows its own message and the run goes on with the next. Every
  // image the main program's login reads is written: the systems list first, as it reads them.
  bool Completa = true;
  Stato(Sistema + ": Aggiornamento Chiavi esterne");
  Completa = Replica_Sistemi(Sistema, vb::Trim(Campi.txtSQLDataBase)) && Completa;
  Stato(Sistema + ": Aggiornamento Chiavi");
  Completa = Replica_Chiavi(Sistema) && Completa;
  Stato(Sistema + ": Aggiornamento Valori");
  Completa = Replica_Valori(Sistema) && Completa;
  Stato(Sistema + ": Aggiornamento Aree");
  Completa = Replica_Aree(Sistema) && Completa;
  Stato(Sistema + ": Aggiornamento Layout");
  Completa = Replica_Layout(Sistema) && Completa;
  const int16_t Layout = Numero_Layout;
  const std::string Di = vb::Format(static_cast<int64_t>(Layout), "\\/000");
  for (int32_t i = 1; i <= Layout; ++i) {
    const std::string Numero = vb::Format(static_cast<int64_t>(i), "000");
    Stato(Sistema + ": Aggiornamento Layout elemento " + Numero + Di);
    Completa = Replica_Layout_Elemento(Sistema, i) && Completa;
    Stato(Sistema + ": Aggiornamento Drill " + Numero + Di);
    Completa = Replica_Drill(Sistema, i) && Completa;
  }
  Stato(Sistema + ": Elenco utenti");
  Completa = Replica_Elenco_Utenti() && Completa;
  Completa = Replica_Utenti(Sistema, Campi) && Completa;

  // 16. Completion. Only a whole system replaces what the table held: a main program reading a
  // table with some images missing could not log in at all.
  Sock_Close(1);
  if (Completa) {
    Completa = Conferma_Master();
  } else {
    Errore("Replica del sistema informativo " + Sistema + " non completata:" + CR +
           "la tabella KYX_MASTER non \xE8 stata modificata");
  }
  Stato(Sistema + (Completa ? ": Aggiornamento completato" : ": Aggiornamento non completato"));
  Chiudi_SQL_Replica();
  return Fine_Voce::kProssima;
}

}  // namespace

std::string Blocco_Login(const std::string& Codice, const std::string& Utente, const std::string& Password,
                         const std::string& Indice_Sistema) {
  // The local port as five digits: a port above 32767 is not a negative number here.
  int64_t Porta = static_cast<int64_t>(vb::Val(Porta_Locale(1)));
  if (Porta < 0) Porta += 65536;
  return text::fixed(Codice, 6) + text::fixed(vb::UCase(Utente), 10) + text::fixed(vb::UCase(Password), 10) +
         "KYX-Replica    " + text::fixed(Indirizzo_Locale(1), 15) + vb::Format(Porta, "00000") +
         text::fixed(Nome_Host(), 20) + vb::Format(static_cast<int64_t>(Numero_32(Indice_Sistema)), "0000000000");
}

void Esegui_Replica(Finestra_Replica& Finestra) {
  host::host().SetPointer(host::vbHourglass);
  Finestra.Abilita(false);
  Finestra.Salva_Parametri();
  Stato("Inizializzazioni ...");
  std::string Descrizione;
  const std::string Tabella = files::program_folder() + "Kyx_R.Tbl";
  bool Errore_Run = false;
  if (!Sock_Start(Descrizione, Tabella)) {
    // Without the character table no request could be read by the server: nothing is touched.
    Errore("Tabella dei caratteri " + Tabella + CR + "mancante o incompleta");
    Stato("Errore");
    Errore_Run = true;
  }
  const int16_t Voci = Numero_Voci;
  for (Voce_Corrente = 1; !Errore_Run && Voce_Corrente <= Voci; ++Voce_Corrente) {
    // A damaged entry is passed over: the fields still hold the entry before it, which would
    // otherwise be copied a second time, perhaps into this entry's database.
    if (!Finestra.Carica_Parametri()) continue;
    const Campi_Voce Campi = Finestra.Campi();
    if (Campi.Check1 != 1) continue;
    if (Esegui_Voce(Campi) == Fine_Voce::kFine_Run) {
      Errore_Run = true;
      break;
    }
    host::DoEvents();
  }
  Sock_Stop();
  // After a failure the panel keeps "Errore": the run did not do what was asked.
  if (!Errore_Run) Stato("Replica effettuata");
  host::host().SetPointer(host::vbDefault);
  Finestra.Abilita(true);
}

}  // namespace kyx
